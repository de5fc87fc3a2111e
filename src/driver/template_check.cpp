#include "driver/template_check.h"

#include <optional>
#include <utility>

#include "document/every_reference.h"
#include "document/section_table.h"
#include "document/template_document.h"
#include "framework/error_codes.h"
#include "framework/failure.h"
#include "framework/json_text_limits.h"
#include "framework/key_accounting.h"
#include "legacy/legacy_reader.h"

namespace quorvane {

namespace {


// Builds every element of the section's array in the read text, in array
// order; the first failure is kept.
Failure ReadEachElement(const Json::Value& templateJson, const SectionSpec& section) {
  const char* key = section.key;
  const Json::Value* array = FindMember(templateJson, key);
  if (array == nullptr || array->isNull()) return {};
  ConsumeMember(templateJson, key);
  if (!array->isArray()) {
    return Failure::Of(errors::kJsonTypeInvalid, CodeMessage(key, errors::kJsonTypeInvalid));
  }
  for (Json::ArrayIndex i = 0; i < array->size(); ++i) {
    const Json::Value& element = (*array)[i];
    // The document refuses sections that are not objects; so does the checker.
    Failure failure = Failure::OfCode(errors::kJsonTypeInvalid);
    if (element.isObject()) {
      const QVRef<QV_ParameterFieldBase> object = section.create();
      const int code = object->ReadFromJson(element, NoSkippedKeys());
      failure = code != errors::kSuccess ? Failure::Of(code, object->errorMessage) : Failure();
    }
    if (failure) return failure.Within(ElementName(key, i));
  }
  return {};
}

// The message of a key the template may not hold: the code's text, then why.
Failure KeyFailure(std::string_view reason) {
  return Failure::Of(errors::kJsonKeyInvalid,
                     Prefixed(GetErrorString(errors::kJsonKeyInvalid), reason, Joint::kSpace));
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
  Failure failure = document.Read(content);
  // The document takes a legacy file for a template without sections.
  const Json::Value& root = document.templateJson;
  if (root.isObject() && HasLegacyTemplateKey(root) && !HasTemplateSection(root)) {
    return KeyFailure(texts::kLegacyTemplate);
  }
  if (failure) return failure;
  // The sections the document reads apart (it records only the names of
  // the tasks), in the order of the table.
  for (const SectionSpec& section : SectionTable()) {
    if (section.reading != SectionSpec::Reading::kApart || section.create == nullptr) continue;
    if ((failure = ReadEachElement(document.templateJson, section))) return failure;
  }
  if (options.strict) {
    if ((failure = CheckEveryReference(document))) return failure;
    if ((failure = CheckTopLevelKeys(root))) return failure;
  }
  if (notRead != nullptr) *notRead = accounting.Unconsumed(document.templateJson);
  return {};
}

}  // namespace

Failure CheckTemplateText(const std::string& content, std::vector<std::string>* notRead,
                          CheckOptions options) {
  const Failure failure = CheckText(content, notRead, options);
  // The checks tell a failure without a text of its own by the code's text
  // alone.
  return failure ? Failure::Of(failure.code, failure.Plain()) : Failure();
}

}  // namespace quorvane
