#include "barcode/task_setting.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "barcode/barcode_reader_task.h"
#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

constexpr const char* kDefaults = R"({
  "Name": "zqa_task_default",
  "StartSection": "ST_REGION_PREDETECTION",
  "TerminateSetting": {"Section": "ST_NULL", "Stage": "IRUT_NULL"},
  "MaxThreadsInOneTask": 4,
  "SectionImageParameterArray": [
    {"Section": "ST_REGION_PREDETECTION", "ImageParameterName": "ip_default",
     "ContinueWhenPartialResultsGenerated": 1},
    {"Section": "ST_BARCODE_LOCALIZATION", "ImageParameterName": "ip_default",
     "ContinueWhenPartialResultsGenerated": 1},
    {"Section": "ST_BARCODE_DECODING", "ImageParameterName": "ip_default",
     "ContinueWhenPartialResultsGenerated": 1}],
  "ExpectedBarcodesCount": 0,
  "BarcodeFormatIds": ["BF_DEFAULT"],
  "DeblurModes": null,
  "BaseBarcodeReaderTaskSettingName": "",
  "LocalizationModes": [
    {"Mode": "LM_CONNECTED_BLOCKS", "ScanStride": 0, "ScanDirection": 0, "ModuleSize": 0,
     "ConfidenceThreshold": 60, "IsOneDStacked": 0},
    {"Mode": "LM_SCAN_DIRECTLY", "ScanStride": 0, "ScanDirection": 0, "ModuleSize": 0,
     "ConfidenceThreshold": 60, "IsOneDStacked": 0},
    {"Mode": "LM_STATISTICS", "ScanStride": 0, "ScanDirection": 0, "ModuleSize": 0,
     "ConfidenceThreshold": 60, "IsOneDStacked": 0},
    {"Mode": "LM_LINES", "ScanStride": 0, "ScanDirection": 0, "ModuleSize": 0,
     "ConfidenceThreshold": 60, "IsOneDStacked": 0}],
  "DPMCodeReadingModes": [{"Mode": "DPMCRM_SKIP", "BarcodeFormat": "BF_DATAMATRIX"}],
  "BarcodeColourModes": null,
  "BarcodeComplementModes": [{"Mode": "BCM_SKIP"}],
  "DeformationResistingModes": [{"Mode": "DRM_SKIP", "Level": 5,
    "GrayscaleEnhancementMode": {"Mode": "GEM_AUTO", "Sensitivity": -1,
      "SharpenBlockSizeX": -1, "SharpenBlockSizeY": -1, "SmoothBlockSizeX": -1,
      "SmoothBlockSizeY": -1},
    "BinarizationMode": {"Mode": "BM_LOCAL_BLOCK", "BlockSizeX": 0, "BlockSizeY": 0,
      "EnableFillBinaryVacancy": 1, "GrayscaleEnhancementModesIndex": -1,
      "ThresholdCompensation": 10, "BinarizationThreshold": -1, "MorphOperation": "Close",
      "MorphShape": "Rectangle", "MorphOperationKernelSizeX": -1,
      "MorphOperationKernelSizeY": -1}}],
  "ReturnBarcodeZoneClarity": 0,
  "TextResultOrderModes": [{"Mode": "TROM_CONFIDENCE"}, {"Mode": "TROM_POSITION"},
                           {"Mode": "TROM_FORMAT"}]
})";

// The written defaults with `changes` merged over them, key by key.
std::string DefaultsWith(const std::string& changes) {
  Json::Value expected = ParseJson(kDefaults);
  const Json::Value patch = ParseJson(changes);
  for (const std::string& key : patch.getMemberNames()) expected[key] = patch[key];
  return Compact(expected);
}

int Read(QV_ParameterFieldBase& object, const std::string& text) {
  return object.ReadFromJson(ParseJson(text), NoSkippedKeys());
}

std::string Written(QV_ParameterFieldBase& object) {
  object.WriteToJson(false);
  return Compact(object.json);
}

// The template document's reading operations do not matter here: the tests
// only register sections by name.
class TestDocument : public QV_LMFParameter {
 public:
  int ReadFromString(const char*) override { return 0; }
  int AppendFromString(const char*) override { return 0; }
  void GetReferencedNames(NameList& result, const char*, int) override { result = {}; }
};

const std::string kTypeInvalid = "Json type invalid.";
const std::string kValueInvalid = "Json value invalid or value out of range.";

