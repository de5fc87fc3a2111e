// What the case files cannot show: terminate settings and sections set in
// code, what a copy holds besides its output, the format specifications a
// task holds, and the flat settings record. Reading, writing and copies are
// covered by tests/barcode/cases/barcode_reader_task.json.

#include "barcode/task_setting.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "barcode/barcode_reader_task.h"
#include "document/template_document.h"
#include "support/parameter_test_support.h"

namespace quorvane {
namespace {

using testing::Written;

TEST(TaskSetting, TerminateSettingsSetInCode) {
  ZQA_BarcodeReaderTaskSetting task;
  // Stages compare whole: a combination of allowed bits is not allowed.
  task.terminateSetting.section = ST_BARCODE_DECODING;
  task.terminateSetting.stage = IRUT_COLOUR_IMAGE | IRUT_GRAYSCALE_IMAGE;
  Failure failure = task.CheckTerminateSetting();
  EXPECT_EQ(failure.code, errors::kJsonValueInvalid);
  EXPECT_EQ(failure.Message(),
            "BarcodeReaderTaskSetting:TerminateSetting:Json value invalid or value out of range.");
  task.terminateSetting.section = static_cast<SectionType>(9);
  task.terminateSetting.stage = IRUT_NULL;
  EXPECT_EQ(task.CheckTerminateSetting().code, errors::kJsonValueInvalid);
  task.terminateSetting.section = ST_BARCODE_DECODING;
  EXPECT_FALSE(task.CheckTerminateSetting());
}

TEST(TaskSetting, TheDefaultImageParameterFollowsTheSections) {
  const struct {
    std::vector<SectionType> sections;
    const char* imageParameterName;
  } cases[] = {
      {{ST_DOCUMENT_DETECTION, ST_TEXT_LINE_LOCALIZATION}, "ip_zqeDefault"},
      {{ST_DOCUMENT_DETECTION, ST_DOCUMENT_NORMALIZATION}, "ip_zqiDefault"},
  };
  for (const auto& c : cases) {
    ZQA_BarcodeReaderTaskSetting task;
    task.sections = c.sections;
    task.FillDefaultSectionImageParameters();
    task.FillDefaultSectionImageParameters();  // nothing more to add
    ASSERT_EQ(task.sectionImageParameters.size(), c.sections.size());
    for (std::size_t i = 0; i < c.sections.size(); ++i) {
      EXPECT_EQ(task.sectionImageParameters[i].section, c.sections[i]);
      EXPECT_EQ(task.sectionImageParameters[i].imageParameterName, c.imageParameterName);
    }
  }
}

// What a copy holds besides what it writes (the case files show that).
TEST(BarcodeReaderTask, CopyTakesTheOwnerSectionsAndHeldSpecifications) {
  QV_LMFParameter document;
  ZQA_BarcodeReaderTaskSetting task;
  task.ownerDocument = &document;
  task.heldFormatSpecifications.push_back(MakeRef<ZQA_BarcodeFormatSpecification>());
  task.GetSections();
  ZQA_BarcodeReaderTaskSetting copy(task);
  EXPECT_EQ(copy.ownerDocument, &document);
  EXPECT_EQ(copy.sections, task.sections);
  ASSERT_EQ(copy.heldFormatSpecifications.size(), 1u);
  EXPECT_EQ(copy.heldFormatSpecifications[0].Get(), task.heldFormatSpecifications[0].Get());
}

// ---------------------------------------------------------------------------
// Format specification look-ups and the flat record

QVRef<ZQA_BarcodeFormatSpecification> Specification(const std::string& name,
                                                    BarcodeFormatMask mask) {
  auto specification = MakeRef<ZQA_BarcodeFormatSpecification>();
  specification->name = name;
  specification->barcodeFormatIds.barcodeFormatIds = mask;
  return specification;
}

TEST(BarcodeReaderTask, HeldSpecificationsJoinTheNamesUnlessCovered) {
  QV_LMFParameter document;
  auto named = Specification("fs_a", BF_QR_CODE | BF_DATAMATRIX);
  document.SetSectionObject(kBarcodeFormatSpecifications, "fs_a", named);
  ZQA_BarcodeReaderTaskSetting task;
  task.formatSpecificationNames = {"fs_a", "fs_missing"};
  task.heldFormatSpecifications = {Specification("held_qr", BF_QR_CODE),
                                   Specification("held_postal", BF_POSTALCODE)};
  using Names = std::vector<std::string>;
  // Without a document nothing covers a held specification.
  EXPECT_EQ(task.GetFormatSpecificationNames(),
            (Names{"fs_a", "fs_missing", "held_qr", "held_postal"}));
  EXPECT_TRUE(task.GetFormatSpecifications().empty());

  task.ownerDocument = &document;
  EXPECT_EQ(task.GetFormatSpecificationNames(), (Names{"fs_a", "fs_missing", "held_postal"}));
  std::vector<QVRef<ZQA_BarcodeFormatSpecification>>& resolved = task.GetFormatSpecifications();
  ASSERT_EQ(resolved.size(), 2u);
  EXPECT_EQ(resolved[0].Get(), named.Get());
  EXPECT_EQ(resolved[1].Get(), task.heldFormatSpecifications[1].Get());
  // Kept once found.
  task.formatSpecificationNames = {"fs_other"};
  EXPECT_EQ(task.GetFormatSpecifications().size(), 2u);
  task.WriteToJson(false);
  EXPECT_EQ(testing::Compact(task.json["BarcodeFormatSpecificationNameArray"]),
            R"(["fs_other","held_qr","held_postal"])");
}

// A task whose sections all use the image parameter "ip_default" of a
// document, with one format specification "fs_a".
struct FlatFixture {
  FlatFixture() {
    imageParameter = MakeRef<QV_ImageParameter>();
    document.SetSectionObject(kImageParameters, "ip_default", imageParameter);
    specification = Specification("fs_a", BF_DEFAULT);
    document.SetSectionObject(kBarcodeFormatSpecifications, "fs_a", specification);
    task.ownerDocument = &document;
    task.formatSpecificationNames = {"fs_a"};
  }

