#include "driver/conversion_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <istream>
#include <new>
#include <optional>
#include <ostream>
#include <set>
#include <string_view>
#include <thread>

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

// What a standard stream as SOURCE or DESTINATION cannot go with: a
// directory on the other side, or the report on standard output as well.
std::string StreamUsageError(const RunOptions& options, const std::string& sourcePath,
                             const std::string& destinationPath) {
  const std::string program = std::string(kProgram) + ": ";
  const bool fromInput = IsStandardStream(sourcePath);
  const bool toOutput = IsStandardStream(destinationPath);
  if (toOutput && options.report == "-") {
    return program + "the report and the converted template cannot both go to standard output";
  }
  if (toOutput && !fromInput && GetPathKind(sourcePath.c_str()) == PathKind::Directory) {
    return program + "a directory cannot be converted to standard output";
  }
  if (fromInput && !toOutput && GetPathKind(destinationPath.c_str()) == PathKind::Directory) {
    return program + "standard input is converted into a file or to standard output, not into "
                     "a directory";
  }
  return {};
}

// Creates each missing directory between `destination` and the directory of
// `output`, which lies below it, noting the directories whose entries that
// changes; 0, or the errno of the mkdir that failed. What is in the way and
// not a directory fails the write that follows.
int MakeOutputDirectories(const std::string& destination, const std::string& output,
                          std::set<std::string>& changedDirectories) {
  for (auto slash = output.find('/', destination.size() + 1); slash != std::string::npos;
       slash = output.find('/', slash + 1)) {
    const std::string directory = output.substr(0, slash);
    if (mkdir(directory.c_str(), 0777) == 0) {
      changedDirectories.insert(DirectoryOf(directory));
    } else if (errno != EEXIST) {
      return errno;
    }
  }
  return 0;
}

// The reason line of a path the run could not read.
std::string ReadFailureReason(int error) {
  if (error == kNotRegularFile) return "Error: not a regular file.";
  return "Error: cannot read the file: " + FailureReason(error) + ".";
}

// How many listed files came to each end.
struct RunCounts {
  std::size_t converted = 0;
  std::size_t failed = 0;
  std::size_t skipped = 0;

  std::size_t Done() const { return converted + failed + skipped; }
};

// "Converted N of M files, K failed." with the skipped and the files not
// reached where there are any: every listed file is counted somewhere.
std::string SummaryLine(const RunCounts& counts, std::size_t listed, bool dryRun) {
  std::string line = (dryRun ? "Would convert " : "Converted ") +
                     std::to_string(counts.converted) + " of " + std::to_string(listed) +
                     " files, " + std::to_string(counts.failed) + " failed";
  if (counts.skipped != 0) line += ", " + std::to_string(counts.skipped) + " skipped";
  if (const std::size_t left = listed - counts.Done(); left != 0) {
    line += ", " + std::to_string(left) + " not converted";
  }
  return line + (dryRun ? " (dry run: no output written)." : ".");
}

// Writes the report where its target says; 0, or the errno of the failure.
int WriteReport(const ReportTarget& target, const std::string& text, std::ostream& standardOutput,
                std::ostream& standardError, std::set<std::string>& changedDirectories) {
  switch (target.kind) {
    case ReportTarget::Kind::StandardOutput:
      standardOutput << text;
      return StreamError(standardOutput);
    case ReportTarget::Kind::StandardError:
      standardError << text;
      return StreamError(standardError);
    case ReportTarget::Kind::Existing:
      return WriteIntoExisting(target.path, text);
    case ReportTarget::Kind::File:
      break;
  }
  int error = 0;
  if (WriteFileAtomically(target.path, text, &error) != WriteOutcome::Written) return error;
  changedDirectories.insert(DirectoryOf(target.path));
  return 0;
}

// A run past its options and paths: everything from the report's place to
// the flush of the directories it changed. Ends between two files on a stop
// signal.
class ConversionRun {
 public:
  // The run's lines go to standard error when standard output takes the
  // report or the converted template.
  ConversionRun(const RunOptions& options, const TemplateConverter& converter, std::istream& in,
                std::ostream& out, std::ostream& err, bool outputToStandardOutput)
      : options_(options),
        converter_(converter),
        standardInput_(in),
        standardOutput_(out),
        console_(options.report == "-" || outputToStandardOutput ? err : out),
        err_(err) {}

  int Run(const std::string& sourcePath, const std::string& destinationPath);

 private:
  int Convert(const std::vector<PlannedFile>& plan, const SourceListing& listing,
              const std::string& destinationPath);
  // Writes the report (however the run ended) and flushes the directories
  // the run changed; a failure of either fails the run.
  int Finish(int status);