TEST(BarcodeReaderTask, NewTaskWritesItsDefaults) {
  ZQA_BarcodeReaderTaskSetting task;
  EXPECT_EQ(Written(task), Compact(ParseJson(kDefaults)));
  EXPECT_EQ(task.GetTypeName(), "BarcodeReaderTaskSetting");
  EXPECT_EQ(task.GetReserved(), nullptr);
  // Null is nothing given.
  ZQA_BarcodeReaderTaskSetting fromNull;
  EXPECT_EQ(fromNull.ReadFromJson(Json::Value(), NoSkippedKeys()), 0);
  EXPECT_EQ(Written(fromNull), Compact(ParseJson(kDefaults)));
}

TEST(BarcodeReaderTask, EmptyArrayRulePerKey) {
  const struct {
    const char* key;
    bool accepted;
    const char* nonEmpty;  // a list to empty first, for an accepted key
  } cases[] = {
      {"DeblurModes", true, R"([{"Mode": "DM_SMOOTHING"}])"},
      {"BarcodeColourModes", true, R"([{"Mode": "BICM_DARK_ON_DARK"}])"},
      {"LocalizationModes", false, nullptr},
      {"DPMCodeReadingModes", false, nullptr},
      {"BarcodeComplementModes", false, nullptr},
      {"DeformationResistingModes", false, nullptr},
      {"TextResultOrderModes", false, nullptr},
      {"BarcodeFormatSpecificationNameArray", false, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    const std::string key = c.key;
    ZQA_BarcodeReaderTaskSetting task;
    if (c.accepted) {
      ASSERT_EQ(Read(task, "{\"" + key + "\": " + c.nonEmpty + "}"), 0);
      EXPECT_EQ(Read(task, "{\"" + key + "\": []}"), 0);
      EXPECT_EQ(Written(task), Compact(ParseJson(kDefaults)));
    } else {
      EXPECT_EQ(Read(task, "{\"" + key + "\": []}"), -10033);
      EXPECT_EQ(task.errorMessage, "BarcodeReaderTaskSetting:" + key + ":" + kValueInvalid);
      EXPECT_EQ(Written(task), Compact(ParseJson(kDefaults)));
    }
  }
  // The section list may be emptied; the read then gives every section its
  // default entry again.
  ZQA_BarcodeReaderTaskSetting task;
  ASSERT_EQ(Read(task, R"({"SectionImageParameterArray": [
      {"Section": "ST_BARCODE_DECODING", "ImageParameterName": "ip_x"}]})"),
            0);
  EXPECT_EQ(Read(task, R"({"SectionImageParameterArray": []})"), 0);
  EXPECT_EQ(Written(task), Compact(ParseJson(kDefaults)));
}

