#include "driver/check_run.h"

#include <cerrno>
#include <istream>
#include <ostream>
#include <string>

#include "document/template_schema.h"
#include "driver/command_line.h"
#include "framework/error_codes.h"
#include "framework/failure.h"
#include "framework/json_text_limits.h"
#include "framework/platform.h"

namespace quorvane {

namespace {

// One report line per file: line breaks in a message (the JSON reader's
// error list has several lines, and names may hold any character) are
// folded, with the blanks around them, into one space.
std::string OneLine(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  bool pendingBreak = false;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
      pendingBreak = true;
      continue;
    }
    if (pendingBreak) {
      if (c == ' ' || c == '\t') continue;
      if (!line.empty()) line += ' ';
      pendingBreak = false;
    }
    line += c;
  }
  return line;
}

// A file the checker could not read: "The file is not found." for a path
// that is not there, else the system's reason.
Failure ReadFailure(int error) {
  if (error == ENOENT) return Failure::OfCode(errors::kFileNotFound);
  if (error == kNotRegularFile) return Failure::Of(errors::kFileNotFound, FailureReason(error));
  return Failure::Of(errors::kFileNotFound, "cannot read the file: " + FailureReason(error));
}

const Failure& TooLarge() {
  static const Failure failure = Failure::OfCode(errors::kTemplateComplex);
  return failure;
}

std::string ResultLine(const std::string& path, const Failure& failure, bool& passed) {
  passed = failure.code == errors::kSuccess;
  if (passed) return "OK: " + path;
  return OneLine("FAIL: " + path + ": " + std::to_string(failure.code) + ": " + failure.Plain());
}

}  // namespace

std::string CheckTemplateFile(const std::string& path, bool& passed, CheckOptions options) {
  std::string content;
  Failure failure;
  int error = 0;
  switch (ReadFileBytes(path, content, kMaxTemplateFileBytes, &error)) {
    case ReadOutcome::Read:
      failure = CheckTemplateText(content, nullptr, options);
      break;
    case ReadOutcome::Failed:
      failure = ReadFailure(error);
      break;
    case ReadOutcome::TooLarge:
      failure = TooLarge();
      break;
  }
  return ResultLine(path, failure, passed);
}

// The line for the template of standard input, named "-"; read whole, up
// to the bound of a file.
std::string CheckTemplateStream(std::istream* in, CheckOptions options, bool& passed) {
  Failure failure;
  std::string content;
  char buffer[1 << 16];
  while (in != nullptr && (in->read(buffer, sizeof buffer) || in->gcount() > 0)) {
    const auto count = static_cast<std::size_t>(in->gcount());
    if (count > kMaxTemplateFileBytes - content.size()) {
      return ResultLine("-", TooLarge(), passed);
    }
    content.append(buffer, count);
  }
  if (in == nullptr || in->bad()) {
    failure = ReadFailure(EIO);
  } else {
    failure = CheckTemplateText(content, nullptr, options);
  }
  return ResultLine("-", failure, passed);
}

int RunTemplateCheck(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                     std::istream* in) {
  static constexpr char kProgram[] = "lumiflow-check";
  static constexpr char kUsage[] =
      "Usage: lumiflow-check [OPTION]... PATH...\n"
      "Reads each template file and prints \"OK: FILE\", or \"FAIL: FILE: CODE: MESSAGE\"\n"
      "for the first error found in it. A directory is searched with its\n"
      "subdirectories for *.json files, in the order the converter lists them;\n"
      "- checks the template on standard input.\n"
      "The exit status is 0 when every file passed, 1 otherwise, 2 for a usage error.\n"
      "\n"
      "  --strict     also refuse a name a section gives to another that no section\n"
      "               of that kind has, a chain of bases that loops or ends at such\n"
      "               a name, a top-level key that is not a template section\n"
      "               (\"LumiflowTemplates\", \"ImageParameterOptions\",\n"
      "               \"TargetROIDefOptions\", \"BarcodeReaderTaskSettingOptions\",\n"
      "               \"BarcodeFormatSpecificationOptions\", \"GlobalParameter\"), and a\n"
      "               file with none of them\n"
      "  --schema     print the JSON Schema of a template and check nothing\n"
      "  -h, --help   show this text\n"
      "  --version    show the version\n"
      "  --           end the options, for a path that starts with '-'\n";
  enum Option { kHelp, kVersion, kStrict, kSchema };
  static constexpr OptionSpec kOptions[] = {{kHelp, 'h', "help"},
                                            {kVersion, '\0', "version"},
                                            {kStrict, '\0', "strict"},
                                            {kSchema, '\0', "schema"}};

  const CommandLine line = ParseCommandLine(argc, argv, kOptions);
  if (!line.error.empty()) {
    err << kProgram << ": " << line.error << '\n' << UsageHint(kProgram) << '\n';
    return 2;
  }
  if (line.Has(kHelp)) {
    out << kUsage;
    return 0;
  }
  if (line.Has(kVersion)) {
    out << kProgram << " " LUMIFLOW_VERSION "\n";
    return 0;
  }
  if (line.Has(kSchema)) {
    if (!line.operands.empty()) {
      err << kProgram << ": option '--schema' takes no path\n" << UsageHint(kProgram) << '\n';
      return 2;
    }
    out << TemplateSchema().toStyledString() << std::flush;
    return 0;
  }
  if (line.operands.empty()) {
    err << kUsage;
    return 2;
  }
  const CheckOptions options{.strict = line.Has(kStrict)};
  bool allPassed = true;
  const auto check = [&](const std::string& path) {
    bool passed = false;
    out << CheckTemplateFile(path, passed, options) << '\n';
    allPassed = allPassed && passed;
  };
  for (const std::string& operand : line.operands) {
    if (operand == "-") {
      bool passed = false;
      out << CheckTemplateStream(in, options, passed) << '\n';
      allPassed = allPassed && passed;
      continue;
    }
    if (GetPathKind(operand.c_str()) != PathKind::Directory) {
      check(operand);
      continue;
    }
    // What the listing could not take fails where it falls, never in silence.
    for (const ListedPath& file : ListJsonFiles(operand)) {
      if (file.error == 0) {
        check(file.path);
        continue;
      }
      const Failure failure =
          file.isDirectory ? Failure::Of(errors::kFileNotFound,
                                         "cannot list the directory: " + FailureReason(file.error))
                           : ReadFailure(file.error);
      bool passed = false;
      out << ResultLine(file.path, failure, passed) << '\n';
      allPassed = false;
    }
  }
  out.flush();
  return allPassed ? 0 : 1;
}

}  // namespace quorvane
