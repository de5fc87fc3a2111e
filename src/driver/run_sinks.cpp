#include "driver/run_sinks.h"

#include <json/json.h>

#include <ostream>

namespace quorvane {

namespace {

// A value as one line of compact JSON, for messages.
std::string CompactJson(const Json::Value& value) {
  static const Json::StreamWriterBuilder builder = [] {
    Json::StreamWriterBuilder compact;
    compact["indentation"] = "";
    compact["emitUTF8"] = false;
    return compact;
  }();
  return Json::writeString(builder, value);
}

}  // namespace

void ConsolePrinter::Refused(const std::string& lines, const std::vector<PlannedFile>&) {
  console_ << lines << std::flush;
}

void ConsolePrinter::Committed(const FileOutcome& outcome) {
  if (outcome.Failed()) {
    console_ << outcome.message << std::flush;
  } else if (!options_.quiet) {
    console_ << ConsoleText(outcome, options_.dryRun, options_.verbose) << std::flush;
  }
}

void ConsolePrinter::Ended(const RunCounts& counts, std::size_t listed, int stopSignal) {
  if (stopSignal != 0) console_ << "Interrupted.\n" << std::flush;
  if (options_.keepGoing || options_.dryRun) {
    console_ << SummaryLine(counts, listed, options_.dryRun) << '\n' << std::flush;
  }
}

std::string ConsoleText(const FileOutcome& outcome, bool dryRun, bool verbose) {
  const PlannedFile& file = *outcome.file;
  if (outcome.Failed()) return outcome.message;
  if (outcome.status == FileStatus::Skipped) {
    return "Skip " + file.source + ": the file is already in the current format.\n";
  }
  // What goes to standard output is the template itself, not its line.
  std::string text = dryRun ? "Would convert " + file.source + " to " + file.output + ".\n"
                     : IsStandardStream(file.output)
                         ? std::string()
                         : "Convert " + file.source + " successfully.\n";
  if (!verbose) return text;
  for (const KeyAccounting::NamedChange& change : outcome.changes) {
    text += "  " + file.source + ": " + change.path + ": " + CompactJson(change.value) + ": " +
            std::string(change.reason) + " (written: " + CompactJson(change.written) + ").\n";
  }
  return text;
}

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

}  // namespace quorvane
