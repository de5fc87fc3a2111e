#include "driver/conversion_run.h"

#include <algorithm>
#include <istream>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "driver/command_line.h"
#include "driver/console_prompts.h"
#include "driver/convert_options.h"
#include "driver/ordered_work.h"
#include "driver/run_plan.h"
#include "driver/run_report.h"
#include "driver/run_sinks.h"
#include "framework/platform.h"

namespace quorvane {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int UsageError(std::ostream& err, std::string_view error) {
  err << error << '\n' << std::flush;
  err << UsageHint("lumiflow-convert") << '\n' << std::flush;
  return kExitUsage;
}

// A run past its options and paths: from its plan to the flush of the
// directories it changed. Ends between two files on a stop signal.
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
        err_(err),
        printer_(console_, options) {}

  int Run(const std::string& sourcePath, const std::string& destinationPath);

 private:
  // Converts the planned files and commits each in listing order, until the
  // first failure (without -k) or a stop signal; the counts of those
  // committed.
  RunCounts Convert(const RunPlan& plan, const std::string& destinationPath);
  // Writes the report (however the run ended) and flushes the directories
  // the run changed; a failure of either fails the run.
  int Finish(int status);

  const RunOptions& options_;
  const TemplateConverter& converter_;
  std::istream& standardInput_;
  std::ostream& standardOutput_;
  std::ostream& console_;
  std::ostream& err_;
  ConsolePrinter printer_;
  std::optional<ReportTarget> reportTarget_;
  std::optional<RunReport> report_;
  std::vector<RunSink*> sinks_{&printer_};
  std::set<std::string> changedDirectories_;
};

int ConversionRun::Run(const std::string& sourcePath, const std::string& destinationPath) {
  const RunPlan plan = PlanRun(sourcePath, destinationPath, options_, converter_.formatOf);
  if (plan.report) {
    reportTarget_ = plan.report;
    sinks_.push_back(&report_.emplace(sourcePath, destinationPath, options_));
  }
  if (plan.Refused()) {
    for (RunSink* sink : sinks_) sink->Refused(plan.refusal, plan.files);
    return Finish(kExitFailure);
  }
  const RunCounts counts = Convert(plan, destinationPath);
  const int stopSignal = StopSignals::Received();
  for (RunSink* sink : sinks_) sink->Ended(counts, plan.files.size(), stopSignal);
  return Finish(stopSignal != 0       ? 128 + stopSignal
                : counts.failed == 0 ? kExitSuccess
                                     : kExitFailure);
}

RunCounts ConversionRun::Convert(const RunPlan& plan, const std::string& destinationPath) {
  const std::vector<PlannedFile>& files = plan.files;
  unsigned workers = options_.jobs != 0 ? options_.jobs : std::thread::hardware_concurrency();
  workers = static_cast<unsigned>(
      std::max<std::size_t>(1, std::min<std::size_t>(workers, files.size())));
  const ConversionRequest request{
      .record = std::any_of(sinks_.begin(), sinks_.end(),
                            [](const RunSink* sink) { return sink->NeedsRecord(); }),
      .check = options_.dryRun};
  const bool makeDirectories =
      options_.keepTree && plan.layout == OutputLayout::Tree && !options_.dryRun;
  // A template through a standard stream is the run's one file.
  const bool fromInput = files.size() == 1 && IsStandardStream(files[0].source);
  const bool toOutput = files.size() == 1 && IsStandardStream(files[0].output);
  // Into a tree made as the run goes, only a directory already there takes
  // an output before its turn; every other output's directory is there
  // from the start (or never, which the write tells as the commit would).
  const WriteBeside writeBeside = options_.dryRun || toOutput ? WriteBeside::Never
                                  : makeDirectories ? WriteBeside::WhereDirectoryIsNow
                                                    : WriteBeside::Always;
  std::string input;
  std::optional<FileOutcome> unread;
  if (fromInput) unread = ReadStandardInput(standardInput_, files[0], input);
  RunCounts counts;
  RunInListOrder<PreparedFile>(
      files.size(), workers,
      [&](std::size_t i) {
        if (unread) return PreparedFile{std::move(*unread), {}, {}};
        return PrepareFile(files[i], converter_.convert, request, writeBeside,
                           fromInput ? &input : nullptr);
      },
      [&](std::size_t, PreparedFile&& prepared) {
        const FileOutcome outcome =
            options_.dryRun ? std::move(prepared.outcome)
            : toOutput      ? CommitToStandardOutput(std::move(prepared), input, standardOutput_)
                            : CommitFile(std::move(prepared), makeDirectories, destinationPath,
                                         changedDirectories_);
        counts.Add(outcome);
        for (RunSink* sink : sinks_) sink->Committed(outcome);
        return !outcome.Failed() || options_.keepGoing;
      },
      [] { return StopSignals::Received() != 0; });
  for (std::size_t i = counts.Done(); i < files.size(); ++i) {
    for (RunSink* sink : sinks_) sink->NotReached(files[i]);
  }
  return counts;
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

int RunConverter(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                 std::ostream& err, const TemplateConverter& converter, bool inputIsTerminal) {
  ConvertCommand command = ReadConvertCommand(argc, argv);
  switch (command.action) {
    case ConvertCommand::Action::Help:
      out << ConvertUsage() << std::flush;
      return kExitSuccess;
    case ConvertCommand::Action::Version:
      out << "lumiflow-convert " LUMIFLOW_VERSION "\n" << std::flush;
      return kExitSuccess;
    case ConvertCommand::Action::UsageError:
      return UsageError(err, command.error);
    case ConvertCommand::Action::Run:
      break;
  }
  if (command.prompted) {
    command.source = AskForPath(in, out, "Input source path:");
    command.destination = AskForPath(in, out, "Input destination path:");
  }
  if (const std::string error =
          StreamUsageError(command.options, command.source, command.destination);
      !error.empty()) {
    return UsageError(err, error);
  }
  int status = kExitSuccess;
  {
    // From here a stop signal ends the run between files, not the process.
    const StopSignals stopSignals;
    status = ConversionRun(command.options, converter, in, out, err,
                           IsStandardStream(command.destination))
                 .Run(command.source, command.destination);
  }
  // Only a console window opened to ask for the paths waits to be read;
  // any other input belongs to whoever started the run and is never touched.
  if (command.prompted && inputIsTerminal && status < 128) WaitForKeystroke(in);
  return status;
}

}  // namespace quorvane
