#include "captureflow/flow_sections.h"

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

TEST(FlowSections, DefaultsAreWrittenAtOnce) {
  QV_DirectoryFetcherSetting fetcher;
  EXPECT_EQ(Written(fetcher), Compact(ParseJson(R"({
      "Name":"","Type":"IST_DIRECTORY_FETCHER","DirectoryPath":"","FileFilter":"","Recursive":1,
      "PDFReadingMode":{"Mode":"PDFRM_RASTER","RasterDataSource":"RDS_RASTERIZED_PAGES","DPI":300},
      "Pages":null})")));
  QV_SemanticSetting semantic;
  EXPECT_EQ(Written(semantic), R"({"Name":"","TaskSettingNameArray":null})");
  QV_OutputTaskSetting output;
  ASSERT_EQ(ReadText(output, R"({"Name":"out"})"), 0);
  EXPECT_EQ(Written(output),
            R"({"Name":"out","OutputCondition":{"Operator":"AND","TaskResultArray":null}})");
  QV_OutputTaskSetting::TaskResult result;
  EXPECT_EQ(Written(result), Compact(ParseJson(R"({
      "TargetROIDefName":"","TaskSettingNameArray":null,"Operator":"AND",
      "BackwardReferenceOutput":{"ReferenceTaskNameArray":null,
                                 "ReferenceResultTypeArray":null}})")));
  QV_CodeParserTaskSetting parser;
  EXPECT_EQ(Written(parser), R"({"CodeSpecifications":null,"Name":"","ResourcesPath":""})");
}

TEST(FlowSections, FailureMessages) {
  using Make = std::function<QVRef<QV_ParameterFieldBase>()>;
  const Make fetcher = [] { return MakeRef<QV_DirectoryFetcherSetting>(); };
  const Make semantic = [] { return MakeRef<QV_SemanticSetting>(); };
  const Make output = [] { return MakeRef<QV_OutputTaskSetting>(); };
  const Make parser = [] { return MakeRef<QV_CodeParserTaskSetting>(); };
  const std::string invalid = "Json value invalid or value out of range.";
  const std::string result0 = "OutputTaskSetting:OutputCondition:TaskResultArray[0]:TaskResult:";
  const struct {
    const Make& make;
    std::string json;
    int code;
    std::string message;
  } cases[] = {
      {fetcher, R"({"Pages":[0,-2]})", -10033, "DirectoryFetcher:" + invalid},
      {fetcher, R"({"Recursive":2})", -10033, "DirectoryFetcher:Recursive: out of range."},
      {fetcher, R"({"Type":"IST_WEBCAM"})", -10033, "DirectoryFetcher:Type:" + invalid},
      {fetcher, R"({"PDFReadingMode":{"Foo":1}})", -10032,
       "DirectoryFetcher:PDFReadingMode:Foo:Json key invalid."},
      {semantic, R"({"TaskSettingNameArray":[]})", -10033,
       "SemanticSetting:TaskSettingNameArray:" + invalid},
      {semantic, R"({"ReferenceObjectFilter":{"Bad":1}})", -10032, "SemanticSetting:earlier"},
      {output, R"({"OutputCondition":{"Operator":"or"}})", -10033,
       "OutputTaskSetting:OutputCondition:" + invalid},
      {output, R"({"OutputCondition":{"Operator":null}})", -10033,
       "OutputTaskSetting:OutputCondition:" + invalid},
      {output, R"({"OutputCondition":{"Name":"c"}})", -10032,
       "OutputTaskSetting:OutputCondition:Name:Json key invalid."},
      {output, R"({"OutputCondition":{"TaskResultArray":[{},{"Operator":" AND"}]}})", -10033,
       "OutputTaskSetting:OutputCondition:TaskResultArray[1]:TaskResult:" + invalid},
      {output, R"({"OutputCondition":{"TaskResultArray":[{"TaskSettingNameArray":[]}]}})", -10033,
       result0 + "TaskSettingNameArray:" + invalid},
      {output,
       R"({"OutputCondition":{"TaskResultArray":[
            {"BackwardReferenceOutput":{"ReferenceTaskNameArray":[]}}]}})",
       -10033, result0 + "BackwardReferenceOutput:ReferenceTaskNameArray:" + invalid},
      {output,
       R"({"OutputCondition":{"TaskResultArray":[
            {"BackwardReferenceOutput":{"ReferenceResultTypeArray":["ART_NONE"]}}]}})",
       -10033, result0 + "BackwardReferenceOutput:"},
      {parser, R"({"CodeSpecifications":[]})", -10033,
       "CodeParserTaskSetting:CodeSpecifications:" + invalid},
  };
  for (const auto& c : cases) ExpectRead(*c.make(), c.json, c.code, c.message);
}