TEST(BarcodeReaderTask, IntegerKeys) {
  using Task = ZQA_BarcodeReaderTaskSetting;
  const struct {
    const char* text;
    int result;
    const char* message;
    int Task::*member;
    int expected;  // the member afterwards
  } cases[] = {
      {R"({"ExpectedBarcodesCount": 2147483647})", 0, "", &Task::expectedBarcodesCount, INT_MAX},
      {R"({"ExpectedBarcodesCount": -2})", -10033,
       "BarcodeReaderTaskSetting:ExpectedBarcodesCount: out of range.",
       &Task::expectedBarcodesCount, 0},
      {R"({"MaxThreadsInOneTask": 256})", 0, "", &Task::maxThreadsInOneTask, 256},
      {R"({"MaxThreadsInOneTask": 0})", -10033,
       "BarcodeReaderTaskSetting:MaxThreadsInOneTask: out of range.", &Task::maxThreadsInOneTask,
       4},
      {R"({"MaxThreadsInOneTask": 257})", -10033,
       "BarcodeReaderTaskSetting:MaxThreadsInOneTask: out of range.", &Task::maxThreadsInOneTask,
       4},
      {R"({"ReturnBarcodeZoneClarity": 2})", -10033,
       "BarcodeReaderTaskSetting:ReturnBarcodeZoneClarity: out of range.",
       &Task::returnBarcodeZoneClarity, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Task task;
    EXPECT_EQ(Read(task, c.text), c.result);
    EXPECT_EQ(task.errorMessage, c.message);
    EXPECT_EQ(task.*c.member, c.expected);
  }
}

TEST(BarcodeReaderTask, ReadFailures) {
  const struct {
    const char* text;
    int result;
    const char* message;
  } cases[] = {
      {R"({"Foo": 1})", -10032, "BarcodeReaderTaskSetting:Foo:Json key invalid."},
      {R"("task")", -10031, ""},
      {R"({"TerminateSetting": 3})", -10031,
       "BarcodeReaderTaskSetting:TerminateSetting:Json type invalid."},
      {R"({"TerminateSetting": {"Stage": "IRUT_BOGUS"}})", -10033,
       "BarcodeReaderTaskSetting:TerminateSetting:Stage:Json value invalid or value out of range."},
      {R"({"TerminateSetting": {"Name": "t"}})", -10032,
       "BarcodeReaderTaskSetting:TerminateSetting:Name:Json key invalid."},
      {R"({"SectionImageParameterArray": [{"ContinueWhenPartialResultsGenerated": 2}]})", -10033,
       "BarcodeReaderTaskSetting:SectionImageParameterArray[0]:SectionImageParameter:"
       "ContinueWhenPartialResultsGenerated: out of range."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ZQA_BarcodeReaderTaskSetting task;
    EXPECT_EQ(Read(task, c.text), c.result);
    EXPECT_EQ(task.errorMessage, c.message);
    // Failed lists stay as they were; default entries are added all the same.
    EXPECT_EQ(Written(task), Compact(ParseJson(kDefaults)));
  }
}

TEST(BarcodeReaderTask, FormatIdsAreReadBeforeAnyOtherKey) {
  ZQA_BarcodeReaderTaskSetting task;
  // "BarcodeColourModes" comes first in key order, yet is never read.
  EXPECT_NE(Read(task, R"({"BarcodeColourModes": [{"Mode": "BICM_DARK_ON_DARK"}],
                           "BarcodeFormatIds": ["BF_NOPE"], "ExpectedBarcodesCount": 3})"),
            0);
  EXPECT_TRUE(task.barcodeColourModes.empty());
  EXPECT_EQ(task.expectedBarcodesCount, 0);
  // Read by the format structure, the key is not the task's unknown key.
  EXPECT_EQ(Read(task, R"({"BarcodeFormatIds": ["BF_QR_CODE", " bf_datamatrix "]})"), 0);
  EXPECT_EQ(task.barcodeFormat.barcodeFormatIds, BF_QR_CODE | BF_DATAMATRIX);
}

TEST(TaskSetting, TerminateSettingPairs) {
  const struct {
    const char* section;
    const char* stage;
    bool valid;
  } cases[] = {
      {"ST_NULL", "IRUT_NULL", true},
      {"ST_NULL", "IRUT_COLOUR_IMAGE", false},
      {"BARCODE_DECODING", "IRUT_DECODED_BARCODES", true},
      {"ST_BARCODE_DECODING", "IRUT_LOCALIZED_BARCODES", false},
      {"ST_REGION_PREDETECTION", "IRUT_PREDETECTED_REGIONS", true},
      {"ST_REGION_PREDETECTION", "IRUT_BINARY_IMAGE", false},
      {"ST_BARCODE_LOCALIZATION", "IRUT_SHORT_LINES", true},
      {"ST_TEXT_LINE_LOCALIZATION", "IRUT_LOCALIZED_TEXT_LINES", true},
      {"ST_TEXT_LINE_RECOGNITION", "IRUT_SCALED_DOWN_COLOUR_IMAGE", false},
      {"ST_DOCUMENT_DETECTION", "IRUT_DETECTED_QUADS", true},
      {"ST_DOCUMENT_NORMALIZATION", "IRUT_NORMALIZED_IMAGES", true},
      {"ST_DOCUMENT_NORMALIZATION", "IRUT_COLOUR_IMAGE", false},
      {"ST_DOCUMENT_NORMALIZATION", "IRUT_NULL", true},
      {"ST_TEXT_LINE_RECOGNITION", "IRUT_NULL", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + " " + c.stage);
    ZQA_BarcodeReaderTaskSetting task;
    const std::string text = std::string(R"({"TerminateSetting": {"Section": ")") + c.section +
                             R"(", "Stage": ")" + c.stage + R"("}})";
    EXPECT_EQ(Read(task, text), c.valid ? 0 : -10033);
    EXPECT_EQ(task.errorMessage, "");  // the pair check adds no message
    if (c.valid) {
      task.WriteToJson(false);
      const Json::Value& written = task.json["TerminateSetting"];
      EXPECT_EQ(written["Stage"].asString(), c.stage);
      EXPECT_EQ(written["Section"].asString().rfind("ST_", 0), 0u);
    }
  }
  // Stages compare whole: a combination of allowed bits is not allowed.
  ZQA_BarcodeReaderTaskSetting task;
  task.terminateSetting.section = ST_BARCODE_DECODING;
  task.terminateSetting.stage = IRUT_COLOUR_IMAGE | IRUT_GRAYSCALE_IMAGE;
  EXPECT_FALSE(task.IsTerminateSettingValid());
  // The pair check replaces whatever the fields gave, success or failure.
  EXPECT_EQ(task.ReadFromJson(Json::Value(), NoSkippedKeys()), -10033);
  EXPECT_EQ(Read(task, R"({"MaxThreadsInOneTask": "x"})"), -10033);
  task.terminateSetting.section = static_cast<SectionType>(9);
  task.terminateSetting.stage = IRUT_NULL;
  EXPECT_FALSE(task.IsTerminateSettingValid());
}

