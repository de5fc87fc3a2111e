// What the case files cannot show: marks and values set in code.

#include "captureflow/target_roi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captureflow/lumiflow_setting.h"
#include "support/parameter_test_support.h"

namespace quorvane {
namespace {

using testing::Read;
using Point = QVIP_LocationOffsetStruct::Point;

TEST(TargetROIDef, TaskNamesAreAddedOnceAndWrittenOnlyWhenPresent) {
  QV_TargetROIDef definition;
  definition.AddTaskSettingName("BR_1");
  definition.AddTaskSettingName("br_1");
  definition.AddTaskSettingName("BR_1");
  EXPECT_EQ(definition.taskSettingNames, (std::vector<std::string>{"BR_1", "br_1"}));
  definition.taskSettingNames.clear();
  definition.WriteToJson(false);
  EXPECT_FALSE(definition.json.isMember("TaskSettingNameArray"));
}

// The placeholder mark of a new section lasts until its first read, and a
// copy takes it.
template <class T>
void ExpectPlaceholderUntilTheFirstRead() {
  T section;
  EXPECT_TRUE(section.isPlaceholder);
  EXPECT_TRUE(T(section).isPlaceholder);
  ASSERT_EQ(Read(section, R"({"Name":"n"})"), 0);
  EXPECT_FALSE(section.isPlaceholder);
  EXPECT_FALSE(T(section).isPlaceholder);
}

TEST(CaptureFlowSections, ThePlaceholderMarkLastsUntilTheFirstReadAndIsCopied) {
  ExpectPlaceholderUntilTheFirstRead<QV_TargetROIDef>();
  ExpectPlaceholderUntilTheFirstRead<QV_LumiflowSetting>();
}

TEST(LocationOffset, UnitsMarkedInCodeAreFilledByValidate) {
  QVIP_LocationOffsetStruct offset;
  offset.MarkUnitsNotGiven();
  offset.measuredByPercentage = 0;
  offset.secondPoint[0] = 300;
  ASSERT_EQ(offset.Validate(), 0);
  EXPECT_EQ(offset.secondPoint, (Point{300, 0, 0, 0}));
  EXPECT_EQ(offset.fourthPoint, (Point{0, 100, 0, 0}));
}

}  // namespace
}  // namespace quorvane
