#include "framework/json_text_limits.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/error_codes.h"
#include "document/template_document.h"

namespace quorvane {
namespace {

TEST(JsonValueLimit, CountsStructureOutsideStringsAndComments) {
  struct Case {
    std::string text;
    std::size_t values;  // the count the scan must reach, no more
  };
  const Case cases[] = {
      {"", 1},
      {"7", 1},
      {"[1,2,3]", 4},
      {R"({"a":1,"b":[{}]})", 5},
      {R"(["a,b,c", "d\",e", "f\\", 1])", 5},
      {"// , , ,\n[1]", 2},
      {"/* ,[{ */ [1] /**/ /*/,*/", 2},
      {"[,,,]", 5},  // dropped placeholders are values to the permissive reader
      {"\"unterminated , ,", 1},
      {"[1] /* unterminated , ,", 2},
      {"[1] // no newline , ,", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_FALSE(ExceedsJsonValueLimit(c.text, c.values));
    EXPECT_TRUE(ExceedsJsonValueLimit(c.text, c.values - 1) || c.values == 1);
  }
}

TEST(JsonValueLimit, DocumentRefusesAHugeArrayBeforeParsingIt) {
  std::string text = R"({"ImageParameterOptions": [)";
  for (std::size_t i = 0; i < kMaxJsonValues; ++i) text += "0,";
  text += "0]}";
  QV_LMFParameter document;
  EXPECT_EQ(document.ReadFromText(text), errors::kTemplateComplex);
  EXPECT_EQ(document.message, "The text holds more than 1048576 JSON values.");
  EXPECT_EQ(document.AppendFromText(text), errors::kTemplateComplex);
}

TEST(SectionLimit, AllSectionArraysCountTogether) {
  std::string atLimit = R"({"OutputTaskSettingOptions": [)";
  for (std::size_t i = 1; i < QV_LMFParameter::kMaxSections; ++i) atLimit += "{},";
  atLimit += "{}]";
  {
    QV_LMFParameter document;
    EXPECT_EQ(document.ReadFromText(atLimit + "}"), errors::kSuccess) << document.message;
  }
  // Arrays the document does not read yet count too.
  const std::string overLimit = atLimit + R"(, "CharacterModelOptions": [1]})";
  QV_LMFParameter document;
  EXPECT_EQ(document.ReadFromText(overLimit), errors::kTemplateComplex);
  EXPECT_EQ(document.message, "The template holds more than 65536 sections.");
  // Appended arrays are counted when the stored text is read.
  QV_LMFParameter appended;
  ASSERT_EQ(appended.AppendFromText(atLimit + "}"), errors::kSuccess);
  ASSERT_EQ(appended.AppendFromText(R"({"ImageParameterOptions": [{"Name": "a"}]})"),
            errors::kSuccess);
  EXPECT_EQ(appended.ReadFromString(nullptr), errors::kTemplateComplex);
}

}  // namespace
}  // namespace quorvane
