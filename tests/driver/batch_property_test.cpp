// Random trees of legacy files (seeded, so every run sees the same ones),
// converted with -k and a report under random options: the report lists
// every file once, in listing order; its statuses agree with the console and
// the exit status; every converted output is there and checks.

#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "driver/conversion_run.h"
#include "driver/converter_process.h"
#include "driver/legacy_conversion.h"
#include "driver/template_check.h"
#include "framework/platform.h"

namespace quorvane {
namespace {

using testing::FileText;
using testing::TempTree;

// Legacy texts that convert and that fail, from the conversion's own cases.
std::vector<std::string> LegacyTexts() {
  std::vector<std::string> paths;
  for (const auto& entry :
       std::filesystem::directory_iterator(LUMIFLOW_TEST_DATA_DIR "/legacy/golden")) {
    if (entry.path().string().ends_with(".legacy.json")) paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<std::string> texts = {"", "{", R"({"LumiflowTemplates": []})"};
  for (const std::string& path : paths) texts.push_back(FileText(path));
  return texts;
}

TEST(BatchProperty, TheReportAgreesWithTheConsoleAndTheFiles) {
  const std::vector<std::string> texts = LegacyTexts();
  std::mt19937 random(17);
  const auto pick = [&random](std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
  };
  const char* const folders[] = {"a", "b", "a/c", "b/c"};
  const char* const names[] = {"x.json", "y.json", "Z.JSON", "label.json"};
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(round);
    TempTree tree;
    const std::size_t fileCount = pick(14);
    for (std::size_t i = 0; i < fileCount; ++i) {
      const std::string folder = pick(3) == 0 ? "" : std::string(folders[pick(4)]) + "/";
      tree.WriteFile("in/" + folder + names[pick(4)], texts[pick(texts.size())]);
    }
    tree.MakeDirectory("in");
    tree.MakeDirectory("out");
    std::vector<std::string> arguments = {"lumiflow-convert", "-k", "--report", tree.Path("r.json"),
                                          "-j", std::to_string(pick(4))};
    const bool keepTree = pick(4) != 0;
    const bool dryRun = pick(4) == 0;
    const bool quiet = pick(3) == 0;
    if (keepTree) arguments.push_back("-t");
    if (dryRun) arguments.push_back("-n");
    if (quiet) arguments.push_back("-q");
    arguments.push_back(tree.Path("in"));
    arguments.push_back(tree.Path("out"));
    SCOPED_TRACE(::testing::PrintToString(arguments));
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    std::istringstream in;
    std::ostringstream out, err;
    const int status = RunConverter(static_cast<int>(argv.size()), argv.data(), in, out, err,
                                    ConvertLegacyTemplate, false);

    const Json::Value report = testing::ReadJsonFile(tree.Path("r.json"));
    const std::vector<std::string> listed = ListJsonFiles(tree.Path("in"));
    ASSERT_EQ(report["files"].size(), listed.size());
    std::string console;
    std::size_t converted = 0;
    std::size_t failed = 0;
    for (Json::ArrayIndex i = 0; i < listed.size(); ++i) {
      const Json::Value& file = report["files"][i];
      EXPECT_EQ(file["source"].asString(), listed[i]);
      const std::string fileStatus = file["status"].asString();
      if (report.isMember("refusal")) {
        EXPECT_EQ(fileStatus, "not converted");
        continue;
      }
      const std::string output = file["output"].asString();
      if (fileStatus == "converted") {
        ++converted;
        if (!quiet) {
          console += dryRun ? "Would convert " + listed[i] + " to " + output + ".\n"
                            : "Convert " + listed[i] + " successfully.\n";
        }
        if (dryRun) continue;
        std::string message;
        EXPECT_EQ(CheckTemplateText(FileText(output), message), 0) << output << ": " << message;
      } else {
        EXPECT_EQ(fileStatus, "failed");
        ++failed;
        console += file["message"].asString() + "\n";
      }
    }
    if (report.isMember("refusal")) {
      EXPECT_FALSE(keepTree) << report["refusal"].asString();
      console = report["refusal"].asString() + "\n";
    } else {
      console += (dryRun ? "Would convert " : "Converted ") + std::to_string(converted) + " of " +
                 std::to_string(listed.size()) + " files, " + std::to_string(failed) +
                 (dryRun ? " failed (dry run: no output written).\n" : " failed.\n");
    }
    EXPECT_EQ(out.str(), console);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(status, failed == 0 && !report.isMember("refusal") ? 0 : 1);
    EXPECT_EQ(report["summary"]["converted"].asUInt() + report["summary"]["failed"].asUInt() +
                  report["summary"]["notConverted"].asUInt(),
              listed.size());
    if (dryRun || report.isMember("refusal")) {
      EXPECT_TRUE(std::filesystem::is_empty(tree.Path("out")));
    }
  }
}

}  // namespace
}  // namespace quorvane
