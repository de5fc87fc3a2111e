#include "driver/command_line.h"

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

}  // namespace
}  // namespace quorvane
