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
// (no message of its own), "bad <message>" fails with that message, "unchecked"
// fails the check, anything else converts to "converted:" + text.
TemplateConversion FakeConvert(const std::string& text, const ConversionRequest& request) {
  TemplateConversion result;
  if (text.empty()) {
    result.code = errors::kJsonParseFailed;
  } else if (text.rfind("bad ", 0) == 0) {
    result.code = errors::kJsonValueInvalid;
    result.errorMessage = text.substr(4);
  } else if (text == "unchecked" && request.check) {
    result.code = errors::kJsonKeyInvalid;
    result.checkFailed = true;
  } else {
    result.outputText = "converted:" + text;
  }
  return result;
}

// The scratch tree every run starts from, as its working directory.
void MakeTree(const testing::TempTree& tree) {
  for (const auto& [path, content] : std::vector<std::pair<const char*, const char*>>{
           {"in.json", "{}"},         {"A.JSON", "{}"},          {"x.json.bak", "marked"},
           {"-x.json", "dash"},       {"plain.txt", ""},         {"old.json", "old"},
           {"empty/readme.txt", ""},
           // B.JSON < a.json < a.json.bak < back\slash.json < notes.txt < sub
           {"tree/a.json", "A"},      {"tree/B.JSON", "B"},      {"tree/a.json.bak", "skipped"},
           {"tree/notes.txt", "no"},  {"tree/sub/c.json", "C"},  {"tree/back\\slash.json", "slash"},
           {"sites/site-a/label.json", "SA"}, {"sites/site-b/label.json", "SB"},
           {"nest/a.json", "A"},      {"nest/out/old.json", "old"},
           {"batch/1.json", "one"},   {"batch/2.json", ""},      {"batch/3.json", "three"},
           {"own/1.json", "one"},     {"own/2.json", "bad ImageParameter:Name:Json value invalid."},
           {"own/3.json", "three"},
           {"deep/sub/x.json", "X"},  {"deep/sub/sub/x.json", "SX"}, {"blocked/sub", "file"},
           {"check/1.json", "one"},   {"check/2.json", "unchecked"}, {"check/3.json", "three"}}) {
    tree.WriteFile(path, content);
  }
  tree.WriteFile("huge/1.json", "one");
  tree.MakeSparseFile("huge/2.json", kMaxTemplateFileBytes + 1);  // refused unread
  tree.WriteFile("huge/3.json", "three");
  tree.MakeDirectory("out");
  tree.MakeDirectory("taken/B.JSON");  // a directory where the output file should go
  tree.MakeFifo("fifo/B.JSON");         // no reader: opening it would hang or fail
  tree.MakeSymlink("../old.json", "link/B.JSON");
}

struct ConverterRun {
  std::vector<std::string> arguments;
  std::string out = "";        // "..." at the end: only its start is given
  int status = 1;
  std::string unread = "KEY";  // what the run leaves of its input: tells whether it waited
  std::vector<std::pair<std::string, std::string>> files = {};  // afterwards: path, content
  std::string input = "KEY";
  std::string err = "";
  bool terminal = false;  // whether the input counts as a terminal
};

std::string Refused(const char* what, const std::string& path) {
  return std::string(what) + " error: \"" + path + "\" is invalid.\n";
}

std::string UsageError(const std::string& line) {
  return line + "\nTry 'lumiflow-convert --help'.\n";
}

const std::string kPrompts = "Input source path:\nInput destination path:\n";
const std::string kUsage = "Usage: lumiflow-convert [OPTION]... [SOURCE DESTINATION]\n...";
const std::string kTreeRun =
    "Convert tree/B.JSON successfully.\nConvert tree/a.json successfully.\n"
    "Convert tree/back\\slash.json successfully.\nConvert tree/sub/c.json successfully.\n";
const std::string kJobsError =
    "' for '--jobs' (a number from 0 to 256)";

