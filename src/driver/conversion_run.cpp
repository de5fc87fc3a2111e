#include "driver/conversion_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <istream>
#include <new>
#include <ostream>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "driver/command_line.h"
#include "driver/ordered_work.h"
#include "driver/run_report.h"
#include "framework/error_codes.h"
#include "framework/json_text_limits.h"
#include "framework/platform.h"

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
    "               name (with -t, under its path below SOURCE), or a file path\n"
    "               that contains \".json\"\n"
    "\n"
    "Without paths both are asked for at the console. Each file is reported on\n"
    "its own line; the first failure ends the run. When two files would write\n"
    "the same output, or an output would replace another file's source, nothing\n"
    "is converted. At a terminal the program then waits for one keystroke.\n"
    "\n"
    "  -t, --keep-tree    keep each file's subfolders below the destination\n"
    "                     directory, creating them as needed\n"
    "  -k, --keep-going   convert every file whatever fails, then print\n"
    "                     \"Converted N of M files, K failed.\"\n"
    "  -n, --dry-run      read, convert and check every file as a run would, but\n"
    "                     write no output and create no directory; a summary\n"
    "                     follows\n"
    "  -q, --quiet        no line for a file that converted\n"
    "  -j, --jobs=N       convert with N workers (0: one per core; default 1);\n"
    "                     lines, files and stops are those of one worker\n"
    "      --report=FILE  write a JSON report of the run to FILE, also when it\n"
    "                     fails (in a dry run too)\n"
    "  -h, --help         show this text\n"
    "      --version      show the version\n"
    "  --                 end the options, for a path that starts with '-'\n"
    "\n"
    "Exit status: 0 when every file converted, 1 after a failure, 2 for a\n"
    "usage error.\n";

enum Option { kHelp, kVersion, kKeepTree, kKeepGoing, kDryRun, kQuiet, kJobs, kReport };
constexpr OptionSpec kOptions[] = {
    {kHelp, 'h', "help"},           {kVersion, '\0', "version"},
    {kKeepTree, 't', "keep-tree"},  {kKeepGoing, 'k', "keep-going"},
    {kDryRun, 'n', "dry-run"},      {kQuiet, 'q', "quiet"},
    {kJobs, 'j', "jobs", true},     {kReport, '\0', "report", true}};

// More workers than this only cost memory: each holds a whole file.
constexpr unsigned kMostJobs = 256;

void WriteLine(std::ostream& stream, std::string_view text) {
  stream << text << '\n' << std::flush;
}

int UsageError(std::ostream& err, std::string_view error) {
  WriteLine(err, error);
  WriteLine(err, UsageHint(kProgram));
  return kExitUsage;
}

// The options of `line`, or the usage error they make; of an option given
// twice, the last counts.
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
              ? "Convert the subfolders one at a time, each into a destination of its own, or "
                "keep them apart with --keep-tree.\n"
              : "Give a destination directory to convert more than one file.\n");
}

std::string OverwriteText(const std::vector<PlannedFile>& plan,
                          std::pair<std::size_t, std::size_t> overwrite) {
  const PlannedFile& writer = plan[overwrite.first];
  return "Fail to plan the output: " + writer.output + ", the output of " + writer.source +
         ", would replace the source file " + plan[overwrite.second].source +
         ".\nGive a destination directory that does not hold the source directory.\n";
}

// The directory a path names its file in: "." for a bare name.
std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Where a write to a path lands, however the path is spelled: the entry of
// its last name in its directory, the directory resolved (links, "." and
// ".."). A write replaces that entry, a link there included. Directories
// are resolved once each.
class EntryResolver {
 public:
  std::string Entry(const std::string& path) {
    const std::string directory = DirectoryOf(path);
    const auto [known, isNew] = directories_.try_emplace(directory);
    if (isNew) {
      std::error_code error;
      const std::filesystem::path resolved = std::filesystem::weakly_canonical(directory, error);
      known->second = error ? directory : resolved.string();
    }
    const auto slash = path.rfind('/');
    return known->second + '/' + path.substr(slash == std::string::npos ? 0 : slash + 1);
  }
  // The file that reading `path` reads: links followed; empty when the path
  // does not resolve.
  static std::string Target(const std::string& path) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(path, error);
    return error ? std::string() : resolved.string();
  }

 private:
  std::unordered_map<std::string, std::string> directories_;
};

// What the run reads: each file's own entry and, for a link, the file it
// leads to, with the index of the file.
std::unordered_multimap<std::string, std::size_t> SourceEntries(
    const std::vector<PlannedFile>& plan, EntryResolver& resolver) {
  std::unordered_multimap<std::string, std::size_t> sources;
  sources.reserve(plan.size());
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const std::string entry = resolver.Entry(plan[i].source);
    const std::string target = EntryResolver::Target(plan[i].source);
    sources.emplace(entry, i);
    if (!target.empty() && target != entry) sources.emplace(target, i);
  }
  return sources;
}

