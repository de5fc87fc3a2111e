// The converter executable itself, on scratch trees, with a standard input,
// file size limit and user chosen by the test: what only a real process
// shows (what is left of its input, a write the system refuses, a file its
// user may not read, a run that must not block).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "driver/converter_process.h"

namespace quorvane::testing {
namespace {

// Standard input that is not a terminal is not read (whatever the run's
// outcome), and a pipe nobody writes to does not hold the run up. The path
// prompts take their two lines and nothing more.
TEST(ConverterProcess, ReadsNoInputButThePromptedPaths) {
  TempTree tree;
  tree.WriteFile("in/a.json", kLegacy);
  tree.MakeDirectory("out");
  const struct {
    std::vector<std::string> arguments;
    std::string input;  // written to the pipe before the run
    std::string left;   // what the pipe still holds afterwards
    int status;
  } cases[] = {
      {{"in", "out"}, "KEY", "KEY", 0},
      {{"in", "missing"}, "KEY", "KEY", 1},
      {{}, "in\nout\nREST", "REST", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    for (const bool keepWriting : {false, true}) {
      int pipeEnds[2];
      ASSERT_EQ(pipe(pipeEnds), 0);
      ASSERT_EQ(write(pipeEnds[1], c.input.data(), c.input.size()), ssize_t(c.input.size()));
      if (!keepWriting) close(pipeEnds[1]);
      EXPECT_EQ(RunToEnd({.arguments = c.arguments, .input = pipeEnds[0]}, tree.Root()).status,
                c.status);
      if (keepWriting) close(pipeEnds[1]);
      EXPECT_EQ(ReadAll(pipeEnds[0]), c.left);
      close(pipeEnds[0]);
    }
  }
  // A file: its offset, shared with the child, has not moved.
  const int file = open(tree.WriteFile("keys", "KEY").c_str(), O_RDONLY);
  EXPECT_EQ(RunToEnd({.arguments = {"in", "out"}, .input = file}, tree.Root()).status, 0);
  EXPECT_EQ(lseek(file, 0, SEEK_CUR), 0);
  close(file);
}

// Paths asked for at a terminal end with a wait for a key, so that a console
// window opened for the run stays open; paths given as arguments never wait.
TEST(ConverterProcess, WaitsForAKeyOnlyAfterPromptedPathsAtATerminal) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    GTEST_SKIP() << "no pseudo-terminal";
  }
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  TempTree tree;
  EXPECT_EQ(RunToEnd({.arguments = {"missing.json", "out"}, .input = terminal}, tree.Root()).status,
            1);
  Process process({.arguments = {}, .input = terminal}, tree.Root());
  ASSERT_EQ(write(master, "missing.json\nout\n", 17), 17);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(process.Running());
  ASSERT_EQ(write(master, "\n", 1), 1);
  EXPECT_EQ(process.Wait().status, 1);
  close(terminal);
  close(master);
}

// Two files with one output refuse the whole run before anything is
// converted, with -k too: an earlier output stays, the message names the
// output and both sources, and the report lists every file as not converted.
TEST(ConverterProcess, AClashWritesNothing) {
  const std::string clash =
      "Fail to plan the output: out/label.json is the output of both in/site-a/label.json and "
      "in/site-b/label.json.\nConvert the subfolders one at a time, each into a destination of "
      "its own, or keep them apart with --keep-tree.\n";
  for (const bool keepGoing : {false, true}) {
    SCOPED_TRACE(keepGoing);
    TempTree tree;
    tree.WriteFile("in/site-a/label.json", kLegacy);
    tree.WriteFile("in/site-b/label.json", kLegacy);
    tree.WriteFile("in/z.json", kLegacy);
    tree.WriteFile("out/label.json", kEarlierOutput);
    const std::vector<std::string> arguments =
        keepGoing ? std::vector<std::string>{"-k", "--report", "r.json", "in", "out"}
                  : std::vector<std::string>{"in", "out"};
    const Outcome run = RunToEnd({.arguments = arguments}, tree.Root());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, clash);
    EXPECT_EQ(Snapshot(tree.Path("out")), (Files{{"label.json", kEarlierOutput}}));
    if (!keepGoing) continue;
    const Json::Value report = ReadJsonFile(tree.Path("r.json"));
    EXPECT_EQ(report["refusal"].asString() + "\n", clash);
    EXPECT_EQ(Statuses(report), (std::vector<std::string>{"in/site-a/label.json not converted",
                                                          "in/site-b/label.json not converted",
                                                          "in/z.json not converted"}));
    EXPECT_EQ(Summary(report), "3 listed, 0 converted, 0 failed, 0 skipped, 3 not converted");
  }
}