  // The template of standard input ("-" as SOURCE), read whole before it
  // is converted: a failure, or null for one read.
  std::optional<FileResult> ReadStandardInput(std::string& text);
  // Writes a converted (or skipped) template to standard output ("-" as
  // DESTINATION), as the commit of a file; the failure when it fails.
  FileResult CommitToStandardOutput(PreparedFile&& prepared, const std::string& input);

  const RunOptions& options_;
  const TemplateConverter& converter_;
  std::istream& standardInput_;
  std::ostream& standardOutput_;
  std::ostream& console_;
  std::ostream& err_;
  std::optional<ReportTarget> reportTarget_;
  std::optional<RunReport> report_;
  std::set<std::string> changedDirectories_;
};

int ConversionRun::Run(const std::string& sourcePath, const std::string& destinationPath) {
  if (options_.report) {
    reportTarget_ = PlanReport(*options_.report);
    if (!reportTarget_) {
      WriteLine(console_, "Report path error: " + Quoted(*options_.report) + " is invalid.");
      return Finish(kExitFailure);
    }
    report_.emplace(sourcePath, destinationPath, options_);
  }
  const SourceListing listing = ListSources(sourcePath, destinationPath, options_.keepTree);
  if (!listing.refusal.empty()) {
    WriteLine(console_, listing.refusal);
    if (report_) report_->SetRefusal(listing.refusal);
    return Finish(kExitFailure);
  }
  // Every output is known, and what it would replace judged, before the
  // first is written: a refusal found halfway would leave half a run behind.
  const std::vector<PlannedFile> plan = PlanOutputs(listing.files, destinationPath, listing.layout);
  if (report_) {
    if (const std::string refusal = RefuseReport(*options_.report, *reportTarget_, plan);
        !refusal.empty()) {
      console_ << refusal << std::flush;
      report_.reset();
      return Finish(kExitFailure);
    }
  }
  if (const std::string refusal =
          RefuseOutputs(plan, listing.layout, listing.inPlace, converter_.formatOf);
      !refusal.empty()) {
    console_ << refusal << std::flush;
    if (report_) {
      report_->SetRefusal(refusal);
      for (const PlannedFile& file : plan) report_->AddNotConverted(file);
    }
    return Finish(kExitFailure);
  }
  return Convert(plan, listing, destinationPath);
}

int ConversionRun::Convert(const std::vector<PlannedFile>& plan, const SourceListing& listing,
                           const std::string& destinationPath) {
  unsigned workers = options_.jobs != 0 ? options_.jobs : std::thread::hardware_concurrency();
  workers = static_cast<unsigned>(
      std::max<std::size_t>(1, std::min<std::size_t>(workers, plan.size())));
  const ConversionRequest request{.record = report_.has_value() || options_.verbose,
                                  .check = options_.dryRun};
  const bool makeDirectories =
      options_.keepTree && listing.layout == OutputLayout::Tree && !options_.dryRun;
  // A template through a standard stream is the run's one file.
  std::string input;
  std::optional<FileResult> unread;
  if (plan.size() == 1 && IsStandardStream(plan[0].source)) unread = ReadStandardInput(input);
  const bool toOutput = plan.size() == 1 && IsStandardStream(plan[0].output);
  RunCounts counts;
  RunInListOrder<PreparedFile>(
      plan.size(), workers,
      [&](std::size_t i) {
        if (unread) return PreparedFile{std::move(*unread), {}, {}};
        return PrepareFile(plan[i], converter_.convert, request, !options_.dryRun && !toOutput,
                           IsStandardStream(plan[i].source) ? &input : nullptr);
      },
      [&](std::size_t i, PreparedFile&& prepared) {
        const FileResult result =
            options_.dryRun ? std::move(prepared.result)
            : toOutput      ? CommitToStandardOutput(std::move(prepared), input)
                            : CommitFile(plan[i], std::move(prepared), makeDirectories,
                                         destinationPath, changedDirectories_);
        const std::string text = ConsoleText(plan[i], result, options_.dryRun, options_.verbose);
        const bool failed =
            result.status != FileStatus::Converted && result.status != FileStatus::Skipped;
        if (failed || !options_.quiet) console_ << text << std::flush;
        if (report_) report_->AddFile(plan[i], result, text);
        ++(failed                                 ? counts.failed
           : result.status == FileStatus::Skipped ? counts.skipped
                                                  : counts.converted);
        return !failed || options_.keepGoing;
      },
      [] { return StopSignals::Received() != 0; });
  if (report_) {
    for (std::size_t i = counts.Done(); i < plan.size(); ++i) report_->AddNotConverted(plan[i]);
  }
  const int stopSignal = StopSignals::Received();
  if (stopSignal != 0) WriteLine(console_, "Interrupted.");
  if (options_.keepGoing || options_.dryRun) {
    WriteLine(console_, SummaryLine(counts, plan.size(), options_.dryRun));
  }
  const int status = stopSignal != 0   ? 128 + stopSignal
                     : counts.failed == 0 ? kExitSuccess
                                          : kExitFailure;
  return Finish(status);
}

