#include "driver/file_io.h"

#include <sys/stat.h>

#include <cerrno>
#include <exception>
#include <istream>
#include <ostream>

#include "framework/error_codes.h"
#include "framework/failure.h"
#include "framework/json_text_limits.h"

namespace quorvane {

namespace {

// The reason line of a path the run could not read.
std::string ReadFailureReason(int error) {
  if (error == kNotRegularFile) return "Error: not a regular file.";
  return "Error: cannot read the file: " + FailureReason(error) + ".";
}

std::string SystemReason(int error) { return "Error: " + FailureReason(error) + "."; }

void FailWrite(FileOutcome& outcome, WriteOutcome write, int error) {
  outcome.Fail(write == WriteOutcome::OpenFailed ? FileStatus::NotOpened : FileStatus::NotWritten,
               SystemReason(error), error);
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

// Reads and converts the file, and writes the output beside its place;
// `converting` is set while the conversion runs.
void Prepare(const PlannedFile& file, ConvertTemplateText convert,
             const ConversionRequest& request, WriteBeside writeBeside, const std::string* given,
             PreparedFile& prepared, bool& converting) {
  FileOutcome& outcome = prepared.outcome;
  std::string text;
  int error = 0;
  switch (given != nullptr ? ReadOutcome::Read
                           : ReadFileBytes(file.source, text, kMaxTemplateFileBytes, &error)) {
    case ReadOutcome::Read:
      break;
    case ReadOutcome::TooLarge:
      return outcome.Fail(FileStatus::NotRead, TooLargeReason(), errors::kTemplateComplex);
    case ReadOutcome::Failed:
      return outcome.Fail(FileStatus::NotRead, ReadFailureReason(error), error);
  }
  converting = true;
  TemplateConversion conversion = convert(given != nullptr ? *given : text, request);
  converting = false;
  if (conversion.alreadyCurrent) {
    outcome.status = FileStatus::Skipped;
    return;
  }
  if (const Failure& failure = conversion.failure) {
    return outcome.Fail(conversion.checkFailed ? FileStatus::NotChecked : FileStatus::NotRead,
                        failure.Message(), failure.code);
  }
  prepared.outputText = std::move(conversion.outputText);
  outcome.record = std::move(conversion.record);
  outcome.notCarriedOver = std::move(conversion.notCarriedOver);
  outcome.changes = std::move(conversion.changes);
  // Written here, on the worker's own core; the run only renames it in turn.
  // A directory still to be made is left to the run, which makes it in turn.
  if (writeBeside == WriteBeside::Never ||
      (writeBeside == WriteBeside::WhereDirectoryIsNow &&
       GetPathKind(DirectoryOf(file.output).c_str()) != PathKind::Directory)) {
    return;
  }
  error = 0;
  const WriteOutcome write = prepared.written.Write(file.output, prepared.outputText, &error);
  if (write == WriteOutcome::Written) {
    prepared.outputText = std::string();
  } else {
    FailWrite(outcome, write, error);
  }
}

}  // namespace

PreparedFile PrepareFile(const PlannedFile& file, ConvertTemplateText convert,
                         const ConversionRequest& request, WriteBeside writeBeside,
                         const std::string* given) {
  PreparedFile prepared;
  prepared.outcome.file = &file;
  if (file.isDirectory) {
    prepared.outcome.Fail(FileStatus::NotListed,
                          "Error: cannot list the directory: " +
                              FailureReason(file.listingError) + ".",
                          file.listingError);
  } else if (!file.Readable()) {
    prepared.outcome.Fail(FileStatus::NotRead, ReadFailureReason(file.listingError),
                          file.listingError);
  } else {
    // The one guard of a file: on a worker thread an escaped throw would
    // end the process. A throw of the conversion is its failure, as the
    // conversion would report it; any other fails the file's reading.
    bool converting = false;
    try {
      Prepare(file, convert, request, writeBeside, given, prepared, converting);
    } catch (const std::exception&) {
      const Failure thrown = ThrownFailure(std::current_exception());
      prepared = PreparedFile();
      prepared.outcome.file = &file;
      prepared.outcome.Fail(FileStatus::NotRead,
                            converting ? thrown.Message() : "Error: " + thrown.Detail(),
                            thrown.code);
    }
  }
  return prepared;
}

FileOutcome CommitFile(PreparedFile&& prepared, bool makeDirectories,
                       const std::string& destination, std::set<std::string>& changedDirectories) {
  FileOutcome& outcome = prepared.outcome;
  if (outcome.status != FileStatus::Converted) return std::move(outcome);
  const std::string& output = outcome.file->output;
  int error = 0;
  if (prepared.written.Pending()) {
    if (prepared.written.Commit(&error) == WriteOutcome::Written) {
      changedDirectories.insert(DirectoryOf(output));
    } else {
      outcome.Fail(FileStatus::NotWritten, SystemReason(error), error);
    }
    return std::move(outcome);
  }
  error = makeDirectories ? MakeOutputDirectories(destination, output, changedDirectories) : 0;
  if (error != 0) {
    outcome.Fail(FileStatus::NotOpened, SystemReason(error), error);
    return std::move(outcome);
  }
  const WriteOutcome write = WriteFileAtomically(output, prepared.outputText, &error);
  if (write == WriteOutcome::Written) {
    changedDirectories.insert(DirectoryOf(output));
  } else {
    FailWrite(outcome, write, error);
  }
  return std::move(outcome);
}

std::optional<FileOutcome> ReadStandardInput(std::istream& in, const PlannedFile& file,
                                             std::string& text) {
  FileOutcome failure;
  failure.file = &file;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    const auto count = static_cast<std::size_t>(in.gcount());
    // Refused as a file over the bound is, without taking what it claims.
    if (count > kMaxTemplateFileBytes - text.size()) {
      failure.Fail(FileStatus::NotRead, TooLargeReason(), errors::kTemplateComplex);
      text.clear();
      return failure;
    }
    text.append(buffer, count);
  }
  if (in.bad()) {
    failure.Fail(FileStatus::NotRead, ReadFailureReason(EIO), EIO);
    return failure;
  }
  return std::nullopt;
}

FileOutcome CommitToStandardOutput(PreparedFile&& prepared, const std::string& input,
                                   std::ostream& standardOutput) {
  FileOutcome& outcome = prepared.outcome;
  // A template already converted goes through as it is: what comes out is
  // the template in the current format either way.
  const std::string* text = outcome.status == FileStatus::Converted ? &prepared.outputText
                            : outcome.status == FileStatus::Skipped ? &input
                                                                    : nullptr;
  if (text == nullptr) return std::move(outcome);
  standardOutput << *text << std::flush;
  if (const int error = StreamError(standardOutput)) {
    outcome.Fail(FileStatus::NotWritten, SystemReason(error), error);
  }
  return std::move(outcome);
}

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

}  // namespace quorvane