// The report file must be a file a write can replace, in a directory that
// is there: the run does not create it.
bool ReportPathServes(const std::string& path) {
  if (path.empty() || path.back() == '/') return false;
  const PathKind kind = GetPathKind(path.c_str());
  if (kind != PathKind::RegularFile && kind != PathKind::Missing) return false;
  return GetPathKind(DirectoryOf(path).c_str()) == PathKind::Directory;
}

// Why the report may not go where asked: it would replace a file the run
// reads or writes. Empty when it may.
std::string ReportClashText(const std::string& report, const std::vector<PlannedFile>& plan) {
  EntryResolver resolver;
  const std::string entry = resolver.Entry(report);
  const auto sources = SourceEntries(plan, resolver);
  const auto source = sources.find(entry);
  const std::string start = "Fail to plan the report: " + report + " would replace ";
  if (source != sources.end()) {
    return start + "the source file " + plan[source->second].source + ".\n";
  }
  for (const PlannedFile& file : plan) {
    if (resolver.Entry(file.output) == entry) return start + "the output of " + file.source + ".\n";
  }
  return {};
}

// Creates each missing directory between `destination` and the directory of
// `output`, which lies below it; 0, or the errno of the mkdir that failed.
// What is in the way and not a directory fails the write that follows.
int MakeOutputDirectories(const std::string& destination, const std::string& output) {
  for (auto slash = output.find('/', destination.size() + 1); slash != std::string::npos;
       slash = output.find('/', slash + 1)) {
    if (mkdir(output.substr(0, slash).c_str(), 0777) != 0 && errno != EEXIST) return errno;
  }
  return 0;
}

std::string SummaryLine(std::size_t converted, std::size_t listed, std::size_t failed,
                        bool dryRun) {
  const std::string counts = std::to_string(converted) + " of " + std::to_string(listed) +
                             " files, " + std::to_string(failed) + " failed";
  return dryRun ? "Would convert " + counts + " (dry run: no output written)."
                : "Converted " + counts + ".";
}

}  // namespace

SourceListing ListSources(const std::string& sourcePath, const std::string& destinationPath,
                          bool keepTree) {
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
    if (destinationIsDirectory && keepTree) listing.layout = OutputLayout::Tree;
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

std::optional<std::pair<std::size_t, std::size_t>> FindSourceOverwrite(
    const std::vector<PlannedFile>& plan) {
  EntryResolver resolver;
  const auto sources = SourceEntries(plan, resolver);
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const auto [first, last] = sources.equal_range(resolver.Entry(plan[i].output));
    for (auto source = first; source != last; ++source) {
      if (source->second != i) return std::pair{i, source->second};
    }
  }
  return std::nullopt;
}

PreparedFile PrepareFile(const PlannedFile& file, ConvertTemplateText convert,
                         const ConversionRequest& request) {
  PreparedFile prepared;
  FileResult& result = prepared.result;
  const auto fail = [&result](FileStatus status, std::string reason, int code) {
    result.status = status;
    result.reason = std::move(reason);
    result.code = code;
  };
  try {
    std::string text;
    int error = 0;
    switch (ReadFileBytes(file.source, text, kMaxTemplateFileBytes, &error)) {
      case ReadOutcome::Read:
        break;
      case ReadOutcome::TooLarge:
        fail(FileStatus::NotRead,
             "Error: the file is larger than " + std::to_string(kMaxTemplateFileBytes >> 20) +
                 " MiB.",
             errors::kTemplateComplex);
        return prepared;
      case ReadOutcome::Failed:
        fail(FileStatus::NotRead, "Error: cannot read the file: " + FailureReason(error) + ".",
             error);
        return prepared;
    }
    TemplateConversion conversion = convert(text, request);
    if (conversion.code != errors::kSuccess) {
      fail(conversion.checkFailed ? FileStatus::NotChecked : FileStatus::NotRead,
           conversion.errorMessage.empty()
               ? std::string("Error: ") + GetErrorString(conversion.code)
               : std::move(conversion.errorMessage),
           conversion.code);
      return prepared;
    }
    prepared.outputText = std::move(conversion.outputText);
    result.record = std::move(conversion.record);
    result.notCarriedOver = std::move(conversion.notCarriedOver);
  } catch (const std::bad_alloc&) {
    prepared = PreparedFile();
    fail(FileStatus::NotRead, std::string("Error: ") + GetErrorString(errors::kOutOfMemory),
         errors::kOutOfMemory);
  } catch (const std::exception& e) {
    // On a worker thread an escaped throw would end the process.
    prepared = PreparedFile();
    fail(FileStatus::NotRead, std::string("Error: ") + e.what(), errors::kUnknown);
  }
  return prepared;
}