TEST(RunConverter, EachOutcomeWithItsMessagesStatusAndFiles) {
  const std::string argumentCount = UsageError("The number of argument is invalid.");
  const ConverterRun runs[] = {
      // Usage errors end at once with status 2, without waiting, even at a terminal.
      {.arguments = {"only"}, .status = 2, .err = argumentCount, .terminal = true},
      {.arguments = {"a", "b", "c"}, .status = 2, .err = argumentCount},
      {.arguments = {"--HELP"}, .status = 2,
       .err = UsageError("lumiflow-convert: unknown option '--HELP'")},
      {.arguments = {"in.json", "out", "-x.json"}, .status = 2,
       .err = UsageError("lumiflow-convert: unknown option '-x'")},
      {.arguments = {"--version=2", "in.json", "out"}, .status = 2,
       .err = UsageError("lumiflow-convert: option '--version' takes no argument")},
      {.arguments = {"--help"}, .out = kUsage, .status = 0},
      {.arguments = {"in.json", "out", "-h"}, .out = kUsage, .status = 0},
      {.arguments = {"--version"}, .out = "lumiflow-convert " LUMIFLOW_VERSION "\n", .status = 0},
      // "--" ends the options.
      {.arguments = {"--", "-x.json", "out"}, .out = "Convert -x.json successfully.\n",
       .status = 0, .files = {{"out/-x.json", "converted:dash"}}},
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
      {.arguments = {"A.JSON", "out"}, .out = Refused("Source file type", "A.JSON"),
       .unread = "EY", .terminal = true},
      // Prompted paths lose their quotes, wherever they stand.
      {.arguments = {}, .out = kPrompts + "Convert in.json successfully.\n", .status = 0,
       .files = {{"out/in.json", "converted:{}"}}, .input = "\"in.json\"\n\"out\"\nKEY"},
      {.arguments = {"--"}, .out = kPrompts + "Convert in.json successfully.\n", .status = 0,
       .unread = "EY", .input = "\"in.json\"\r\n\"out\"\r\nKEY", .terminal = true},
      {.arguments = {}, .out = kPrompts + "Convert in.json successfully.\n", .status = 0,
       .unread = "", .input = "i\"n.json\nout\"\n"},
      {.arguments = {}, .out = kPrompts + "Convert in.json successfully.\n", .status = 0,
       .unread = "", .input = "in.json\nout"},  // the last line ends with the input
      {.arguments = {}, .out = kPrompts + Refused("Source path", ""), .unread = "", .input = ""},
      // Output paths: a directory takes the file's name, a back slash is part
      // of the name, a link at the output path is replaced, not followed.
      {.arguments = {"in.json", "out"}, .out = "Convert in.json successfully.\n", .status = 0,
       .files = {{"out/in.json", "converted:{}"}}},
      {.arguments = {"x.json.bak", "out"}, .out = "Convert x.json.bak successfully.\n",
       .status = 0, .files = {{"out/x.json.bak", "converted:marked"}}},
      {.arguments = {"tree", "out"}, .out = kTreeRun, .status = 0, .unread = "EY",
       .files = {{"out/B.JSON", "converted:B"}, {"out/a.json", "converted:A"},
                 {"out/c.json", "converted:C"}, {"out/back\\slash.json", "converted:slash"},
                 {"out/a.json.bak", "<missing>"}},
       .terminal = true},
      {.arguments = {"empty", "out"}, .out = "", .status = 0},
      {.arguments = {"tree", "link"}, .out = kTreeRun, .status = 0,
       .files = {{"link/B.JSON", "converted:B"}, {"old.json", "old"}}},
      {.arguments = {"in.json", "old.json"}, .out = "Convert in.json successfully.\n",
       .status = 0, .files = {{"old.json", "converted:{}"}}},
      // In place: each file onto itself, however the directory is named.
      {.arguments = {"tree", "tree"}, .out = kTreeRun, .status = 0,
       .files = {{"tree/B.JSON", "converted:B"}, {"tree/sub/c.json", "converted:C"},
                 {"tree/c.json", "<missing>"}}},
      {.arguments = {"sites", "./sites/"},
       .out = "Convert sites/site-a/label.json successfully.\n"
              "Convert sites/site-b/label.json successfully.\n",
       .status = 0,
       .files = {{"sites/site-a/label.json", "converted:SA"},
                 {"sites/site-b/label.json", "converted:SB"}}},
      {.arguments = {"in.json", "in.json"}, .out = "Convert in.json successfully.\n",
       .status = 0, .files = {{"in.json", "converted:{}"}}},
      // A destination inside the source is not listed as a source.
      {.arguments = {"nest", "nest/out"}, .out = "Convert nest/a.json successfully.\n",
       .status = 0, .files = {{"nest/out/a.json", "converted:A"}, {"nest/out/old.json", "old"}}},
      {.arguments = {"nest", "./nest/../nest/out"}, .out = "Convert nest/a.json successfully.\n",
       .status = 0, .files = {{"nest/out/old.json", "old"}}},
      // Two files with one output: nothing is converted or written (the
      // clash into a directory is a process test).
      {.arguments = {"tree", "old.json"},
       .out = "Fail to plan the output: old.json is the output of both tree/B.JSON and "
              "tree/a.json.\nGive a destination directory to convert more than one file.\n",
       .unread = "EY", .files = {{"old.json", "old"}}, .terminal = true},
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
              "Error: the file is larger than 64 MiB.\n",
       .files = {{"out/1.json", "converted:one"}, {"out/2.json", "<missing>"},
                 {"out/3.json", "<missing>"}}},
      {.arguments = {"in.json", "no/out.json"},
       .out = "Fail to open file: no/out.json.\nError: No such file or directory.\n"},
      {.arguments = {"tree", "taken"},
       .out = "Fail to open file: taken/B.JSON.\nError: Is a directory.\n"},
      {.arguments = {"tree", "fifo"},
       .out = "Fail to open file: fifo/B.JSON.\nError: not a regular file.\n"},
      // -j takes a number of workers from 0 to 256.
      {.arguments = {"-j", "x", "in.json", "out"}, .status = 2,
       .err = UsageError("lumiflow-convert: invalid argument 'x" + kJobsError)},
      {.arguments = {"--jobs=257", "in.json", "out"}, .status = 2,
       .err = UsageError("lumiflow-convert: invalid argument '257" + kJobsError)},
      {.arguments = {"-j", "-1", "in.json", "out"}, .status = 2,
       .err = UsageError("lumiflow-convert: invalid argument '-1" + kJobsError)},
      {.arguments = {"--jobs=", "in.json", "out"}, .status = 2,
       .err = UsageError("lumiflow-convert: invalid argument '" + kJobsError)},
      {.arguments = {"-j", "99999999999999999999", "in.json", "out"}, .status = 2,
       .err = UsageError("lumiflow-convert: invalid argument '99999999999999999999" + kJobsError)},
      {.arguments = {"-j0", "in.json", "out"}, .out = "Convert in.json successfully.\n",
       .status = 0},
      // -k goes on after a failure and counts; -q keeps only failures and the count.
      {.arguments = {"-qk", "batch", "out"},
       .out = "Fail to read Old Template: batch/2.json.\nError: Json parse failed.\n"
              "Converted 2 of 3 files, 1 failed.\n",
       .files = {{"out/1.json", "converted:one"}, {"out/3.json", "converted:three"}}},
      {.arguments = {"-q", "tree", "out"}, .out = "", .status = 0,
       .files = {{"out/c.json", "converted:C"}}},
      {.arguments = {"-k", "empty", "out"}, .out = "Converted 0 of 0 files, 0 failed.\n",
       .status = 0},
      // -n converts and checks, writes nothing, and says so.
      {.arguments = {"-n", "tree", "out"},
       .out = "Would convert tree/B.JSON to out/B.JSON.\nWould convert tree/a.json to out/a.json.\n"
              "Would convert tree/back\\slash.json to out/back\\slash.json.\n"
              "Would convert tree/sub/c.json to out/c.json.\n"
              "Would convert 4 of 4 files, 0 failed (dry run: no output written).\n",
       .status = 0, .files = {{"out/B.JSON", "<missing>"}, {"out/c.json", "<missing>"}}},
      {.arguments = {"-n", "check", "out"},
       .out = "Would convert check/1.json to out/1.json.\n"
              "Fail to check the converted template: check/2.json.\nError: Json key invalid.\n"
              "Would convert 1 of 3 files, 1 failed (dry run: no output written).\n"},
      // -t keeps the subfolders, creating them; a file of one name per folder.
      {.arguments = {"--keep-tree", "tree", "out"}, .out = kTreeRun, .status = 0,
       .files = {{"out/sub/c.json", "converted:C"}, {"out/c.json", "<missing>"}}},
      {.arguments = {"-t", "in.json", "out"}, .out = "Convert in.json successfully.\n",
       .status = 0, .files = {{"out/in.json", "converted:{}"}}},
      {.arguments = {"-t", "tree", "old.json"}, .out = "Fail to plan the output: old.json is...",
       .files = {{"old.json", "old"}}},
      {.arguments = {"-tk", "tree", "blocked"},
       .out = "Convert tree/B.JSON successfully.\nConvert tree/a.json successfully.\n"
              "Convert tree/back\\slash.json successfully.\n"
              "Fail to open file: blocked/sub/c.json.\nError: Not a directory.\n"
              "Converted 3 of 4 files, 1 failed.\n",
       .files = {{"blocked/sub", "file"}}},
      // An output that would replace another file's source refuses the run.
      {.arguments = {"-t", "deep/sub", "deep"},
       .out = "Fail to plan the output: deep/sub/x.json, the output of deep/sub/sub/x.json, would "
              "replace the source file deep/sub/x.json.\nGive a destination directory that does "
              "not hold the source directory.\n",
       .files = {{"deep/sub/x.json", "X"}, {"deep/x.json", "<missing>"}}},
      // The report may not replace a file the run reads or writes, nor go
      // where no file can be written.
      {.arguments = {"--report", "out/in.json", "in.json", "out"},
       .out = "Fail to plan the report: out/in.json would replace the output of in.json.\n",
       .files = {{"out/in.json", "<missing>"}}},
      {.arguments = {"--report=./in.json", "in.json", "out"},
       .out = "Fail to plan the report: ./in.json would replace the source file in.json.\n",
       .files = {{"in.json", "{}"}}},
      {.arguments = {"--report", "old.json", "link", "out"},
       .out = "Fail to plan the report: old.json would replace the source file link/B.JSON.\n"},
      {.arguments = {"--report", "link/B.JSON", "old.json", "out"},
       .out = "Convert old.json successfully.\n", .status = 0, .files = {{"old.json", "old"}}},
      {.arguments = {"--report", "out", "in.json", "out"}, .out = Refused("Report path", "out")},
      {.arguments = {"--report", "none/r.json", "in.json", "out"},
       .out = Refused("Report path", "none/r.json"), .files = {{"out/in.json", "<missing>"}}},
      {.arguments = {"--report=", "in.json", "out"}, .out = Refused("Report path", "")},
  };
  for (const ConverterRun& run : runs) {
    SCOPED_TRACE(::testing::PrintToString(run.arguments) + " " + run.input);
    testing::TempTree tree;
    MakeTree(tree);
    testing::WorkingDirectory inside(tree.Root());
    std::vector<const char*> argv = {"lumiflow-convert"};
    for (const std::string& argument : run.arguments) argv.push_back(argument.c_str());
    std::istringstream in(run.input);
    std::ostringstream out, err;
    EXPECT_EQ(RunConverter(static_cast<int>(argv.size()), argv.data(), in, out, err, FakeConvert,
                           run.terminal),
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