TEST(TaskSetting, SectionAndStageNames) {
  const struct {
    const char* text;
    int expected;  // -1: refused
  } cases[] = {
      {"ST_BARCODE_LOCALIZATION", ST_BARCODE_LOCALIZATION},
      {"  st_barcode_localization ", ST_BARCODE_LOCALIZATION},
      {"barcode_localization", ST_BARCODE_LOCALIZATION},
      {" Document_Normalization", ST_DOCUMENT_NORMALIZATION},
      {"ST_TEXT_LINE_RECOGNITION", ST_TEXT_LINE_RECOGNITION},
      {"st_null", ST_NULL},
      {"NULL", -1},
      {"ST_ST_NULL", -1},
      {"BARCODE LOCALIZATION", -1},
      {"\tST_NULL", -1},
      {"", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("'") + c.text + "'");
    ZQA_BarcodeReaderTaskSetting task;
    task.startSection = ST_BARCODE_DECODING;
    Json::Value value;
    value["StartSection"] = c.text;
    const int result = task.ReadFromJson(value, NoSkippedKeys());
    if (c.expected < 0) {
      EXPECT_EQ(result, -10033);
      EXPECT_EQ(task.errorMessage, "BarcodeReaderTaskSetting:StartSection:" + kValueInvalid);
      EXPECT_EQ(task.startSection, ST_BARCODE_DECODING);
    } else {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(task.startSection, c.expected);
      task.WriteToJson(false);
      EXPECT_EQ(task.json["StartSection"].asString(), GetSectionTypeName(c.expected));
    }
  }
  ZQA_BarcodeReaderTaskSetting task;
  EXPECT_EQ(Read(task, R"({"StartSection": 2})"), -10031);
  EXPECT_EQ(task.errorMessage, "BarcodeReaderTaskSetting:StartSection:" + kTypeInvalid);

  // Writing: always the "ST_" form; values outside the tables write the
  // first name; stages are looked up by their low 32 bits.
  EXPECT_STREQ(GetSectionTypeName(ST_TEXT_LINE_LOCALIZATION), "ST_TEXT_LINE_LOCALIZATION");
  EXPECT_STREQ(GetSectionTypeName(8), "ST_NULL");
  EXPECT_STREQ(GetStageTypeName(IRUT_SHORT_LINES), "IRUT_SHORT_LINES");
  EXPECT_STREQ(GetStageTypeName(IRUT_COLOUR_IMAGE | IRUT_GRAYSCALE_IMAGE), "IRUT_NULL");
  EXPECT_STREQ(GetStageTypeName(0x100000001ull), "IRUT_COLOUR_IMAGE");
  EXPECT_EQ(StageTypeTable().size(), 29u);
}

TEST(TaskSetting, DefaultSectionEntriesFollowGivenOnes) {
  ZQA_BarcodeReaderTaskSetting task;
  ASSERT_EQ(Read(task, R"({"SectionImageParameterArray": [{"Section": " barcode_decoding",
      "ImageParameterName": "ip_x", "ContinueWhenPartialResultsGenerated": 0}]})"),
            0);
  EXPECT_EQ(Written(task), DefaultsWith(R"({"SectionImageParameterArray": [
      {"Section": "ST_BARCODE_DECODING", "ImageParameterName": "ip_x",
       "ContinueWhenPartialResultsGenerated": 0},
      {"Section": "ST_REGION_PREDETECTION", "ImageParameterName": "ip_default",
       "ContinueWhenPartialResultsGenerated": 1},
      {"Section": "ST_BARCODE_LOCALIZATION", "ImageParameterName": "ip_default",
       "ContinueWhenPartialResultsGenerated": 1}]})"));

  // Also after a failure: the list read before it stays, the defaults join it.
  ZQA_BarcodeReaderTaskSetting failed;
  EXPECT_EQ(Read(failed, R"({"SectionImageParameterArray": [{"Section": "ST_BARCODE_DECODING",
      "ImageParameterName": "ip_x"}], "StartSection": "nowhere"})"),
            -10033);
  ASSERT_EQ(failed.sectionImageParameters.size(), 3u);
  EXPECT_EQ(failed.sectionImageParameters[0].imageParameterName, "ip_x");
  EXPECT_EQ(failed.sectionImageParameters[1].section, ST_REGION_PREDETECTION);

  // The default image parameter follows the task's sections.
  const struct {
    std::vector<SectionType> sections;
    const char* imageParameterName;
  } cases[] = {
      {{ST_DOCUMENT_DETECTION, ST_TEXT_LINE_LOCALIZATION}, "ip_zqeDefault"},
      {{ST_DOCUMENT_DETECTION, ST_DOCUMENT_NORMALIZATION}, "ip_zqiDefault"},
      {{ST_BARCODE_DECODING}, "ip_default"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.imageParameterName);
    ZQA_BarcodeReaderTaskSetting custom;
    custom.sections = c.sections;
    custom.FillDefaultSectionImageParameters();
    custom.FillDefaultSectionImageParameters();  // nothing more to add
    ASSERT_EQ(custom.sectionImageParameters.size(), c.sections.size());
    for (std::size_t i = 0; i < c.sections.size(); ++i) {
      EXPECT_EQ(custom.sectionImageParameters[i].section, c.sections[i]);
      EXPECT_EQ(custom.sectionImageParameters[i].imageParameterName, c.imageParameterName);
      EXPECT_EQ(custom.sectionImageParameters[i].continueWhenPartialResultsGenerated, 1);
    }
  }
}

