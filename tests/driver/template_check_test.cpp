#include "driver/template_check.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/temp_tree.h"
#include "framework/json_text_limits.h"

namespace quorvane {
namespace {

struct CheckRun {
  int status;
  std::string out;
  std::string err;
};

CheckRun Check(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv{"lumiflow-check"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out, err;
  const int status = RunTemplateCheck(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

TEST(TemplateCheck, EachFileGetsOneLine) {
  const struct {
    const char* content;  // null: no such file
    std::string line;     // after the path; empty: passed
  } cases[] = {
      {"{}", ""},
      {R"({"LumiflowTemplates": [{"Name": "a"}],
           "BarcodeFormatSpecificationOptions": [{"Name": "f", "MirrorMode": "MM_BOTH"}]})", ""},
      {nullptr, ": -10005: The file is not found."},
      {"[]", ": -10033: content is not a object"},
      // The reader's list of errors, its lines folded into one.
      {"{\n\"a\" 1}", ": -10030: * Line 2, Column 5 Missing ':' after object member name"},
      {R"({"LumiflowTemplates": [{"Name": "line\nbreak", "Timeout": "x"}]})",
       ": -10031: LumiflowSetting:Timeout:Json type invalid."},
      {R"({"BarcodeFormatSpecificationOptions": [{"Name": "f"}, {"Name": "g", "Odd": 1}]})",
       ": -10032: BarcodeFormatSpecificationOptions[1]:BarcodeFormatSpecification:Odd:Json key "
       "invalid."},
      // Tasks are built before format specifications.
      {R"({"BarcodeFormatSpecificationOptions": [{"Odd": 1}],
           "BarcodeReaderTaskSettingOptions": [{"Name": "t"}, {"Name": "u", "Odd": 2}]})",
       ": -10032: BarcodeReaderTaskSettingOptions[1]:BarcodeReaderTaskSetting:Odd:Json key "
       "invalid."},
      {R"({"BarcodeReaderTaskSettingOptions": [{"Name": "t"}, "u"]})",
       ": -10031: BarcodeReaderTaskSettingOptions[1]:Json type invalid."},
      {R"({"BarcodeFormatSpecificationOptions": {}})",
       ": -10031: BarcodeFormatSpecificationOptions:Json type invalid."},
      {R"({"BarcodeReaderTaskSettingOptions": [{"Name": "t", "ExpectedBarcodesCount": 2}],
           "TargetROIDefOptions": [{"Name": "r", "TaskSettingNameArray": ["t"]}]})", ""},
  };
  testing::TempTree tree;
  std::vector<std::string> paths;
  std::string expected;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string name = "t" + std::to_string(i) + ".json";
    paths.push_back(cases[i].content ? tree.WriteFile(name, cases[i].content) : tree.Path(name));
    expected += (cases[i].line.empty() ? "OK: " : "FAIL: ") + paths[i] + cases[i].line + "\n";
  }
  // One line each, in argument order; a failure fails the run, even when the
  // last file passes.
  const CheckRun run = Check(paths);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Check({paths[0], paths[1], paths.back()}).status, 0);
  const std::string huge = tree.MakeSparseFile("huge.json", kMaxTemplateFileBytes + 1);
  EXPECT_EQ(Check({huge}).out, "FAIL: " + huge + ": -10061: The template is complex.\n");
}

