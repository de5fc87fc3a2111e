#include "captureflow/target_roi.h"

#include <gtest/gtest.h>

#include <climits>
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
using Point = QVIP_LocationOffsetStruct::Point;

// A definition whose location holds the given offset object.
std::string WithOffset(const std::string& offset) {
  return R"({"Location":{"Offset":)" + offset + "}}";
}

TEST(TargetROIDef, DefaultsAreWrittenAtOnce) {
  QV_TargetROIDef definition;
  EXPECT_EQ(definition.name, "roi_default");
  EXPECT_EQ(Written(definition), Compact(ParseJson(R"({
      "Name":"roi_default","BaseTargetROIDefName":"","PauseFlag":0,
      "Location":{"Offset":{
          "ReferenceObjectOriginIndex":0,"MeasuredByPercentage":1,
          "ReferenceObjectType":"ROT_ATOMIC_OBJECT",
          "ReferenceXAxis":{"AxisType":"AT_MIDPOINT_EDGE","EdgeIndex":0,"RotationAngle":90,
                            "LengthReference":"LR_X"},
          "ReferenceYAxis":{"AxisType":"AT_MIDPOINT_EDGE","EdgeIndex":1,"RotationAngle":90,
                            "LengthReference":"LR_Y"},
          "FirstPoint":[0,0,1,1],"SecondPoint":[100,0,1,1],"ThirdPoint":[100,100,1,1],
          "FourthPoint":[0,100,1,1]}}})")));
}

TEST(TargetROIDef, FailuresReachTheTopWithEachLevelsPrefix) {
  const std::string invalid = "Json value invalid or value out of range.";
  const std::string offset = "TargetROIDef:Location:LocationOffset:";
  const std::string axis = offset + "ReferenceAxis:";
  const struct {
    std::string json;
    int code;
    std::string message;
  } cases[] = {
      {R"({"PauseFlag":2})", -10033, "TargetROIDef:PauseFlag: out of range."},
      {R"({"TaskSettingNameArray":[]})", -10033, "TargetROIDef:TaskSettingNameArray:" + invalid},
      {R"({"Location":{"Foo":1}})", -10032, "TargetROIDef:Location:Foo:Json key invalid."},
      {R"({"Location":[]})", -10031, "TargetROIDef:"},
      {WithOffset(R"({"ReferenceObjectOriginIndex":4})"), -10033,
       offset + "ReferenceObjectOriginIndex: out of range."},
      {WithOffset(R"({"MeasuredByPercentage":2})"), -10033,
       offset + "MeasuredByPercentage: out of range."},
      {WithOffset(R"({"ReferenceObjectType":"ROT_NONE"})"), -10033,
       offset + "ReferenceObjectType:" + invalid},
      {WithOffset(R"({"FirstPoint":[1]})"), -10033, offset},
      {WithOffset(R"({"SecondPoint":[1,2.5]})"), -10031, offset + "SecondPoint:Json type invalid."},
      {WithOffset(R"({"ReferenceXAxis":{"EdgeIndex":4}})"), -10033,
       axis + "EdgeIndex: out of range."},
      {WithOffset(R"({"ReferenceYAxis":{"RotationAngle":180}})"), -10033,
       axis + "RotationAngle: out of range."},
      {WithOffset(R"({"ReferenceXAxis":{"LengthReference":"lr_x"}})"), -10033,
       axis + "LengthReference:" + invalid},
      {WithOffset(R"({"ReferenceXAxis":{"AxisType":"AT_ROTATION_OTHER_AXIS"},
                      "ReferenceYAxis":{"AxisType":"AT_ROTATION_OTHER_AXIS"}})"),
       -10033, "TargetROIDef:Location:AxisType can't be AT_ROTATION_OTHER_AXIS at the same time."},
      {WithOffset(R"({"ReferenceXAxis":{"AxisType":"AT_EDGE","EdgeIndex":0},
                      "ReferenceYAxis":{"AxisType":"AT_EDGE","EdgeIndex":2}})"),
       -10033, "TargetROIDef:Location:EdgeIndex is invalid."},
      {WithOffset(R"({"FirstPoint":[0,0],"SecondPoint":[0,100],"FourthPoint":[100,0]})"), -10033,
       "TargetROIDef:Location:LocationOffset: points are invalid."},
      // The filter keeps its text to itself: the location's earlier (empty) text goes up.
      {R"({"Location":{"ReferenceObjectFilter":{"ReferenceTaskNameArray":[]}}})", -10033,
       "TargetROIDef:Location:"},
  };
  for (const auto& c : cases) {
    QV_TargetROIDef definition;
    ExpectRead(definition, c.json, c.code, c.message);
  }
}

