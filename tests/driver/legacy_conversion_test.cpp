#include "driver/legacy_conversion.h"

#include <gtest/gtest.h>

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/file_io.h"
#include "driver/run_sinks.h"
#include "driver/temp_tree.h"
#include "driver/template_check.h"
#include "framework/error_codes.h"

namespace quorvane {
namespace {

const std::string kLegacy =
    testing::FileText(LUMIFLOW_TEST_DATA_DIR "/legacy/golden/single_image_parameter.legacy.json");
const std::string kCurrent =
    testing::FileText(LUMIFLOW_TEST_DATA_DIR "/legacy/golden/single_image_parameter.expected.json");
constexpr char kExtra[] = "Extra non-whitespace after JSON value.";

// Only a legacy template converts: a file already converted is skipped, and
// anything else fails instead of coming out as a default template. Text
// after the root value fails the whole text.
TEST(ConvertLegacyTemplate, ConvertsLegacyTemplatesAndNothingElse) {
  const struct {
    std::string text;
    TemplateFormat format;
    int code;
    std::string message;  // the start of it
  } cases[] = {
      {"{}", TemplateFormat::OtherJson, errors::kJsonTypeInvalid,
       "The file is not a legacy template."},
      {R"({"Version": "3.0"})", TemplateFormat::OtherJson, errors::kJsonTypeInvalid,
       "The file is not a legacy template."},
      {"[{}]", TemplateFormat::OtherJson, errors::kJsonValueInvalid, "content is not a object"},
      {kCurrent, TemplateFormat::Current, errors::kJsonTypeInvalid,
       "The file is already in the current format."},
      {R"({"TargetROIDefOptions": []})", TemplateFormat::Current, errors::kJsonTypeInvalid,
       "The file is already in the current format."},
      {R"({"GlobalParameter": {}, "RegionDefinitionArray": []})", TemplateFormat::Legacy,
       errors::kSuccess, ""},
      {"\xEF\xBB\xBF" + kLegacy, TemplateFormat::Legacy, errors::kSuccess, ""},
      {kLegacy + "\n// a note\n/* and\n another */ \r\n", TemplateFormat::Legacy, errors::kSuccess,
       ""},
      {"", TemplateFormat::NotJson, errors::kJsonParseFailed, "Json parse failed.:* Line 1"},
      {kLegacy + kLegacy, TemplateFormat::NotJson, errors::kJsonParseFailed,
       "Json parse failed.:* Line 17, Column 1\n  " + std::string(kExtra) + "\n"},
      {R"({"ImageParameter": {}} x)", TemplateFormat::NotJson, errors::kJsonParseFailed,
       "Json parse failed.:* Line 1, Column 24\n  " + std::string(kExtra) + "\n"},
      {R"({"ImageParameter": {}} /* open)", TemplateFormat::NotJson, errors::kJsonParseFailed,
       "Json parse failed.:* Line 1, Column 24\n  " + std::string(kExtra) + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 80));
    EXPECT_EQ(FormatOfText(c.text), c.format);
    const TemplateConversion conversion = ConvertLegacyTemplate(c.text, ConversionRequest());
    EXPECT_EQ(conversion.failure.code, c.code);
    EXPECT_EQ(conversion.failure.Detail().substr(0, c.message.size()), c.message);
    EXPECT_EQ(conversion.alreadyCurrent, c.format == TemplateFormat::Current);
    EXPECT_EQ(conversion.outputText.empty(), c.code != errors::kSuccess);
  }
}

// Every kind of value the conversion reads and does not carry over as given
// is named, once, with where it was, what it was, what is written instead
// and why: as the -v line of the file shows it (the report holds the same).
TEST(ConvertLegacyTemplate, NamesEveryValueItChanges) {
  const std::string image = R"({"ImageParameter": )";
  const struct {
    std::string text;
    std::vector<std::string> lines;  // after "  F: "
  } cases[] = {
      {R"({"ImageParameter": {"Timeout": 500}, "FormatSpecification": {"Name": "f"}})", {}},
      {image + R"({"Timeout": "750"}})",
       {R"(ImageParameter.Timeout: "750": not an integer; the default is written (written: 10000).)"}},
      {image + R"({"Timeout": 3.5}})",
       {"ImageParameter.Timeout: 3.5: not an integer; the default is written (written: 10000)."}},
      {image + R"({"Timeout": -20}})",
       {"ImageParameter.Timeout: -20: out of range; the default is written (written: 10000)."}},
      {image + R"({"ImagePreprocessingModes": ["IPM_GENERAL", "ipm_general", {"Mode": 5}]}})",
       {R"(ImageParameter.ImagePreprocessingModes[1]: "ipm_general": unknown mode name; dropped (written: null).)",
        R"(ImageParameter.ImagePreprocessingModes[2]: {"Mode":5}: not a mode name; dropped (written: null).)"}},
      {image + R"({"ImagePreprocessingModes": ["IPM_MORPHOLOGY"], "BinarizationModes": ["BM_THRESHOLD"]}})",
       {R"(ImageParameter.ImagePreprocessingModes[0]: "IPM_MORPHOLOGY": the binarization modes given win; dropped (written: null).)"}},
      {image + R"({"BarcodeFormatIds_2": ["BF2_ALL", "BF2_DOTCODE", "BF2_NONE"]}})",
       {R"(ImageParameter.BarcodeFormatIds_2[1]: "BF2_DOTCODE": after BF2_ALL; ignored (written: null).)",
        R"(ImageParameter.BarcodeFormatIds_2[2]: "BF2_NONE": after BF2_ALL; ignored (written: null).)"}},
      {image + R"({"RegionDefinitionNameArray": ["r", "nowhere"]}, "RegionDefinition": {"Name": "r"}})",
       {R"(ImageParameter.RegionDefinitionNameArray[1]: "nowhere": names no region; dropped (written: null).)"}},
      {image + R"({"FormatSpecificationNameArray": ["gone", "f"]}, "FormatSpecification": {"Name": "f"}})",
       {R"(ImageParameter.FormatSpecificationNameArray[0]: "gone": names no format specification; dropped (written: null).)"}},
      {image + R"({"RegionDefinitionNameArray": ["r"]},
          "RegionDefinition": {"Name": "r", "FormatSpecificationNameArray": ["gone"]}})",
       {R"(RegionDefinition.FormatSpecificationNameArray[0]: "gone": names no format specification; dropped (written: null).)"}},
      {image + R"({"RegionDefinitionNameArray": ["roi_default"]},
          "RegionDefinitionArray": [{"Name": "roi_default"}, {"Name": "roi_default_1"}]})",
       {R"(RegionDefinitionArray[0].Name: "roi_default": renamed: the name is taken by the whole-image target ROI (written: "roi_default_2").)",
        R"(RegionDefinitionArray[1].Name: "roi_default_1": no image parameter names the region; dropped (written: null).)"}},
      {image + R"({"RegionDefinitionNameArray": ["r"]},
          "RegionDefinition": {"Name": "r"}, "RegionDefinitionArray": [{"Name": "r", "Left": 5}]})",
       {R"(RegionDefinitionArray[0].Name: "r": a region of this name comes first; ignored (written: null).)"}},
      {image + R"({}, "RegionDefinition": {"Name": "lonely"}})",
       {R"(RegionDefinition.Name: "lonely": no image parameter names the region; dropped (written: null).)"}},
      {R"({"FormatSpecificationArray": [{"Name": "f"}, {"Name": "f", "MinResultConfidence": 50}]})",
       {R"(FormatSpecificationArray[0].Name: "f": a later format specification has this name; dropped (written: null).)"}},
      {R"({"FormatSpecificationArray": [{"Name": "f", "BaseBarcodeFormatSpecification": "g"},
           {"Name": "h", "BaseBarcodeFormatSpecification": "h"},
           {"Name": "i", "BaseBarcodeFormatSpecification": "f"}]})",
       {R"(FormatSpecificationArray[0].BaseBarcodeFormatSpecification: "g": names no format specification; dropped (written: null).)",
        R"(FormatSpecificationArray[1].BaseBarcodeFormatSpecification: "h": leads back to itself; dropped (written: null).)"}},
      {image + R"({"BaseImageParameterName": "older", "BaseBarcodeReaderTaskSettingName": "t"}})",
       {R"(ImageParameter.BaseImageParameterName: "older": names a legacy image parameter; dropped (written: null).)",
        R"(ImageParameter.BaseBarcodeReaderTaskSettingName: "t": names a legacy task; dropped (written: null).)"}},
      {image + R"({"SectionImageParameterArray": [{"Section": "ST_BARCODE_DECODING", "ImageParameterName": "mine"},
          {"Section": "ST_BARCODE_LOCALIZATION", "ImageParameterName": "IP_1"}]}})",
       {R"(ImageParameter.SectionImageParameterArray[0].ImageParameterName: "mine": names a legacy image parameter; replaced (written: "IP_Decode").)"}},
      {image + R"({"MaxAlgorithmThreadCount": 3, "MaxThreadsInOneTask": 5,
          "BinarizationModes": [{"Mode": "BM_LOCAL_BLOCK", "ThresholdCompensation": 5, "ThresholdValueCoefficient": 7}]}})",
       {"ImageParameter.BinarizationModes[0].ThresholdCompensation: 5: given again under another name; that one is written (written: 7).",
        "ImageParameter.MaxAlgorithmThreadCount: 3: given again under another name; that one is written (written: 5)."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const TemplateConversion conversion = ConvertLegacyTemplate(c.text, {.record = true});
    ASSERT_FALSE(conversion.failure) << conversion.failure.Message();
    EXPECT_EQ(conversion.changes.size(), c.lines.size());
    const PlannedFile file{"in/a.json", "out/a.json"};
    FileOutcome outcome{.file = &file};
    outcome.changes = conversion.changes;
    std::string expected = "Convert in/a.json successfully.\n";
    for (const std::string& line : c.lines) expected += "  in/a.json: " + line + "\n";
    EXPECT_EQ(ConsoleText(outcome, false, true), expected);
    EXPECT_EQ(ConsoleText(outcome), "Convert in/a.json successfully.\n");
    // Free when no record is asked for.
    EXPECT_TRUE(ConvertLegacyTemplate(c.text, {}).changes.empty());
  }
}