// A legacy file is refused with or without --strict; --strict refuses every
// top-level key that is not a template section, at the first in key order,
// and a file without sections, after the other checks.
TEST(TemplateCheck, LegacyFilesAndStrictKeys) {
  const char* kLegacy = ": -10032: Json key invalid. The file is a legacy template; convert it "
                        "with lumiflow-convert.";
  const struct {
    const char* content;
    const char* plain;   // the line after the path without --strict; empty: passed
    const char* strict;  // with --strict
  } cases[] = {
      {R"({"ImageParameter": {"Name": "a"}})", kLegacy, kLegacy},
      {R"({"RegionDefinitionArray": [], "Comment": 1})", kLegacy, kLegacy},
      // A section of the current format beside a legacy key: not a legacy file.
      {R"({"ImageParameter": {}, "GlobalParameter": {}})", "",
       ": -10032: Json key invalid. ImageParameter"},
      {R"({"LumiflowTemplate": [], "Zed": 1, "LumiflowTemplates": [{"Name": "a"}]})", "",
       ": -10032: Json key invalid. LumiflowTemplate"},
      {R"({"ImageSourceOptions": []})", "",
       ": -10032: Json key invalid. ImageSourceOptions"},
      {"{}", "", ": -10032: Json key invalid. The file has no template section."},
      // The other checks come first.
      {R"({"Comment": 1, "LumiflowTemplates": [{"Name": "a", "Timeout": "x"}]})",
       ": -10031: LumiflowSetting:Timeout:Json type invalid.",
       ": -10031: LumiflowSetting:Timeout:Json type invalid."},
      {R"({"GlobalParameter": null, "BarcodeReaderTaskSettingOptions": []})", "", ""},
  };
  testing::TempTree tree;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].content);
    const std::string path = tree.WriteFile("t" + std::to_string(i) + ".json", cases[i].content);
    for (const bool strict : {false, true}) {
      const std::string line = strict ? cases[i].strict : cases[i].plain;
      const CheckRun run = strict ? Check({"--strict", path}) : Check({path});
      EXPECT_EQ(run.out, (line.empty() ? "OK: " : "FAIL: ") + path + line + "\n");
      EXPECT_EQ(run.status, line.empty() ? 0 : 1);
    }
  }
}

// --schema prints a draft 2020-12 schema whose root takes the six sections
// only; it checks no file.
TEST(TemplateCheck, SchemaOfTheTemplateSections) {
  const CheckRun run = Check({"--schema"});
  ASSERT_EQ(run.status, 0) << run.err;
  Json::Value schema;
  ASSERT_TRUE(Json::Reader().parse(run.out, schema));
  EXPECT_EQ(schema["$schema"].asString(), "https://json-schema.org/draft/2020-12/schema");
  EXPECT_EQ(schema["properties"].getMemberNames(),
            (std::vector<std::string>{"BarcodeFormatSpecificationOptions",
                                      "BarcodeReaderTaskSettingOptions", "GlobalParameter",
                                      "ImageParameterOptions", "LumiflowTemplates",
                                      "TargetROIDefOptions"}));
  EXPECT_FALSE(schema["additionalProperties"].asBool());
  EXPECT_EQ(Check({"--schema", "x.json"}).status, 2);
}

// A directory is listed as the converter lists a source; options come first
// in any order of words, and "--" ends them.
TEST(TemplateCheck, DirectoriesAndOptions) {
  testing::TempTree tree;
  testing::WorkingDirectory inside(tree.Root());
  tree.WriteFile("dir/b.json", "{}");
  tree.WriteFile("dir/A.JSON", "[]");
  tree.WriteFile("dir/sub/c.json", "{}");
  tree.WriteFile("dir/notes.txt", "[]");
  tree.WriteFile("-x.json", "{}");
  tree.MakeDirectory("empty");
  const std::string hint = "Try 'lumiflow-check --help'.\n";
  const struct {
    std::vector<std::string> arguments;
    CheckRun run;
  } cases[] = {
      {{"dir", "-x.json"}, {2, "", "lumiflow-check: unknown option '-x'\n" + hint}},
      {{"--", "dir", "-x.json"},
       {1,
        "FAIL: dir/A.JSON: -10033: content is not a object\nOK: dir/b.json\n"
        "OK: dir/sub/c.json\nOK: -x.json\n",
        ""}},
      {{"dir/sub", "empty"}, {0, "OK: dir/sub/c.json\n", ""}},
      {{"empty"}, {0, "", ""}},
      {{"--version", "dir"}, {0, "lumiflow-check " LUMIFLOW_VERSION "\n", ""}},
      {{"--version=1"}, {2, "", "lumiflow-check: option '--version' takes no argument\n" + hint}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const CheckRun run = Check(c.arguments);
    EXPECT_EQ(run.status, c.run.status);
    EXPECT_EQ(run.out, c.run.out);
    EXPECT_EQ(run.err, c.run.err);
  }
  EXPECT_EQ(Check({"-h"}).out.rfind("Usage: lumiflow-check [OPTION]... PATH...\n", 0), 0u);
}

}  // namespace
}  // namespace quorvane
