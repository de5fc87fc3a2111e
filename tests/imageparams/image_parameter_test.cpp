// What the case files cannot show: the placeholder flag, the text line
// defaults, default names, and copies. Reading and writing are covered by
// tests/imageparams/cases/image_parameter.json.

#include "imageparams/image_parameter.h"

#include <gtest/gtest.h>

#include <string>

#include "support/parameter_test_support.h"

namespace quorvane {
namespace {

using testing::Read;
using testing::Written;

TEST(ImageParameter, TextLineDefaultsOnlyBeforeTheFirstRead) {
  QV_ImageParameter fresh;
  EXPECT_TRUE(fresh.isPlaceholder);
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
  read.ApplyTextLineDefaults();
  EXPECT_EQ(read.textDetectionMode.mode, QVIP_TextDetectionModeStruct::TTDM_SKIP);
  EXPECT_EQ(read.ifEraseTextZone, 0);
}

TEST(ImageParameter, DefaultNamesAndBaseName) {
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(0), "ip_zqeDefault");
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(1), "ip_default");
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(2), "ip_zqiDefault");
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(7), "ip_default");
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(-1), "ip_default");
  QV_ImageParameter parameter;
  EXPECT_EQ(parameter.GetBaseName(), "");
  ASSERT_EQ(Read(parameter, R"({"BaseImageParameterName":"ip_base"})"), 0);
  EXPECT_EQ(parameter.GetBaseName(), "ip_base");
}

TEST(ImageParameter, CopyHoldsEverythingAndReadsOnItsOwn) {
  QV_ImageParameter original;
  ASSERT_EQ(Read(original, R"({"Name":"ip_full","ScaleDownThreshold":1024,
                               "BinarizationModes":[{"Mode":"BM_THRESHOLD"},{"BlockSizeX":3}],
                               "TextDetectionMode":{"Mode":"TTDM_LINE"}})"),
            0);
  const std::string before = Written(original);

  QV_ImageParameter copy(original);
  EXPECT_FALSE(copy.isPlaceholder);
  EXPECT_EQ(Written(copy), before);
  ASSERT_EQ(Read(copy, R"({"ScaleDownThreshold":4096,"TextDetectionMode":{"Sensitivity":9},
                           "BinarizationModes":[{}]})"),
            0);
  EXPECT_EQ(copy.scaleDownThreshold, 4096);
  EXPECT_EQ(copy.textDetectionMode.sensitivity, 9);
  EXPECT_EQ(Written(original), before);  // the source is untouched

  QV_ImageParameter assigned;
  assigned = original;
  EXPECT_EQ(Written(assigned), before);
  EXPECT_TRUE(QV_ImageParameter(QV_ImageParameter()).isPlaceholder);
}

}  // namespace
}  // namespace quorvane
