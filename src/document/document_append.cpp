#include <set>
#include <string>
#include <utility>
#include <vector>

#include "document/document_internal.h"
#include "document/template_document.h"
#include "framework/failure.h"
#include "framework/json_text_limits.h"
#include "framework/messages.h"
#include "framework/platform.h"

namespace quorvane {

namespace {

using document_internal::ParseTemplateObject;
using document_internal::StringMember;

const std::vector<std::string>& PresetFileNames() {
  static const std::vector<std::string> names = {
      "ZQA-PresetTemplates.json", "ZQE-PresetTemplates.json", "ZQI-PresetTemplates.json"};
  return names;
}

std::vector<std::string> LoadPresetTexts() {
  std::vector<std::string> texts;
  const std::string directory = PresetDirectory();
  for (const std::string& fileName : PresetFileNames()) {
    std::string text;
    if (ReadFileBytes(directory + fileName, text, kMaxTemplateFileBytes) == ReadOutcome::Read) {
      texts.push_back(std::move(text));
    }
  }
  return texts;
}

}  // namespace

// Found and read once per process: the converter makes a document per file.
std::vector<std::string>& QV_LMFParameter::PresetTexts() {
  static std::vector<std::string> texts = LoadPresetTexts();
  return texts;
}

void QV_LMFParameter::ReloadPresetTemplates() { PresetTexts() = LoadPresetTexts(); }

int QV_LMFParameter::AppendFromString(const char* content) {
  if (content == nullptr) return errors::kSuccess;
  return AppendFromText(content);
}

int QV_LMFParameter::AppendFromText(std::string_view content) {
  return Settle(Guarded([this, content] {
    Json::Value parsed;
    if (Failure refused = ParseTemplateObject(content, parsed)) return refused;
    // Everything is checked before anything is merged, so a refused text
    // leaves the stored one as it was.
    for (const SectionSpec& section : SectionTable()) {
      const std::string key = section.key;
      const Json::Value* added = FindMember(parsed, key);
      const Json::Value* stored = FindMember(templateJson, key);
      if (added == nullptr || stored == nullptr || !added->isArray() || !stored->isArray()) {
        continue;
      }
      std::set<std::string_view> storedNames;
      for (const Json::Value& element : *stored) {
        std::string_view name;
        if (StringMember(element, "Name", name)) storedNames.insert(name);
      }
      for (const Json::Value& element : *added) {
        if (!element.isObject()) {
          return Failure::Of(errors::kJsonTypeInvalid,
                             key + std::string(texts::kAppendNotAnObject));
        }
        std::string_view name;
        if (StringMember(element, "Name", name) && storedNames.count(name) != 0) {
          return Failure::Of(errors::kNameDuplicated,
                             key + std::string(texts::kAppendNameDuplicated) + std::string(name));
        }
      }
    }

    for (const SectionSpec& section : SectionTable()) {
      const std::string key = section.key;
      Json::Value added;
      if (!parsed.removeMember(key, &added)) continue;
      const Json::Value* stored = FindMember(templateJson, key);
      const bool globalParameterKey = section.reading == SectionSpec::Reading::kObject;
      if (globalParameterKey) {
        // An earlier global parameter wins.
        if (!added.isObject() || (stored != nullptr && !stored->isNull())) continue;
      } else if (!added.isArray()) {
        continue;
      }
      if (!templateJson.isObject()) templateJson = Json::Value(Json::objectValue);
      Json::Value& target = templateJson[key];
      if (globalParameterKey) {
        target = std::move(added);
        continue;
      }
      if (!target.isArray()) target = Json::Value(Json::arrayValue);
      for (Json::Value& element : added) target.append(std::move(element));
    }
    return Failure();
  }));
}

}  // namespace quorvane