// A write the system refuses (the file size limit stands for a full disk)
// leaves no file behind, and an earlier file at that path as it was.
TEST(ConverterProcess, AFailedWriteLeavesNoPartialFile) {
  constexpr rlim_t kLimit = 2048;  // above any message, below any converted template
  for (const bool earlier : {false, true}) {
    SCOPED_TRACE(earlier);
    TempTree tree;
    tree.WriteFile("a.json", kLegacy);
    tree.MakeDirectory("out");
    if (earlier) tree.WriteFile("out/a.json", kEarlierOutput);
    const Outcome run =
        RunToEnd({.arguments = {"a.json", "out"}, .fileSizeLimit = kLimit}, tree.Root());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Fail to write file: out/a.json.\nError: File too large.\n");
    EXPECT_EQ(Snapshot(tree.Path("out")), (earlier ? Files{{"a.json", kEarlierOutput}} : Files{}));
  }
}

// A second run succeeds and changes no output of the first: a destination
// inside the source is not read back, and files already converted in place
// are skipped rather than converted into empty templates.
TEST(ConverterProcess, ARunRepeatedKeepsEveryOutput) {
  const struct {
    std::vector<std::string> arguments;
    int secondStatus;
    std::string secondOut;
  } cases[] = {
      {{"in", "in/out"}, 0, Converted("in/a.json") + Converted("in/sub/b.json")},
      {{"in", "in"}, 0,
       "Skip in/a.json: the file is already in the current format.\n"
       "Skip in/sub/b.json: the file is already in the current format.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    TempTree tree;
    tree.WriteFile("in/a.json", kLegacy);
    tree.WriteFile("in/sub/b.json", "{\"ImageParameter\": {\"Name\": \"b\", \"Timeout\": 500}}");
    tree.MakeDirectory("in/out");
    const Files before = Snapshot(tree.Root());
    ASSERT_EQ(RunToEnd({.arguments = c.arguments}, tree.Root()).status, 0);
    const Files first = Snapshot(tree.Root());
    EXPECT_NE(first, before) << "nothing converted";
    const Outcome second = RunToEnd({.arguments = c.arguments}, tree.Root());
    EXPECT_EQ(second.status, c.secondStatus);
    EXPECT_EQ(second.out, c.secondOut);
    EXPECT_EQ(Snapshot(tree.Root()), first);
  }
}

// A file its user may not read, and an output its user may not write (in a
// directory where anyone may replace it), are reported with the reason. Root
// reads and writes everything, so the run drops to nobody.
TEST(ConverterProcess, FilesTheUserMayNotTouchAreNamedWithTheReason) {
  TempTree tree;
  chmod(tree.Root().c_str(), 0755);
  const std::string secret = tree.WriteFile("secret.json", kLegacy);
  const std::string readable = tree.WriteFile("open.json", kLegacy);
  const std::string kept = tree.WriteFile("out/open.json", kEarlierOutput);
  chmod(secret.c_str(), 0);
  chmod(readable.c_str(), 0644);
  chmod(kept.c_str(), 0444);
  chmod(tree.Path("out").c_str(), 0777);
  const bool root = geteuid() == 0;
  if (!root && (access(secret.c_str(), R_OK) == 0 || access(kept.c_str(), W_OK) == 0)) {
    GTEST_SKIP() << "the files stay readable and writable";
  }
  const struct {
    std::string source;
    std::string out;
  } cases[] = {
      {"secret.json",
       "Fail to read Old Template: secret.json.\nError: cannot read the file: Permission denied.\n"},
      {"open.json", "Fail to open file: out/open.json.\nError: Permission denied.\n"},
  };
  for (const auto& c : cases) {
    const Outcome run =
        RunToEnd({.arguments = {c.source, "out"}, .unprivileged = root}, tree.Root());
    if (run.status == 125 || run.status == 126) GTEST_SKIP() << "cannot run as nobody";
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, c.out);
  }
  EXPECT_EQ(FileText(kept), kEarlierOutput);
}

// "-" for both paths makes a filter: the template through the pipe, nothing
// on standard output but the template, a failure or a reader that goes away
// reported on standard error with exit status 1.
TEST(ConverterProcess, FiltersFromStandardInputToStandardOutput) {
  TempTree tree;
  const int legacy = open(tree.WriteFile("old.json", kLegacy).c_str(), O_RDONLY);
  const int refused = open(tree.WriteFile("bad.json", kRefused).c_str(), O_RDONLY);
  Outcome run = RunToEnd({.arguments = {"-", "-"}, .input = legacy}, tree.Root());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Output(kLegacy));
  EXPECT_EQ(run.err, "");
  run = RunToEnd({.arguments = {"-", "-"}, .input = refused}, tree.Root());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, Refused("-"));
  lseek(legacy, 0, SEEK_SET);
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);
  run = RunToEnd({.arguments = {"-", "-"}, .input = legacy, .output = ends[1]}, tree.Root());
  close(ends[1]);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Fail to write file: -.\nError: Broken pipe.\n");
  close(legacy);
  close(refused);
}

}  // namespace
}  // namespace quorvane::testing