std::optional<FileResult> ConversionRun::ReadStandardInput(std::string& text) {
  FileResult failure;
  failure.status = FileStatus::NotRead;
  char buffer[1 << 16];
  while (standardInput_.read(buffer, sizeof buffer) || standardInput_.gcount() > 0) {
    const auto count = static_cast<std::size_t>(standardInput_.gcount());
    // Refused as a file over the bound is, without taking what it claims.
    if (count > kMaxTemplateFileBytes - text.size()) {
      failure.reason = "Error: the file is larger than " +
                       std::to_string(kMaxTemplateFileBytes >> 20) + " MiB.";
      failure.code = errors::kTemplateComplex;
      text.clear();
      return failure;
    }
    text.append(buffer, count);
  }
  if (standardInput_.bad()) {
    failure.reason = "Error: cannot read the file: " + FailureReason(EIO) + ".";
    failure.code = EIO;
    return failure;
  }
  return std::nullopt;
}

FileResult ConversionRun::CommitToStandardOutput(PreparedFile&& prepared, const std::string& input) {
  FileResult& result = prepared.result;
  // A template already converted goes through as it is: what comes out is
  // the template in the current format either way.
  const std::string* text = result.status == FileStatus::Converted ? &prepared.outputText
                            : result.status == FileStatus::Skipped ? &input
                                                                   : nullptr;
  if (text == nullptr) return std::move(result);
  standardOutput_ << *text << std::flush;
  if (const int error = StreamError(standardOutput_)) {
    result.status = FileStatus::NotWritten;
    result.reason = "Error: " + FailureReason(error) + ".";
    result.code = error;
  }
  return std::move(result);
}

int ConversionRun::Finish(int status) {
  const auto failedTo = [&](const std::string& what, int error) {
    console_ << "Fail to " << what << ".\nError: " << FailureReason(error) << ".\n" << std::flush;
    if (status == kExitSuccess) status = kExitFailure;
  };
  if (report_) {
    if (const int error = WriteReport(*reportTarget_, report_->Text(), standardOutput_, err_,
                                      changedDirectories_)) {
      failedTo("write the report: " + *options_.report, error);
    }
  }
  // Renames reach the disk with their directory: an in-place run cut by a
  // power loss keeps each file old or new.
  for (const std::string& directory : changedDirectories_) {
    if (const int error = SyncDirectory(directory)) failedTo("flush the directory: " + directory, error);
  }
  // Lines that went nowhere (a closed pipe, a full disk) are a failure too.
  if (const int error = StreamError(console_)) {
    err_ << "lumiflow-convert: cannot write the messages: " << FailureReason(error) << std::endl;
    if (status == kExitSuccess) status = kExitFailure;
  }
  return status;
}

}  // namespace

const TemplateConverter& LegacyTemplateConverter() {
  static const TemplateConverter converter{ConvertLegacyTemplate, FormatOfText};
  return converter;
}

