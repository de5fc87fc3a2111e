// The planning of a run on its own, before anything is converted: where
// each output goes, what an output may replace, where the report goes, and
// which refusal comes first.

#include "driver/output_plan.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run_plan.h"
#include "driver/temp_tree.h"

namespace quorvane {
namespace {

using testing::TempTree;
using testing::WorkingDirectory;

// Tells an earlier output ("converted"), a legacy template ("legacy") and
// other JSON ("{...") from a file that is not JSON.
TemplateFormat StandInFormat(std::string_view text) {
  if (text.starts_with("converted")) return TemplateFormat::Current;
  if (text.starts_with("legacy")) return TemplateFormat::Legacy;
  if (text.starts_with("{")) return TemplateFormat::OtherJson;
  return TemplateFormat::NotJson;
}

std::vector<std::string> Outputs(const std::vector<PlannedFile>& plan) {
  std::vector<std::string> outputs;
  for (const PlannedFile& file : plan) outputs.push_back(file.output);
  return outputs;
}

TEST(PlanOutputs, JoinsEachLayoutWithOneSlash) {
  const std::vector<ListedPath> files = {
      {"in/sub/a.json", 3}, {"in/b.json", 3}, {"in/locked", 3, EACCES, true}};
  const struct {
    std::string destination;
    OutputLayout layout;
    std::vector<std::string> outputs;
  } cases[] = {
      {"new.json", OutputLayout::File, {"new.json", "new.json", ""}},
      {"out", OutputLayout::Flat, {"out/a.json", "out/b.json", ""}},
      {"out//", OutputLayout::Flat, {"out/a.json", "out/b.json", ""}},
      {"/", OutputLayout::Flat, {"/a.json", "/b.json", ""}},
      {"out/", OutputLayout::Tree, {"out/sub/a.json", "out/b.json", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.destination);
    const std::vector<PlannedFile> plan = PlanOutputs(files, c.destination, c.layout);
    EXPECT_EQ(Outputs(plan), c.outputs);
    EXPECT_TRUE(plan[2].isDirectory);
    EXPECT_EQ(plan[2].listingError, EACCES);
  }
  // A bare file name, as a single source given in the working directory.
  EXPECT_EQ(Outputs(PlanOutputs({{"a.json", 6}}, "out", OutputLayout::Flat)),
            std::vector<std::string>{"out/a.json"});
}

// Two spellings of one place are one output; a file that cannot be read
// writes nothing and clashes with nothing.
TEST(FindOutputClash, SeesThroughSpellingsAndLinks) {
  TempTree tree;
  WorkingDirectory inside(tree.Root());
  tree.MakeDirectory("out/sub");
  tree.MakeSymlink("out", "link");
  const struct {
    std::vector<PlannedFile> plan;
    std::optional<std::pair<std::size_t, std::size_t>> clash;
  } cases[] = {
      {{{"a", "out/a.json"}, {"b", "out/b.json"}}, std::nullopt},
      {{{"a", "out/a.json"}, {"b", "out/b.json"}, {"c", "./out//a.json"}}, std::pair{0, 2}},
      {{{"a", "out/sub/../a.json"}, {"b", "link/a.json"}}, std::pair{0, 1}},
      {{{"a", "out/a.json", ENOENT}, {"b", "out/a.json"}}, std::nullopt},
      {{{"a", "new/a.json"}, {"b", "new/./a.json"}}, std::pair{0, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.plan.back().output);
    EXPECT_EQ(FindOutputClash(c.plan), c.clash);
  }
}

// What an output path holds decides: only an earlier output (or, in place,
// the file itself) is replaced; links count as what they lead to.
TEST(RefuseOutputs, ReplacesOnlyEarlierOutputs) {
  const std::string start = "Fail to plan the output: out/a.json, the output of in/a.json, ";
  const std::string moveAway =
      ".\nA run replaces only its earlier outputs (templates in the current format): move that "
      "file away, or give another destination.\n";
  const struct {
    std::string name;
    void (*make)(const TempTree&);
    std::string refusal;
  } cases[] = {
      {"nothing", [](const TempTree&) {}, ""},
      {"earlier output", [](const TempTree& t) { t.WriteFile("out/a.json", "converted"); }, ""},
      {"link to an earlier output",
       [](const TempTree& t) {
         t.WriteFile("old.json", "converted");
         t.MakeSymlink("../old.json", "out/a.json");
       },
       ""},
      {"legacy", [](const TempTree& t) { t.WriteFile("out/a.json", "legacy"); },
       start + "would replace a legacy template" + moveAway},
      {"other JSON", [](const TempTree& t) { t.WriteFile("out/a.json", "{}"); },
       start + "would replace a JSON file that is not a template" + moveAway},
      {"not JSON", [](const TempTree& t) { t.WriteFile("out/a.json", "x"); },
       start + "would replace a file that is not JSON" + moveAway},
      {"directory", [](const TempTree& t) { t.MakeDirectory("out/a.json"); },
       start + "would replace a directory" + moveAway},
      {"fifo", [](const TempTree& t) { t.MakeFifo("out/a.json"); },
       start + "would replace a named pipe" + moveAway},
      {"link to legacy",
       [](const TempTree& t) {
         t.WriteFile("old.json", "legacy");
         t.MakeSymlink("../old.json", "out/a.json");
       },
       start + "would replace a link to a legacy template" + moveAway},
      {"dangling link", [](const TempTree& t) { t.MakeSymlink("nowhere", "out/a.json"); },
       start + "would replace a link that leads nowhere" + moveAway},
      {"another file's source",
       [](const TempTree& t) { t.MakeSymlink("../in/b.json", "out/a.json"); },
       start +
           "would replace the source file in/b.json.\nGive a destination directory that does "
           "not hold the source directory.\n"},
      {"its own source", [](const TempTree& t) { t.MakeSymlink("../in/a.json", "out/a.json"); },
       start +
           "would replace its own source file.\nTo convert in place, give the same path twice; "
           "otherwise give another destination.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempTree tree;
    WorkingDirectory inside(tree.Root());
    tree.WriteFile("in/a.json", "legacy");
    tree.WriteFile("in/b.json", "legacy");
    tree.MakeDirectory("out");
    c.make(tree);
    const std::vector<PlannedFile> plan = {{"in/a.json", "out/a.json"}, {"in/b.json", "out/b.json"}};
    EXPECT_EQ(RefuseOutputs(plan, OutputLayout::Flat, false, StandInFormat), c.refusal);
  }
}

// In place, each file replaces itself; a clash is refused before any
// output path is looked at, with the hint of its layout.
TEST(RefuseOutputs, InPlaceAndClashes) {
  TempTree tree;
  WorkingDirectory inside(tree.Root());
  tree.WriteFile("in/a.json", "legacy");
  tree.WriteFile("in/sub/a.json", "legacy");
  EXPECT_EQ(RefuseOutputs({{"in/a.json", "in/a.json"}, {"in/sub/a.json", "in/sub/a.json"}},
                          OutputLayout::Tree, true, StandInFormat),
            "");
  const std::vector<PlannedFile> clash = {{"in/a.json", "in/a.json"},
                                          {"in/sub/a.json", "in/a.json"}};
  EXPECT_EQ(RefuseOutputs(clash, OutputLayout::Flat, false, StandInFormat),
            "Fail to plan the output: in/a.json is the output of both in/a.json and "
            "in/sub/a.json.\nConvert the subfolders one at a time, each into a destination of "
            "its own, or keep them apart with --keep-tree.\n");
  EXPECT_EQ(RefuseOutputs(clash, OutputLayout::File, false, StandInFormat),
            "Fail to plan the output: in/a.json is the output of both in/a.json and "
            "in/sub/a.json.\nGive a destination directory to convert more than one file.\n");
}

TEST(PlanReport, TellsWhereTheReportGoes) {
  TempTree tree;
  WorkingDirectory inside(tree.Root());
  tree.WriteFile("old.json", "{}");
  tree.MakeDirectory("dir");
  tree.MakeSymlink("old.json", "link.json");
  tree.MakeSymlink("nowhere", "dangling.json");
  tree.MakeFifo("fifo");
  using Kind = ReportTarget::Kind;
  const struct {
    std::string path;
    std::optional<Kind> kind;
    std::string target;  // the path written, for a file
  } cases[] = {
      {"-", Kind::StandardOutput, "-"},
      {"new.json", Kind::File, "new.json"},
      {"old.json", Kind::File, tree.Path("old.json")},
      {"link.json", Kind::File, tree.Path("old.json")},
      {"fifo", Kind::Existing, "fifo"},
      {"dir", std::nullopt, ""},
      {"new.json/", std::nullopt, ""},
      {"missing/new.json", std::nullopt, ""},
      {"dangling.json", std::nullopt, ""},
      {"", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const std::optional<ReportTarget> target = PlanReport(c.path);
    ASSERT_EQ(target.has_value(), c.kind.has_value());
    if (!target) continue;
    EXPECT_EQ(target->kind, *c.kind);
    if (*c.kind != Kind::Existing) {
      EXPECT_EQ(target->path, c.target);
    }
  }
}

// The refusals come in one order, and a report that may not be written is
// not planned at all; every other refusal still gets the report.
TEST(PlanRun, RefusesInOrderAndKeepsTheReportWhereItMayGo) {
  const struct {
    std::vector<std::string> arguments;  // SOURCE DESTINATION [REPORT]
    std::string refusal;
    bool report;
    std::size_t files;
  } cases[] = {
      {{"in", "out", "r.json"}, "", true, 2},
      {{"in", "out"}, "", false, 2},
      {{"missing", "out", "nowhere/r.json"}, "Report path error: \"nowhere/r.json\" is invalid.\n",
       false, 0},
      {{"missing", "out", "r.json"}, "Source path error: \"missing\" is invalid.\n", true, 0},
      // A file given as a path the run refuses is never replaced by the report.
      {{"notes.txt", "out", "./notes.txt"},
       "Source file type error: \"notes.txt\" is invalid.\nFail to plan the report: ./notes.txt "
       "would replace the source file notes.txt.\n",
       false, 0},
      {{"in", "notes.txt", "notes.txt"},
       "Destination path error: \"notes.txt\" is invalid.\nFail to plan the report: notes.txt "
       "would replace the output of in.\n",
       false, 0},
      {{"-", "notes.txt", "notes.txt"},
       "Destination path error: \"notes.txt\" is invalid.\nFail to plan the report: notes.txt "
       "would replace the output of -.\n",
       false, 0},
      {{"in", "out", "in/b.json"},
       "Fail to plan the report: in/b.json would replace the source file in/b.json.\n", false, 2},
      {{"in", "out", "out/./a.json"},
       "Fail to plan the report: out/./a.json would replace the output of in/a.json.\n", false,
       2},
      {{"in", "taken", "r.json"},
       "Fail to plan the output: taken/a.json, the output of in/a.json, would replace a legacy "
       "template.\nA run replaces only its earlier outputs (templates in the current format): "
       "move that file away, or give another destination.\n",
       true, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    TempTree tree;
    WorkingDirectory inside(tree.Root());
    tree.WriteFile("in/a.json", "legacy");
    tree.WriteFile("in/b.json", "legacy");
    tree.MakeDirectory("out");
    tree.WriteFile("taken/a.json", "legacy");
    tree.WriteFile("notes.txt", "notes");
    RunOptions options;
    if (c.arguments.size() > 2) options.report = c.arguments[2];
    const RunPlan plan = PlanRun(c.arguments[0], c.arguments[1], options, StandInFormat);
    EXPECT_EQ(plan.refusal, c.refusal);
    EXPECT_EQ(plan.Refused(), !c.refusal.empty());
    EXPECT_EQ(plan.report.has_value(), c.report);
    EXPECT_EQ(plan.files.size(), c.files);
  }
}

TEST(PlanRun, InPlaceAndKeepTreeTakeTheTreeLayout) {
  TempTree tree;
  WorkingDirectory inside(tree.Root());
  tree.WriteFile("in/sub/a.json", "legacy");
  tree.MakeDirectory("out");
  const struct {
    std::string source;
    std::string destination;
    bool keepTree;
    OutputLayout layout;
    bool inPlace;
    std::string output;
  } cases[] = {
      {"in", "out", false, OutputLayout::Flat, false, "out/a.json"},
      {"in", "out", true, OutputLayout::Tree, false, "out/sub/a.json"},
      {"in", "./in/", false, OutputLayout::Tree, true, "./in/sub/a.json"},
      {"in/sub/a.json", "in/sub/../sub/a.json", false, OutputLayout::File, true,
       "in/sub/../sub/a.json"},
      {"in/sub/a.json", "new.json", true, OutputLayout::File, false, "new.json"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.destination);
    const RunPlan plan = PlanRun(c.source, c.destination, {.keepTree = c.keepTree}, StandInFormat);
    EXPECT_EQ(plan.refusal, "");
    EXPECT_EQ(plan.layout, c.layout);
    EXPECT_EQ(plan.inPlace, c.inPlace);
    EXPECT_EQ(Outputs(plan.files), std::vector<std::string>{c.output});
  }
}

TEST(StreamUsageError, RefusesWhatAStandardStreamCannotGoWith) {
  TempTree tree;
  WorkingDirectory inside(tree.Root());
  tree.MakeDirectory("dir");
  const std::string program = "lumiflow-convert: ";
  const struct {
    std::string source;
    std::string destination;
    std::optional<std::string> report;
    std::string error;
  } cases[] = {
      {"-", "-", std::nullopt, ""},
      {"-", "out.json", "-", ""},
      {"a.json", "-", "r.json", ""},
      {"a.json", "-", "-",
       program + "the report and the converted template cannot both go to standard output"},
      {"dir", "-", std::nullopt, program + "a directory cannot be converted to standard output"},
      {"-", "dir", std::nullopt,
       program + "standard input is converted into a file or to standard output, not into a "
                 "directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + " " + c.destination);
    EXPECT_EQ(StreamUsageError({.report = c.report}, c.source, c.destination), c.error);
  }
}

}  // namespace
}  // namespace quorvane
