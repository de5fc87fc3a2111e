// What the case files cannot show: moving legacy elements into a current
// list. Reading is covered by tests/legacy/cases/.

#include "legacy/legacy_modes.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

TEST(LegacyModes, TransferTakesTheCurrentFormatPart) {
  std::vector<DeformationResistingModeStruct> current{DeformationResistingModeStruct(0x1)};
  TransferLegacyModes(std::vector<OldDeformationResistingModeStruct>{}, current);
  ASSERT_EQ(current.size(), 1u) << "an empty legacy list leaves the current one";
  EXPECT_EQ(current[0].mode, DeformationResistingModeStruct::DRM_AUTO);

  std::vector<OldDeformationResistingModeStruct> legacy(2);
  ASSERT_EQ(legacy[1].ReadFromJson(
                ParseJson(R"({"Mode":"DRM_DEWRINKLE","Level":2,"BinarizationMode":{"BlockSizeX":9}})"),
                NoSkippedKeys()),
            0);
  TransferLegacyModes(legacy, current);
  ASSERT_EQ(current.size(), 2u);
  EXPECT_EQ(current[0].mode, DeformationResistingModeStruct::DRM_GENERAL);
  legacy[1].WriteToJson(false);
  current[1].WriteToJson(false);
  EXPECT_EQ(Compact(current[1].json), Compact(legacy[1].json));
  EXPECT_EQ(current[1].binarizationMode.blockSizeX, 9);
}

}  // namespace
}  // namespace quorvane
