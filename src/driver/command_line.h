#pragma once

// The command line of the executables, read the GNU way: short options
// ("-h", several in one word as "-hv", an argument joined as "-j4" or as the
// next word), long options ("--help", an argument as "--report=FILE" or as
// the next word), options anywhere among the operands, "-" alone an operand
// (standard input or output), and "--" ending the options so that an
// operand may start with '-'.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

struct OptionSpec {
  int id;                     // what the program calls the option
  char shortName;             // '\0': none
  std::string_view longName;  // without "--"; empty: none
  bool takesArgument = false;
};

struct CommandLine {
  struct Option {
    int id;
    std::string argument;
  };
  std::vector<Option> options;        // in the order given
  std::vector<std::string> operands;  // in the order given
  // The first usage error, such as "unknown option '-x'"; empty when none.
  std::string error;

  bool Has(int id) const;
};

// Reads argv[1] to argv[argc - 1] against `specs`. Every word that starts
// with '-' before a "--" is an option, but "-" alone; reading stops at the
// first error.
CommandLine ParseCommandLine(int argc, const char* const* argv, std::span<const OptionSpec> specs);

// The line that follows a usage error: "Try 'PROGRAM --help'.".
std::string UsageHint(std::string_view program);

}  // namespace quorvane
