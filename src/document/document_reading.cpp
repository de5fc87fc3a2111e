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
using document_internal::TypeFailure;

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

int QV_LMFParameter::Settle(const Failure& failure) {
  if (failure) message = failure.Detail();
  return failure.code;
}

int QV_LMFParameter::ReadFromString(const char* content) {
  if (content != nullptr) return ReadFromText(content);
  message = GetErrorString(errors::kSuccess);
  return Settle(Guarded([this] {
    Clear();
    return ReadParsed(false);
  }));
}

int QV_LMFParameter::ReadFromText(std::string_view content) { return Read(content).code; }

Failure QV_LMFParameter::Read(std::string_view content) {
  message = GetErrorString(errors::kSuccess);
  Failure failure = Guarded([this, content] {
    Clear();
    Json::Value parsed;
    if (Failure refused = ParseTemplateObject(content, parsed)) return refused;
    templateJson = std::move(parsed);
    return ReadParsed(true);
  });
  Settle(failure);
  return failure;
}

Failure QV_LMFParameter::ReadParsed(bool contentGiven) {
  if (templateJson.isNull()) return {};
  if (ExceedsSectionLimit(templateJson, kMaxSections)) {
    return Failure::Of(errors::kTemplateComplex, std::string(texts::kSectionLimitPrefix) +
                                                     std::to_string(kMaxSections) +
                                                     std::string(texts::kSectionLimitSuffix));
  }
  if (Failure failure = CollectTaskNames()) return failure;
  if (Failure failure = ReadSections(contentGiven)) return failure;
  for (Failure (QV_LMFParameter::*check)() :
       {&QV_LMFParameter::CheckImageSources, &QV_LMFParameter::CheckTargetROINames,
        &QV_LMFParameter::CheckOutputTasks, &QV_LMFParameter::CheckSemanticSettingNames}) {
    if (Failure failure = (this->*check)()) return failure;
  }
  return {};
}

Failure QV_LMFParameter::CollectTaskNames() {
  for (const SectionSpec& section : SectionTable()) {
    if (section.taskKind == kNotATask) continue;
    const Json::Value* array = FindMember(templateJson, section.key);
    if (array == nullptr || array->isNull()) continue;
    ConsumeMember(templateJson, section.key);
    if (!array->isArray()) return TypeFailure(section.key);
    for (const Json::Value& element : *array) {
      std::string_view name;
      if (!StringMember(element, "Name", name)) continue;
      if (!taskNameKinds.emplace(std::string(name), section.taskKind).second) {
        return Failure::Of(errors::kNameDuplicated, Prefixed(section.key, name));
      }
      declaredTaskNames_.emplace(name);
    }
  }
  for (const auto& [name, kind] : kDefaultTaskNames) taskNameKinds.emplace(name, kind);
  return {};
}

Failure QV_LMFParameter::SectionArray(const char* key, const Json::Value*& array) {
  array = FindMember(templateJson, key);
  ConsumeMember(templateJson, key);
  if (array != nullptr && array->isNull()) array = nullptr;
  if (array != nullptr && !array->isArray()) {
    array = nullptr;
    return Failure::Of(errors::kJsonTypeInvalid, key);
  }
  return {};
}

Failure QV_LMFParameter::ReadSections(bool contentGiven) {
  // The sections the document reads, in their order.
  std::vector<const SectionSpec*> steps;
  for (const SectionSpec& section : SectionTable()) {
    if (section.readStep > 0) steps.push_back(&section);
  }
  std::sort(steps.begin(), steps.end(),
            [](const SectionSpec* a, const SectionSpec* b) { return a->readStep < b->readStep; });

  for (const SectionSpec* section : steps) {
    if (section->reading == SectionSpec::Reading::kObject) {
      if (Failure failure = ReadGlobalParameter(*section)) return failure;
      continue;
    }
    const Json::Value* array = nullptr;
    if (Failure failure = SectionArray(section->key, array)) return failure;
    if (array == nullptr) continue;
    Failure failure;
    if (section->reading == SectionSpec::Reading::kWithBase) {
      failure = ReadSectionsWithBase(*array, *section);
    } else {
      VisitCollection(section->collection, [&](auto& collection) {
        failure = ReadPlainSection(*array, *section, collection);
      });
    }
    if (!failure) failure = AfterSection(*section, contentGiven);
    if (failure) return failure;
  }
  return {};
}

Failure QV_LMFParameter::ReadGlobalParameter(const SectionSpec& section) {
  ConsumeMember(templateJson, section.key);
  const Json::Value* global = FindMember(templateJson, section.key);
  if (global == nullptr || global->isNull()) return {};
  if (!global->isObject()) return Failure::Of(errors::kJsonTypeInvalid, section.key);
  auto parameter = NewSection<QV_GlobalParameter>();
  globalParameter = parameter;
  const int result = parameter->ReadFromJson(*global, NoSkippedKeys());
  return result != errors::kSuccess ? Failure::Of(result, parameter->errorMessage) : Failure();
}

Failure QV_LMFParameter::AfterSection(const SectionSpec& section, bool contentGiven) {
  switch (section.collection) {
    case kLumiflowTemplates: {
      // The default template gives way to the templates of a text, unless the
      // text has its own "Default".
      if (!contentGiven) return {};
      const QV_LumiflowSetting* flow = lumiflowTemplates.Find(DefaultLumiflowSettingName());
      if (flow != nullptr && flow->isPlaceholder) {
        lumiflowTemplates.Erase(DefaultLumiflowSettingName());
      }
      return {};
    }
    case kTargetROIDefs:
      return CheckTargetROIDefs();
    case kSemanticProcessing:
      return CheckSemanticTaskNames();
    default:
      return {};
  }
}

template <class T>
Failure QV_LMFParameter::ReadPlainSection(const Json::Value& array, const SectionSpec& section,
                                          SectionCollection<T>& collection) {
  if (!section.duplicateText.empty()) {
    std::set<std::string_view> names;
    for (const Json::Value& element : array) {
      std::string_view name;
      if (StringMember(element, "Name", name) && !names.insert(name).second) {
        return Failure::Of(errors::kNameDuplicated, section.duplicateText);
      }
    }
  }
  for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
    const Json::Value& element = array[i];
    if (!element.isObject()) return TypeFailure(ElementName(section.Label(), i));
    if (section.collection == kLumiflowTemplates && i == 0) {
      const Json::Value* name = FindMember(element, "Name");
      if (name != nullptr && !name->isNull()) {
        if (!name->isString()) return TypeFailure(ElementName(section.Label(), 0));
        firstTemplateName = name->asString();
      }
    }
    if (section.collection == kImageSources) {
      if (Failure failure = CheckImageSourceType(element, section.Label())) return failure;
    }
    QVRef<T> object = NewSection<T>();
    if (const int result = object->ReadFromJson(element, NoSkippedKeys())) {
      return Failure::Of(result, object->errorMessage);
    }
    const std::string name = object->name;
    collection.Set(name, std::move(object));
  }
  return {};
}

Failure QV_LMFParameter::CheckImageSourceType(const Json::Value& element,
                                              std::string_view label) {
  const Json::Value* type = FindMember(element, "Type");
  if (type == nullptr || !type->isString()) return TypeFailure("Type").Within(label);
  const std::string text = type->asString();
  if (LookupEnumValue(QV_ImageSourceSetting::TypeNames(), text) !=
      QV_ImageSourceSetting::IST_DIRECTORY_FETCHER) {
    return Failure::Of(errors::kJsonValueInvalid,
                       text + std::string(texts::kImageSourceTypeUnsupported));
  }
  return {};
}

}  // namespace quorvane