constexpr const char* kRich = R"({
  "Name": "br_rich",
  "StartSection": "ST_BARCODE_LOCALIZATION",
  "TerminateSetting": {"Section": "ST_BARCODE_LOCALIZATION", "Stage": "IRUT_CONTOURS"},
  "MaxThreadsInOneTask": 8,
  "SectionImageParameterArray": [
    {"Section": "ST_BARCODE_DECODING", "ImageParameterName": "ip_a",
     "ContinueWhenPartialResultsGenerated": 0},
    {"Section": "ST_REGION_PREDETECTION", "ImageParameterName": "ip_b",
     "ContinueWhenPartialResultsGenerated": 1},
    {"Section": "ST_BARCODE_LOCALIZATION", "ImageParameterName": "ip_a",
     "ContinueWhenPartialResultsGenerated": 1}],
  "ExpectedBarcodesCount": 3,
  "BarcodeFormatIds": ["BF_QR_CODE", "BF_DATAMATRIX"],
  "DeblurModes": [{"Mode": "DM_SMOOTHING"}, {"Mode": "DM_DEEP_ANALYSIS"}],
  "BaseBarcodeReaderTaskSettingName": "br_base",
  "BarcodeFormatSpecificationNameArray": ["fs_a", "fs_b"],
  "LocalizationModes": [
    {"Mode": "LM_STATISTICS_MARKS", "ScanStride": 4, "ScanDirection": 2, "ModuleSize": 7,
     "ConfidenceThreshold": 30, "IsOneDStacked": 1}],
  "DPMCodeReadingModes": [{"Mode": "DPMCRM_GENERAL", "BarcodeFormat": "BF_QR_CODE"}],
  "BarcodeColourModes": [{"Mode": "BICM_LIGHT_ON_DARK", "LightReflection": 0}],
  "BarcodeComplementModes": [{"Mode": "BCM_GENERAL"}],
  "ReturnBarcodeZoneClarity": 1,
  "TextResultOrderModes": [{"Mode": "TROM_FORMAT"}]
})";

TEST(BarcodeReaderTask, WriteThenReadRoundTrip) {
  ZQA_BarcodeReaderTaskSetting task;
  ASSERT_EQ(Read(task, kRich), 0) << task.errorMessage;
  const std::string written = Written(task);
  EXPECT_EQ(written, DefaultsWith(kRich));
  EXPECT_EQ(task.GetBaseName(), "br_base");

  ZQA_BarcodeReaderTaskSetting again;
  ASSERT_EQ(again.ReadFromJson(ParseJson(written), NoSkippedKeys()), 0) << again.errorMessage;
  EXPECT_EQ(Written(again), written);

  // The library keys are read but never written; skipped keys are not read.
  ZQA_BarcodeReaderTaskSetting library;
  EXPECT_EQ(library.ReadFromJson(
                ParseJson(R"({"LibraryFileName": "f", "LibraryParameters": "p", "Foo": 1})"),
                SkippedKeys{"Foo"}),
            0);
  EXPECT_EQ(library.libraryFileName, "f");
  EXPECT_EQ(Written(library), Compact(ParseJson(kDefaults)));
}

