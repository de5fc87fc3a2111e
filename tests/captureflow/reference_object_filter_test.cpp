#include "captureflow/reference_object_filter.h"

#include <gtest/gtest.h>

#include <functional>
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

constexpr const char* kAllConditionsNull =
    R"({"BarcodeFilteringCondition":null,"FrameFilteringCondition":null,
        "TableCellFilteringCondition":null,"TextLineFilteringCondition":null,
        "ColourRegionFilteringCondition":null})";

TEST(ReferenceObjectFilter, DefaultsAndNullConditionsAreWrittenWithTheirDefaults) {
  QV_ReferenceObjectFilter filter;
  ASSERT_EQ(ReadText(filter, "{}"), 0);
  EXPECT_EQ(Written(filter), Compact(ParseJson(R"({
      "AtomicResultTypeArray":["ART_TEXT_LINE","ART_BARCODE","ART_TABLE_CELL","ART_FRAME"],
      "ReferenceTargetROIDefNameArray":null,"ReferenceTaskNameArray":null})")));

  ASSERT_EQ(ReadText(filter, kAllConditionsNull), 0);
  EXPECT_EQ(Written(filter), Compact(ParseJson(R"({
      "AtomicResultTypeArray":["ART_TEXT_LINE","ART_BARCODE","ART_TABLE_CELL","ART_FRAME"],
      "ReferenceTargetROIDefNameArray":null,"ReferenceTaskNameArray":null,
      "BarcodeFilteringCondition":{"BarcodeFormatIds":null,"BarcodeTextRegExPattern":"",
                                   "RegionState":"default"},
      "FrameFilteringCondition":{"AspectRatioRange":[1,10000],"HeightRange":[1,2147483647],
                                 "ImageDimensionRange":[16384,2147483647],"RegionState":"default",
                                 "WidthRange":[1,2147483647]},
      "TableCellFilteringCondition":{"ColNumbers":null,"RegionState":"default","RowNumbers":null},
      "TextLineFilteringCondition":{"LineNumbers":null,"LineStringRegExPattern":"",
                                    "RegionState":"default"},
      "ColourRegionFilteringCondition":{"AspectRatioRange":[1,10000],"HeightRange":[1,2147483647],
                                        "ImageDimensionRange":[16384,2147483647],
                                        "RegionPredetectionMode":"RPM_SKIP",
                                        "WidthRange":[1,2147483647]}})")));
}

// A failure inside a condition leaves the filter's earlier text behind its
// prefix; the condition keeps its own text.
TEST(ReferenceObjectFilter, FailuresAndWhoseMessageCarriesTheText) {
  const struct {
    const char* json;
    int code;
    const char* filterMessage;
  } cases[] = {
      {R"({"ReferenceTaskNameArray":[]})", -10033,
       "ReferenceObjectFilter:ReferenceTaskNameArray:Json value invalid or value out of range."},
      {R"({"ReferenceTargetROIDefNameArray":[]})", -10033,
       "ReferenceObjectFilter:ReferenceTargetROIDefNameArray:Json value invalid or value out of "
       "range."},
      {R"({"AtomicResultTypeArray":["ART_BARCODE","ART_NONE"]})", -10033,
       "ReferenceObjectFilter:earlier"},
      {R"({"AtomicResultTypeArray":"ART_BARCODE"})", -10031,
       "ReferenceObjectFilter:AtomicResultTypeArray:Json type invalid."},
      {R"({"Name":"f"})", -10032, "ReferenceObjectFilter:Name:Json key invalid."},
      {R"({"FrameFilteringCondition":{"WidthRange":[-1,5]}})", -10033,
       "ReferenceObjectFilter:earlier"},
  };
  for (const auto& c : cases) {
    QV_ReferenceObjectFilter filter;
    ExpectRead(filter, c.json, c.code, c.filterMessage);
    EXPECT_EQ(filter.atomicResultTypes.size(), 4u) << "a failed list read keeps the list";
  }
}

TEST(FilteringConditions, FailureMessagesOfEachCondition) {
  using Make = std::function<QVRef<QV_ParameterFieldBase>()>;
  const Make barcode = [] { return MakeRef<QVIP_BarcodeFilteringConditionStruct>(); };
  const Make frame = [] { return MakeRef<QVIP_FrameFilteringConditionStruct>(); };
  const Make cell = [] { return MakeRef<QVIP_TableCellFilteringConditionStruct>(); };
  const Make line = [] { return MakeRef<QVIP_TextLineFilteringConditionStruct>(); };
  const Make colour = [] { return MakeRef<QVIP_ColourRegionFilteringConditionStruct>(); };
  const std::string invalid = ":Json value invalid or value out of range.";
  const struct {
    const Make& make;
    const char* json;
    int code;
    std::string message;
  } cases[] = {
      {frame, R"({"WidthRange":[1]})", -10033, "FrameFilteringCondition:earlier"},
      {frame, R"({"AspectRatioRange":[-1,5]})", -10033,
       "FrameFilteringCondition:AspectRatioRange: out of range."},
      {frame, R"({"RegionState":"chosen"})", -10033,
       "FrameFilteringCondition:RegionState" + invalid},
      {colour, R"({"ImageDimensionRange":[0,-1]})", -10033,
       "ColourRegionFilteringCondition:ImageDimensionRange: out of range."},
      {colour, R"({"RegionPredetectionMode":"RPM_NONE"})", -10033,
       "ColourRegionFilteringCondition:RegionPredetectionMode" + invalid},
      {colour, R"({"RegionState":"default"})", -10032,
       "ColourRegionFilteringCondition:RegionState:Json key invalid."},
      {cell, R"({"RowNumbers":"1, x"})", -10033,
       "TableCellFilteringCondition:RowNumbers" + invalid},
      {cell, R"({"ColNumbers":"0-2147483647"})", -10033,
       "TableCellFilteringCondition:ColNumbers" + invalid},
      {line, R"({"LineNumbers":"1-2-3"})", -10033,
       "TextLineFilteringCondition:LineNumbers" + invalid},
      {barcode, R"({"BarcodeFormatIds":["BF_NOTHING"]})", -10033, "earlier"},
      {barcode, R"({"RegionState":"Selected ","Foo":1})", -10032,
       "BarcodeFilteringCondition:Foo:Json key invalid."},
      {barcode, "[]", -10031, "earlier"},
  };
  for (const auto& c : cases) ExpectRead(*c.make(), c.json, c.code, c.message);
}

TEST(FilteringConditions, NumberTextsExpandRangesAndReplaceTheList) {
  const struct {
    const char* value;
    bool ok;
    std::vector<int> numbers;
  } cases[] = {
      {R"("3-1, 7")", true, {1, 2, 3, 7}},
      {R"(" 5 ,, -2 ")", true, {5, -2}},
      {R"("-3--1")", true, {-3, -2, -1}},
      {R"("")", true, {}},
      {"null", true, {}},
      {"[4,2,4]", true, {4, 2, 4}},  // the written form reads back
      {R"("1,x")", false, {9}},
      {R"("[1]")", false, {9}},
      {R"("1-70000")", false, {9}},  // a short text never expands to a huge list
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    QVIP_TableCellFilteringConditionStruct condition;
    condition.rowNumbers = {9};
    EXPECT_EQ(ReadText(condition, std::string(R"({"RowNumbers":)") + c.value + "}"),
              c.ok ? 0 : -10033);
    EXPECT_EQ(condition.rowNumbers, c.numbers);
  }
}

TEST(ReferenceObjectFilter, AtomicResultTypesReadCaseInsensitivelyAndWriteNullWhenEmpty) {
  QV_ReferenceObjectFilter filter;
  ASSERT_EQ(ReadText(filter, R"({"AtomicResultTypeArray":[" art_corner","ART_COLOUR_REGION"]})"),
            0);
  EXPECT_EQ(filter.atomicResultTypes, (std::vector<int>{ART_CORNER, ART_COLOUR_REGION}));
  ASSERT_EQ(ReadText(filter, R"({"AtomicResultTypeArray":[]})"), 0);
  EXPECT_TRUE(filter.atomicResultTypes.empty());
  filter.WriteToJson(false);
  EXPECT_TRUE(filter.json["AtomicResultTypeArray"].isNull());
  filter.atomicResultTypes = {42};
  filter.WriteToJson(false);
  EXPECT_EQ(Compact(filter.json["AtomicResultTypeArray"]), R"(["ART_TEXT_LINE"])");
}

TEST(FilteringConditions, BarcodeFormatsAndPatternAreReadByTheirOwners) {
  QVIP_BarcodeFilteringConditionStruct condition;
  EXPECT_EQ(condition.barcodeFormatIds.barcodeFormatIds, BF_NULL);
  ASSERT_EQ(ReadText(condition, R"({"BarcodeFormatIds":["BF_QR_CODE","bf_datamatrix"],
                                    "BarcodeTextRegExPattern":"^[0-9]+(",
                                    "RegionState":"selected"})"),
            0);
  EXPECT_EQ(condition.barcodeFormatIds.barcodeFormatIds, BF_QR_CODE | BF_DATAMATRIX);
  EXPECT_EQ(condition.barcodeTextRegExPattern, "^[0-9]+(") << "patterns are never compiled";
  EXPECT_EQ(Written(condition),
            Compact(ParseJson(R"({"BarcodeFormatIds":["BF_QR_CODE","BF_DATAMATRIX"],
                                  "BarcodeTextRegExPattern":"^[0-9]+(",
                                  "RegionState":"selected"})")));
}

TEST(ReferenceObjectFilter, WriteThenReadRoundTrips) {
  ExpectRoundTrip<QV_ReferenceObjectFilter>(R"({
      "AtomicResultTypeArray":["ART_FRAME","ART_GEOMETRY_LINE"],
      "ReferenceTargetROIDefNameArray":["roi_a","roi_b"],"ReferenceTaskNameArray":["task"],
      "BarcodeFilteringCondition":{"BarcodeFormatIds":["BF_QR_CODE"],
                                   "BarcodeTextRegExPattern":"A.*","RegionState":"selected"},
      "FrameFilteringCondition":{"AspectRatioRange":[0,0],"HeightRange":[2,3],
                                 "ImageDimensionRange":[0,2147483647],"RegionState":"selected",
                                 "WidthRange":[4,5]},
      "TableCellFilteringCondition":{"ColNumbers":[2],"RegionState":"default","RowNumbers":[1,3]},
      "TextLineFilteringCondition":{"LineNumbers":[7,8],"LineStringRegExPattern":"x",
                                    "RegionState":"selected"},
      "ColourRegionFilteringCondition":{"AspectRatioRange":[1,2],"HeightRange":[3,4],
                                        "ImageDimensionRange":[5,6],
                                        "RegionPredetectionMode":"RPM_GENERAL_HSV_CONTRAST","WidthRange":[7,8]}})");
  ExpectRoundTrip<QVIP_TextLineFilteringConditionStruct>(R"({"LineNumbers":"2-4, 9"})", false);
}

TEST(ReferenceObjectFilter, ACopyOwnsItsConditions) {
  QV_ReferenceObjectFilter original;
  ASSERT_EQ(ReadText(original, kAllConditionsNull), 0);
  QV_ReferenceObjectFilter copy(original);
  ASSERT_EQ(ReadText(copy, R"({"FrameFilteringCondition":{"WidthRange":[3,4]}})"), 0);
  EXPECT_NE(copy.frameFilteringCondition.Get(), original.frameFilteringCondition.Get());
  EXPECT_EQ(original.frameFilteringCondition->widthRange, (std::vector<int>{1, 2147483647}));

  QV_ReferenceObjectFilter assigned;
  assigned = original;
  EXPECT_NE(assigned.barcodeFilteringCondition.Get(), original.barcodeFilteringCondition.Get());
}

}  // namespace
}  // namespace quorvane
