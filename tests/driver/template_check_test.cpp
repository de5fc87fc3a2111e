#include "driver/template_check.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(Check({tree.Root()}).out, "FAIL: " + tree.Root() + ": -10005: The file is not found.\n")
      << "a directory is no template file";
}

}  // namespace
}  // namespace quorvane
