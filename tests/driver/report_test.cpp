// The JSON report as a user gets it: the bundled examples against a golden
// report, and the legacy keys a conversion did not carry over.

#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>
#include <string>
#include <vector>

#include "driver/converter_process.h"

namespace quorvane {
namespace {

using testing::FileText;
using testing::Outcome;
using testing::RunToEnd;
using testing::TempTree;

// The version is the one thing of the report that changes with a release.
std::string WithoutVersion(std::string report) {
  const std::string version = "\"version\" : \"" LUMIFLOW_VERSION "\"";
  const auto at = report.find(version);
  if (at != std::string::npos) report.replace(at, version.size(), "\"version\" : \"VERSION\"");
  return report;
}

// Relative paths from a scratch directory, so that the report does not
// depend on where the tests run.
TEST(RunReport, TheExamplesMatchTheGoldenReport) {
  TempTree tree;
  std::filesystem::copy(LUMIFLOW_TEST_DATA_DIR "/../examples", tree.Path("examples"),
                        std::filesystem::copy_options::recursive);
  tree.MakeDirectory("out");
  const Outcome run =
      RunToEnd({.arguments = {"-kt", "--report", "report.json", "examples", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(WithoutVersion(FileText(tree.Path("report.json"))),
            FileText(LUMIFLOW_TEST_DATA_DIR "/driver/golden/examples.report.json"));
}

// Keys the conversion did not use, misspelled or dropped, at every depth;
// one run over all of them, each file read from the report.
TEST(RunReport, NamesEveryLegacyKeyNotCarriedOver) {
  const struct {
    const char* legacy;
    std::vector<std::string> notCarriedOver;
  } cases[] = {
      {R"({"ImageParameter": {"Name": "a", "Timeout": 500}})", {}},
      {R"({"Comment": "x", "ImageParameter": {"Name": "a"}})", {"Comment"}},
      {R"({"ImageParameterContentArray": [{"Name": "a"}, {"Name": "b", "Timoeut": 500}]})",
       {"ImageParameterContentArray[1].Timoeut"}},
      {R"({"RegionDefinitionArray": [{"Name": "r", "Lefft": 0, "Top": 0, "Right": 50,
           "Bottom": 50, "MeasuredByPercentage": 1}],
           "ImageParameter": {"Name": "a", "RegionDefinitionNameArray": ["r"]}})",
       {"RegionDefinitionArray[0].Lefft"}},
      {R"({"FormatSpecificationArray": [{"Name": "f", "MirrorMod": 1,
           "BarcodeFormatIds": ["BF_QR_CODE"]}],
           "ImageParameter": {"Name": "a", "FormatSpecificationNameArray": ["f"]}})",
       {"FormatSpecificationArray[0].MirrorMod"}},
      {R"({"ImageParameterContentArray": [{"Name": "a", "ImagePreprocessingModes":
           [{"Mode": "IPM_GENERAL", "Sensitivity": 3}]}]})",
       {"ImageParameterContentArray[0].ImagePreprocessingModes[0].Sensitivity"}},
      // Nothing below an unused key is named; a region no image parameter
      // applies is still read.
      {R"({"ImageParameter": {"Name": "a", "Pages": {"Deep": {"Deeper": 1}}, "Timeout": 500},
           "RegionDefinition": {"Name": "r", "Left": 0, "Top": 0, "Right": 10, "Bottom": 10,
           "Spare": 1}, "Version": "3.0"})",
       {"ImageParameter.Pages", "RegionDefinition.Spare", "Version"}},
  };
  TempTree tree;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    names.push_back("in/" + std::to_string(10 + i) + ".json");
    tree.WriteFile(names.back(), cases[i].legacy);
  }
  tree.MakeDirectory("out");
  const Outcome run =
      RunToEnd({.arguments = {"-nqk", "--report", "report.json", "in", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 0) << run.out;
  const Json::Value report = testing::ReadJsonFile(tree.Path("report.json"));
  ASSERT_EQ(report["files"].size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Json::Value& file = report["files"][static_cast<Json::ArrayIndex>(i)];
    SCOPED_TRACE(cases[i].legacy);
    EXPECT_EQ(file["source"].asString(), names[i]);
    std::vector<std::string> paths;
    for (const Json::Value& path : file["notCarriedOver"]) paths.push_back(path.asString());
    EXPECT_EQ(paths, cases[i].notCarriedOver);
  }
}

}  // namespace
}  // namespace quorvane