TEST(BarcodeReaderTask, CopyTakesEveryMember) {
  TestDocument document;
  ZQA_BarcodeReaderTaskSetting task;
  ASSERT_EQ(Read(task, kRich), 0);
  task.ownerDocument = &document;
  task.heldFormatSpecifications.push_back(MakeRef<ZQA_BarcodeFormatSpecification>());
  task.resolvedFormatSpecifications.push_back(MakeRef<ZQA_BarcodeFormatSpecification>());
  task.GetSections();

  ZQA_BarcodeReaderTaskSetting copy(task);
  EXPECT_EQ(Written(copy), Written(task));
  EXPECT_EQ(copy.ownerDocument, &document);
  EXPECT_EQ(copy.sections, task.sections);
  ASSERT_EQ(copy.heldFormatSpecifications.size(), 1u);
  EXPECT_EQ(copy.heldFormatSpecifications[0].Get(), task.heldFormatSpecifications[0].Get());
  ASSERT_EQ(copy.resolvedFormatSpecifications.size(), 1u);
  EXPECT_EQ(copy.resolvedFormatSpecifications[0].Get(), task.resolvedFormatSpecifications[0].Get());
  // The copy reads into itself, not into the task it came from.
  ASSERT_EQ(Read(copy, R"({"ExpectedBarcodesCount": 9, "TerminateSetting": {"Stage": "IRUT_NULL"},
                           "DeblurModes": [{"Mode": "DM_MORPHING"}]})"),
            0);
  EXPECT_EQ(copy.expectedBarcodesCount, 9);
  EXPECT_EQ(task.expectedBarcodesCount, 3);
  EXPECT_EQ(task.terminateSetting.stage, IRUT_CONTOURS);
  EXPECT_EQ(task.deblurModes.size(), 2u);
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
  TestDocument document;
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
  EXPECT_EQ(Compact(task.json["BarcodeFormatSpecificationNameArray"]),
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
    std::memset(&record, 0, sizeof record);
    EXPECT_EQ(task.GetSimplifiedSettings(&record), 0);
    return record;
  }

  TestDocument document;
  QVRef<QV_ImageParameter> imageParameter;
  QVRef<ZQA_BarcodeFormatSpecification> specification;
  ZQA_BarcodeReaderTaskSetting task;
};

TEST(SimplifiedSettings, FilledFromTheTask) {
  FlatFixture f;
  f.specification->minResultConfidence = 55;
  f.specification->barcodeTextLengthRangeArray.resize(2);
  f.specification->barcodeTextLengthRangeArray[0].minValue = 6;
  f.specification->barcodeTextRegExPattern = std::string(300, 'a');
  f.imageParameter->grayscaleEnhancementModes.clear();
  for (int mode = 1; mode <= 16; mode <<= 1)
    f.imageParameter->grayscaleEnhancementModes.emplace_back(mode);
  for (int i = 0; i < 12; ++i) f.task.deblurModes.emplace_back(DeblurModeStruct::DM_SMOOTHING);
  f.task.expectedBarcodesCount = 7;

  SimplifiedBarcodeReaderSettings record;
  std::memset(&record, 0x5A, sizeof record);
  ASSERT_EQ(f.task.GetSimplifiedSettings(&record), 0);
  EXPECT_EQ(record.barcodeFormatIds, BF_DEFAULT);
  EXPECT_EQ(record.expectedBarcodesCount, 7);
  const int transformation = f.imageParameter->grayscaleTransformationModes.at(0).mode;
  const std::int32_t transformationSlots[8] = {transformation};
  EXPECT_EQ(std::memcmp(record.grayscaleTransformationModes, transformationSlots, 32), 0);
  const std::int32_t enhancementSlots[8] = {1, 2, 4, 8, 16};
  EXPECT_EQ(std::memcmp(record.grayscaleEnhancementModes, enhancementSlots, 32), 0);
  const std::int32_t localizationSlots[8] = {2, 0x10, 4, 8};
  EXPECT_EQ(std::memcmp(record.localizationModes, localizationSlots, 32), 0);
  for (int slot : record.deblurModes) EXPECT_EQ(slot, DeblurModeStruct::DM_SMOOTHING);
  EXPECT_EQ(record.minResultConfidence, 55);
  EXPECT_EQ(record.minBarcodeTextLength, 6);
  EXPECT_EQ(std::string(record.barcodeTextRegExPattern), std::string(255, 'a'));
  EXPECT_EQ(record.maxThreadsInOneTask, 4);
  EXPECT_EQ(record.scaleDownThreshold, 2300);

  // Without specifications the record takes fixed values.
  f.task.resolvedFormatSpecifications.clear();
  f.task.formatSpecificationNames.clear();
  std::memset(&record, 0x5A, sizeof record);
  ASSERT_EQ(f.task.GetSimplifiedSettings(&record), 0);
  EXPECT_EQ(record.minResultConfidence, 30);
  EXPECT_EQ(record.minBarcodeTextLength, 0);
  for (char byte : record.barcodeTextRegExPattern) EXPECT_EQ(byte, 0);
}