PreparedFile PrepareFile(const PlannedFile& file, ConvertTemplateText convert,
                         const ConversionRequest& request, bool writeBeside,
                         const std::string* given) {
  PreparedFile prepared;
  FileResult& result = prepared.result;
  const auto fail = [&result](FileStatus status, std::string reason, int code) {
    result.status = status;
    result.reason = std::move(reason);
    result.code = code;
  };
  if (file.isDirectory) {
    fail(FileStatus::NotListed,
         "Error: cannot list the directory: " + FailureReason(file.listingError) + ".",
         file.listingError);
    return prepared;
  }
  if (!file.Readable()) {
    fail(FileStatus::NotRead, ReadFailureReason(file.listingError), file.listingError);
    return prepared;
  }
  try {
    std::string text;
    int error = 0;
    switch (given != nullptr ? ReadOutcome::Read
                             : ReadFileBytes(file.source, text, kMaxTemplateFileBytes, &error)) {
      case ReadOutcome::Read:
        break;
      case ReadOutcome::TooLarge:
        fail(FileStatus::NotRead,
             "Error: the file is larger than " + std::to_string(kMaxTemplateFileBytes >> 20) +
                 " MiB.",
             errors::kTemplateComplex);
        return prepared;
      case ReadOutcome::Failed:
        fail(FileStatus::NotRead, ReadFailureReason(error), error);
        return prepared;
    }
    TemplateConversion conversion = convert(given != nullptr ? *given : text, request);
    if (conversion.alreadyCurrent) {
      result.status = FileStatus::Skipped;
      return prepared;
    }
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
    result.changes = std::move(conversion.changes);
    // Written here, on the worker's own core; the run only renames it in turn.
    // A directory still to be made is left to the run, which makes it in turn.
    if (writeBeside && GetPathKind(DirectoryOf(file.output).c_str()) == PathKind::Directory) {
      error = 0;
      switch (prepared.written.Write(file.output, prepared.outputText, &error)) {
        case WriteOutcome::Written:
          prepared.outputText = std::string();
          break;
        case WriteOutcome::OpenFailed:
          fail(FileStatus::NotOpened, "Error: " + FailureReason(error) + ".", error);
          break;
        case WriteOutcome::WriteFailed:
          fail(FileStatus::NotWritten, "Error: " + FailureReason(error) + ".", error);
          break;
      }
    }
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
                      const std::string& destination,
                      std::set<std::string>& changedDirectories) {
  FileResult& result = prepared.result;
  if (result.status != FileStatus::Converted) return std::move(result);
  int error = 0;
  if (prepared.written.Pending()) {
    if (prepared.written.Commit(&error) == WriteOutcome::Written) {
      changedDirectories.insert(DirectoryOf(file.output));
      return std::move(result);
    }
    result.status = FileStatus::NotWritten;
    result.reason = "Error: " + FailureReason(error) + ".";
    result.code = error;
    return std::move(result);
  }
  error = makeDirectories ? MakeOutputDirectories(destination, file.output, changedDirectories) : 0;
  if (error != 0) {
    result.status = FileStatus::NotOpened;
  } else {
    switch (WriteFileAtomically(file.output, prepared.outputText, &error)) {
      case WriteOutcome::Written:
        changedDirectories.insert(DirectoryOf(file.output));
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

std::string CompactJson(const Json::Value& value) {
  static const Json::StreamWriterBuilder builder = [] {
    Json::StreamWriterBuilder compact;
    compact["indentation"] = "";
    compact["emitUTF8"] = false;
    return compact;
  }();
  return Json::writeString(builder, value);
}

std::string ConsoleText(const PlannedFile& file, const FileResult& result, bool dryRun,
                        bool verbose) {
  switch (result.status) {
    case FileStatus::Converted: {
      // What goes to standard output is the template itself, not its line.
      std::string text = dryRun ? "Would convert " + file.source + " to " + file.output + ".\n"
                         : IsStandardStream(file.output)
                             ? std::string()
                             : "Convert " + file.source + " successfully.\n";
      if (!verbose) return text;
      for (const KeyAccounting::NamedChange& change : result.changes) {
        text += "  " + file.source + ": " + change.path + ": " + CompactJson(change.value) + ": " +
                std::string(change.reason) + " (written: " + CompactJson(change.written) + ").\n";
      }
      return text;
    }
    case FileStatus::Skipped:
      return "Skip " + file.source + ": the file is already in the current format.\n";
    case FileStatus::NotListed:
      return "Fail to list the directory: " + file.source + ".\n" + result.reason + "\n";
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
                 std::ostream& err, const TemplateConverter& converter, bool inputIsTerminal) {
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
  const bool prompted = line.operands.empty();
  if (prompted) {
    sourcePath = AskForPath(in, out, "Input source path:");
    destinationPath = AskForPath(in, out, "Input destination path:");
  } else if (line.operands.size() == 2) {
    sourcePath = line.operands[0];
    destinationPath = line.operands[1];
  } else {
    return UsageError(err, "The number of argument is invalid.");
  }
  if (const std::string error = StreamUsageError(options, sourcePath, destinationPath);
      !error.empty()) {
    return UsageError(err, error);
  }
  int status = kExitSuccess;
  {
    // From here a stop signal ends the run between files, not the process.
    const StopSignals stopSignals;
    status = ConversionRun(options, converter, in, out, err, IsStandardStream(destinationPath))
                 .Run(sourcePath, destinationPath);
  }
  // Only a console window opened to ask for the paths waits to be read;
  // any other input belongs to whoever started the run and is never touched.
  if (prompted && inputIsTerminal && status < 128) in.get();
  return status;
}

}  // namespace quorvane
