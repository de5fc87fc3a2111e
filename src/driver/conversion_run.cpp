#include "driver/conversion_run.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <string_view>
#include <unordered_map>

#include "driver/command_line.h"
#include "framework/platform.h"
#include "framework/error_codes.h"
#include "framework/json_text_limits.h"

namespace quorvane {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr char kProgram[] = "lumiflow-convert";

constexpr char kUsage[] =
    "Usage: lumiflow-convert [OPTION]... [SOURCE DESTINATION]\n"
    "Converts legacy \"ImageParameter\" templates into capture-flow templates.\n"
    "\n"
    "  SOURCE       a legacy template file (its path contains \".json\"), or a\n"
    "               directory searched with its subdirectories for *.json files\n"
    "  DESTINATION  a directory, which takes each output under its file's own\n"
    "               name, or a file path that contains \".json\"\n"
    "\n"
    "Without paths both are asked for at the console. Each file is reported on\n"
    "its own line; the first failure ends the run. When two files would write\n"
    "the same output, nothing is converted. At a terminal the program then\n"
    "waits for one keystroke.\n"
    "\n"
    "  -h, --help   show this text\n"
    "  --version    show the version\n"
    "  --           end the options, for a path that starts with '-'\n"
    "\n"
    "Exit status: 0 when every file converted, 1 after a failure, 2 for a\n"
    "usage error.\n";

enum Option { kHelp, kVersion };
constexpr OptionSpec kOptions[] = {{kHelp, 'h', "help"}, {kVersion, '\0', "version"}};

void WriteLine(std::ostream& stream, std::string_view text) {
  stream << text << '\n' << std::flush;
}

int UsageError(std::ostream& err, std::string_view error) {
  WriteLine(err, error);
  WriteLine(err, UsageHint(kProgram));
  return kExitUsage;
}

// A path typed or dropped at the console: the rest of the line, without any
// double quote and without the carriage return of a pasted Windows line. A
// last line ended by the end of input still counts.
std::string AskForPath(std::istream& in, std::ostream& out, std::string_view prompt) {
  WriteLine(out, prompt);
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  line.erase(std::remove(line.begin(), line.end(), '"'), line.end());
  return line;
}

std::string Quoted(const std::string& path) { return '"' + path + '"'; }

// Ends a run that has reached the checks: at a terminal the keystroke wait
// comes after every message, success or not. Any other input (a pipe, a
// file) belongs to whoever started the run and is never touched.
int Finish(std::istream& in, bool inputIsTerminal, int status) {
  if (inputIsTerminal) {
    in.get();
  }
  return status;
}

std::string ClashText(const std::vector<PlannedFile>& plan,
                      std::pair<std::size_t, std::size_t> clash, OutputLayout layout) {
  const PlannedFile& earlier = plan[clash.first];
  const PlannedFile& later = plan[clash.second];
  return "Fail to plan the output: " + earlier.output + " is the output of both " +
         earlier.source + " and " + later.source + ".\n" +
         (layout != OutputLayout::File
              ? "Convert the subfolders one at a time, each into a destination of its own; a "
                "later release keeps subfolders apart with --keep-tree.\n"
              : "Give a destination directory to convert more than one file.\n");
}

}  // namespace

SourceListing ListSources(const std::string& sourcePath, const std::string& destinationPath) {
  SourceListing listing;
  const PathKind sourceKind = GetPathKind(sourcePath.c_str());
  const PathKind destinationKind = GetPathKind(destinationPath.c_str());
  if (sourceKind == PathKind::Missing || sourceKind == PathKind::Invalid) {
    listing.refusal = "Source path error: " + Quoted(sourcePath) + " is invalid.";
    return listing;
  }
  const bool destinationNeedsMarker =
      destinationKind == PathKind::Missing || destinationKind == PathKind::RegularFile;
  if ((destinationNeedsMarker && ContainsJsonExtension(destinationPath) == std::string::npos) ||
      destinationKind == PathKind::Invalid) {
    listing.refusal = "Destination path error: " + Quoted(destinationPath) + " is invalid.";
    return listing;
  }
  const bool destinationIsDirectory = destinationKind == PathKind::Directory;
  listing.layout = destinationIsDirectory ? OutputLayout::Flat : OutputLayout::File;
  if (sourceKind == PathKind::RegularFile) {
    if (ContainsJsonExtension(sourcePath) == std::string::npos) {
      listing.refusal = "Source file type error: " + Quoted(sourcePath) + " is invalid.";
    } else {
      listing.files.push_back(sourcePath);
    }
    return listing;
  }
  // Outputs written into the source tree are not read back as legacy files
  // by a later run. Converting in place lists the whole tree, and each file
  // goes back where it was, so that two files of one name in different
  // folders stay apart.
  FileIdentity source;
  FileIdentity destination;
  const bool known = destinationIsDirectory && GetFileIdentity(sourcePath, source) &&
                     GetFileIdentity(destinationPath, destination);
  if (known && source == destination) {
    listing.layout = OutputLayout::Tree;
    listing.files = ListJsonFiles(sourcePath);
  } else {
    listing.files = ListJsonFiles(sourcePath, known ? &destination : nullptr);
  }
  return listing;
}

