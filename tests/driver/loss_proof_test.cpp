// What a run may never do, shown on the executable: replace anything but its
// own outputs, empty a file into a default template, leave something it
// found out in silence, cut a text in half, die of a failed write or a stop
// signal with its work half done, or fail when run a second time.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <json/json.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "driver/converter_process.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kMoveAway[] =
    "A run replaces only its earlier outputs (templates in the current format): move that file "
    "away, or give another destination.\n";
constexpr char kInPlace[] =
    "To convert in place, give the same path twice; otherwise give another destination.\n";

// Every path below `root` with what it holds, links as their targets.
std::map<std::string, std::string> Everything(const std::string& root) {
  std::map<std::string, std::string> state;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string path = fs::relative(entry.path(), root).string();
    if (entry.is_symlink()) {
      state[path] = "-> " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_regular_file()) {
      state[path] = FileText(entry.path().string());
    }
  }
  return state;
}

bool TemporaryFileLeft(const std::string& root) {
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.path().filename().string().starts_with(".lumiflow-")) return true;
  }
  return false;
}

// A legacy template that takes a while to convert, for runs to be stopped.
std::string SlowLegacy() {
  std::string text = R"({"ImageParameterContentArray": [)";
  for (int i = 0; i < 30; ++i) text += std::string(i ? "," : "") + R"({"Name": "p", "Timeout": 9})";
  return text + "]}";
}

