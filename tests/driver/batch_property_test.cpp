// Random trees of sources, with whatever may lie at the output paths
// beforehand (seeded, so every run sees the same trees), converted by the
// executable under random options, twice. After each run: every path that
// was there and is not the converted output of its own request is as it
// was; no temporary file is left; the console, the exit status and the
// report agree; the second run ends as the first did and changes nothing.

#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "driver/converter_process.h"
#include "driver/legacy_conversion.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

// What is at each path below `root`: a file's bytes, a link's target, a fifo
// or a directory; what a run might change.
using State = std::map<std::string, std::string>;

State TreeState(const std::string& root) {
  State state;
  std::error_code error;
  for (auto entry = fs::recursive_directory_iterator(root, error);
       entry != fs::recursive_directory_iterator(); entry.increment(error)) {
    const std::string path = fs::relative(entry->path(), root).string();
    const fs::file_status status = entry->symlink_status();
    if (fs::is_symlink(status)) {
      state[path] = "link:" + fs::read_symlink(entry->path()).string();
    } else if (fs::is_regular_file(status)) {
      state[path] = "file:" + FileText(entry->path().string());
    } else if (fs::is_fifo(status)) {
      state[path] = "fifo";
    } else if (fs::is_directory(status)) {
      state[path] = "directory";
    }
  }
  return state;
}

std::string Golden(const char* name) {
  return FileText(LUMIFLOW_TEST_DATA_DIR "/legacy/golden/" + std::string(name) + ".legacy.json");
}

// The kinds of file a tree holds, and what each is made of.
enum class Kind { Legacy, Failing, Current, OtherJson, Binary, Fifo, Dangling, LinkIn, LinkOut,
                  Unreadable, Directory };

struct Texts {
  std::vector<std::string> legacy = {Golden("single_image_parameter"), Golden("timeout_values"),
                                     Golden("region_own_formats"), Golden("no_image_parameter")};
  std::string current = Output(legacy[0]);
};

class RandomRun {
 public:
  RandomRun(unsigned seed, const Texts& texts) : random_(seed), texts_(texts) {
    chmod(tree_.Root().c_str(), 0777);
    inPlace_ = Pick(4) == 0;
    keepTree_ = Pick(2) == 0;
    const std::size_t sources = 1 + Pick(7);
    for (std::size_t i = 0; i < sources; ++i) {
      static const char* const kFolders[] = {"", "a/", "a/b/", "c/"};
      static const char* const kNames[] = {"x.json", "y.json", "Z.JSON", "label.json"};
      const std::string relative = std::string(kFolders[Pick(4)]) + kNames[Pick(4)];
      const unsigned roll = Pick(100);
      const Kind kind = roll < 60   ? Kind::Legacy
                        : roll < 70 ? Kind::Failing
                        : roll < 85 ? Kind::Current
                        : roll < 93 ? Kind::OtherJson
                        : roll < 97 ? Kind::Fifo
                                    : Kind::Dangling;
      Make("in/" + relative, kind);
      sources_.insert(relative);
    }
    tree_.WriteFile("outside/keep.json", Pick(2) == 0 ? texts_.current : texts_.legacy[0]);
    tree_.MakeDirectory("out");
    if (!inPlace_) PlaceAtOutputs();
    OpenToEveryone();
  }

  std::vector<std::string> Arguments() const { return arguments_; }
  const std::string& Root() const { return tree_.Root(); }

  void ChooseOptions() {
    arguments_ = {"--report", "r.json", "-j", std::to_string(Pick(4))};
    keepGoing_ = Pick(2) == 0;
    dryRun_ = Pick(5) == 0;
    quiet_ = Pick(4) == 0;
    if (keepGoing_) arguments_.push_back("-k");
    if (dryRun_) arguments_.push_back("-n");
    if (quiet_) arguments_.push_back("-q");
    if (keepTree_) arguments_.push_back("-t");
    arguments_.push_back("in");
    arguments_.push_back(inPlace_ ? "in" : "out");
  }

