// Hostile inputs through every reader a user's file reaches: the template
// document, the template checker and the converter. Each must end with a
// defined outcome, in bounded time and memory.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "driver/hostile_inputs.h"
#include "driver/outcome_checks.h"
#include "driver/temp_tree.h"
#include "driver/template_check.h"

namespace quorvane {
namespace {

using testing::ExpectBounded;
using testing::FileText;
using testing::HostileText;

void ExpectDocumentOutcome(const HostileText& input) {
  SCOPED_TRACE(input.name);
  testing::ExpectDocumentOutcome(input.text);
}

// Runs the converter on the text as a user's file.
void ExpectConversionOutcome(const testing::TempTree& tree, const HostileText& input) {
  SCOPED_TRACE(input.name);
  testing::ExpectConverterOutcome(tree.WriteFile("hostile.json", input.text), input.text.size(),
                                  tree.Path("out.json"));
}

TEST(HostileInput, DocumentAndCheckerGiveADefinedOutcome) {
  for (const char* section : {"ImageParameterOptions", "BarcodeReaderTaskSettingOptions"}) {
    for (const HostileText& input : testing::HostileTexts(section)) ExpectDocumentOutcome(input);
  }
  ExpectDocumentOutcome(testing::ManySectionsText("ImageParameterOptions"));
  // Last, as the largest.
  ExpectDocumentOutcome(testing::HugeArrayText("ImageParameterOptions"));
}

// Current-format templates whose every key is given every JSON type, through
// the checker alone (with and without --strict), which reads the document
// before its own step.
TEST(HostileInput, DocumentAndCheckerTakeEveryKeyAsEveryType) {
  for (const char* base : {"legacy/golden/single_image_parameter.expected.json",
                           "../fuzz/corpus/document_read/full_template.json",
                           "../fuzz/corpus/document_read/references.json"}) {
    SCOPED_TRACE(base);
    const std::vector<HostileText> inputs =
        testing::EveryKeyEveryType(FileText(LUMIFLOW_TEST_DATA_DIR "/" + std::string(base)));
    ASSERT_GT(inputs.size(), 100u);
    for (const HostileText& input : inputs) {
      SCOPED_TRACE(input.name);
      testing::ExpectCheckOutcome(input.text);
    }
  }
}

// Chains of bases as long as a template holds: --strict walks each name
// once, keeps of a section no more than its names, and tells a chain that
// loops from one that ends.
TEST(HostileInput, StrictFollowsLongChainsOfBasesOnce) {
  for (const auto& [section, baseKey] :
       {std::pair{"BarcodeReaderTaskSettingOptions", "BaseBarcodeReaderTaskSettingName"},
        std::pair{"BarcodeFormatSpecificationOptions", "BaseBarcodeFormatSpecification"}}) {
    for (const bool looping : {false, true}) {
      const HostileText input = testing::BaseChainText(section, baseKey, 60000, looping);
      SCOPED_TRACE(std::string(section) + ": " + input.name);
      Failure failure;
      ExpectBounded(input.text.size(), [&] {
        failure = CheckTemplateText(input.text, nullptr, {.strict = true});
      });
      EXPECT_EQ(failure.code, looping ? errors::kJsonValueInvalid : errors::kSuccess)
          << failure.text;
    }
  }
}

TEST(HostileInput, ConverterGivesADefinedOutcome) {
  testing::TempTree tree;
  for (const char* section :
       {"ImageParameterContentArray", "FormatSpecificationArray", "RegionDefinitionArray"}) {
    SCOPED_TRACE(section);
    for (const auto& input : testing::HostileTexts(section)) ExpectConversionOutcome(tree, input);
  }
  for (const auto& input : testing::ExpandingLegacyTexts()) ExpectConversionOutcome(tree, input);
  ExpectConversionOutcome(tree, testing::ManySectionsText("FormatSpecificationArray"));
  // Each link is judged once, not by walking the rest of the chain from it.
  for (const bool looping : {false, true}) {
    ExpectConversionOutcome(tree, testing::BaseChainText("FormatSpecificationArray",
                                                         "BaseBarcodeFormatSpecification", 15000,
                                                         looping));
  }
  ExpectConversionOutcome(tree, testing::HugeArrayText("ImageParameterContentArray"));
}

// Legacy templates whose every key is given every JSON type, converted
// through the converter's own conversion.
TEST(HostileInput, ConverterTakesEveryKeyAsEveryType) {
  testing::TempTree tree;
  for (const char* base : {"format_specifications", "legacy_image_modes", "legacy_barcode_modes",
                           "region_own_formats"}) {
    SCOPED_TRACE(base);
    const std::vector<HostileText> inputs = testing::EveryKeyEveryType(
        FileText(LUMIFLOW_TEST_DATA_DIR "/legacy/golden/" + std::string(base) + ".legacy.json"));
    ASSERT_GT(inputs.size(), 100u);
    for (const HostileText& input : inputs) ExpectConversionOutcome(tree, input);
  }
}

}  // namespace
}  // namespace quorvane
