#include <algorithm>
#include <utility>

#include "captureflow/default_names.h"
#include "captureflow/flow_sections.h"
#include "captureflow/lumiflow_setting.h"
#include "document/document_internal.h"
#include "document/template_document.h"
#include "framework/enum_table.h"
#include "framework/failure.h"
#include "framework/key_accounting.h"

namespace quorvane {

namespace {

using document_internal::kDefaultTaskNames;
using document_internal::ParseTemplateObject;
using document_internal::StringMember;

// Whether the section arrays of `templateJson` hold more than `limit`
// elements together.
bool ExceedsSectionLimit(const Json::Value& templateJson, std::size_t limit) {
  std::size_t count = 0;
  for (const SectionSpec& section : SectionTable()) {
    const Json::Value* array = FindMember(templateJson, section.key);
    if (array != nullptr && array->isArray()) count += array->size();
  }
  return count > limit;
}

}  // namespace

int QV_LMFParameter::ReadFromString(const char* content) {
  if (content != nullptr) return ReadFromText(content);
  return Guarded(message, [this] {
    Clear();
    message = GetErrorString(errors::kSuccess);
    return ReadParsed(false);
  });
}

int QV_LMFParameter::ReadFromText(std::string_view content) {
  return Guarded(message, [this, content] {
    Clear();
    message = GetErrorString(errors::kSuccess);
    Json::Value parsed;
    if (const int result = ParseTemplateObject(content, parsed, message)) return result;
    templateJson = std::move(parsed);
    return ReadParsed(true);
  });
}

int QV_LMFParameter::ReadParsed(bool contentGiven) {
  if (templateJson.isNull()) return errors::kSuccess;
  if (ExceedsSectionLimit(templateJson, kMaxSections)) {
    message = std::string(texts::kSectionLimitPrefix) + std::to_string(kMaxSections) +
              std::string(texts::kSectionLimitSuffix);
    return errors::kTemplateComplex;
  }
  int result = CollectTaskNames();
  if (result == errors::kSuccess) result = ReadSections(contentGiven);
  if (result != errors::kSuccess) return result;
  for (int (QV_LMFParameter::*check)() :
       {&QV_LMFParameter::CheckImageSources, &QV_LMFParameter::CheckTargetROINames,
        &QV_LMFParameter::CheckOutputTasks, &QV_LMFParameter::CheckSemanticSettingNames}) {
    result = (this->*check)();
    if (result != errors::kSuccess) return result;
  }
  return errors::kSuccess;
}

int QV_LMFParameter::CollectTaskNames() {
  for (const SectionSpec& section : SectionTable()) {
    if (section.taskKind == kNotATask) continue;
    const Json::Value* array = FindMember(templateJson, section.key);
    if (array == nullptr || array->isNull()) continue;
    ConsumeMember(templateJson, section.key);
    if (!array->isArray()) {
      message = CodeMessage(section.key, errors::kJsonTypeInvalid);
      return errors::kJsonTypeInvalid;
    }
    for (const Json::Value& element : *array) {
      std::string_view name;
      if (!StringMember(element, "Name", name)) continue;
      if (!taskNameKinds.emplace(std::string(name), section.taskKind).second) {
        message = Prefixed(section.key, name);
        return errors::kNameDuplicated;
      }
      declaredTaskNames_.emplace(name);
    }
  }
  for (const auto& [name, kind] : kDefaultTaskNames) taskNameKinds.emplace(name, kind);
  return errors::kSuccess;
}

int QV_LMFParameter::SectionArray(const char* key, const Json::Value*& array) {
  array = FindMember(templateJson, key);
  ConsumeMember(templateJson, key);
  if (array != nullptr && array->isNull()) array = nullptr;
  if (array != nullptr && !array->isArray()) {
    array = nullptr;
    message = key;
    return errors::kJsonTypeInvalid;
  }
  return errors::kSuccess;
}

int QV_LMFParameter::ReadSections(bool contentGiven) {
  // The sections the document reads, in their order.
  std::vector<const SectionSpec*> steps;
  for (const SectionSpec& section : SectionTable()) {
    if (section.readStep > 0) steps.push_back(&section);
  }
  std::sort(steps.begin(), steps.end(),
            [](const SectionSpec* a, const SectionSpec* b) { return a->readStep < b->readStep; });

  for (const SectionSpec* section : steps) {
    int result = errors::kSuccess;
    if (section->reading == SectionSpec::Reading::kObject) {
      result = ReadGlobalParameter(*section);
      if (result != errors::kSuccess) return result;
      continue;
    }
    const Json::Value* array = nullptr;
    result = SectionArray(section->key, array);
    if (result == errors::kSuccess && array != nullptr) {
      result = section->reading == SectionSpec::Reading::kWithBase
                   ? ReadSectionsWithBase(*array, *section)
                   : ReadPlainSection(*array, *section);
      if (result == errors::kSuccess) result = AfterSection(*section, contentGiven);
    }
    if (result != errors::kSuccess) return result;
  }
  return errors::kSuccess;
}

int QV_LMFParameter::ReadGlobalParameter(const SectionSpec& section) {
  ConsumeMember(templateJson, section.key);
  const Json::Value* global = FindMember(templateJson, section.key);
  if (global == nullptr || global->isNull()) return errors::kSuccess;
  if (!global->isObject()) {
    message = section.key;
    return errors::kJsonTypeInvalid;
  }
  auto parameter = NewSection<QV_GlobalParameter>();
  globalParameter = parameter;
  const int result = parameter->ReadFromJson(*global, NoSkippedKeys());
  if (result != errors::kSuccess) message = parameter->errorMessage;
  return result;
}

int QV_LMFParameter::AfterSection(const SectionSpec& section, bool contentGiven) {
  switch (section.collection) {
    case kLumiflowTemplates: {
      // The default template gives way to the templates of a text, unless the
      // text has its own "Default".
      if (!contentGiven) return errors::kSuccess;
      const QV_LumiflowSetting* flow = lumiflowTemplates.Find(DefaultLumiflowSettingName());
      if (flow != nullptr && flow->isPlaceholder) {
        lumiflowTemplates.Erase(DefaultLumiflowSettingName());
      }
      return errors::kSuccess;
    }
    case kTargetROIDefs:
      return CheckTargetROIDefs();
    case kSemanticProcessing:
      return CheckSemanticTaskNames();
    default:
      return errors::kSuccess;
  }
}

int QV_LMFParameter::ReadPlainSection(const Json::Value& array, const SectionSpec& section) {
  int result = errors::kSuccess;
  VisitCollection(section.collection, [&](auto& collection) {
    result = ReadPlainSection(array, section, collection);
  });
  return result;
}

template <class T>
int QV_LMFParameter::ReadPlainSection(const Json::Value& array, const SectionSpec& section,
                                      SectionCollection<T>& collection) {
  if (!section.duplicateText.empty()) {
    std::set<std::string_view> names;
    for (const Json::Value& element : array) {
      std::string_view name;
      if (StringMember(element, "Name", name) && !names.insert(name).second) {
        message = section.duplicateText;
        return errors::kNameDuplicated;
      }
    }
  }
  for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
    const Json::Value& element = array[i];
    if (!element.isObject()) {
      message = CodeMessage(ElementName(section.Label(), i), errors::kJsonTypeInvalid);
      return errors::kJsonTypeInvalid;
    }
    if (section.collection == kLumiflowTemplates && i == 0) {
      const Json::Value* name = FindMember(element, "Name");
      if (name != nullptr && !name->isNull()) {
        if (!name->isString()) {
          message = CodeMessage(ElementName(section.Label(), 0), errors::kJsonTypeInvalid);
          return errors::kJsonTypeInvalid;
        }
        firstTemplateName = name->asString();
      }
    }
    if (section.collection == kImageSources) {
      const int result = CheckImageSourceType(element, section.Label());
      if (result != errors::kSuccess) return result;
    }
    QVRef<T> object = NewSection<T>();
    const int result = object->ReadFromJson(element, NoSkippedKeys());
    if (result != errors::kSuccess) {
      message = object->errorMessage;
      return result;
    }
    const std::string name = object->name;
    collection.Set(name, std::move(object));
  }
  return errors::kSuccess;
}

int QV_LMFParameter::CheckImageSourceType(const Json::Value& element, std::string_view label) {
  const Json::Value* type = FindMember(element, "Type");
  if (type == nullptr || !type->isString()) {
    message = Prefixed(label, CodeMessage("Type", errors::kJsonTypeInvalid));
    return errors::kJsonTypeInvalid;
  }
  const std::string text = type->asString();
  if (LookupEnumValue(QV_ImageSourceSetting::TypeNames(), text) !=
      QV_ImageSourceSetting::IST_DIRECTORY_FETCHER) {
    message = text + std::string(texts::kImageSourceTypeUnsupported);
    return errors::kJsonValueInvalid;
  }
  return errors::kSuccess;
}

}  // namespace quorvane