std::vector<PlannedFile> PlanOutputs(const std::vector<std::string>& files,
                                     const std::string& sourcePath,
                                     const std::string& destinationPath, OutputLayout layout) {
  std::vector<PlannedFile> plan;
  plan.reserve(files.size());
  for (const std::string& file : files) {
    std::string output = destinationPath;
    if (layout == OutputLayout::Flat) {
      const auto slash = file.rfind('/');
      output += '/';
      output.append(file, slash == std::string::npos ? 0 : slash + 1);
    } else if (layout == OutputLayout::Tree) {
      // Listed files are the source path followed by "/" and the rest.
      output.append(file, std::min(sourcePath.size(), file.size()));
    }
    plan.push_back({file, std::move(output)});
  }
  return plan;
}

std::optional<std::pair<std::size_t, std::size_t>> FindOutputClash(
    const std::vector<PlannedFile>& plan) {
  std::unordered_map<std::string_view, std::size_t> firstWriter;
  firstWriter.reserve(plan.size());
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const auto [entry, isNew] = firstWriter.emplace(plan[i].output, i);
    if (!isNew) {
      return std::pair{entry->second, i};
    }
  }
  return std::nullopt;
}

FileResult ConvertPlannedFile(const PlannedFile& file, ConvertTemplateText convert) {
  std::string text;
  int error = 0;
  switch (ReadFileBytes(file.source, text, kMaxTemplateFileBytes, &error)) {
    case ReadOutcome::Read:
      break;
    case ReadOutcome::TooLarge:
      return {FileStatus::NotRead, "Error: the file is larger than " +
                                       std::to_string(kMaxTemplateFileBytes >> 20) + " MiB."};
    case ReadOutcome::Failed:
      return {FileStatus::NotRead, "Error: cannot read the file: " + FailureReason(error) + "."};
  }
  std::string errorMessage;
  std::string outputText;
  const int code = convert(text, errorMessage, outputText);
  if (code != errors::kSuccess) {
    return {FileStatus::NotRead,
            errorMessage.empty() ? std::string("Error: ") + GetErrorString(code) : errorMessage};
  }
  switch (WriteFileAtomically(file.output, outputText, &error)) {
    case WriteOutcome::Written:
      return {FileStatus::Converted, {}};
    case WriteOutcome::OpenFailed:
      return {FileStatus::NotOpened, "Error: " + FailureReason(error) + "."};
    case WriteOutcome::WriteFailed:
      break;
  }
  return {FileStatus::NotWritten, "Error: " + FailureReason(error) + "."};
}

std::string ReportText(const PlannedFile& file, const FileResult& result) {
  switch (result.status) {
    case FileStatus::Converted:
      return "Convert " + file.source + " successfully.\n";
    case FileStatus::NotRead:
      return "Fail to read Old Template: " + file.source + ".\n" + result.reason + "\n";
    case FileStatus::NotOpened:
      return "Fail to open file: " + file.output + ".\n" + result.reason + "\n";
    case FileStatus::NotWritten:
      break;
  }
  return "Fail to write file: " + file.output + ".\n" + result.reason + "\n";
}

int RunConverter(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                 std::ostream& err, ConvertTemplateText convert, bool inputIsTerminal) {
  const CommandLine line = ParseCommandLine(argc, argv, kOptions);
  if (!line.error.empty()) {
    return UsageError(err, std::string(kProgram) + ": " + line.error);
  }
  if (line.Has(kHelp)) {
    out << kUsage << std::flush;
    return kExitSuccess;
  }
  if (line.Has(kVersion)) {
    WriteLine(out, "lumiflow-convert " LUMIFLOW_VERSION);
    return kExitSuccess;
  }
  std::string sourcePath;
  std::string destinationPath;
  if (line.operands.empty()) {
    sourcePath = AskForPath(in, out, "Input source path:");
    destinationPath = AskForPath(in, out, "Input destination path:");
  } else if (line.operands.size() == 2) {
    sourcePath = line.operands[0];
    destinationPath = line.operands[1];
  } else {
    return UsageError(err, "The number of argument is invalid.");
  }

  const SourceListing listing = ListSources(sourcePath, destinationPath);
  if (!listing.refusal.empty()) {
    WriteLine(out, listing.refusal);
    return Finish(in, inputIsTerminal, kExitFailure);
  }
  // Every output is known before the first is written: a clash found
  // halfway would leave half a run behind.
  const std::vector<PlannedFile> plan =
      PlanOutputs(listing.files, sourcePath, destinationPath, listing.layout);
  if (const auto clash = FindOutputClash(plan)) {
    out << ClashText(plan, *clash, listing.layout) << std::flush;
    return Finish(in, inputIsTerminal, kExitFailure);
  }
  for (const PlannedFile& file : plan) {
    const FileResult result = ConvertPlannedFile(file, convert);
    out << ReportText(file, result) << std::flush;
    if (result.status != FileStatus::Converted) {
      return Finish(in, inputIsTerminal, kExitFailure);
    }
  }
  return Finish(in, inputIsTerminal, kExitSuccess);
}

}  // namespace quorvane