// The checker reads the whole text too: comments may follow a template,
// nothing else.
TEST(CheckTemplateText, RefusesTextAfterTheTemplate) {
  const struct {
    std::string text;
    int code;
  } cases[] = {
      {kCurrent, errors::kSuccess},
      {kCurrent + "  // converted\n/* twice */\n", errors::kSuccess},
      {kCurrent + kCurrent, errors::kJsonParseFailed},
      {kCurrent + "x", errors::kJsonParseFailed},
      {kCurrent + "/* open", errors::kJsonParseFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(c.text.size() - 20));
    const Failure failure = CheckTemplateText(c.text);
    EXPECT_EQ(failure.code, c.code) << failure.text;
    if (c.code != errors::kSuccess) {
      EXPECT_NE(failure.text.find(kExtra), std::string::npos) << failure.text;
    }
  }
}

// What the fake conversions below throw, or give as their failure.
std::exception_ptr thrownByConversion;
int failedCode = 0;
std::string failedMessage;

TemplateConversion ThrowingConversion(const std::string&, const ConversionRequest&) {
  std::rethrow_exception(thrownByConversion);
}

TemplateConversion FailingConversion(const std::string&, const ConversionRequest&) {
  TemplateConversion conversion;
  conversion.failure = Failure::Of(failedCode, failedMessage);
  return conversion;
}