FileResult CommitFile(const PlannedFile& file, PreparedFile prepared, bool makeDirectories,
                      const std::string& destination) {
  FileResult& result = prepared.result;
  if (result.status != FileStatus::Converted) return std::move(result);
  int error = makeDirectories ? MakeOutputDirectories(destination, file.output) : 0;
  if (error != 0) {
    result.status = FileStatus::NotOpened;
  } else {
    switch (WriteFileAtomically(file.output, prepared.outputText, &error)) {
      case WriteOutcome::Written:
        return std::move(result);
      case WriteOutcome::OpenFailed:
        result.status = FileStatus::NotOpened;
        break;
      case WriteOutcome::WriteFailed:
        result.status = FileStatus::NotWritten;
        break;
    }
  }
  result.reason = "Error: " + FailureReason(error) + ".";
  result.code = error;
  return std::move(result);
}

std::string ConsoleText(const PlannedFile& file, const FileResult& result, bool dryRun) {
  switch (result.status) {
    case FileStatus::Converted:
      return dryRun ? "Would convert " + file.source + " to " + file.output + ".\n"
                    : "Convert " + file.source + " successfully.\n";
    case FileStatus::NotRead:
      return "Fail to read Old Template: " + file.source + ".\n" + result.reason + "\n";
    case FileStatus::NotChecked:
      return "Fail to check the converted template: " + file.source + ".\n" + result.reason +
             "\n";
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
  RunOptions options;
  if (const std::string error = ReadRunOptions(line, options); !error.empty()) {
    return UsageError(err, error);
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

  std::optional<RunReport> report;
  if (options.report) {
    if (!ReportPathServes(*options.report)) {
      WriteLine(out, "Report path error: " + Quoted(*options.report) + " is invalid.");
      return Finish(in, inputIsTerminal, kExitFailure);
    }
    report.emplace(sourcePath, destinationPath, options);
  }
  // Written however the run ends once the report is planned; a report that
  // cannot be written fails the run.
  const auto finishWithReport = [&](int status) {
    if (report) {
      int error = 0;
      if (WriteFileAtomically(*options.report, report->Text(), &error) != WriteOutcome::Written) {
        out << "Fail to write the report: " << *options.report << ".\nError: "
            << FailureReason(error) << ".\n" << std::flush;
        status = kExitFailure;
      }
    }
    return Finish(in, inputIsTerminal, status);
  };

  const SourceListing listing = ListSources(sourcePath, destinationPath, options.keepTree);
  if (!listing.refusal.empty()) {
    WriteLine(out, listing.refusal);
    if (report) report->SetRefusal(listing.refusal);
    return finishWithReport(kExitFailure);
  }
  // Every output is known before the first is written: a clash found
  // halfway would leave half a run behind.
  const std::vector<PlannedFile> plan =
      PlanOutputs(listing.files, sourcePath, destinationPath, listing.layout);
  if (report) {
    if (const std::string refusal = ReportClashText(*options.report, plan); !refusal.empty()) {
      out << refusal << std::flush;
      return Finish(in, inputIsTerminal, kExitFailure);
    }
  }
  std::string refusal;
  if (const auto clash = FindOutputClash(plan)) {
    refusal = ClashText(plan, *clash, listing.layout);
  } else if (const auto overwrite = FindSourceOverwrite(plan)) {
    refusal = OverwriteText(plan, *overwrite);
  }
  if (!refusal.empty()) {
    out << refusal << std::flush;
    if (report) {
      report->SetRefusal(refusal);
      for (const PlannedFile& file : plan) report->AddNotConverted(file);
    }
    return finishWithReport(kExitFailure);
  }

  unsigned workers = options.jobs != 0 ? options.jobs : std::thread::hardware_concurrency();
  workers = static_cast<unsigned>(std::max<std::size_t>(1, std::min<std::size_t>(workers, plan.size())));
  const ConversionRequest request{.record = report.has_value(), .check = options.dryRun};
  const bool makeDirectories =
      options.keepTree && listing.layout == OutputLayout::Tree && !options.dryRun;
  std::size_t converted = 0;
  std::size_t failed = 0;
  RunInListOrder<PreparedFile>(
      plan.size(), workers,
      [&](std::size_t i) { return PrepareFile(plan[i], convert, request); },
      [&](std::size_t i, PreparedFile&& prepared) {
        const FileResult result =
            options.dryRun ? std::move(prepared.result)
                           : CommitFile(plan[i], std::move(prepared), makeDirectories,
                                        destinationPath);
        const bool ok = result.status == FileStatus::Converted;
        const std::string text = ConsoleText(plan[i], result, options.dryRun);
        if (!ok || !options.quiet) out << text << std::flush;
        if (report) report->AddFile(plan[i], result, text);
        ++(ok ? converted : failed);
        return ok || options.keepGoing;
      });
  if (report) {
    for (std::size_t i = converted + failed; i < plan.size(); ++i) {
      report->AddNotConverted(plan[i]);
    }
  }
  if (options.keepGoing || options.dryRun) {
    WriteLine(out, SummaryLine(converted, plan.size(), failed, options.dryRun));
  }
  return finishWithReport(failed == 0 ? kExitSuccess : kExitFailure);
}

}  // namespace quorvane
