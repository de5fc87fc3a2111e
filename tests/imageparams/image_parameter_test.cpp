// What the case files cannot show: the placeholder flag and the text line
// defaults. Reading, writing and copies are covered by
// tests/imageparams/cases/image_parameter.json.

#include "imageparams/image_parameter.h"

#include <gtest/gtest.h>

#include "support/parameter_test_support.h"

namespace quorvane {
namespace {

using testing::Read;

TEST(ImageParameter, TextLineDefaultsOnlyBeforeTheFirstRead) {
  QV_ImageParameter fresh;
  EXPECT_TRUE(fresh.isPlaceholder);
  EXPECT_TRUE(QV_ImageParameter(fresh).isPlaceholder);
  fresh.textDetectionMode.sensitivity = 8;
  fresh.ApplyTextLineDefaults();
  EXPECT_EQ(fresh.textDetectionMode.mode, QVIP_TextDetectionModeStruct::TTDM_LINE);
  EXPECT_EQ(fresh.textDetectionMode.direction, QVIP_TextDetectionModeStruct::UNKNOWN);
  EXPECT_EQ(fresh.textDetectionMode.sensitivity, 3);
  EXPECT_EQ(fresh.ifEraseTextZone, 1);
  // The replaced embedded object still reads through its own readers.
  ASSERT_EQ(Read(fresh, R"({"TextDetectionMode":{"Sensitivity":4}})"), 0);
  EXPECT_EQ(fresh.textDetectionMode.sensitivity, 4);

  QV_ImageParameter read;
  ASSERT_EQ(Read(read, "null"), 0);
  EXPECT_FALSE(read.isPlaceholder);
  EXPECT_FALSE(QV_ImageParameter(read).isPlaceholder);
  read.ApplyTextLineDefaults();
  EXPECT_EQ(read.textDetectionMode.mode, QVIP_TextDetectionModeStruct::TTDM_SKIP);
  EXPECT_EQ(read.ifEraseTextZone, 0);
}

}  // namespace
}  // namespace quorvane
