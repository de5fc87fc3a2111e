#include "captureflow/lumiflow_setting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captureflow/capture_flow_test_support.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ExpectRead;
using testing::ExpectRoundTrip;
using testing::ParseJson;
using testing::ReadText;
using testing::Written;

using Names = std::vector<std::string>;

TEST(LumiflowSetting, DefaultsAreWrittenAtOnce) {
  QV_LumiflowSetting setting;
  EXPECT_EQ(Written(setting), Compact(ParseJson(R"({
      "Name":"Default","ImageSource":"","OutputOriginalImage":0,
      "ImageROIProcessingNameArray":["roi_default"],"SemanticProcessingNameArray":null,
      "MaxParallelTasks":4,"Timeout":10000,"MinImageCaptureInterval":0})")));
}

TEST(LumiflowSetting, RangesAndNameLists) {
  const struct {
    const char* json;
    int code;
    const char* message;
  } cases[] = {
      {R"({"MaxParallelTasks":257})", -10033, "LumiflowSetting:MaxParallelTasks: out of range."},
      {R"({"OutputOriginalImage":2})", -10033,
       "LumiflowSetting:OutputOriginalImage: out of range."},
      {R"({"Timeout":-2})", -10033, "LumiflowSetting:Timeout: out of range."},
      {R"({"MinImageCaptureInterval":-5})", -10033,
       "LumiflowSetting:MinImageCaptureInterval: out of range."},
      {R"({"ImageROIProcessingNameArray":[]})", -10033,
       "LumiflowSetting:ImageROIProcessingNameArray:Json value invalid or value out of range."},
      {R"({"SemanticProcessingNameArray":["s",1]})", -10031,
       "LumiflowSetting:SemanticProcessingNameArray:Json type invalid."},
      {R"({"ImageSource":["s"]})", -10031, "LumiflowSetting:ImageSource:Json type invalid."},
      {R"({"MaxParallelTasks":256,"MinImageCaptureInterval":2147483647})", 0, "earlier"},
  };
  for (const auto& c : cases) {
    QV_LumiflowSetting setting;
    ExpectRead(setting, c.json, c.code, c.message);
    EXPECT_EQ(setting.imageROIProcessingNames, Names{"roi_default"});
  }

  QV_LumiflowSetting setting;
  setting.semanticProcessingNames = {"kept"};
  ASSERT_EQ(ReadText(setting, R"({"MaxParallelTasks":0,"Timeout":-1,
                                  "SemanticProcessingNameArray":[]})"),
            0);
  EXPECT_EQ(setting.maxParallelTasks, 0);
  EXPECT_EQ(setting.timeout, -1);
  EXPECT_TRUE(setting.semanticProcessingNames.empty());
}

TEST(LumiflowSetting, PlaceholderMarkLastsUntilTheFirstReadAndIsCopied) {
  QV_LumiflowSetting setting;
  EXPECT_TRUE(setting.isPlaceholder);
  EXPECT_TRUE(QV_LumiflowSetting(setting).isPlaceholder);
  ASSERT_EQ(ReadText(setting, R"({"Name":"Default"})"), 0);
  EXPECT_FALSE(setting.isPlaceholder);
  EXPECT_FALSE(QV_LumiflowSetting(setting).isPlaceholder);
  EXPECT_EQ(setting.GetBaseName(), "") << "capture-flow templates have no base";
}

TEST(LumiflowSetting, WriteThenReadRoundTrips) {
  ExpectRoundTrip<QV_LumiflowSetting>(R"({
      "Name":"flow","ImageSource":"fetcher","OutputOriginalImage":1,
      "ImageROIProcessingNameArray":["r1","r2"],"SemanticProcessingNameArray":["s1"],
      "MaxParallelTasks":0,"Timeout":-1,"MinImageCaptureInterval":2147483647})");
}

}  // namespace
}  // namespace quorvane