TEST(DirectoryFetcher, PagesMayBeEmptiedAndAreWrittenNullWhenEmpty) {
  QV_DirectoryFetcherSetting fetcher;
  ASSERT_EQ(ReadText(fetcher, R"({"Pages":[0,3]})"), 0);
  EXPECT_EQ(fetcher.pages, (std::vector<int>{0, 3}));
  ASSERT_EQ(ReadText(fetcher, R"({"Pages":null})"), 0);
  EXPECT_EQ(fetcher.pages.size(), 2u);
  ASSERT_EQ(ReadText(fetcher, R"({"Pages":[]})"), 0);
  fetcher.WriteToJson(false);
  EXPECT_TRUE(fetcher.json["Pages"].isNull());
}

TEST(SemanticSetting, ANullFilterStillCreatesADefaultFilter) {
  QV_SemanticSetting semantic;
  ASSERT_EQ(ReadText(semantic, R"({"ReferenceObjectFilter":null})"), 0);
  ASSERT_TRUE(semantic.referenceObjectFilter);
  semantic.WriteToJson(false);
  EXPECT_EQ(semantic.json["ReferenceObjectFilter"]["AtomicResultTypeArray"].size(), 4u);
}

TEST(SemanticSetting, ACopyOwnsItsFilter) {
  QV_SemanticSetting original;
  ASSERT_EQ(ReadText(original, R"({"ReferenceObjectFilter":{"ReferenceTaskNameArray":["a"]}})"), 0);
  QV_SemanticSetting copy(original);
  ASSERT_EQ(ReadText(copy, R"({"ReferenceObjectFilter":{"ReferenceTaskNameArray":["b"]}})"), 0);
  EXPECT_EQ(original.referenceObjectFilter->referenceTaskNames, std::vector<std::string>{"a"});
}

TEST(OutputTaskSetting, AnEmptyTaskResultArrayEmptiesTheList) {
  QV_OutputTaskSetting output;
  ASSERT_EQ(ReadText(output, R"({"OutputCondition":{"TaskResultArray":[{},{}]}})"), 0);
  EXPECT_EQ(output.outputCondition.taskResults.size(), 2u);
  ASSERT_EQ(ReadText(output, R"({"OutputCondition":{"TaskResultArray":[]}})"), 0);
  EXPECT_TRUE(output.outputCondition.taskResults.empty());
}

TEST(FlowSections, WriteThenReadRoundTrips) {
  ExpectRoundTrip<QV_DirectoryFetcherSetting>(R"({
      "Name":"f","Type":"IST_SCANNER_CONNECTOR","DirectoryPath":"C:/in","FileFilter":"*.png",
      "Recursive":0,"Pages":[0,2,5],
      "PDFReadingMode":{"Mode":"PDFRM_RASTER","RasterDataSource":"RDS_EXTRACTED_IMAGES",
                        "DPI":0}})");
  ExpectRoundTrip<QV_SemanticSetting>(R"({
      "Name":"s","TaskSettingNameArray":["t1","t2"],
      "ReferenceObjectFilter":{"AtomicResultTypeArray":["ART_BARCODE"],
                               "ReferenceTargetROIDefNameArray":["r"],
                               "ReferenceTaskNameArray":["t0"],
                               "TableCellFilteringCondition":{"ColNumbers":null,
                                 "RegionState":"selected","RowNumbers":[3]}}})");
  ExpectRoundTrip<QV_OutputTaskSetting>(R"({
      "Name":"o","OutputCondition":{"Operator":"OR","TaskResultArray":[
        {"TargetROIDefName":"r1","TaskSettingNameArray":["t1"],"Operator":"OR",
         "BackwardReferenceOutput":{"ReferenceTaskNameArray":["t0"],
                                    "ReferenceResultTypeArray":["ART_FRAME","ART_CORNER"]}},
        {"TargetROIDefName":"","TaskSettingNameArray":null,"Operator":"AND",
         "BackwardReferenceOutput":{"ReferenceTaskNameArray":null,
                                    "ReferenceResultTypeArray":null}}]}})");
  ExpectRoundTrip<QV_CodeParserTaskSetting>(
      R"({"Name":"p","ResourcesPath":"res","CodeSpecifications":["AAMVA"]})");
}

}  // namespace
}  // namespace quorvane
