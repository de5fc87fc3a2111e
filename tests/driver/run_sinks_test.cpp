// What the sinks of a run make of its outcomes: the console's lines as the
// options ask, and the report's entries, from the same values.

#include "driver/run_sinks.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run_report.h"
#include "support/json_text.h"

namespace quorvane {
namespace {

const PlannedFile kFile{"in/a.json", "out/a.json"};

FileOutcome Converted() {
  FileOutcome outcome{.file = &kFile};
  outcome.changes.push_back({"ImageParameter.Timeout", Json::Value("750"), Json::Value(10000),
                             "not an integer; the default is written"});
  return outcome;
}

FileOutcome Skipped() { return {.status = FileStatus::Skipped, .file = &kFile}; }

FileOutcome Failed(FileStatus status) {
  FileOutcome outcome{.file = &kFile};
  outcome.Fail(status, "Error: No space left on device.", ENOSPC);
  return outcome;
}

TEST(FileOutcome, FailureNamesTheStepAndTheFileOfIt) {
  const struct {
    FileStatus status;
    std::string first;
  } cases[] = {
      {FileStatus::NotListed, "Fail to list the directory: in/a.json."},
      {FileStatus::NotRead, "Fail to read Old Template: in/a.json."},
      {FileStatus::NotChecked, "Fail to check the converted template: in/a.json."},
      {FileStatus::NotOpened, "Fail to open file: out/a.json."},
      {FileStatus::NotWritten, "Fail to write file: out/a.json."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    const FileOutcome outcome = Failed(c.status);
    EXPECT_TRUE(outcome.Failed());
    EXPECT_EQ(outcome.code, ENOSPC);
    EXPECT_EQ(outcome.message, c.first + "\nError: No space left on device.\n");
  }
  EXPECT_FALSE(Converted().Failed());
  EXPECT_FALSE(Skipped().Failed());
}

// One run's console: each file's lines as the options ask, failures
// whatever they ask, and the summary after -k or -n.
TEST(ConsolePrinter, PrintsWhatTheOptionsAskFor) {
  const std::string verbose =
      "  in/a.json: ImageParameter.Timeout: \"750\": not an integer; the default is written "
      "(written: 10000).\n";
  const std::string skip = "Skip in/a.json: the file is already in the current format.\n";
  const std::string failure = "Fail to write file: out/a.json.\nError: No space left on device.\n";
  const struct {
    std::string options;  // the letters of -k, -n, -q, -v
    std::string out;
  } cases[] = {
      {"", "Convert in/a.json successfully.\n" + skip + failure},
      {"q", failure},
      {"qv", failure},
      {"v", "Convert in/a.json successfully.\n" + verbose + skip + failure},
      {"k",
       "Convert in/a.json successfully.\n" + skip + failure +
           "Converted 1 of 4 files, 1 failed, 1 skipped, 1 not converted.\n"},
      {"nq",
       failure + "Would convert 1 of 4 files, 1 failed, 1 skipped, 1 not converted (dry run: "
                 "no output written).\n"},
      {"nv",
       "Would convert in/a.json to out/a.json.\n" + verbose + skip + failure +
           "Would convert 1 of 4 files, 1 failed, 1 skipped, 1 not converted (dry run: no "
           "output written).\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.out);
    std::ostringstream console;
    const auto has = [&c](char letter) { return c.options.find(letter) != std::string::npos; };
    ConsolePrinter printer(console, {.keepGoing = has('k'), .dryRun = has('n'), .quiet = has('q'),
                                     .verbose = has('v')});
    RunCounts counts;
    for (const FileOutcome& outcome : {Converted(), Skipped(), Failed(FileStatus::NotWritten)}) {
      counts.Add(outcome);
      printer.Committed(outcome);
    }
    printer.NotReached(kFile);
    printer.Ended(counts, 4, 0);
    EXPECT_EQ(console.str(), c.out);
  }
}

TEST(ConsolePrinter, StopAndRefusal) {
  std::ostringstream console;
  ConsolePrinter printer(console, {.keepGoing = true});
  printer.Refused("Source path error: \"x\" is invalid.\n", {});
  printer.Ended({.converted = 2}, 3, 2);
  EXPECT_EQ(console.str(),
            "Source path error: \"x\" is invalid.\nInterrupted.\n"
            "Converted 2 of 3 files, 0 failed, 1 not converted.\n");
  // A template written to standard output has no line of its own.
  const PlannedFile toOutput{"in/a.json", "-"};
  EXPECT_EQ(ConsoleText({.file = &toOutput}), "");
  EXPECT_EQ(ConsoleText({.file = &toOutput}, true), "Would convert in/a.json to -.\n");
}

// The report takes every outcome the console takes, in the same order, and
// a failure's message is the console's lines without the last line break.
TEST(RunReport, OneEntryPerOutcome) {
  RunReport report("in", "out", {.keepGoing = true});
  for (const FileOutcome& outcome : {Converted(), Skipped(), Failed(FileStatus::NotOpened)}) {
    report.Committed(outcome);
  }
  report.NotReached(PlannedFile{"in/locked", "", EACCES, true});
  const Json::Value root = testing::ParseJson(report.Text());
  const Json::Value& files = root["files"];
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0]["status"], "converted");
  EXPECT_EQ(files[0]["changes"][0]["written"], 10000);
  EXPECT_EQ(files[1]["status"], "skipped");
  EXPECT_EQ(files[2]["status"], "failed");
  EXPECT_EQ(files[2]["failure"], "open");
  EXPECT_EQ(files[2]["code"], ENOSPC);
  EXPECT_EQ(files[2]["message"],
            "Fail to open file: out/a.json.\nError: No space left on device.");
  EXPECT_EQ(files[3]["status"], "not converted");
  EXPECT_TRUE(files[3]["output"].isNull());
  EXPECT_EQ(testing::Compact(root["summary"]),
            R"({"converted":1,"failed":1,"listed":4,"notConverted":1,"skipped":1})");
  EXPECT_FALSE(root.isMember("refusal"));
}

TEST(RunReport, RefusalLeavesEveryFileNotConverted) {
  RunReport report("in", "out", {});
  report.Refused("Fail to plan the output: x.\nMove it.\n",
                 {{"in/a.json", "out/a.json"}, {"in/b.json", "out/b.json"}});
  const Json::Value root = testing::ParseJson(report.Text());
  EXPECT_EQ(root["refusal"], "Fail to plan the output: x.\nMove it.");
  EXPECT_EQ(testing::Compact(root["summary"]),
            R"({"converted":0,"failed":0,"listed":2,"notConverted":2,"skipped":0})");
}

}  // namespace
}  // namespace quorvane
