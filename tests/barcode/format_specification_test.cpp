// What the case files cannot show for the format specification and the
// decoding modes it and the task list: entries created in code and values
// outside the tables. Reading, writing and copies are covered by
// tests/barcode/cases/format_specification.json and decoding_modes.json.

#include "barcode/format_specification.h"

#include <gtest/gtest.h>

#include <string>

#include "support/parameter_test_support.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

template <class T>
std::string Written(T object) {
  return testing::Written(object);
}

TEST(DecodingModes, EntriesCreatedInCode) {
  using L = LocalizationModeStruct;
  using DRM = DeformationResistingModeStruct;
  const std::string arguments =
      R"("ScanStride":0,"ScanDirection":0,"ConfidenceThreshold":60,"IsOneDStacked":0,"ModuleSize":0})";
  const struct {
    std::string written;
    std::string expected;
  } cases[] = {
      {Written(L(L::LM_SCAN_DIRECTLY)), R"({"Mode":"LM_SCAN_DIRECTLY",)" + arguments},
      {Written(DeblurModeStruct(DeblurModeStruct::DM_DEEP_ANALYSIS)), R"({"Mode":"DM_DEEP_ANALYSIS"})"},
      {Written(DPMCodeReadingModeStruct(DPMCodeReadingModeStruct::DPMCRM_SKIP)),
       R"({"Mode":"DPMCRM_SKIP","BarcodeFormat":"BF_DATAMATRIX"})"},
      {Written(BarcodeColourModeStruct(BarcodeColourModeStruct::BICM_LIGHT_ON_DARK)),
       R"({"Mode":"BICM_LIGHT_ON_DARK","LightReflection":1})"},
      {Written(BarcodeColourModeStruct(BarcodeColourModeStruct::BICM_DARK_ON_DARK, 0)),
       R"({"Mode":"BICM_DARK_ON_DARK","LightReflection":0})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(c.written, Compact(ParseJson(c.expected)));
  }
  // A created deformation entry differs from a list element only in its mode.
  Json::Value created = ParseJson(Written(DRM(DRM::DRM_SKIP)));
  EXPECT_EQ(created["Mode"], "DRM_SKIP");
  created["Mode"] = "DRM_GENERAL";
  EXPECT_EQ(Compact(created), Written(DRM()));
}

TEST(FormatSpecification, ValuesOutsideTheTablesAreWrittenAsTheFirstNames) {
  ZQA_BarcodeFormatSpecification specification;
  specification.mirrorMode = 3;
  specification.msiCodeCheckDigitCalculation = 0;
  specification.partitionModes = {7};
  specification.WriteToJson(false);
  EXPECT_EQ(specification.json["MirrorMode"], "MM_NORMAL");
  EXPECT_EQ(specification.json["MSICodeCheckDigitCalculation"], "MSICCDC_NO_CHECK_DIGIT");
  EXPECT_EQ(Compact(specification.json["PartitionModes"]), R"(["PM_WHOLE_BARCODE"])");
  specification.partitionModes.clear();
  specification.WriteToJson(false);
  EXPECT_TRUE(specification.json["PartitionModes"].isNull());
}

}  // namespace
}  // namespace quorvane