TEST(LocationOffset, AxesMustLieOnAdjacentEdges) {
  const struct {
    const char* xType;
    int xEdge;
    const char* yType;
    int yEdge;
    bool ok;
  } cases[] = {
      {"AT_EDGE", 0, "AT_EDGE", 1, true},
      {"AT_EDGE", 0, "AT_EDGE", 0, false},
      {"AT_EDGE", 0, "AT_EDGE", 2, false},
      {"AT_EDGE", 3, "AT_MIDPOINT_EDGE", 1, false},
      {"AT_MIDPOINT_EDGE", 2, "AT_EDGE", 3, true},
      {"AT_MIDPOINT_EDGE", 2, "AT_MIDPOINT_EDGE", 2, true},  // two midpoint axes are free
      {"AT_EDGE", -1, "AT_EDGE", 1, false},  // -1 is accepted and sits opposite edge 1
  };
  for (const auto& c : cases) {
    const std::string text = std::string(R"({"ReferenceXAxis":{"AxisType":")") + c.xType +
                             R"(","EdgeIndex":)" + std::to_string(c.xEdge) +
                             R"(},"ReferenceYAxis":{"AxisType":")" + c.yType + R"(","EdgeIndex":)" +
                             std::to_string(c.yEdge) + "}}";
    SCOPED_TRACE(text);
    QVIP_LocationOffsetStruct offset;
    EXPECT_EQ(ReadText(offset, text), c.ok ? 0 : -10033);
    if (!c.ok) {
      EXPECT_EQ(offset.errorMessage, "EdgeIndex is invalid.");
    }
  }
}

TEST(LocationOffset, UnitsNotGivenAreFilledFromMeasuredByPercentage) {
  const struct {
    const char* json;
    int code;
    std::vector<Point> points;
  } cases[] = {
      {R"({"ReferenceObjectType":"ROT_WHOLE_IMAGE"})",
       0,
       {{0, 0, 1, 1}, {100, 0, 1, 1}, {100, 100, 1, 1}, {0, 100, 1, 1}}},
      {R"({"MeasuredByPercentage":0,"FirstPoint":[10,20]})",
       0,
       {{10, 20, 0, 0}, {100, 0, 0, 0}, {100, 100, 0, 0}, {0, 100, 0, 0}}},
      {R"({"FirstPoint":[0,0,0]})",
       0,
       {{0, 0, 0, 1}, {100, 0, 1, 1}, {100, 100, 1, 1}, {0, 100, 1, 1}}},
      {R"({"MeasuredByPercentage":0,"ThirdPoint":[100,100,1,1]})",
       0,
       {{0, 0, 0, 0}, {100, 0, 0, 0}, {100, 100, 1, 1}, {0, 100, 0, 0}}},
      // Mixed units are not compared: even counter-clockwise points pass.
      {R"({"FirstPoint":[0,0,1,0],"SecondPoint":[0,100],"FourthPoint":[100,0]})",
       0,
       {{0, 0, 1, 0}, {0, 100, 1, 1}, {100, 100, 1, 1}, {100, 0, 1, 1}}},
      // Pixels throughout: compared, and these turn the wrong way.
      {R"({"MeasuredByPercentage":0,"SecondPoint":[0,100],"FourthPoint":[100,0]})",
       -10033,
       {{0, 0, 0, 0}, {0, 100, 0, 0}, {100, 100, 0, 0}, {100, 0, 0, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    QVIP_LocationOffsetStruct offset;
    EXPECT_EQ(ReadText(offset, c.json), c.code);
    EXPECT_EQ((std::vector<Point>{offset.firstPoint, offset.secondPoint, offset.thirdPoint,
                                  offset.fourthPoint}),
              c.points);
  }
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

TEST(LocationOffset, PointsMustTurnTheDefaultWayAtEveryCorner) {
  constexpr int kMin = INT_MIN;
  constexpr int kMax = INT_MAX;
  const struct {
    const char* label;
    Point first, second, third, fourth;
    bool ok;
  } cases[] = {
      {"default clockwise", {0, 0}, {100, 0}, {100, 100}, {0, 100}, true},
      {"counter-clockwise", {0, 0}, {0, 100}, {100, 100}, {100, 0}, false},
      {"three collinear corners", {0, 0}, {50, 0}, {100, 0}, {0, 100}, false},
      {"crossed", {0, 0}, {100, 100}, {100, 0}, {0, 100}, false},
      {"concave", {0, 0}, {100, 0}, {50, 20}, {0, 100}, false},
      {"rotated square", {50, 0}, {100, 50}, {50, 100}, {0, 50}, true},
      // The cross products of the widest quadrilateral need more than 64 bits.
      {"widest clockwise", {kMin, kMin}, {kMax, kMin}, {kMax, kMax}, {kMin, kMax}, true},
      {"widest counter-clockwise", {kMin, kMin}, {kMin, kMax}, {kMax, kMax}, {kMax, kMin}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    for (int unit : {0, 1}) {
      QVIP_LocationOffsetStruct offset;
      offset.firstPoint = {c.first[0], c.first[1], unit, unit};
      offset.secondPoint = {c.second[0], c.second[1], unit, unit};
      offset.thirdPoint = {c.third[0], c.third[1], unit, unit};
      offset.fourthPoint = {c.fourth[0], c.fourth[1], unit, unit};
      offset.errorMessage.clear();
      EXPECT_EQ(offset.Validate(), c.ok ? 0 : -10033);
      EXPECT_EQ(offset.errorMessage, c.ok ? "" : "LocationOffset: points are invalid.");
    }
  }
}

TEST(TargetROIDef, TaskNamesAreAddedOnceAndWrittenOnlyWhenPresent) {
  QV_TargetROIDef definition;
  definition.AddTaskSettingName("BR_1");
  definition.AddTaskSettingName("br_1");
  definition.AddTaskSettingName("BR_1");
  EXPECT_EQ(definition.taskSettingNames, (std::vector<std::string>{"BR_1", "br_1"}));
  definition.WriteToJson(false);
  EXPECT_EQ(Compact(definition.json["TaskSettingNameArray"]), R"(["BR_1","br_1"])");
  definition.taskSettingNames.clear();
  definition.WriteToJson(false);
  EXPECT_FALSE(definition.json.isMember("TaskSettingNameArray"));
}

TEST(TargetROIDef, ReadKeepsTheDefaultLocationAndClearsThePlaceholderMark) {
  QV_TargetROIDef definition;
  const std::string defaults = Compact(ParseJson(Written(definition))["Location"]);
  EXPECT_TRUE(QV_TargetROIDef(definition).isPlaceholder) << "a copy keeps the mark";
  ASSERT_EQ(ReadText(definition, R"({"Name":"r1","TaskSettingNameArray":["t"]})"), 0);
  EXPECT_FALSE(definition.isPlaceholder);
  definition.WriteToJson(false);
  EXPECT_EQ(Compact(definition.json["Location"]), defaults);
}

TEST(Location, AFilterExistsOnlyOnceANonNullOneWasRead) {
  QV_LocationStruct location;
  ASSERT_EQ(ReadText(location, R"({"ReferenceObjectFilter":null})"), 0);
  EXPECT_FALSE(location.referenceObjectFilter);
  location.WriteToJson(false);
  EXPECT_FALSE(location.json.isMember("ReferenceObjectFilter"));
  ASSERT_EQ(ReadText(location, R"({"ReferenceObjectFilter":{}})"), 0);
  ASSERT_TRUE(location.referenceObjectFilter);
  location.WriteToJson(false);
  EXPECT_EQ(location.json["ReferenceObjectFilter"]["AtomicResultTypeArray"].size(), 4u);
}

TEST(TargetROIDef, ACopyOwnsItsFilter) {
  QV_TargetROIDef base;
  ASSERT_EQ(ReadText(base, R"({"Name":"base","Location":{"ReferenceObjectFilter":{
                                 "ReferenceTaskNameArray":["t1"],
                                 "FrameFilteringCondition":null}}})"),
            0);
  const std::string baseText = Written(base);
  QV_TargetROIDef derived(base);
  ASSERT_EQ(ReadText(derived, R"({"Name":"derived","Location":{"ReferenceObjectFilter":{
                                    "ReferenceTaskNameArray":["t2"],
                                    "FrameFilteringCondition":{"WidthRange":[5,6]}}}})"),
            0);
  EXPECT_NE(derived.location.referenceObjectFilter.Get(),
            base.location.referenceObjectFilter.Get());
  EXPECT_EQ(Written(base), baseText);
}

