#include "driver/convert_options.h"

#include <algorithm>

#include "driver/command_line.h"

namespace quorvane {

namespace {

constexpr char kProgram[] = "lumiflow-convert";

constexpr char kUsage[] =
    "Usage: lumiflow-convert [OPTION]... [SOURCE DESTINATION]\n"
    "Converts legacy \"ImageParameter\" templates into capture-flow templates.\n"
    "\n"
    "  SOURCE       a legacy template file (its path contains \".json\"), a\n"
    "               directory searched with its subdirectories for *.json files,\n"
    "               or - for one template on standard input\n"
    "  DESTINATION  a directory, which takes each output under its file's own\n"
    "               name (with -t, under its path below SOURCE), a file path\n"
    "               that contains \".json\", or - for standard output (the\n"
    "               lines then go to standard error)\n"
    "\n"
    "Without paths both are asked for at the console (and, at a terminal, the\n"
    "program waits for one keystroke at the end). Each file is reported on its\n"
    "own line; the first failure ends the run. Only legacy templates are\n"
    "converted; a file already in the current format is skipped. An existing\n"
    "file is replaced only when it is an earlier output (a template in the\n"
    "current format) or, when SOURCE and DESTINATION are the same, the file\n"
    "itself; otherwise, and when two files would write the same output,\n"
    "nothing is converted.\n"
    "\n"
    "  -t, --keep-tree    keep each file's subfolders below the destination\n"
    "                     directory, creating them as needed\n"
    "  -k, --keep-going   convert every file whatever fails, then print\n"
    "                     \"Converted N of M files, K failed.\" (and how many\n"
    "                     were skipped or not reached)\n"
    "  -n, --dry-run      read, convert and check every file as a run would, but\n"
    "                     write no output and create no directory; a summary\n"
    "                     follows\n"
    "  -q, --quiet        no line for a file that converted or was skipped\n"
    "  -v, --verbose      after a file that converted, a line for each value the\n"
    "                     conversion replaced or dropped\n"
    "  -j, --jobs=N       convert with N workers (0: one per core; default 1);\n"
    "                     lines, files and stops are those of one worker\n"
    "      --report=FILE  write a JSON report of the run to FILE, also when it\n"
    "                     fails (in a dry run too); '-' for standard output,\n"
    "                     the messages then going to standard error\n"
    "  -h, --help         show this text\n"
    "      --version      show the version\n"
    "  --                 end the options, for a path that starts with '-'\n"
    "\n"
    "Exit status: 0 when every file found converted or was skipped, 1 after a\n"
    "failure, 2 for a usage error, 128+N when stopped by signal N.\n";

enum Option { kHelp, kVersion, kKeepTree, kKeepGoing, kDryRun, kQuiet, kVerbose, kJobs, kReport };
constexpr OptionSpec kOptions[] = {
    {kHelp, 'h', "help"},           {kVersion, '\0', "version"},
    {kKeepTree, 't', "keep-tree"},  {kKeepGoing, 'k', "keep-going"},
    {kDryRun, 'n', "dry-run"},      {kQuiet, 'q', "quiet"},
    {kVerbose, 'v', "verbose"},     {kJobs, 'j', "jobs", true},
    {kReport, '\0', "report", true}};

// More workers than this only cost memory: each holds a whole file.
constexpr unsigned kMostJobs = 256;

// The options of `line`, or the usage error they make.
std::string ReadRunOptions(const CommandLine& line, RunOptions& options) {
  for (const CommandLine::Option& option : line.options) {
    switch (option.id) {
      case kKeepTree:
        options.keepTree = true;
        break;
      case kKeepGoing:
        options.keepGoing = true;
        break;
      case kDryRun:
        options.dryRun = true;
        break;
      case kQuiet:
        options.quiet = true;
        break;
      case kVerbose:
        options.verbose = true;
        break;
      case kReport:
        options.report = option.argument;
        break;
      case kJobs: {
        const std::string& text = option.argument;
        const bool digits = !text.empty() && text.size() <= 3 &&
                            std::all_of(text.begin(), text.end(),
                                        [](char c) { return c >= '0' && c <= '9'; });
        if (!digits || std::stoul(text) > kMostJobs) {
          return std::string(kProgram) + ": invalid argument '" + text +
                 "' for '--jobs' (a number from 0 to " + std::to_string(kMostJobs) + ")";
        }
        options.jobs = static_cast<unsigned>(std::stoul(text));
        break;
      }
      default:
        break;
    }
  }
  return {};
}

}  // namespace

ConvertCommand ReadConvertCommand(int argc, const char* const* argv) {
  ConvertCommand command;
  const auto usageError = [&command](std::string error) {
    command.action = ConvertCommand::Action::UsageError;
    command.error = std::move(error);
    return command;
  };
  const CommandLine line = ParseCommandLine(argc, argv, kOptions);
  if (!line.error.empty()) return usageError(std::string(kProgram) + ": " + line.error);
  if (line.Has(kHelp)) {
    command.action = ConvertCommand::Action::Help;
    return command;
  }
  if (line.Has(kVersion)) {
    command.action = ConvertCommand::Action::Version;
    return command;
  }
  if (std::string error = ReadRunOptions(line, command.options); !error.empty()) {
    return usageError(std::move(error));
  }
  command.prompted = line.operands.empty();
  if (line.operands.size() == 2) {
    command.source = line.operands[0];
    command.destination = line.operands[1];
  } else if (!command.prompted) {
    return usageError("The number of argument is invalid.");
  }
  return command;
}

std::string_view ConvertUsage() { return kUsage; }

}  // namespace quorvane
