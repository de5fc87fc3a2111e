// What the case files cannot show: a legacy list reads its elements straight
// into the current list of its section. Reading the elements themselves is
// covered by tests/legacy/cases/.

#include "legacy/legacy_modes.h"

#include <gtest/gtest.h>

#include <vector>

#include "legacy/legacy_barcode.h"
#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

TEST(LegacyModes, ALegacyListFillsTheCurrentListAndAnEmptyOneKeepsIt) {
  OldFormatSpecification specification;
  specification.deformationResistingModes = {DeformationResistingModeStruct(0x1)};
  ASSERT_EQ(specification.ReadLegacyJson(ParseJson(R"({"DeformationResistingModes":[]})")), 0);
  ASSERT_EQ(specification.deformationResistingModes.size(), 1u)
      << "an empty legacy list leaves the current one";
  EXPECT_EQ(specification.deformationResistingModes[0].mode,
            DeformationResistingModeStruct::DRM_AUTO);

  const char* element = R"({"Mode":"DRM_DEWRINKLE","Level":2,"BinarizationMode":{"BlockSizeX":9}})";
  ASSERT_EQ(specification.ReadLegacyJson(ParseJson(
                std::string(R"({"DeformationResistingModes":["DRM_AUTO",)") + element + "]}")),
            0);
  ASSERT_EQ(specification.deformationResistingModes.size(), 2u);
  EXPECT_EQ(specification.deformationResistingModes[0].mode,
            DeformationResistingModeStruct::DRM_AUTO);
  DeformationResistingModeStruct current;
  ASSERT_EQ(current.ReadFromJson(ParseJson(element), NoSkippedKeys()), 0);
  current.WriteToJson(false);
  specification.deformationResistingModes[1].WriteToJson(false);
  EXPECT_EQ(Compact(specification.deformationResistingModes[1].json), Compact(current.json));
}

}  // namespace
}  // namespace quorvane