  // Runs the converter once and checks what it did against what was there.
  Outcome RunAndCheck() {
    const State before = TreeState(tree_.Root());
    const Outcome run = RunToEnd({.arguments = arguments_, .unprivileged = geteuid() == 0},
                                 tree_.Root());
    State after = TreeState(tree_.Root());
    if (run.status == 125 || run.status == 126) return run;
    const Json::Value report = ReadJsonFile(tree_.Path("r.json"));
    CheckConsole(run, report);
    CheckFiles(before, after, report);
    return run;
  }

  State StateWithoutReport() const {
    State state = TreeState(tree_.Root());
    state.erase("r.json");
    return state;
  }

 private:
  unsigned Pick(unsigned count) {
    return std::uniform_int_distribution<unsigned>(0, count - 1)(random_);
  }

  // Something of `kind` at `path` below the tree.
  void Make(const std::string& path, Kind kind) {
    if (fs::exists(fs::symlink_status(tree_.Path(path)))) return;
    switch (kind) {
      case Kind::Legacy:
        tree_.WriteFile(path, texts_.legacy[Pick(static_cast<unsigned>(texts_.legacy.size()))]);
        break;
      case Kind::Failing:
        tree_.WriteFile(path, kRefused);
        break;
      case Kind::Current:
        tree_.WriteFile(path, texts_.current);
        break;
      case Kind::OtherJson:
        tree_.WriteFile(path, R"({"Setting": true, "Schema": {}})");
        break;
      case Kind::Binary:
        tree_.WriteFile(path, std::string("\x00\x01 binary \xff", 11));
        break;
      case Kind::Fifo:
        tree_.MakeFifo(path);
        break;
      case Kind::Dangling:
        tree_.MakeSymlink("nowhere.json", path);
        break;
      case Kind::LinkIn: {
        // To a source, from wherever the link is.
        const auto source = std::next(sources_.begin(), Pick(static_cast<unsigned>(sources_.size())));
        const std::string target = tree_.Path("in/" + *source);
        tree_.MakeSymlink(target, path);
        break;
      }
      case Kind::LinkOut:
        tree_.MakeSymlink(tree_.Path("outside/keep.json"), path);
        break;
      case Kind::Unreadable:
        chmod(tree_.WriteFile(path, texts_.current).c_str(), 0);
        break;
      case Kind::Directory:
        tree_.MakeDirectory(path);
        break;
    }
  }

  // At some output paths, something of every kind; with -t, now and then a
  // folder of the destination that is a link into the source.
  void PlaceAtOutputs() {
    if (keepTree_ && Pick(6) == 0) tree_.MakeSymlink("../in/a", "out/a");
    for (const std::string& relative : sources_) {
      if (Pick(3) != 0) continue;
      const std::string name = relative.substr(relative.rfind('/') + 1);
      const std::string output = "out/" + (keepTree_ ? relative : name);
      Make(output, static_cast<Kind>(Pick(static_cast<unsigned>(Kind::Directory) + 1)));
    }
  }

