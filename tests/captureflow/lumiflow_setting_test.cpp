// What the case files cannot show: the placeholder mark and copies of it.

#include "captureflow/lumiflow_setting.h"

#include <gtest/gtest.h>

#include "support/parameter_test_support.h"

namespace quorvane {
namespace {

TEST(LumiflowSetting, PlaceholderMarkLastsUntilTheFirstReadAndIsCopied) {
  QV_LumiflowSetting setting;
  EXPECT_TRUE(setting.isPlaceholder);
  EXPECT_TRUE(QV_LumiflowSetting(setting).isPlaceholder);
  ASSERT_EQ(testing::Read(setting, R"({"Name":"Default"})"), 0);
  EXPECT_FALSE(setting.isPlaceholder);
  EXPECT_FALSE(QV_LumiflowSetting(setting).isPlaceholder);
  EXPECT_EQ(setting.GetBaseName(), "") << "capture-flow templates have no base";
}

}  // namespace
}  // namespace quorvane