// The guard of a file is the only one on its way: what the conversion
// throws fails the file as the conversion failing with that code and text
// would, not as a file that could not be read.
TEST(PrepareFile, AThrowWhileConvertingIsTheConversionsFailure) {
  const struct {
    std::exception_ptr thrown;
    int code;
    const char* message;
    const char* line;
  } cases[] = {
      {std::make_exception_ptr(std::bad_alloc()), errors::kOutOfMemory,
       "Not enough memory to perform operation.", "Not enough memory to perform operation."},
      {std::make_exception_ptr(std::logic_error("misuse")), errors::kUnknown, "misuse", "misuse"},
      {std::make_exception_ptr(std::logic_error("")), errors::kUnknown, "", "Error: Unknown error."},
  };
  const PlannedFile file{"in/a.json", "out/a.json"};
  const std::string text = kLegacy;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    thrownByConversion = c.thrown;
    const PreparedFile thrown = PrepareFile(file, ThrowingConversion, {}, WriteBeside::Never, &text);
    failedCode = c.code;
    failedMessage = c.message;
    const PreparedFile failed = PrepareFile(file, FailingConversion, {}, WriteBeside::Never, &text);
    EXPECT_EQ(thrown.outcome.status, FileStatus::NotRead);
    EXPECT_EQ(thrown.outcome.code, c.code);
    EXPECT_EQ(thrown.outcome.message, "Fail to read Old Template: in/a.json.\n" + std::string(c.line) + "\n");
    EXPECT_EQ(thrown.outcome.message, failed.outcome.message);
    EXPECT_EQ(thrown.outcome.code, failed.outcome.code);
  }
}

}  // namespace
}  // namespace quorvane
