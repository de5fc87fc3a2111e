#include "driver/template_check.h"

#include <ostream>
#include <utility>

#include "barcode/barcode_reader_task.h"
#include "barcode/format_specification.h"
#include "driver/command_line.h"
#include "driver/platform.h"
#include "framework/error_codes.h"
#include "framework/json_text_limits.h"
#include "framework/template_document.h"

namespace quorvane {

namespace {

struct Failure {
  int code = errors::kSuccess;
  std::string message;
};

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

// Builds every element of `key` in the read text with T, in array order; the
// first failure is kept.
template <class T>
Failure ReadEachElement(const Json::Value& templateJson, const char* key) {
  const Json::Value* array = FindMember(templateJson, key);
  if (array == nullptr || array->isNull()) return {};
  if (!array->isArray()) {
    return {errors::kJsonTypeInvalid,
            std::string(key) + ":" + GetErrorString(errors::kJsonTypeInvalid)};
  }
  for (Json::ArrayIndex i = 0; i < array->size(); ++i) {
    const Json::Value& element = (*array)[i];
    int code = errors::kJsonTypeInvalid;
    std::string text;
    // The document refuses sections that are not objects; so does the checker.
    if (element.isObject()) {
      T object;
      code = object.ReadFromJson(element, NoSkippedKeys());
      text = object.errorMessage;
    }
    if (code != errors::kSuccess) {
      if (text.empty()) text = GetErrorString(code);
      return {code, std::string(key) + "[" + std::to_string(i) + "]" + ":" + text};
    }
  }
  return {};
}

Failure CheckText(const std::string& content) {
  QV_LMFParameter document;
  const int code = document.ReadFromText(content);
  if (code != errors::kSuccess) {
    return {code, document.message.empty() ? std::string(GetErrorString(code)) : document.message};
  }
  // The document records only the names of these two sections.
  Failure failure = ReadEachElement<ZQA_BarcodeReaderTaskSetting>(
      document.templateJson, "BarcodeReaderTaskSettingOptions");
  if (failure.code == errors::kSuccess) {
    failure = ReadEachElement<ZQA_BarcodeFormatSpecification>(document.templateJson,
                                                              "BarcodeFormatSpecificationOptions");
  }
  return failure;
}

}  // namespace

int CheckTemplateText(const std::string& content, std::string& message) {
  Failure failure = CheckText(content);
  message = std::move(failure.message);
  return failure.code;
}

std::string CheckTemplateFile(const std::string& path, bool& passed) {
  std::string content;
  Failure failure;
  switch (ReadFileBytes(path, content, kMaxTemplateFileBytes)) {
    case ReadOutcome::Read:
      failure = CheckText(content);
      break;
    case ReadOutcome::Failed:
      failure = {errors::kFileNotFound, GetErrorString(errors::kFileNotFound)};
      break;
    case ReadOutcome::TooLarge:
      failure = {errors::kTemplateComplex, GetErrorString(errors::kTemplateComplex)};
      break;
  }
  passed = failure.code == errors::kSuccess;
  if (passed) return "OK: " + path;
  return OneLine("FAIL: " + path + ": " + std::to_string(failure.code) + ": " + failure.message);
}

int RunTemplateCheck(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  static constexpr char kProgram[] = "lumiflow-check";
  static constexpr char kUsage[] =
      "Usage: lumiflow-check [OPTION]... PATH...\n"
      "Reads each template file and prints \"OK: FILE\", or \"FAIL: FILE: CODE: MESSAGE\"\n"
      "for the first error found in it. A directory is searched with its\n"
      "subdirectories for *.json files, in the order the converter lists them.\n"
      "The exit status is 0 when every file passed, 1 otherwise, 2 for a usage error.\n"
      "\n"
      "  -h, --help   show this text\n"
      "  --version    show the version\n"
      "  --           end the options, for a path that starts with '-'\n";
  enum Option { kHelp, kVersion };
  static constexpr OptionSpec kOptions[] = {{kHelp, 'h', "help"}, {kVersion, '\0', "version"}};

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
  if (line.operands.empty()) {
    err << kUsage;
    return 2;
  }
  bool allPassed = true;
  const auto check = [&](const std::string& path) {
    bool passed = false;
    out << CheckTemplateFile(path, passed) << '\n';
    allPassed = allPassed && passed;
  };
  for (const std::string& operand : line.operands) {
    if (GetPathKind(operand.c_str()) != PathKind::Directory) {
      check(operand);
      continue;
    }
    for (const std::string& file : ListJsonFiles(operand)) check(file);
  }
  out.flush();
  return allPassed ? 0 : 1;
}

}  // namespace quorvane