  // Everyone may work in the tree: the run drops to nobody when the test
  // runs as root, so that unreadable files are unreadable.
  void OpenToEveryone() {
    for (const auto& entry : fs::recursive_directory_iterator(tree_.Root())) {
      const fs::file_status status = entry.symlink_status();
      if (fs::is_directory(status)) {
        chmod(entry.path().c_str(), 0777);
      } else if (fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_read) !=
                                                    fs::perms::none) {
        chmod(entry.path().c_str(), 0666);
      }
    }
  }

  void CheckConsole(const Outcome& run, const Json::Value& report) {
    std::string console;
    std::size_t converted = 0, failed = 0, skipped = 0, notConverted = 0;
    for (const Json::Value& file : report["files"]) {
      const std::string status = file["status"].asString();
      const std::string source = file["source"].asString();
      if (status == "converted") {
        ++converted;
        if (quiet_) continue;
        console += dryRun_ ? "Would convert " + source + " to " + file["output"].asString() + ".\n"
                           : "Convert " + source + " successfully.\n";
      } else if (status == "skipped") {
        ++skipped;
        if (!quiet_) console += "Skip " + source + ": the file is already in the current format.\n";
      } else if (status == "failed") {
        ++failed;
        console += file["message"].asString() + "\n";
      } else {
        EXPECT_EQ(status, "not converted");
        ++notConverted;
      }
    }
    const bool refused = report.isMember("refusal");
    if (refused) {
      console = report["refusal"].asString() + "\n";
      EXPECT_EQ(converted + failed + skipped, 0u);
    } else {
      if (keepGoing_) {
        EXPECT_EQ(notConverted, 0u);
      } else {
        EXPECT_LE(failed, 1u);
      }
      if (keepGoing_ || dryRun_) {
        console += std::string(dryRun_ ? "Would convert " : "Converted ") +
                   std::to_string(converted) + " of " + std::to_string(report["files"].size()) +
                   " files, " + std::to_string(failed) + " failed" +
                   (skipped ? ", " + std::to_string(skipped) + " skipped" : "") +
                   (notConverted ? ", " + std::to_string(notConverted) + " not converted" : "") +
                   (dryRun_ ? " (dry run: no output written).\n" : ".\n");
      }
    }
    EXPECT_EQ(run.out, console);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, refused || failed != 0 ? 1 : 0);
    const Json::Value& summary = report["summary"];
    EXPECT_EQ(summary["converted"].asUInt(), converted);
    EXPECT_EQ(summary["failed"].asUInt(), failed);
    EXPECT_EQ(summary["skipped"].asUInt(), skipped);
    EXPECT_EQ(summary["notConverted"].asUInt(), notConverted);
  }

  // Only the converted outputs changed, each where an earlier output (or, in
  // place, its own source) was, and each is the conversion of its source.
  void CheckFiles(const State& before, const State& after, const Json::Value& report) {
    std::map<std::string, std::string> written;  // output → the text expected there
    for (const Json::Value& file : report["files"]) {
      if (file["status"].asString() != "converted" || dryRun_) continue;
      const std::string source = file["source"].asString();
      const std::string output = file["output"].asString();
      const auto was = before.find(source);
      ASSERT_NE(was, before.end()) << source;
      const std::string text = was->second.starts_with("file:") ? was->second.substr(5)
                                                                : FileText(tree_.Path(source));
      written[output] = "file:" + Output(text);
      const auto there = before.find(output);
      if (there == before.end() || (inPlace_ && output == source)) continue;
      const std::string held = there->second.starts_with("file:") ? there->second.substr(5)
                               : there->second.starts_with("link:") ? FileText(tree_.Path(output))
                                                                    : std::string();
      const bool earlierOutput = FormatOfText(held) == TemplateFormat::Current;
      EXPECT_TRUE(earlierOutput) << output << " held " << there->second.substr(0, 60);
    }
    for (const auto& [path, content] : after) {
      EXPECT_EQ(path.find(".lumiflow-"), std::string::npos) << path;
      if (path == "r.json" || content == "directory") continue;
      if (const auto output = written.find(path); output != written.end()) {
        EXPECT_EQ(content.substr(0, 200), output->second.substr(0, 200)) << path;
        EXPECT_EQ(content, output->second) << path;
        continue;
      }
      const auto was = before.find(path);
      ASSERT_NE(was, before.end()) << "new: " << path;
      EXPECT_EQ(content, was->second) << path;
    }
    for (const auto& [path, content] : before) {
      if (path != "r.json") {
        EXPECT_EQ(after.count(path), 1u) << "gone: " << path;
      }
    }
  }

  TempTree tree_;
  std::mt19937 random_;
  const Texts& texts_;
  std::set<std::string> sources_;
  std::vector<std::string> arguments_;
  bool inPlace_ = false;
  bool keepTree_ = false;
  bool keepGoing_ = false;
  bool dryRun_ = false;
  bool quiet_ = false;
};

TEST(BatchProperty, ARunReplacesOnlyItsOwnOutputsAndARepeatChangesNothing) {
  const Texts texts;
  for (unsigned round = 0; round < 40; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    RandomRun run(round * 7919 + 17, texts);
    run.ChooseOptions();
    SCOPED_TRACE(::testing::PrintToString(run.Arguments()) + " in " + run.Root());
    const Outcome first = run.RunAndCheck();
    if (first.status == 125 || first.status == 126) GTEST_SKIP() << "cannot run as nobody";
    const State afterFirst = run.StateWithoutReport();
    const Outcome second = run.RunAndCheck();
    EXPECT_EQ(second.status, first.status) << first.out << "\n--\n" << second.out;
    EXPECT_EQ(run.StateWithoutReport(), afterFirst);
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
}  // namespace quorvane::testing