  SimplifiedBarcodeReaderSettings Record() {
    SimplifiedBarcodeReaderSettings record;
    std::memset(&record, 0x5A, sizeof record);
    EXPECT_EQ(task.GetSimplifiedSettings(&record), 0);
    return record;
  }

  QV_LMFParameter document;
  QVRef<QV_ImageParameter> imageParameter;
  QVRef<ZQA_BarcodeFormatSpecification> specification;
  ZQA_BarcodeReaderTaskSetting task;
};

template <std::size_t N>
std::vector<int> Slots(const std::int32_t (&slots)[N]) {
  return std::vector<int>(slots, slots + N);
}

TEST(SimplifiedSettings, FilledFromTheTask) {
  FlatFixture f;
  f.specification->minResultConfidence = 55;
  f.specification->barcodeTextLengthRangeArray.resize(2);
  f.specification->barcodeTextLengthRangeArray[0].minValue = 6;
  f.specification->barcodeTextRegExPattern = std::string(300, 'a');
  f.imageParameter->grayscaleEnhancementModes.clear();
  for (int mode = 1; mode <= 16; mode <<= 1) f.imageParameter->grayscaleEnhancementModes.emplace_back(mode);
  for (int i = 0; i < 12; ++i) f.task.deblurModes.emplace_back(DeblurModeStruct::DM_SMOOTHING);
  f.task.expectedBarcodesCount = 7;

  SimplifiedBarcodeReaderSettings record = f.Record();
  EXPECT_EQ(record.barcodeFormatIds, BF_DEFAULT);
  EXPECT_EQ(record.expectedBarcodesCount, 7);
  EXPECT_EQ(Slots(record.grayscaleTransformationModes), (std::vector<int>{2, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Slots(record.grayscaleEnhancementModes), (std::vector<int>{1, 2, 4, 8, 16, 0, 0, 0}));
  EXPECT_EQ(Slots(record.localizationModes), (std::vector<int>{2, 0x10, 4, 8, 0, 0, 0, 0}));
  EXPECT_EQ(Slots(record.deblurModes), std::vector<int>(10, DeblurModeStruct::DM_SMOOTHING));
  EXPECT_EQ(record.minResultConfidence, 55);
  EXPECT_EQ(record.minBarcodeTextLength, 6);
  EXPECT_EQ(std::string(record.barcodeTextRegExPattern), std::string(255, 'a'));  // cut to end in 0
  EXPECT_EQ(record.maxThreadsInOneTask, 4);
  EXPECT_EQ(record.scaleDownThreshold, 2300);

  // Without specifications the record takes fixed values.
  f.task.resolvedFormatSpecifications.clear();
  f.task.formatSpecificationNames.clear();
  record = f.Record();
  EXPECT_EQ(record.minResultConfidence, 30);
  EXPECT_EQ(record.minBarcodeTextLength, 0);
  EXPECT_EQ(std::string(record.barcodeTextRegExPattern, 256), std::string(256, '\0'));
}

TEST(SimplifiedSettings, NoSingleImageParameter) {
  FlatFixture f;
  EXPECT_EQ(f.task.GetSimplifiedSettings(nullptr), -10002);
  SimplifiedBarcodeReaderSettings base = f.Record();
  base.barcodeFormatIds = BF_QR_CODE;
  base.expectedBarcodesCount = 2;
  // No document; two image parameter names; a name the document lacks.
  for (const char* secondName : {"ip_default", "ip_other", "ip_absent"}) {
    SCOPED_TRACE(secondName);
    ZQA_BarcodeReaderTaskSetting task;
    task.FillDefaultSectionImageParameters();
    const std::string name = secondName;
    if (name != "ip_default") task.ownerDocument = &f.document;
    task.sectionImageParameters[1].imageParameterName = name;
    if (name == "ip_absent") task.sectionImageParameters = {{ST_REGION_PREDETECTION, name}};
    SimplifiedBarcodeReaderSettings record;
    std::memset(&record, 0x5A, sizeof record);
    EXPECT_EQ(task.GetSimplifiedSettings(&record), -10061);
    EXPECT_EQ(record.barcodeFormatIds, BF_DEFAULT);
    EXPECT_EQ(record.expectedBarcodesCount, 0);
    EXPECT_EQ(record.scaleDownThreshold, 0x5A5A5A5A);  // untouched

    // Applying stops at the same point, after the first two fields.
    char buffer[16] = "unchanged";
    EXPECT_EQ(task.UpdateWithSimplifiedSettings(&base, buffer, sizeof buffer), -10061);
    EXPECT_EQ(task.barcodeFormat.barcodeFormatIds, BF_QR_CODE);
    EXPECT_EQ(task.expectedBarcodesCount, 2);
    EXPECT_EQ(task.localizationModes.size(), 4u);
    EXPECT_STREQ(buffer, "unchanged");
  }
}

TEST(SimplifiedSettings, SlotRuleKeepsMatchingElements) {
  FlatFixture f;
  f.task.localizationModes[0].scanStride = 7;
  f.task.localizationModes[3].confidenceThreshold = 10;
  f.imageParameter->grayscaleEnhancementModes[0].sensitivity = 3;  // GEM_GENERAL
  SimplifiedBarcodeReaderSettings record = f.Record();
  const std::int32_t localization[8] = {2, 0, 8};
  std::memcpy(record.localizationModes, localization, sizeof localization);
  const std::int32_t enhancement[8] = {2, 4};
  std::memcpy(record.grayscaleEnhancementModes, enhancement, sizeof enhancement);
  std::memset(record.deblurModes, 0, sizeof record.deblurModes);
  record.deblurModes[9] = DeblurModeStruct::DM_MORPHING;
  record.grayscaleTransformationModes[0] = 0;
  record.grayscaleTransformationModes[1] = 12345;  // taken without a look-up

  ASSERT_EQ(f.task.UpdateWithSimplifiedSettings(&record, nullptr, 0), 0);
  const std::vector<LocalizationModeStruct>& localizationModes = f.task.localizationModes;
  ASSERT_EQ(localizationModes.size(), 2u);
  EXPECT_EQ(localizationModes[0].scanStride, 7);  // the same mode in its slot: kept
  EXPECT_EQ(localizationModes[1].mode, LocalizationModeStruct::LM_LINES);
  EXPECT_EQ(localizationModes[1].confidenceThreshold, 60);  // new, not the old LM_LINES
  const auto& enhancementModes = f.imageParameter->grayscaleEnhancementModes;
  ASSERT_EQ(enhancementModes.size(), 2u);
  EXPECT_EQ(enhancementModes[0].sensitivity, 3);
  EXPECT_EQ(enhancementModes[1].mode, QVIP_GrayscaleEnhancementModeStruct::GEM_GRAY_EQUALIZE);
  ASSERT_EQ(f.task.deblurModes.size(), 1u);
  EXPECT_EQ(f.task.deblurModes[0].mode, DeblurModeStruct::DM_MORPHING);
  ASSERT_EQ(f.imageParameter->grayscaleTransformationModes.size(), 1u);
  EXPECT_EQ(f.imageParameter->grayscaleTransformationModes[0].mode, 12345);

  // A record taken from the task changes nothing when applied back.
  const std::string taskBefore = Written(f.task);
  const std::string imageBefore = Written(*f.imageParameter);
  record = f.Record();
  ASSERT_EQ(f.task.UpdateWithSimplifiedSettings(&record, nullptr, 0), 0);
  EXPECT_EQ(Written(f.task), taskBefore);
  EXPECT_EQ(Written(*f.imageParameter), imageBefore);
}

TEST(SimplifiedSettings, OutOfRangeFieldsStopTheUpdate) {
  const std::string text = "The parameter value invalid or out of range.";
  // How far the update got: 1 slots, 2 threads, 3 confidence, 4 text length and pattern.
  const struct {
    const char* label;
    void (*change)(SimplifiedBarcodeReaderSettings&);
    std::string message;  // task message and buffer ("" for none)
    int applied;
  } cases[] = {
      {"expected count", [](SimplifiedBarcodeReaderSettings& r) { r.expectedBarcodesCount = -1; },
       "ZQA_BarcodeReaderTaskSetting::ExpectedBarcodesCount:" + text, 0},
      {"threads", [](SimplifiedBarcodeReaderSettings& r) { r.maxThreadsInOneTask = 257; },
       "MaxThreadsInOneTask :" + text, 1},
      // A confidence the format specification's own reading would refuse.
      {"confidence", [](SimplifiedBarcodeReaderSettings& r) { r.minResultConfidence = 101; }, "", 2},
      {"text length", [](SimplifiedBarcodeReaderSettings& r) { r.minBarcodeTextLength = -1; }, "", 3},
      // A minimum above a range's maximum would make a range its reading refuses.
      {"text length above a maximum",
       [](SimplifiedBarcodeReaderSettings& r) { r.minBarcodeTextLength = 21; }, "", 3},
      // The image parameter holds this message.
      {"scale down", [](SimplifiedBarcodeReaderSettings& r) { r.scaleDownThreshold = 511; },
       "ScaleDownThreshold :" + text, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    FlatFixture f;
    f.specification->barcodeTextLengthRangeArray.resize(2);
    f.specification->barcodeTextLengthRangeArray[0].maxValue = 20;
    SimplifiedBarcodeReaderSettings record = f.Record();
    record.barcodeFormatIds = BF_QR_CODE;
    record.localizationModes[1] = 0;
    record.maxThreadsInOneTask = 2;
    record.minResultConfidence = 77;
    record.minBarcodeTextLength = 5;
    std::strcpy(record.barcodeTextRegExPattern, "^[0-9]+$");
    c.change(record);

    char buffer[128];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(f.task.UpdateWithSimplifiedSettings(&record, buffer, sizeof buffer), -10038);
    EXPECT_EQ(f.task.barcodeFormat.barcodeFormatIds, BF_QR_CODE);
    EXPECT_EQ(c.applied == 4 ? f.imageParameter->errorMessage : f.task.errorMessage, c.message);
    EXPECT_EQ(c.message.empty() ? std::string(1, buffer[0]) : std::string(buffer),
              c.message.empty() ? "x" : c.message);  // nothing copied without a message
    EXPECT_EQ(f.task.localizationModes.size(), c.applied >= 1 ? 3u : 4u);
    EXPECT_EQ(f.task.maxThreadsInOneTask, c.applied >= 2 ? 2 : 4);
    EXPECT_EQ(f.specification->minResultConfidence, c.applied >= 3 ? 77 : 30);
    const auto& ranges = f.specification->barcodeTextLengthRangeArray;
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[1].minValue, c.applied >= 4 ? 5 : 0);  // a refused length keeps the ranges
    EXPECT_EQ(f.specification->barcodeTextRegExPattern, c.applied >= 4 ? "^[0-9]+$" : "");
    EXPECT_EQ(f.imageParameter->scaleDownThreshold, 2300);
  }
}

TEST(SimplifiedSettings, TextLengthNeverPassesAMaximum) {
  FlatFixture f;
  f.specification->barcodeTextLengthRangeArray.resize(2);
  f.specification->barcodeTextLengthRangeArray[0].maxValue = 20;
  f.specification->barcodeTextLengthRangeArray[1].maxValue = 50;
  SimplifiedBarcodeReaderSettings record = f.Record();
  record.minBarcodeTextLength = 20;  // equal to a maximum is fine
  ASSERT_EQ(f.task.UpdateWithSimplifiedSettings(&record, nullptr, 0), 0);
  for (const auto& range : f.specification->barcodeTextLengthRangeArray) EXPECT_EQ(range.minValue, 20);
  // The applied specification reads back without complaint.
  f.specification->WriteToJson(false);
  ZQA_BarcodeFormatSpecification reread;
  EXPECT_EQ(reread.ReadFromJson(f.specification->json, NoSkippedKeys()), 0) << reread.errorMessage;

  // A specification without ranges gains one open-ended range.
  FlatFixture open;
  record = open.Record();
  record.minBarcodeTextLength = 9;
  std::memset(record.barcodeTextRegExPattern, 'b', sizeof record.barcodeTextRegExPattern);
  ASSERT_EQ(open.task.UpdateWithSimplifiedSettings(&record, nullptr, 0), 0);
  ASSERT_EQ(open.specification->barcodeTextLengthRangeArray.size(), 1u);
  EXPECT_EQ(open.specification->barcodeTextLengthRangeArray[0].minValue, 9);
  EXPECT_EQ(open.specification->barcodeTextLengthRangeArray[0].maxValue, INT_MAX);
  // A pattern without its zero byte is taken up to the field's end.
  EXPECT_EQ(open.specification->barcodeTextRegExPattern, std::string(256, 'b'));
}

TEST(SimplifiedSettings, ErrorBufferIsCutToItsLength) {
  const std::string message = "SimplifiedBarcodeReaderSettings Null pointer.";
  for (const int length : {64, 5, 1, 0, -3}) {
    SCOPED_TRACE(length);
    ZQA_BarcodeReaderTaskSetting task;
    char buffer[80];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(task.UpdateWithSimplifiedSettings(nullptr, buffer, length), -10002);
    // The message cut so that it ends in 0, the rest of the length zeroed,
    // nothing written past it.
    const std::size_t size = length > 0 ? static_cast<std::size_t>(length) : 0;
    const std::string cut = message.substr(0, size > 0 ? size - 1 : 0);
    std::string expected = cut + std::string(size - std::min(size, cut.size()), '\0');
    EXPECT_EQ(std::string(buffer, size), expected);
    EXPECT_EQ(buffer[size], 'x');
  }
  ZQA_BarcodeReaderTaskSetting task;
  EXPECT_EQ(task.UpdateWithSimplifiedSettings(nullptr, nullptr, 40), -10002);
}

}  // namespace
}  // namespace quorvane
