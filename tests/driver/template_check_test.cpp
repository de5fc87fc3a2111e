#include "driver/template_check.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/temp_tree.h"

namespace quorvane {
namespace {

using testing::TempTree;

struct CheckRun {
  int status;
  std::string out;
  std::string err;
};

CheckRun Check(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv{"lumiflow-check"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunTemplateCheck(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

TEST(TemplateCheck, EachFileGetsOneLine) {
  TempTree tree;
  struct Case {
    const char* content;  // null: no such file
    std::string line;     // after the path
  };
  const Case cases[] = {
      {"{}", ""},
      {R"({"LumiflowTemplates": [{"Name": "a"}],
           "BarcodeFormatSpecificationOptions": [{"Name": "f", "MirrorMode": "MM_BOTH"}]})",
       ""},
      {nullptr, ": -10005: The file is not found."},
      {"[]", ": -10033: content is not a object"},
      {R"({"LumiflowTemplates": {}})", ": -10031: LumiflowTemplates"},
      // The reader's list of errors, its lines folded into one.
      {"{\n\"a\" 1}", ": -10030: * Line 2, Column 5 Missing ':' after object member name"},
      {R"({"LumiflowTemplates": [{"Name": "line\nbreak", "Timeout": "x"}]})",
       ": -10031: LumiflowSetting:Timeout:Json type invalid."},
      {R"({"BarcodeFormatSpecificationOptions": [{"Name": "f"}, {"Name": "g", "Odd": 1}]})",
       ": -10032: BarcodeFormatSpecificationOptions[1]:BarcodeFormatSpecification:Odd:Json key "
       "invalid."},
      {R"({"BarcodeReaderTaskSettingOptions": [{"Name": "t", "ExpectedBarcodesCount": 2}],
           "TargetROIDefOptions": [{"Name": "r", "TaskSettingNameArray": ["t"]}]})",
       ""},
      // Tasks are built before format specifications.
      {R"({"BarcodeFormatSpecificationOptions": [{"Odd": 1}],
           "BarcodeReaderTaskSettingOptions": [{"Name": "t"}, {"Name": "u", "Odd": 2}]})",
       ": -10032: BarcodeReaderTaskSettingOptions[1]:BarcodeReaderTaskSetting:Odd:Json key "
       "invalid."},
      {R"({"BarcodeReaderTaskSettingOptions": [{"Name": "t"}, "u"]})",
       ": -10031: BarcodeReaderTaskSettingOptions[1]:Json type invalid."},
      {R"({"BarcodeFormatSpecificationOptions": [3]})",
       ": -10031: BarcodeFormatSpecificationOptions[0]:Json type invalid."},
      {R"({"BarcodeFormatSpecificationOptions": {}})",
       ": -10031: BarcodeFormatSpecificationOptions:Json type invalid."},
  };
  std::vector<std::string> paths;
  std::string expected;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string name = "t" + std::to_string(i) + ".json";
    const std::string path =
        cases[i].content != nullptr ? tree.WriteFile(name, cases[i].content) : tree.Path(name);
    paths.push_back(path);
    expected += (cases[i].line.empty() ? "OK: " + path : "FAIL: " + path + cases[i].line) + "\n";
    SCOPED_TRACE(path);
    const CheckRun single = Check({path});
    EXPECT_EQ(single.status, cases[i].line.empty() ? 0 : 1);
    EXPECT_EQ(single.out, expected.substr(expected.rfind('\n', expected.size() - 2) + 1));
    EXPECT_EQ(single.err, "");
  }
  // All at once: one line each, in argument order, and status 1.
  const CheckRun all = Check(paths);
  EXPECT_EQ(all.status, 1);
  EXPECT_EQ(all.out, expected);
  // A directory is no template file.
  EXPECT_EQ(Check({tree.Root()}).out, "FAIL: " + tree.Root() + ": -10005: The file is not found.\n");
  const CheckRun good = Check({paths[0], paths[1]});
  EXPECT_EQ(good.status, 0);
}

TEST(TemplateCheck, UsageWithoutArgumentsOrOnRequest) {
  const CheckRun none = Check({});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err.rfind("Usage: lumiflow-check FILE...\n", 0), 0u) << none.err;
  const CheckRun help = Check({"missing.json", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, none.err);
  EXPECT_EQ(help.err, "");
}

}  // namespace
}  // namespace quorvane
