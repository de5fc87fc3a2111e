#include "driver/legacy_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    EXPECT_EQ(conversion.code, c.code);
    EXPECT_EQ(conversion.errorMessage.substr(0, c.message.size()), c.message);
    EXPECT_EQ(conversion.alreadyCurrent, c.format == TemplateFormat::Current);
    EXPECT_EQ(conversion.outputText.empty(), c.code != errors::kSuccess);
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
    std::string message;
    EXPECT_EQ(CheckTemplateText(c.text, message), c.code) << message;
    if (c.code != errors::kSuccess) {
      EXPECT_NE(message.find(kExtra), std::string::npos) << message;
    }
  }
}

}  // namespace
}  // namespace quorvane
