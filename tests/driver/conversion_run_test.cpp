#include "driver/conversion_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/legacy_conversion.h"
#include "driver/temp_tree.h"
#include "framework/error_codes.h"

namespace quorvane {
namespace {

using testing::FileText;
using testing::TempTree;
using testing::WorkingDirectory;

// Stands in for the legacy conversion: an empty text fails like a parse error
// (no message of its own), "bad <message>" fails with that message, anything
// else converts to "converted:" + text.
int FakeConvert(const std::string& text, std::string& errorMessage, std::string& outputText) {
  if (text.empty()) {
    return errors::kJsonParseFailed;
  }
  if (text.rfind("bad ", 0) == 0) {
    errorMessage = text.substr(4);
    return errors::kJsonValueInvalid;
  }
  outputText = "converted:" + text;
  return errors::kSuccess;
}

struct RunResult {
  int status;
  std::string out;
  std::string err;
  std::string unread;  // what the run left of the input: tells whether it waited
};

RunResult RunWith(const std::vector<std::string>& arguments, const std::string& input = "KEY",
              ConvertTemplateText convert = FakeConvert) {
  std::vector<const char*> argv = {"lumiflow-convert"};
  for (const auto& argument : arguments) {
    argv.push_back(argument.c_str());
  }
  argv.push_back(nullptr);
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status =
      RunConverter(static_cast<int>(argv.size() - 1), argv.data(), in, out, err, convert);
  std::string unread(std::istreambuf_iterator<char>(in), {});
  return {status, out.str(), err.str(), unread};
}

std::string Quoted(const std::string& path) { return '"' + path + '"'; }

TEST(RunConverter, WrongArgumentCountFailsWithoutWaiting) {
  const std::vector<std::vector<std::string>> cases = {
      {"only"}, {"a", "b", "c"}, {"a", "b", "c", "d"}, {"-help"}, {"--HELP"}, {"-v"}};
  for (const auto& arguments : cases) {
    SCOPED_TRACE(arguments.size());
    const RunResult result = RunWith(arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "The number of argument is invalid.\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.unread, "KEY");
  }
}

TEST(RunConverter, HelpAndVersion) {
  for (const char* option : {"--help", "-h"}) {
    SCOPED_TRACE(option);
    const RunResult result = RunWith({option});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("Usage: lumiflow-convert [SOURCE DESTINATION]\n", 0), 0u);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.unread, "KEY");
  }
  const RunResult result = RunWith({"--version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "lumiflow-convert " LUMIFLOW_VERSION "\n");
  EXPECT_EQ(result.unread, "KEY");
}

TEST(RunConverter, RefusedPathsInTheirOrder) {
  TempTree tree;
  const std::string source = tree.WriteFile("in.json", "{}");
  const std::string upper = tree.WriteFile("A.JSON", "{}");
  const std::string text = tree.WriteFile("plain.txt", "");
  const std::string out = tree.MakeDirectory("out");
  const std::string missing = tree.Path("missing.json");
  const struct {
    std::string source;
    std::string destination;
    std::string message;
  } cases[] = {
      {missing, out, "Source path error: " + Quoted(missing) + " is invalid.\n"},
      {"/dev/null", out, "Source path error: \"/dev/null\" is invalid.\n"},
      {missing, "/dev/null", "Source path error: " + Quoted(missing) + " is invalid.\n"},
      {source, tree.Path("new"), "Destination path error: " + Quoted(tree.Path("new")) +
                                     " is invalid.\n"},
      {source, text, "Destination path error: " + Quoted(text) + " is invalid.\n"},
      {source, text + "/out.json",
       "Destination path error: " + Quoted(text + "/out.json") + " is invalid.\n"},
      {source, "/dev/null", "Destination path error: \"/dev/null\" is invalid.\n"},
      {upper, out, "Source file type error: " + Quoted(upper) + " is invalid.\n"},
      {text, tree.Path("new"),
       "Destination path error: " + Quoted(tree.Path("new")) + " is invalid.\n"},
      {"", out, "Source path error: \"\" is invalid.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + " -> " + c.destination);
    const RunResult result = RunWith({c.source, c.destination});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, c.message);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.unread, "EY");
  }
  EXPECT_EQ(FileText(out + "/in.json"), "<missing>");
}

TEST(RunConverter, PromptedPathsLoseTheirQuotes) {
  TempTree tree;
  const std::string source = tree.WriteFile("in.json", "{}");
  const std::string out = tree.MakeDirectory("out");
  const std::string prompts = "Input source path:\nInput destination path:\n";
  const std::string converted = "Convert " + source + " successfully.\n";
  const struct {
    std::string input;
    std::string expectedOut;
    std::string unread;
  } cases[] = {
      {Quoted(source) + "\n" + Quoted(out) + "\nKEY", prompts + converted, "EY"},
      {Quoted(source) + "\r\n" + Quoted(out) + "\r\nKEY", prompts + converted, "EY"},
      {"\"" + tree.Root() + "/i\"n.json\n" + out + "\"\n", prompts + converted, ""},
      {source + "\n" + out, prompts + converted, ""},  // the last line ends with the input
      {"", prompts + "Source path error: \"\" is invalid.\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const RunResult result = RunWith({}, c.input);
    EXPECT_EQ(result.out, c.expectedOut);
    EXPECT_EQ(result.unread, c.unread);
  }
  EXPECT_EQ(FileText(out + "/in.json"), "converted:{}");
}

TEST(RunConverter, ConvertsADirectoryTreeInListingOrder) {
  TempTree tree;
  const std::string in = tree.Root() + "/in";
  tree.WriteFile("in/a.json", "A");
  tree.WriteFile("in/B.JSON", "B");
  tree.WriteFile("in/sub/c.json", "C");
  tree.WriteFile("in/a.json.bak", "skipped");
  tree.WriteFile("in/notes.txt", "skipped");
  const std::string out = tree.MakeDirectory("out");
  const RunResult result = RunWith({in, out});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Convert " + in + "/B.JSON successfully.\n" +
                            "Convert " + in + "/a.json successfully.\n" +
                            "Convert " + in + "/sub/c.json successfully.\n");
  EXPECT_EQ(result.unread, "EY");
  EXPECT_EQ(FileText(out + "/a.json"), "converted:A");
  EXPECT_EQ(FileText(out + "/B.JSON"), "converted:B");
  EXPECT_EQ(FileText(out + "/c.json"), "converted:C");
  EXPECT_EQ(FileText(out + "/a.json.bak"), "<missing>");
}

TEST(RunConverter, EmptyDirectoryEndsQuietly) {
  TempTree tree;
  tree.WriteFile("in/readme.txt", "");
  const RunResult result = RunWith({tree.Path("in"), tree.MakeDirectory("out")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.unread, "EY");
}

TEST(RunConverter, OutputPaths) {
  TempTree tree;
  tree.WriteFile("a.json", "plain");
  tree.WriteFile("x.json.bak", "marked");
  tree.WriteFile("in/one.json", "1");
  tree.WriteFile("in/two.json", "2");
  tree.WriteFile("in/x/same.json", "first");
  tree.WriteFile("in/y/same.json", "second");
  tree.WriteFile("in/back\\slash.json", "slash");
  tree.MakeDirectory("out");
  WorkingDirectory scope(tree.Root());

  // A relative single file with no directory part.
  RunResult result = RunWith({"a.json", "out"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Convert a.json successfully.\n");
  EXPECT_EQ(FileText("out/a.json"), "converted:plain");

  // The single-file marker test takes ".json" anywhere in the path.
  result = RunWith({"x.json.bak", "out"});
  EXPECT_EQ(result.out, "Convert x.json.bak successfully.\n");
  EXPECT_EQ(FileText("out/x.json.bak"), "converted:marked");

  // Into a destination directory: same names collide and the later file wins;
  // a back slash is part of the name.
  result = RunWith({"in", "out"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(FileText("out/same.json"), "converted:second");
  EXPECT_EQ(FileText("out/back\\slash.json"), "converted:slash");

  // Into a destination file that does not exist yet: every file goes there.
  result = RunWith({"in", "all.json"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Convert in/back\\slash.json successfully.\n"
                        "Convert in/one.json successfully.\n"
                        "Convert in/two.json successfully.\n"
                        "Convert in/x/same.json successfully.\n"
                        "Convert in/y/same.json successfully.\n");
  EXPECT_EQ(FileText("all.json"), "converted:second");

  // Into an existing destination file: replaced.
  result = RunWith({"a.json", "all.json"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(FileText("all.json"), "converted:plain");
}

TEST(RunConverter, FailedFileStopsTheRun) {
  TempTree tree;
  const std::string in = tree.Root() + "/in";
  const std::string out = tree.MakeDirectory("out");
  const struct {
    std::string secondText;
    std::string messages;
  } cases[] = {
      {"", "Error: Json parse failed.\n"},
      {"bad ImageParameter:Name:Json value invalid.", "ImageParameter:Name:Json value invalid.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.secondText);
    tree.WriteFile("in/1.json", "one");
    tree.WriteFile("in/2.json", c.secondText);
    tree.WriteFile("in/3.json", "three");
    std::filesystem::remove(out + "/1.json");
    const RunResult result = RunWith({in, out});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Convert " + in + "/1.json successfully.\n" +
                              "Fail to read Old Template: " + in + "/2.json.\n" + c.messages);
    EXPECT_EQ(result.unread, "EY");
    EXPECT_EQ(FileText(out + "/1.json"), "converted:one");
    EXPECT_EQ(FileText(out + "/2.json"), "<missing>");
    EXPECT_EQ(FileText(out + "/3.json"), "<missing>");
  }
}

TEST(RunConverter, UnwritableOutputStopsTheRun) {
  TempTree tree;
  const std::string source = tree.WriteFile("in/a.json", "A");
  tree.WriteFile("in/b.json", "B");
  const std::string in = tree.Path("in");
  const std::string out = tree.MakeDirectory("out");
  tree.MakeDirectory("taken/a.json");
  const std::string nowhere = tree.Path("missing/out.json");
  const struct {
    std::string source;
    std::string destination;
    std::string messages;
  } cases[] = {
      {source, nowhere, "Fail to open file: " + nowhere + ".\n"},
      {in, tree.Path("taken"), "Fail to open file: " + tree.Path("taken/a.json") + ".\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.destination);
    const RunResult result = RunWith({c.source, c.destination});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, c.messages);
    EXPECT_EQ(result.unread, "EY");
  }

  // The output file leads to a device that takes no bytes: the open succeeds
  // and the write fails, which must not be reported as a conversion.
  if (access("/dev/full", W_OK) != 0) {
    GTEST_SKIP() << "no /dev/full";
  }
  tree.MakeSymlink("/dev/full", "out/a.json");
  const RunResult result = RunWith({in, out});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Fail to write file: " + out + "/a.json.\n");
  EXPECT_EQ(result.unread, "EY");
  EXPECT_EQ(FileText(out + "/b.json"), "<missing>");
}

TEST(RunConverter, RealConverterStopsAtTheFirstFailingFile) {
  TempTree tree;
  const std::string in = tree.Root() + "/in";
  const std::string first = R"({"ImageParameter": {"Timeout": 500}} // the rest is a comment)";
  tree.WriteFile("in/1.json", first);
  tree.WriteFile("in/2.json", "[1, 2]");
  tree.WriteFile("in/3.json", "{}");
  const std::string out = tree.MakeDirectory("out");
  const RunResult result = RunWith({in, out}, "KEY", ConvertLegacyTemplate);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Convert " + in + "/1.json successfully.\n" +
                            "Fail to read Old Template: " + in + "/2.json.\n" +
                            "content is not a object\n");
  EXPECT_EQ(result.unread, "EY");
  std::string message;
  std::string expected;
  ASSERT_EQ(ConvertLegacyTemplate(first, message, expected), 0) << message;
  EXPECT_NE(expected.find("\"Timeout\" : 500"), std::string::npos);
  EXPECT_EQ(FileText(out + "/1.json"), expected);
  EXPECT_EQ(FileText(out + "/2.json"), "<missing>");
  EXPECT_EQ(FileText(out + "/3.json"), "<missing>");
}

}  // namespace
}  // namespace quorvane
