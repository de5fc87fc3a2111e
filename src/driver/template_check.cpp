#include "driver/template_check.h"

#include <cerrno>
#include <optional>
#include <ostream>
#include <utility>

#include "document/every_reference.h"
#include "document/section_table.h"
#include "document/template_document.h"
#include "document/template_schema.h"
#include "driver/command_line.h"
#include "framework/error_codes.h"
#include "framework/json_text_limits.h"
#include "framework/key_accounting.h"
#include "framework/platform.h"
#include "legacy/legacy_reader.h"

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

// Builds every element of the section's array in the read text, in array
// order; the first failure is kept.
Failure ReadEachElement(const Json::Value& templateJson, const SectionSpec& section) {
  const char* key = section.key;
  const Json::Value* array = FindMember(templateJson, key);
  if (array == nullptr || array->isNull()) return {};
  ConsumeMember(templateJson, key);
  if (!array->isArray()) {
    return {errors::kJsonTypeInvalid, CodeMessage(key, errors::kJsonTypeInvalid)};
  }
  for (Json::ArrayIndex i = 0; i < array->size(); ++i) {
    const Json::Value& element = (*array)[i];
    int code = errors::kJsonTypeInvalid;
    std::string text;
    // The document refuses sections that are not objects; so does the checker.
    if (element.isObject()) {
      const QVRef<QV_ParameterFieldBase> object = section.create(nullptr);
      code = object->ReadFromJson(element, NoSkippedKeys());
      text = object->errorMessage;
    }
    if (code != errors::kSuccess) {
      if (text.empty()) text = GetErrorString(code);
      return {code, Prefixed(ElementName(key, i), text)};
    }
  }
  return {};
}

// The message of a key the template may not hold: the code's text, then why.
Failure KeyFailure(std::string_view reason) {
  return {errors::kJsonKeyInvalid,
          std::string(GetErrorString(errors::kJsonKeyInvalid)) + " " + std::string(reason)};
}

// The first top-level key, in key order, that is not a template section;
// or a root without any.
Failure CheckTopLevelKeys(const Json::Value& root) {
  for (const std::string& key : root.getMemberNames()) {
    if (!IsTemplateSectionKey(key)) return KeyFailure(key);
  }
  if (!HasTemplateSection(root)) return KeyFailure(texts::kNoTemplateSection);
  return {};
}

Failure CheckText(const std::string& content, std::vector<std::string>* notRead,
                  CheckOptions options) {
  QV_LMFParameter document;
  KeyAccounting accounting;
  std::optional<ScopedKeyAccounting> scope;
  if (notRead != nullptr) scope.emplace(accounting);
  const int code = document.ReadFromText(content);
  // The document takes a legacy file for a template without sections.
  const Json::Value& root = document.templateJson;
  if (root.isObject() && HasLegacyTemplateKey(root) && !HasTemplateSection(root)) {
    return KeyFailure(texts::kLegacyTemplate);
  }
  if (code != errors::kSuccess) {
    return {code, document.message.empty() ? std::string(GetErrorString(code)) : document.message};
  }
  // The sections the document reads apart (it records only the names of
  // the tasks), in the order of the table.
  Failure failure;
  for (const SectionSpec& section : SectionTable()) {
    if (section.reading != SectionSpec::Reading::kApart || section.create == nullptr) continue;
    failure = ReadEachElement(document.templateJson, section);
    if (failure.code != errors::kSuccess) break;
  }
  if (failure.code == errors::kSuccess && options.strict) {
    failure.code = CheckEveryReference(document, failure.message);
  }
  if (failure.code == errors::kSuccess && options.strict) failure = CheckTopLevelKeys(root);
  if (failure.code == errors::kSuccess && notRead != nullptr) {
    *notRead = accounting.Unconsumed(document.templateJson);
  }
  return failure;
}

}  // namespace

int CheckTemplateText(const std::string& content, std::string& message,
                      std::vector<std::string>* notRead, CheckOptions options) {
  Failure failure = CheckText(content, notRead, options);
  message = std::move(failure.message);
  return failure.code;
}

namespace {

// A file the checker could not read: "The file is not found." for a path
// that is not there, else the system's reason.
Failure ReadFailure(int error) {
  if (error == ENOENT) return {errors::kFileNotFound, GetErrorString(errors::kFileNotFound)};
  if (error == kNotRegularFile) return {errors::kFileNotFound, FailureReason(error)};
  return {errors::kFileNotFound, "cannot read the file: " + FailureReason(error)};
}

std::string ResultLine(const std::string& path, const Failure& failure, bool& passed) {
  passed = failure.code == errors::kSuccess;
  if (passed) return "OK: " + path;
  return OneLine("FAIL: " + path + ": " + std::to_string(failure.code) + ": " + failure.message);
}

}  // namespace

std::string CheckTemplateFile(const std::string& path, bool& passed, CheckOptions options) {
  std::string content;
  Failure failure;
  int error = 0;
  switch (ReadFileBytes(path, content, kMaxTemplateFileBytes, &error)) {
    case ReadOutcome::Read:
      failure = CheckText(content, nullptr, options);
      break;
    case ReadOutcome::Failed:
      failure = ReadFailure(error);
      break;
    case ReadOutcome::TooLarge:
      failure = {errors::kTemplateComplex, GetErrorString(errors::kTemplateComplex)};
      break;
  }
  return ResultLine(path, failure, passed);
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
          file.isDirectory ? Failure{errors::kFileNotFound,
                                     "cannot list the directory: " + FailureReason(file.error)}
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
