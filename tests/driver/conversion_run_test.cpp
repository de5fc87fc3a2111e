#include "driver/conversion_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "driver/temp_tree.h"
#include "framework/error_codes.h"
#include "framework/json_text_limits.h"

namespace quorvane {
namespace {

// Stands in for the legacy conversion: an empty text fails like a parse error
// (no message of its own), "bad <message>" fails with that message, anything
// else converts to "converted:" + text.
int FakeConvert(const std::string& text, std::string& errorMessage, std::string& outputText) {
  if (text.empty()) return errors::kJsonParseFailed;
  if (text.rfind("bad ", 0) == 0) {
    errorMessage = text.substr(4);
    return errors::kJsonValueInvalid;
  }
  outputText = "converted:" + text;
  return errors::kSuccess;
}

// The scratch tree every run starts from, as its working directory.
void MakeTree(const testing::TempTree& tree) {
  for (const auto& [path, content] : std::vector<std::pair<const char*, const char*>>{
           {"in.json", "{}"},         {"A.JSON", "{}"},          {"x.json.bak", "marked"},
           {"plain.txt", ""},         {"old.json", "old"},       {"empty/readme.txt", ""},
           // B.JSON < a.json < a.json.bak < back\slash.json < notes.txt < sub
           {"tree/a.json", "A"},      {"tree/B.JSON", "B"},      {"tree/a.json.bak", "skipped"},
           {"tree/notes.txt", "no"},  {"tree/sub/c.json", "C"},  {"tree/sub/a.json", "A2"},
           {"tree/back\\slash.json", "slash"},
           {"batch/1.json", "one"},   {"batch/2.json", ""},      {"batch/3.json", "three"},
           {"own/1.json", "one"},     {"own/2.json", "bad ImageParameter:Name:Json value invalid."},
           {"own/3.json", "three"}}) {
    tree.WriteFile(path, content);
  }
  tree.WriteFile("huge/1.json", "one");
  tree.MakeSparseFile("huge/2.json", kMaxTemplateFileBytes + 1);  // refused unread
  tree.WriteFile("huge/3.json", "three");
  tree.MakeDirectory("out");
  tree.MakeDirectory("taken/B.JSON");  // a directory where the output file should go
  tree.MakeFifo("fifo/B.JSON");         // no reader: a blocking open would hang here
  // A device that takes no bytes: the open succeeds and the write fails.
  tree.MakeSymlink("/dev/full", "full/B.JSON");
}

struct ConverterRun {
  std::vector<std::string> arguments;
  std::string out;            // "..." at the end: only its start is given
  int status = 1;
  std::string unread = "EY";  // what the run leaves of its input: tells whether it waited
  std::vector<std::pair<std::string, std::string>> files = {};  // afterwards: path, content
  std::string input = "KEY";
  std::string err = "";
};

std::string Refused(const char* what, const std::string& path) {
  return std::string(what) + " error: \"" + path + "\" is invalid.\n";
}

const std::string kPrompts = "Input source path:\nInput destination path:\n";
const std::string kTreeRun =
    "Convert tree/B.JSON successfully.\nConvert tree/a.json successfully.\n"
    "Convert tree/back\\slash.json successfully.\nConvert tree/sub/a.json successfully.\n"
    "Convert tree/sub/c.json successfully.\n";

TEST(RunConverter, EachOutcomeWithItsMessagesStatusAndFiles) {
  const std::string argumentCount = "The number of argument is invalid.\n";
  const ConverterRun runs[] = {
      // Argument counts other than none or two end at once, without waiting.
      {.arguments = {"only"}, .out = "", .unread = "KEY", .err = argumentCount},
      {.arguments = {"a", "b", "c"}, .out = "", .unread = "KEY", .err = argumentCount},
      {.arguments = {"--HELP"}, .out = "", .unread = "KEY", .err = argumentCount},
      {.arguments = {"--help"}, .out = "Usage: lumiflow-convert [SOURCE DESTINATION]\n...",
       .status = 0, .unread = "KEY"},
      {.arguments = {"-h"}, .out = "Usage: lumiflow-convert [SOURCE DESTINATION]\n...",
       .status = 0, .unread = "KEY"},
      {.arguments = {"--version"}, .out = "lumiflow-convert " LUMIFLOW_VERSION "\n", .status = 0,
       .unread = "KEY"},
      // Refused paths, in the order they are checked.
      {.arguments = {"missing.json", "out"}, .out = Refused("Source path", "missing.json"),
       .files = {{"out/in.json", "<missing>"}}},
      {.arguments = {"/dev/null", "out"}, .out = Refused("Source path", "/dev/null")},
      {.arguments = {"missing.json", "/dev/null"}, .out = Refused("Source path", "missing.json")},
      {.arguments = {"in.json", "new"}, .out = Refused("Destination path", "new")},
      {.arguments = {"in.json", "plain.txt"}, .out = Refused("Destination path", "plain.txt")},
      {.arguments = {"in.json", "plain.txt/out.json"},
       .out = Refused("Destination path", "plain.txt/out.json")},
      {.arguments = {"in.json", "/dev/null"}, .out = Refused("Destination path", "/dev/null")},
      {.arguments = {"plain.txt", "new"}, .out = Refused("Destination path", "new")},
      {.arguments = {"A.JSON", "out"}, .out = Refused("Source file type", "A.JSON")},
      // Prompted paths lose their quotes, wherever they stand.
      {.arguments = {}, .out = kPrompts + "Convert in.json successfully.\n", .status = 0,
       .files = {{"out/in.json", "converted:{}"}}, .input = "\"in.json\"\n\"out\"\nKEY"},
      {.arguments = {}, .out = kPrompts + "Convert in.json successfully.\n", .status = 0,
       .input = "\"in.json\"\r\n\"out\"\r\nKEY"},
      {.arguments = {}, .out = kPrompts + "Convert in.json successfully.\n", .status = 0,
       .unread = "", .input = "i\"n.json\nout\"\n"},
      {.arguments = {}, .out = kPrompts + "Convert in.json successfully.\n", .status = 0,
       .unread = "", .input = "in.json\nout"},  // the last line ends with the input
      {.arguments = {}, .out = kPrompts + Refused("Source path", ""), .unread = "", .input = ""},
      // Output paths: a directory takes the file's name, a later file of the
      // same name wins, a back slash is part of the name.
      {.arguments = {"in.json", "out"}, .out = "Convert in.json successfully.\n", .status = 0,
       .files = {{"out/in.json", "converted:{}"}}},
      {.arguments = {"x.json.bak", "out"}, .out = "Convert x.json.bak successfully.\n",
       .status = 0, .files = {{"out/x.json.bak", "converted:marked"}}},
      {.arguments = {"tree", "out"}, .out = kTreeRun, .status = 0,
       .files = {{"out/B.JSON", "converted:B"}, {"out/a.json", "converted:A2"},
                 {"out/c.json", "converted:C"}, {"out/back\\slash.json", "converted:slash"},
                 {"out/a.json.bak", "<missing>"}}},
      {.arguments = {"empty", "out"}, .out = "", .status = 0},
      // A destination file, new or not, takes every file of the run.
      {.arguments = {"tree", "all.json"}, .out = kTreeRun, .status = 0,
       .files = {{"all.json", "converted:C"}}},
      {.arguments = {"in.json", "old.json"}, .out = "Convert in.json successfully.\n",
       .status = 0, .files = {{"old.json", "converted:{}"}}},
      // A failing file stops the run; what was written before stays.
      {.arguments = {"batch", "out"},
       .out = "Convert batch/1.json successfully.\nFail to read Old Template: batch/2.json.\n"
              "Error: Json parse failed.\n",
       .files = {{"out/1.json", "converted:one"}, {"out/2.json", "<missing>"},
                 {"out/3.json", "<missing>"}}},
      {.arguments = {"own", "out"},
       .out = "Convert own/1.json successfully.\nFail to read Old Template: own/2.json.\n"
              "ImageParameter:Name:Json value invalid.\n",
       .files = {{"out/1.json", "converted:one"}, {"out/3.json", "<missing>"}}},
      {.arguments = {"huge", "out"},
       .out = "Convert huge/1.json successfully.\nFail to read Old Template: huge/2.json.\n"
              "Error: The template is complex.\n",
       .files = {{"out/1.json", "converted:one"}, {"out/2.json", "<missing>"},
                 {"out/3.json", "<missing>"}}},
      {.arguments = {"in.json", "no/out.json"}, .out = "Fail to open file: no/out.json.\n"},
      {.arguments = {"tree", "taken"}, .out = "Fail to open file: taken/B.JSON.\n"},
      {.arguments = {"tree", "fifo"}, .out = "Fail to open file: fifo/B.JSON.\n"},
      {.arguments = {"tree", "full"}, .out = "Fail to write file: full/B.JSON.\n",
       .files = {{"full/a.json", "<missing>"}}},
  };
  for (const ConverterRun& run : runs) {
    SCOPED_TRACE(::testing::PrintToString(run.arguments) + " " + run.input);
    if (run.out.find("Fail to write") == 0 && access("/dev/full", W_OK) != 0) continue;
    testing::TempTree tree;
    MakeTree(tree);
    testing::WorkingDirectory inside(tree.Root());
    std::vector<const char*> argv = {"lumiflow-convert"};
    for (const std::string& argument : run.arguments) argv.push_back(argument.c_str());
    std::istringstream in(run.input);
    std::ostringstream out, err;
    EXPECT_EQ(RunConverter(static_cast<int>(argv.size()), argv.data(), in, out, err, FakeConvert),
              run.status);
    const std::size_t compared = run.out.ends_with("...") ? run.out.size() - 3 : std::string::npos;
    EXPECT_EQ(out.str().substr(0, compared), run.out.substr(0, compared));
    EXPECT_EQ(err.str(), run.err);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), run.unread);
    for (const auto& [path, text] : run.files) EXPECT_EQ(testing::FileText(path), text) << path;
  }
}

}  // namespace
}  // namespace quorvane