// A file with none of the legacy keys is not converted: not an
// application's settings, not a schema kept next to the templates, not {}.
// In place, with -k, the legacy files convert and the rest stay as they were.
TEST(LossProof, OnlyLegacyTemplatesAreConverted) {
  TempTree tree;
  const std::map<std::string, std::string> others = {
      {"site/empty.json", "{}"},
      {"site/schema.json", R"({"$schema": "https://json-schema.org/draft/2020-12/schema"})"},
      {"site/settings.json", R"({"Camera": {"Exposure": 20}})"}};
  for (const auto& [path, text] : others) tree.WriteFile(path, text);
  tree.WriteFile("site/label.json", kLegacy);
  const Outcome run = RunToEnd({.arguments = {"-k", "site", "site"}}, tree.Root());
  EXPECT_EQ(run.status, 1);
  const std::string notLegacy = ".\nThe file is not a legacy template.\n";
  EXPECT_EQ(run.out, "Fail to read Old Template: site/empty.json" + notLegacy +
                         Converted("site/label.json") + "Fail to read Old Template: site/schema.json" +
                         notLegacy + "Fail to read Old Template: site/settings.json" + notLegacy +
                         "Converted 1 of 4 files, 3 failed.\n");
  for (const auto& [path, text] : others) EXPECT_EQ(FileText(tree.Path(path)), text) << path;
  EXPECT_EQ(FileText(tree.Path("site/label.json")), Output(kLegacy));
}

// Anything at an output path but an earlier output, or a file's own source
// in an in-place run, refuses the whole run before anything is written, in
// a dry run too.
TEST(LossProof, NothingButEarlierOutputsIsReplaced) {
  const struct {
    std::string name;
    std::map<std::string, std::string> files;  // "-> target" makes a link
    std::vector<std::string> arguments;
    std::string out;
  } cases[] = {
      {"a destination inside the source holding legacy files",
       {{"site/a/label.json", kLegacy}, {"site/b/label.json", kLegacy}},
       {"site", "site/a"},
       "Fail to plan the output: site/a/label.json, the output of site/b/label.json, would "
       "replace a legacy template.\n" + std::string(kMoveAway)},
      {"the same in a dry run",
       {{"site/a/label.json", kLegacy}, {"site/b/label.json", kLegacy}},
       {"-n", "site", "site/a"},
       "Fail to plan the output: site/a/label.json, the output of site/b/label.json, would "
       "replace a legacy template.\n" + std::string(kMoveAway)},
      {"a kept tree into a subfolder of the source",
       {{"s/x.json", kLegacy}, {"s/sub/x.json", kLegacy}},
       {"-t", "s", "s/sub"},
       "Fail to plan the output: s/sub/x.json, the output of s/x.json, would replace a legacy "
       "template.\n" + std::string(kMoveAway)},
      {"a file into its own directory", {{"dir/a.json", kLegacy}}, {"dir/a.json", "dir"},
       "Fail to plan the output: dir/a.json, the output of dir/a.json, would replace its own "
       "source file.\n" + std::string(kInPlace)},
      {"a destination folder that is a link into the source",
       {{"in/site-a/x.json", kLegacy}, {"out/site-a", "-> ../in/site-a"}},
       {"-t", "in", "out"},
       "Fail to plan the output: out/site-a/x.json, the output of in/site-a/x.json, would "
       "replace its own source file.\n" + std::string(kInPlace)},
      {"a link at the output to a file of the source",
       {{"in/x.json", kLegacy}, {"in/y.json", kLegacy}, {"out/x.json", "-> ../in/y.json"}},
       {"in", "out"},
       "Fail to plan the output: out/x.json, the output of in/x.json, would replace the source "
       "file in/y.json.\nGive a destination directory that does not hold the source "
       "directory.\n"},
      {"a binary file", {{"in/x.json", kLegacy}, {"out/x.json", std::string("\0\xff", 2)}},
       {"in", "out"},
       "Fail to plan the output: out/x.json, the output of in/x.json, would replace a file "
       "that is not JSON.\n" + std::string(kMoveAway)},
      {"two templates, the second unseen by a reader that stops at the first",
       {{"in/x.json", kLegacy}, {"out/x.json", kEarlierOutput + kLegacy}},
       {"in", "out"},
       "Fail to plan the output: out/x.json, the output of in/x.json, would replace a file "
       "that is not JSON.\n" + std::string(kMoveAway)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempTree tree;
    for (const auto& [path, text] : c.files) {
      if (text.starts_with("-> ")) {
        tree.MakeSymlink(text.substr(3), path);
      } else {
        tree.WriteFile(path, text);
      }
    }
    tree.MakeDirectory("out");
    const auto before = Everything(tree.Root());
    const Outcome run = RunToEnd({.arguments = c.arguments}, tree.Root());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(Everything(tree.Root()), before);
  }
}

// The report goes where it is told: "-" is standard output (the lines then
// go to standard error), a link is followed to the file it names, and what
// is not a regular file is written into, never replaced.
TEST(LossProof, TheReportGoesWhereItIsToldAndOnlyThere) {
  TempTree tree;
  tree.WriteFile("in/a.json", kLegacy);
  tree.MakeDirectory("out");
  const auto reportOf = [](const std::string& text) {
    return ParseJson(text)["files"][0]["status"].asString();
  };

  Outcome run = RunToEnd({.arguments = {"--report", "-", "in", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, Converted("in/a.json"));
  EXPECT_EQ(reportOf(run.out), "converted");

  // A link to what standard output writes to: the link stays, and the report
  // follows the lines there.
  tree.MakeSymlink("/proc/self/fd/1", "to-stdout.json");
  run = RunToEnd({.arguments = {"--report", "to-stdout.json", "in", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(fs::is_symlink(tree.Path("to-stdout.json")));
  ASSERT_EQ(run.out.rfind(Converted("in/a.json"), 0), 0u) << run.out;
  EXPECT_EQ(reportOf(run.out.substr(Converted("in/a.json").size())), "converted");

  // A link to a regular file: that file is replaced, the link kept.
  tree.WriteFile("reports/latest.json", "old report");
  tree.MakeSymlink("reports/latest.json", "latest.json");
  run = RunToEnd({.arguments = {"--report", "latest.json", "in", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(fs::is_symlink(tree.Path("latest.json")));
  EXPECT_EQ(reportOf(FileText(tree.Path("reports/latest.json"))), "converted");

  // A fifo with a reader gets the report; one without fails the run at once.
  const std::string fifo = tree.MakeFifo("report.fifo");
  run = RunToEnd({.arguments = {"--report", "report.fifo", "in", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Converted("in/a.json") +
                         "Fail to write the report: report.fifo.\nError: No such device or address.\n");
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  run = RunToEnd({.arguments = {"--report", "report.fifo", "in", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(reportOf(ReadAll(reader)), "converted");
  close(reader);
  EXPECT_EQ(RunToEnd({.arguments = {"--report", "/dev/null", "in", "out"}}, tree.Root()).status, 0);
  struct stat status {};
  ASSERT_EQ(stat("/dev/null", &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode));
}

// A directory that cannot be listed, below the source or as the source,
// fails the run in its place; the checker says so too. Root lists every
// directory, so the runs drop to nobody.
TEST(LossProof, WhatCannotBeListedFailsTheRun) {
  TempTree tree;
  chmod(tree.Root().c_str(), 0777);
  tree.WriteFile("in/a/1.json", kLegacy);
  tree.WriteFile("in/b/2.json", kLegacy);
  tree.WriteFile("in/c/3.json", kLegacy);
  tree.MakeDirectory("out");
  for (const char* directory : {"in", "in/a", "in/c", "out"}) chmod(tree.Path(directory).c_str(), 0777);
  chmod(tree.Path("in/b").c_str(), 0);
  const bool root = geteuid() == 0;
  if (!root && access(tree.Path("in/b").c_str(), R_OK) == 0) GTEST_SKIP() << "readable anyway";
  const std::string locked =
      "Fail to list the directory: in/b.\nError: cannot list the directory: Permission denied.\n";
  const struct {
    std::vector<std::string> arguments;
    std::string out;
  } cases[] = {
      {{"in", "out"}, Converted("in/a/1.json") + locked},
      {{"-k", "in", "out"}, Converted("in/a/1.json") + locked + Converted("in/c/3.json") +
                                "Converted 2 of 3 files, 1 failed.\n"},
      {{"in/b", "out"},
       "Fail to list the directory: in/b.\nError: cannot list the directory: Permission "
       "denied.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    const Outcome run = RunToEnd({.arguments = c.arguments, .unprivileged = root}, tree.Root());
    if (run.status == 125 || run.status == 126) GTEST_SKIP() << "cannot run as nobody";
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, c.out);
  }
  chmod(tree.Path("in/b").c_str(), 0755);
}

// Text after the root value fails the read, in the converter and the
// checker: a file that is two templates is never taken for the first.
TEST(LossProof, TwoTemplatesInOneFileAreNotCutInHalf) {
  TempTree tree;
  tree.WriteFile("two.json", kLegacy + kLegacy);
  tree.MakeDirectory("out");
  const Outcome run = RunToEnd({.arguments = {"two.json", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 1);
  const std::string start = "Fail to read Old Template: two.json.\nJson parse failed.:* Line ";
  EXPECT_EQ(run.out.substr(0, start.size()), start);
  EXPECT_NE(run.out.find("\n  Extra non-whitespace after JSON value.\n\n"), std::string::npos)
      << run.out;
  EXPECT_TRUE(fs::is_empty(tree.Path("out")));
}

// A closed pipe on standard output does not end the run: every file is
// converted and reported, and the lost lines fail the run with the reason.
TEST(LossProof, AClosedPipeDoesNotEndTheRun) {
  TempTree tree;
  for (int i = 0; i < 5; ++i) tree.WriteFile("in/" + std::to_string(i) + ".json", kLegacy);
  tree.MakeDirectory("out");
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);
  const Outcome run =
      RunToEnd({.arguments = {"--report", "r.json", "in", "out"}, .output = ends[1]}, tree.Root());
  close(ends[1]);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "lumiflow-convert: cannot write the messages: Broken pipe\n");
  EXPECT_EQ(Snapshot(tree.Path("out")).size(), 5u);
  EXPECT_EQ(Summary(ReadJsonFile(tree.Path("r.json"))),
            "5 listed, 5 converted, 0 failed, 0 skipped, 0 not converted");
}

// A stop signal ends the run between two files: complete outputs only, no
// temporary file, a report of every file, "Interrupted." and 128 + N.
TEST(LossProof, AStopSignalEndsTheRunBetweenFiles) {
  const std::string slow = SlowLegacy();
  const std::string expected = Output(slow);
  TempTree tree;
  constexpr int kFiles = 300;
  for (int i = 0; i < kFiles; ++i) tree.WriteFile("in/" + std::to_string(1000 + i) + ".json", slow);
  for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(number);
    const std::string out = "out" + std::to_string(number);
    tree.MakeDirectory(out);
    Process process({.arguments = {"-k", "-j", "2", "--report", out + ".json", "in", out}},
                    tree.Root());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (fs::is_empty(tree.Path(out)) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    process.Signal(number);
    const Outcome run = process.Wait();
    EXPECT_EQ(run.status, 128 + number);
    const auto outputs = Snapshot(tree.Path(out));
    ASSERT_LT(outputs.size(), static_cast<std::size_t>(kFiles)) << "the run ended first";
    for (const auto& [path, text] : outputs) EXPECT_EQ(text, expected) << path;
    EXPECT_FALSE(TemporaryFileLeft(tree.Root()));
    const std::string done = std::to_string(outputs.size());
    EXPECT_NE(run.out.find("Interrupted.\nConverted " + done + " of 300 files, 0 failed, " +
                           std::to_string(kFiles - outputs.size()) + " not converted.\n"),
              std::string::npos)
        << run.out.substr(run.out.size() > 200 ? run.out.size() - 200 : 0);
    const Json::Value report = ReadJsonFile(tree.Path(out + ".json"));
    ASSERT_EQ(report["files"].size(), static_cast<Json::ArrayIndex>(kFiles));
    EXPECT_EQ(Summary(report), std::to_string(kFiles) + " listed, " + done + " converted, 0 failed, " +
                                   "0 skipped, " + std::to_string(kFiles - outputs.size()) +
                                   " not converted");
  }
}

// An in-place run cut short by a broken file is finished by running it
// again once the file is mended: what was converted is skipped; a third run
// changes nothing.
TEST(LossProof, AnInterruptedInPlaceRunIsResumed) {
  for (const bool keepGoing : {false, true}) {
    SCOPED_TRACE(keepGoing);
    TempTree tree;
    for (int i = 1; i <= 5; ++i) {
      tree.WriteFile("site/" + std::to_string(i) + ".json", i == 3 ? kRefused : kLegacy);
    }
    std::vector<std::string> arguments = {"site", "site"};
    if (keepGoing) arguments.insert(arguments.begin(), "-k");
    const Outcome first = RunToEnd({.arguments = arguments}, tree.Root());
    EXPECT_EQ(first.status, 1);
    tree.WriteFile("site/3.json", kLegacy);
    const Outcome second = RunToEnd({.arguments = arguments}, tree.Root());
    EXPECT_EQ(second.status, 0);
    std::string expected;
    for (int i = 1; i <= 5; ++i) {
      const std::string file = "site/" + std::to_string(i) + ".json";
      expected += i == 3 || (!keepGoing && i > 3)
                      ? Converted(file)
                      : "Skip " + file + ": the file is already in the current format.\n";
    }
    if (keepGoing) expected += "Converted 1 of 5 files, 0 failed, 4 skipped.\n";
    EXPECT_EQ(second.out, expected);
    const auto converted = Everything(tree.Root());
    for (const auto& [path, text] : converted) EXPECT_EQ(text, Output(kLegacy)) << path;
    EXPECT_EQ(RunToEnd({.arguments = arguments}, tree.Root()).status, 0);
    EXPECT_EQ(Everything(tree.Root()), converted);
  }
}

// What replaces a file reaches the disk before the rename, and each
// directory whose entries changed is flushed once: seen through a library
// that logs the calls.
TEST(LossProof, ReplacedFilesReachTheDiskBeforeTheirRename) {
  TempTree tree;
  tree.WriteFile("site/a.json", kLegacy);
  tree.WriteFile("site/sub/b.json", kLegacy);
  tree.MakeDirectory("out");
  const std::string canonical = fs::canonical(tree.Root()).string();
  const auto syncs = [&](const std::vector<std::string>& arguments) {
    const std::string log = tree.Path("sync.log");
    fs::remove(log);
    const Outcome run = RunToEnd({.arguments = arguments,
                                  .environment = {"LD_PRELOAD=" LUMIFLOW_SYNC_LOG_LIBRARY,
                                                  "LUMIFLOW_SYNC_LOG=" + log,
                                                  "ASAN_OPTIONS=verify_asan_link_order=0"}},
                                 tree.Root());
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    std::multiset<std::string> calls;
    std::istringstream lines(FileText(log));
    for (std::string line; std::getline(lines, line);) {
      const auto at = line.find(canonical);
      calls.insert(at == std::string::npos ? line : line.substr(0, at) + line.substr(at + canonical.size()));
    }
    return calls;
  };
  // New files: nothing to flush before the renames; their directories after.
  EXPECT_EQ(syncs({"-t", "site", "out"}),
            (std::multiset<std::string>{"fsync /out", "fsync /out/sub"}));
  // Replacing: each file's data first, then each directory once.
  const auto replacing = syncs({"site", "site"});
  EXPECT_EQ(replacing.count("fsync /site"), 1u);
  EXPECT_EQ(replacing.count("fsync /site/sub"), 1u);
  std::size_t dataSyncs = 0;
  for (const std::string& call : replacing) dataSyncs += call.starts_with("fdatasync /site");
  EXPECT_EQ(dataSyncs, 2u);
  EXPECT_EQ(replacing.size(), 4u);
}

// File names that are not UTF-8 keep every byte but the invalid ones, each
// of which shows as U+FFFD in the report.
TEST(LossProof, NamesInTheReportAsTheyAre) {
  TempTree tree;
  tree.WriteFile("in/caf\xe9.json", kLegacy);
  tree.WriteFile("in/a\xe9\x80" "b.json", kLegacy);
  tree.MakeDirectory("out");
  const Outcome run = RunToEnd({.arguments = {"--report", "r.json", "in/", "out"}}, tree.Root());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Converted("in/a\xe9\x80" "b.json") + Converted("in/caf\xe9.json"));
  const std::string report = FileText(tree.Path("r.json"));
  EXPECT_NE(report.find(R"("source" : "in/a\ufffd\ufffdb.json")"), std::string::npos) << report;
  EXPECT_NE(report.find(R"("source" : "in/caf\ufffd.json")"), std::string::npos) << report;
  EXPECT_NE(report.find(R"("output" : "out/caf\ufffd.json")"), std::string::npos) << report;
}

}  // namespace
}  // namespace quorvane::testing