TEST(TargetROIDef, WriteThenReadRoundTrips) {
  ExpectRoundTrip<QV_TargetROIDef>(R"({
      "Name":"r1","BaseTargetROIDefName":"r0","PauseFlag":1,"TaskSettingNameArray":["a","b"],
      "Location":{
        "ReferenceObjectFilter":{"AtomicResultTypeArray":["ART_CORNER"],
                                 "ReferenceTargetROIDefNameArray":["r0"],
                                 "ReferenceTaskNameArray":null,
                                 "TextLineFilteringCondition":{"LineNumbers":[1,2],
                                   "LineStringRegExPattern":"","RegionState":"default"}},
        "Offset":{
          "ReferenceObjectOriginIndex":3,"MeasuredByPercentage":0,
          "ReferenceObjectType":"ROT_WHOLE_IMAGE",
          "ReferenceXAxis":{"AxisType":"AT_EDGE","EdgeIndex":2,"RotationAngle":1,
                            "LengthReference":"LR_Y"},
          "ReferenceYAxis":{"AxisType":"AT_ROTATION_OTHER_AXIS","EdgeIndex":2,
                            "RotationAngle":179,"LengthReference":"LR_X"},
          "FirstPoint":[10,20,0,0],"SecondPoint":[300,20,0,0],"ThirdPoint":[300,400,0,0],
          "FourthPoint":[10,400,0,0]}}})");
}

}  // namespace
}  // namespace quorvane