TEST(SimplifiedSettings, NoSingleImageParameter) {
  FlatFixture f;
  f.task.expectedBarcodesCount = 2;
  f.task.barcodeFormat.barcodeFormatIds = BF_QR_CODE;
  SimplifiedBarcodeReaderSettings base = f.Record();
  EXPECT_EQ(f.task.GetSimplifiedSettings(nullptr), -10002);

  const struct {
    const char* label;
    bool document;
    const char* secondName;
  } cases[] = {
      {"no document", false, "ip_default"},
      {"two image parameter names", true, "ip_other"},
      {"a name the document lacks", true, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ZQA_BarcodeReaderTaskSetting task;
    task.ownerDocument = c.document ? &f.document : nullptr;
    if (c.secondName) {
      task.FillDefaultSectionImageParameters();
      task.sectionImageParameters[1].imageParameterName = c.secondName;
    } else {
      task.sectionImageParameters = {{ST_REGION_PREDETECTION, "ip_absent"}};
    }
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
  f.imageParameter->grayscaleEnhancementModes = {
      QVIP_GrayscaleEnhancementModeStruct(QVIP_GrayscaleEnhancementModeStruct::GEM_GENERAL)};
  f.imageParameter->grayscaleEnhancementModes[0].sensitivity = 3;
  SimplifiedBarcodeReaderSettings record = f.Record();
  const std::int32_t localization[8] = {2, 0, 8, 0, 0, 0, 0, 0};
  std::memcpy(record.localizationModes, localization, sizeof localization);
  const std::int32_t enhancement[8] = {2, 4, 0, 0, 0, 0, 0, 0};
  std::memcpy(record.grayscaleEnhancementModes, enhancement, sizeof enhancement);
  record.deblurModes[9] = DeblurModeStruct::DM_MORPHING;
  record.grayscaleTransformationModes[0] = 0;
  record.grayscaleTransformationModes[1] = 12345;  // taken without a look-up

  ASSERT_EQ(f.task.UpdateWithSimplifiedSettings(&record, nullptr, 0), 0);
  const std::vector<LocalizationModeStruct>& localizationModes = f.task.localizationModes;
  ASSERT_EQ(localizationModes.size(), 2u);
  EXPECT_EQ(localizationModes[0].mode, LocalizationModeStruct::LM_CONNECTED_BLOCKS);
  EXPECT_EQ(localizationModes[0].scanStride, 7);
  EXPECT_EQ(localizationModes[1].mode, LocalizationModeStruct::LM_LINES);
  EXPECT_EQ(localizationModes[1].confidenceThreshold, 60);  // new, not the old LM_LINES

  const auto& enhancementModes = f.imageParameter->grayscaleEnhancementModes;
  ASSERT_EQ(enhancementModes.size(), 2u);
  EXPECT_EQ(enhancementModes[0].sensitivity, 3);
  EXPECT_EQ(enhancementModes[1].mode, QVIP_GrayscaleEnhancementModeStruct::GEM_GRAY_EQUALIZE);
  EXPECT_EQ(enhancementModes[1].sensitivity, -1);
  EXPECT_EQ(enhancementModes[1].smoothBlockSizeY, -1);

  ASSERT_EQ(f.task.deblurModes.size(), 1u);
  EXPECT_EQ(f.task.deblurModes[0].mode, DeblurModeStruct::DM_MORPHING);
  ASSERT_EQ(f.imageParameter->grayscaleTransformationModes.size(), 1u);
  EXPECT_EQ(f.imageParameter->grayscaleTransformationModes[0].mode, 12345);

  // A record taken from the task changes nothing when applied back.
  f.task.WriteToJson(false);
  const std::string taskBefore = Compact(f.task.json);
  f.imageParameter->WriteToJson(false);
  const std::string imageBefore = Compact(f.imageParameter->json);
  record = f.Record();
  ASSERT_EQ(f.task.UpdateWithSimplifiedSettings(&record, nullptr, 0), 0);
  EXPECT_EQ(Written(f.task), taskBefore);
  EXPECT_EQ(Written(*f.imageParameter), imageBefore);
}

TEST(SimplifiedSettings, OutOfRangeFields) {
  const std::string text = "The parameter value invalid or out of range.";
  const struct {
    const char* label;
    void (*change)(SimplifiedBarcodeReaderSettings&);
    std::string message;  // task message and buffer ("" for none)
    bool imageParameterMessage;
    bool slotsApplied;
    bool threadsApplied;
  } cases[] = {
      {"expected count", [](SimplifiedBarcodeReaderSettings& r) { r.expectedBarcodesCount = -1; },
       "ZQA_BarcodeReaderTaskSetting::ExpectedBarcodesCount:" + text, false, false, false},
      {"threads 0", [](SimplifiedBarcodeReaderSettings& r) { r.maxThreadsInOneTask = 0; },
       "MaxThreadsInOneTask :" + text, false, true, false},
      {"threads 257", [](SimplifiedBarcodeReaderSettings& r) { r.maxThreadsInOneTask = 257; },
       "MaxThreadsInOneTask :" + text, false, true, false},
      {"confidence", [](SimplifiedBarcodeReaderSettings& r) { r.minResultConfidence = -1; }, "",
       false, true, true},
      {"confidence 101", [](SimplifiedBarcodeReaderSettings& r) { r.minResultConfidence = 101; },
       "", false, true, true},
      {"text length", [](SimplifiedBarcodeReaderSettings& r) { r.minBarcodeTextLength = -1; }, "",
       false, true, true},
      {"text length above a maximum",
       [](SimplifiedBarcodeReaderSettings& r) { r.minBarcodeTextLength = 21; }, "", false, true,
       true},
      {"scale down 511", [](SimplifiedBarcodeReaderSettings& r) { r.scaleDownThreshold = 511; },
       "ScaleDownThreshold :" + text, true, true, true},
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
    std::strcpy(record.barcodeTextRegExPattern, "^[0-9]+$");
    c.change(record);

    char buffer[128];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(f.task.UpdateWithSimplifiedSettings(&record, buffer, sizeof buffer), -10038);
    EXPECT_EQ(f.task.barcodeFormat.barcodeFormatIds, BF_QR_CODE);
    if (c.imageParameterMessage) {
      EXPECT_EQ(f.imageParameter->errorMessage, c.message);
      EXPECT_EQ(f.task.errorMessage, "");
    } else {
      EXPECT_EQ(f.task.errorMessage, c.message);
    }
    if (c.message.empty()) {
      EXPECT_EQ(buffer[0], 'x');  // nothing copied
    } else {
      EXPECT_EQ(std::string(buffer), c.message);
      EXPECT_EQ(buffer[sizeof buffer - 1], 0);
    }
    EXPECT_EQ(f.task.localizationModes.size(), c.slotsApplied ? 3u : 4u);
    EXPECT_EQ(f.task.maxThreadsInOneTask, c.threadsApplied ? 2 : 4);
    EXPECT_EQ(f.imageParameter->scaleDownThreshold, 2300);
    // The length check comes after the confidence was applied.
    const bool lengthCase = std::string(c.label).rfind("text length", 0) == 0;
    EXPECT_EQ(f.specification->minResultConfidence,
              lengthCase || c.imageParameterMessage ? 77 : 30);
    // A refused length keeps the ranges; the pattern comes after it.
    const auto& ranges = f.specification->barcodeTextLengthRangeArray;
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0].minValue, 0);
    EXPECT_EQ(ranges[0].maxValue, 20);
    EXPECT_EQ(f.specification->barcodeTextRegExPattern, c.imageParameterMessage ? "^[0-9]+$" : "");
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
  for (const BarcodeTextLengthRange& range : f.specification->barcodeTextLengthRangeArray) {
    EXPECT_EQ(range.minValue, 20);
  }
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

TEST(SimplifiedSettings, ErrorBuffer) {
  const std::string message = "SimplifiedBarcodeReaderSettings Null pointer.";
  const struct {
    int length;
    std::string expected;  // what the buffer holds before its sentinel
  } cases[] = {
      {64, message},
      {5, "Simp"},
      {1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    ZQA_BarcodeReaderTaskSetting task;
    char buffer[80];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(task.UpdateWithSimplifiedSettings(nullptr, buffer, c.length), -10002);
    EXPECT_EQ(std::string(buffer), c.expected);
    for (int i = static_cast<int>(c.expected.size()); i < c.length; ++i) EXPECT_EQ(buffer[i], 0);
    EXPECT_EQ(buffer[c.length], 'x');  // nothing written past the given length
  }
  ZQA_BarcodeReaderTaskSetting task;
  char buffer[4] = "abc";
  EXPECT_EQ(task.UpdateWithSimplifiedSettings(nullptr, buffer, 0), -10002);
  EXPECT_EQ(task.UpdateWithSimplifiedSettings(nullptr, buffer, -3), -10002);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(task.UpdateWithSimplifiedSettings(nullptr, nullptr, 40), -10002);
}

}  // namespace
}  // namespace quorvane
