#pragma once

// The converter's command line: its usage text, its options and its paths,
// read into what the run is asked to do.

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// What the options of a run ask for.
struct RunOptions {
  bool keepTree = false;   // -t: a source directory's tree below the destination
  bool keepGoing = false;  // -k: convert every file whatever fails
  bool dryRun = false;     // -n: convert and check, write nothing
  bool quiet = false;      // -q: no line for a file that converted
  bool verbose = false;    // -v: a line for each value a conversion changed
  unsigned jobs = 1;       // -j: workers; 0 for one per core
  std::optional<std::string> report = {};  // --report: where the JSON report goes ("-": stdout)
};

struct ConvertCommand {
  enum class Action { Run, Help, Version, UsageError };
  Action action = Action::Run;
  RunOptions options;
  // No paths given: they are asked for at the console.
  bool prompted = false;
  std::string source;
  std::string destination;
  // For a usage error: the line that says what is wrong.
  std::string error;
};

// Reads argv[1] to argv[argc - 1]: the options (of one given twice, the last
// counts), then either two paths or none.
ConvertCommand ReadConvertCommand(int argc, const char* const* argv);

// The text of --help.
std::string_view ConvertUsage();

}  // namespace quorvane
