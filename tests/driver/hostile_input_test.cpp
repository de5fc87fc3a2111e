// Hostile inputs through every reader a user's file reaches: the template
// document, the template checker and the converter. Each must end with a
// defined outcome, in bounded time and memory.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/hostile_inputs.h"
#include "driver/outcome_checks.h"
#include "driver/temp_tree.h"
#include "driver/template_check.h"
#include "framework/error_codes.h"
#include "framework/template_document.h"

namespace quorvane {
namespace {

using testing::ExpectBounded;
using testing::ExpectConverterOutcome;
using testing::ExpectReported;
using testing::FileText;
using testing::HostileText;

// Reading, appending and checking one text: each reports success or a
// failure of its own; the checker refuses what the document refuses.
void ExpectDocumentOutcome(const HostileText& input) {
  SCOPED_TRACE(input.name);
  const std::string& text = input.text;
  QV_LMFParameter document;
  int code = 0;
  ExpectBounded(text.size(), [&] { code = document.ReadFromText(text); });
  ExpectReported(code, document.message);

  QV_LMFParameter appended;
  ExpectBounded(text.size(), [&] {
    ExpectReported(appended.AppendFromText(text), appended.message);
    ExpectReported(appended.ReadFromString(nullptr), appended.message);
  });

  std::string checkMessage;
  int checkCode = 0;
  ExpectBounded(text.size(), [&] { checkCode = CheckTemplateText(text, checkMessage); });
  ExpectReported(checkCode, checkMessage);
  if (code != errors::kSuccess) {
    EXPECT_EQ(checkCode, code);
  }
}

// The checker alone, which reads the document before its own step.
void ExpectCheckerOutcome(const HostileText& input) {
  SCOPED_TRACE(input.name);
  std::string message;
  ExpectBounded(input.text.size(), [&] {
    ExpectReported(CheckTemplateText(input.text, message), message);
  });
}

// Current-format templates whose every key is given every JSON type.
const char* const kCurrentFormatBases[] = {
    LUMIFLOW_TEST_DATA_DIR "/legacy/golden/single_image_parameter.expected.json",
    LUMIFLOW_TEST_DATA_DIR "/../fuzz/corpus/document_read/full_template.json",
    LUMIFLOW_TEST_DATA_DIR "/../fuzz/corpus/document_read/references.json",
};

TEST(HostileInput, DocumentAndCheckerGiveADefinedOutcome) {
  for (const char* section : {"ImageParameterOptions", "BarcodeReaderTaskSettingOptions"}) {
    for (const HostileText& input : testing::HostileTexts(section)) {
      ExpectDocumentOutcome(input);
    }
  }
  ExpectDocumentOutcome(testing::ManySectionsText("ImageParameterOptions"));
  // Last, as the largest.
  ExpectDocumentOutcome(testing::HugeArrayText("ImageParameterOptions"));
}

TEST(HostileInput, DocumentAndCheckerTakeEveryKeyAsEveryType) {
  for (const char* base : kCurrentFormatBases) {
    SCOPED_TRACE(base);
    const std::vector<HostileText> inputs = testing::EveryKeyEveryType(FileText(base));
    ASSERT_GT(inputs.size(), 100u);
    for (const HostileText& input : inputs) ExpectCheckerOutcome(input);
  }
}

TEST(HostileInput, ConverterGivesADefinedOutcome) {
  testing::TempTree tree;
  const std::string destination = tree.Path("out.json");
  for (const char* section :
       {"ImageParameterContentArray", "FormatSpecificationArray", "RegionDefinitionArray"}) {
    SCOPED_TRACE(section);
    for (const HostileText& input : testing::HostileTexts(section)) {
      SCOPED_TRACE(input.name);
      const std::string file = tree.WriteFile("hostile.json", input.text);
      ExpectConverterOutcome(file, input.text.size(), destination);
    }
  }
  std::vector<HostileText> inputs = testing::ExpandingLegacyTexts();
  inputs.push_back(testing::ManySectionsText("FormatSpecificationArray"));
  inputs.push_back(testing::HugeArrayText("ImageParameterContentArray"));
  for (const HostileText& input : inputs) {
    SCOPED_TRACE(input.name);
    const std::string file = tree.WriteFile("large.json", input.text);
    ExpectConverterOutcome(file, input.text.size(), destination);
  }
}

// Legacy templates whose every key is given every JSON type, converted
// through the converter's own conversion.
TEST(HostileInput, ConverterTakesEveryKeyAsEveryType) {
  testing::TempTree tree;
  const std::string destination = tree.Path("out.json");
  for (const char* base : {"format_specifications", "legacy_image_modes", "legacy_barcode_modes",
                           "region_own_formats"}) {
    SCOPED_TRACE(base);
    const std::vector<HostileText> inputs = testing::EveryKeyEveryType(
        FileText(LUMIFLOW_TEST_DATA_DIR "/legacy/golden/" + std::string(base) + ".legacy.json"));
    ASSERT_GT(inputs.size(), 100u);
    for (const HostileText& input : inputs) {
      SCOPED_TRACE(input.name);
      const std::string file = tree.WriteFile("variant.json", input.text);
      ExpectConverterOutcome(file, input.text.size(), destination);
    }
  }
}

}  // namespace
}  // namespace quorvane
