// The converter's batch options, as a user runs the executable: dry runs,
// keeping the tree, workers and the JSON report.

#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "driver/converter_process.h"
#include "support/json_text.h"

namespace quorvane::testing {
namespace {

// -n reads, converts and checks, but leaves the destination as it was: no
// output, no directory, no temporary file; only the report is written.
TEST(BatchOptions, DryRunLeavesTheDestinationUntouched) {
  const std::string stopped = "Would convert in/a.json to out/a.json.\n" + Refused("in/c.json");
  const struct {
    std::vector<std::string> arguments;
    std::string out;
  } cases[] = {
      {{"-n", "in", "out"},
       stopped + "Would convert 1 of 3 files, 1 failed, 1 not converted (dry run: no output "
                 "written).\n"},
      {{"-nt", "in", "out"},
       stopped + "Would convert 1 of 3 files, 1 failed, 1 not converted (dry run: no output "
                 "written).\n"},
      {{"-nkt", "--report", "r.json", "in", "out"},
       stopped + "Would convert in/sub/b.json to out/sub/b.json.\n"
                 "Would convert 2 of 3 files, 1 failed (dry run: no output written).\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    TempTree tree;
    tree.WriteFile("in/a.json", kLegacy);
    tree.WriteFile("in/c.json", kRefused);
    tree.WriteFile("in/sub/b.json", kLegacy);
    tree.WriteFile("out/a.json", kEarlierOutput);
    const Files before = Snapshot(tree.Path("out"), true);
    const Outcome run = RunToEnd({.arguments = c.arguments}, tree.Root());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(Snapshot(tree.Path("out"), true), before);
    if (c.arguments.size() > 3) {
      const Json::Value report = ReadJsonFile(tree.Path("r.json"));
      EXPECT_TRUE(report["options"]["dryRun"].asBool());
      EXPECT_EQ(Statuses(report), (std::vector<std::string>{"in/a.json converted",
                                                            "in/c.json failed",
                                                            "in/sub/b.json converted"}));
    }
  }
}

// -t keeps files of one name in different folders apart, creating the
// folders with the permissions of the umask.
TEST(BatchOptions, KeepTreeKeepsSameNamedFilesApart) {
  TempTree tree;
  const std::string siteA = R"({"ImageParameter": {"Name": "A", "Timeout": 500}})";
  const std::string siteB = R"({"ImageParameter": {"Name": "B", "Timeout": 700}})";
  tree.WriteFile("in/site-a/label.json", siteA);
  tree.WriteFile("in/site-b/deep/label.json", siteB);
  tree.WriteFile("in/label.json", kLegacy);
  tree.MakeDirectory("out");
  const Outcome run = RunToEnd({.arguments = {"-t", "in", "out/"}}, tree.Root());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Converted("in/label.json") + Converted("in/site-a/label.json") +
                         Converted("in/site-b/deep/label.json"));
  EXPECT_EQ(Snapshot(tree.Path("out")), (Files{{"label.json", Output(kLegacy)},
                                               {"site-a/label.json", Output(siteA)},
                                               {"site-b/deep/label.json", Output(siteB)}}));
  const mode_t mask = umask(0);
  umask(mask);
  for (const char* directory : {"out/site-a", "out/site-b", "out/site-b/deep"}) {
    struct stat status {};
    ASSERT_EQ(stat(tree.Path(directory).c_str(), &status), 0) << directory;
    EXPECT_EQ(status.st_mode & 07777, 0777 & ~mask) << directory;
  }
}

// A run that stops at a failure reports the files after it as not converted,
// with the failure's code and the console's own lines.
TEST(BatchOptions, TheReportOfARunThatStops) {
  TempTree tree;
  tree.WriteFile("in/1.json", kLegacy);
  tree.WriteFile("in/2.json", kRefused);
  tree.WriteFile("in/3.json", kLegacy);
  tree.WriteFile("in/sub/4.json", kLegacy);
  tree.MakeDirectory("out");
  const Outcome run = RunToEnd({.arguments = {"--report=r.json", "in", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Converted("in/1.json") + Refused("in/2.json"));
  EXPECT_EQ(Snapshot(tree.Path("out")), (Files{{"1.json", Output(kLegacy)}}));
  const Json::Value report = ReadJsonFile(tree.Path("r.json"));
  EXPECT_EQ(report["tool"].asString(), "lumiflow-convert");
  EXPECT_EQ(report["version"].asString(), LUMIFLOW_VERSION);
  EXPECT_EQ(report["source"].asString() + " " + report["destination"].asString(), "in out");
  EXPECT_EQ(Statuses(report),
            (std::vector<std::string>{"in/1.json converted", "in/2.json failed",
                                      "in/3.json not converted", "in/sub/4.json not converted"}));
  const Json::Value& failure = report["files"][1];
  EXPECT_EQ(failure["output"].asString(), "out/2.json");
  EXPECT_EQ(failure["failure"].asString(), "read");
  EXPECT_EQ(failure["code"].asInt(), ConvertLegacyTemplate(kRefused).failure.code);
  EXPECT_EQ(failure["message"].asString() + "\n", Refused("in/2.json"));
  EXPECT_EQ(Summary(report), "4 listed, 1 converted, 1 failed, 0 skipped, 2 not converted");
}

// A report that cannot be written fails a run that converted everything
// (the file size limit stands for a full disk).
TEST(BatchOptions, AReportThatCannotBeWrittenFailsTheRun) {
  TempTree tree;
  tree.WriteFile("in/a.json", kLegacy);
  tree.MakeDirectory("out");
  const Outcome run = RunToEnd(
      {.arguments = {"-nq", "--report", "r.json", "in", "out"}, .fileSizeLimit = 300}, tree.Root());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "Would convert 1 of 1 files, 0 failed (dry run: no output written).\n"
            "Fail to write the report: r.json.\nError: File too large.\n");
  EXPECT_EQ(Snapshot(tree.Root()), (Files{{"in/a.json", kLegacy}}));
}

// The bundled examples against a golden report, from a scratch directory so
// that the paths do not depend on where the tests run. The version is the
// one thing of the report that changes with a release.
TEST(BatchOptions, TheExamplesMatchTheGoldenReport) {
  TempTree tree;
  std::filesystem::copy(LUMIFLOW_TEST_DATA_DIR "/../examples", tree.Path("examples"),
                        std::filesystem::copy_options::recursive);
  tree.MakeDirectory("out");
  const Outcome run =
      RunToEnd({.arguments = {"-kt", "--report", "report.json", "examples", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 0) << run.out;
  std::string report = FileText(tree.Path("report.json"));
  const std::string version = "\"version\" : \"" LUMIFLOW_VERSION "\"";
  if (const auto at = report.find(version); at != std::string::npos) {
    report.replace(at, version.size(), "\"version\" : \"VERSION\"");
  }
  const std::string golden = LUMIFLOW_TEST_DATA_DIR "/driver/golden/examples.report.json";
  if (testing::Regenerating()) {
    testing::WriteFileText(golden, report);
    return;
  }
  EXPECT_EQ(report, FileText(golden));
}

// The report shown in the README is the report of the run it describes.
TEST(BatchOptions, TheReadmeReportIsARealOne) {
  const std::string readme = FileText(LUMIFLOW_TEST_DATA_DIR "/../README.md");
  const auto run = readme.find("For `lumiflow-convert -k --report report.json in out`");
  ASSERT_NE(run, std::string::npos);
  const auto start = readme.find("```json\n", run) + 8;
  const std::string shown = readme.substr(start, readme.find("```", start) - start);
  TempTree tree;
  tree.WriteFile("in/a.json", R"({
    "FormatSpecification": {"Name": "FS_QR", "BarcodeFormatIds": ["BF_QR_CODE"]},
    "RegionDefinition": {"Name": "Corner", "Left": 0, "Top": 0, "Right": 50, "Bottom": 50,
                         "MeasuredByPercentage": 1},
    "ImageParameterContentArray": [
      {"Name": "Dock door labels", "RegionDefinitionNameArray": ["Corner"],
       "FormatSpecificationNameArray": ["FS_QR"]},
      {"Timoeut": 500, "Timeout": "750"}]})");
  tree.WriteFile("in/b.json", Output(FileText(tree.Path("in/a.json"))));
  tree.MakeDirectory("out");
  EXPECT_EQ(RunToEnd({.arguments = {"-k", "--report", "report.json", "in", "out"}}, tree.Root()).status,
            0);
  std::string report = FileText(tree.Path("report.json"));
  const std::string version = "\"version\" : \"" LUMIFLOW_VERSION "\"";
  if (const auto at = report.find(version); at != std::string::npos) {
    report.replace(at, version.size(), "\"version\" : \"1.0.0\"");
  }
  EXPECT_EQ(report, shown);
}

// Several workers give what one gives: the same lines, status, files and
// report, and after a stop no output (nor temporary file) of a later file.
TEST(BatchOptions, WorkersGiveTheBytesOfOne) {
  TempTree tree;
  // Files of very different sizes, so that workers finish out of order.
  std::string large = R"({"ImageParameterContentArray": [)";
  for (int i = 0; i < 40; ++i) large += std::string(i ? "," : "") + R"({"Name": "p", "Timeout": 9})";
  large += "]}";
  for (int i = 0; i < 24; ++i) {
    const std::string name = "in/" + std::string(1, char('a' + i % 3)) + "/" +
                             std::to_string(10 + i) + ".json";
    tree.WriteFile(name, i == 13 ? kRefused : i % 4 == 0 ? large : kLegacy);
  }
  for (const bool keepGoing : {false, true}) {
    SCOPED_TRACE(keepGoing);
    Files files[2];
    Outcome runs[2];
    Json::Value reports[2];
    for (int k = 0; k < 2; ++k) {
      const std::string out = "out" + std::to_string(keepGoing) + std::to_string(k);
      tree.MakeDirectory(out);
      std::vector<std::string> arguments = {"-t", "-j", k == 0 ? "1" : "4", "--report",
                                            out + ".report", "in", out};
      if (keepGoing) arguments.insert(arguments.begin(), "-k");
      runs[k] = RunToEnd({.arguments = arguments}, tree.Root());
      files[k] = Snapshot(tree.Path(out), true);
      reports[k] = ReadJsonFile(tree.Path(out + ".report"));
      reports[k]["options"]["jobs"] = 0;
      reports[k]["destination"] = "out";
      for (Json::Value& file : reports[k]["files"]) {
        file["output"] = file["output"].asString().substr(out.size());
      }
    }
    EXPECT_EQ(runs[1].status, runs[0].status);
    EXPECT_EQ(runs[1].out, runs[0].out);
    EXPECT_EQ(files[1], files[0]);
    EXPECT_EQ(reports[1], reports[0]);
    EXPECT_EQ(runs[0].status, 1);
    // in/b/23.json fails; the listing puts a/, then b/, then c/.
    EXPECT_EQ(files[0].count("b/20.json"), 1u);
    EXPECT_EQ(files[0].count("b/26.json"), keepGoing ? 1u : 0u);
    EXPECT_EQ(files[0].count("c/12.json"), keepGoing ? 1u : 0u);
  }
}

}  // namespace
}  // namespace quorvane::testing
