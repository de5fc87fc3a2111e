#include "driver/command_line.h"

#include "driver/convert_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane {
namespace {

enum { kHelp, kQuiet, kJobs, kReport };
constexpr OptionSpec kSpecs[] = {{kHelp, 'h', "help"},
                                 {kQuiet, 'q', "quiet"},
                                 {kJobs, 'j', "", true},
                                 {kReport, '\0', "report", true}};

// Options as "id=argument", then the operands, then the error.
std::string Describe(const CommandLine& line) {
  std::string text;
  for (const CommandLine::Option& option : line.options) {
    text += std::to_string(option.id) + "=" + option.argument + " ";
  }
  text += "|";
  for (const std::string& operand : line.operands) text += " " + operand;
  if (!line.error.empty()) text += " ! " + line.error;
  return text;
}

TEST(ParseCommandLine, GnuStyleOptionsOperandsAndErrors) {
  const struct {
    std::vector<const char*> words;
    std::string parsed;
  } cases[] = {
      {{}, "|"},
      {{"a", "b"}, "| a b"},
      {{"-h", "a", "--quiet", "b"}, "0= 1= | a b"},
      {{"-qh"}, "1= 0= |"},
      {{"-j4", "-j", "5", "-qj6"}, "2=4 2=5 1= 2=6 |"},
      {{"--report=r.json", "--report", "s.json", "--report="}, "3=r.json 3=s.json 3= |"},
      {{"a", "--", "-h", "--", "--quiet"}, "| a -h -- --quiet"},
      {{"", "b"}, "|  b"},
      {{"-", "--", "-"}, "| - -"},
      // The first error ends the reading.
      {{"-x", "-y"}, "| ! unknown option '-x'"},
      {{"-qx"}, "1= | ! unknown option '-x'"},
      {{"--Help"}, "| ! unknown option '--Help'"},
      {{"--he"}, "| ! unknown option '--he'"},
      {{"--=x"}, "| ! unknown option '--'"},
      {{"a", "-x.json"}, "| a ! unknown option '-x'"},
      {{"--help=yes"}, "| ! option '--help' takes no argument"},
      {{"-q", "-j"}, "1= | ! option '-j' needs an argument"},
      {{"--report"}, "| ! option '--report' needs an argument"},
      {{"--j"}, "| ! unknown option '--j'"},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv{"program"};
    argv.insert(argv.end(), c.words.begin(), c.words.end());
    SCOPED_TRACE(::testing::PrintToString(c.words));
    const CommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), kSpecs);
    EXPECT_EQ(Describe(line), c.parsed);
  }
  const char* argv[] = {"program", "-q", "a"};
  const CommandLine line = ParseCommandLine(3, argv, kSpecs);
  EXPECT_TRUE(line.Has(kQuiet));
  EXPECT_FALSE(line.Has(kHelp));
  EXPECT_EQ(UsageHint("program"), "Try 'program --help'.");
}

// The converter's own reading of its line: what it is asked to do, the
// options (the last of two counts), the paths, and the first usage error.
TEST(ReadConvertCommand, ActionsOptionsAndUsageErrors) {
  using Action = ConvertCommand::Action;
  const std::string jobsError = "' for '--jobs' (a number from 0 to 256)";
  const struct {
    std::vector<const char*> words;
    Action action;
    std::string read;  // the options and paths, or the error
  } cases[] = {
      {{}, Action::Run, "j1 prompted"},
      {{"a", "b"}, Action::Run, "j1 a>b"},
      {{"-tknqv", "--report=r", "a", "-j", "0", "b"}, Action::Run, "tknqv j0 r a>b"},
      {{"-j256", "--jobs", "007", "--report", "r", "--report=s", "a", "b"}, Action::Run,
       "j7 s a>b"},
      {{"-j", "x", "-h"}, Action::Help, ""},
      {{"--version", "a"}, Action::Version, ""},
      {{"-h", "-x"}, Action::UsageError, "lumiflow-convert: unknown option '-x'"},
      {{"-j257", "a", "b"}, Action::UsageError, "lumiflow-convert: invalid argument '257" + jobsError},
      {{"-j0256", "a", "b"}, Action::UsageError,
       "lumiflow-convert: invalid argument '0256" + jobsError},
      {{"-j", "", "a", "b"}, Action::UsageError, "lumiflow-convert: invalid argument '" + jobsError},
      {{"-j-1", "a", "b"}, Action::UsageError, "lumiflow-convert: invalid argument '-1" + jobsError},
      {{"-j", "x", "a"}, Action::UsageError, "lumiflow-convert: invalid argument 'x" + jobsError},
      {{"a"}, Action::UsageError, "The number of argument is invalid."},
      {{"a", "b", "c"}, Action::UsageError, "The number of argument is invalid."},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv{"lumiflow-convert"};
    argv.insert(argv.end(), c.words.begin(), c.words.end());
    SCOPED_TRACE(::testing::PrintToString(c.words));
    const ConvertCommand command = ReadConvertCommand(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(command.action, c.action);
    const RunOptions& o = command.options;
    std::string read;
    if (command.action == Action::UsageError) {
      read = command.error;
    } else if (command.action == Action::Run) {
      std::string flags;
      for (const auto& [set, letter] : {std::pair{o.keepTree, 't'}, {o.keepGoing, 'k'},
                                        {o.dryRun, 'n'}, {o.quiet, 'q'}, {o.verbose, 'v'}}) {
        if (set) flags += letter;
      }
      read = (flags.empty() ? "" : flags + " ") + "j" + std::to_string(o.jobs) +
             (o.report ? " " + *o.report : "") +
             (command.prompted ? " prompted" : " " + command.source + ">" + command.destination);
    }
    EXPECT_EQ(read, c.read);
  }
  EXPECT_TRUE(ConvertUsage().starts_with("Usage: lumiflow-convert [OPTION]... [SOURCE DESTINATION]\n"));
}

}  // namespace
}  // namespace quorvane
