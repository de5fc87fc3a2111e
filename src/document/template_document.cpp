#include "document/template_document.h"

#include <type_traits>
#include <utility>

#include "captureflow/default_names.h"

namespace quorvane {

QV_LMFParameter::QV_LMFParameter() {
  for (const std::string& text : PresetTexts()) AppendFromText(text);
  ReadFromString(nullptr);
}

QV_LMFParameter::~QV_LMFParameter() = default;

const SectionMap QV_LMFParameter::GetSectionMap(int kind) const {
  SectionMap sections;
  VisitCollection(kind, [&sections](const auto& collection) { sections = collection.Untyped(); });
  return sections;
}

QV_ParameterFieldBase* QV_LMFParameter::FindSectionObject(int kind, std::string_view name) const {
  QV_ParameterFieldBase* section = nullptr;
  VisitCollection(kind, [&](const auto& collection) { section = collection.Find(name); });
  return section;
}

void QV_LMFParameter::SetSectionObject(int kind, const std::string& name,
                                       QVRef<QV_ParameterFieldBase> object) {
  VisitCollection(kind, [&](auto& collection) {
    using Section = typename std::remove_cvref_t<decltype(collection)>::Section;
    // The one way in for a section of any class, so the one place its class
    // is looked at.
    if (auto* section = dynamic_cast<Section*>(object.Get())) {
      collection.Set(name, QVRef<Section>(section));
    }
  });
}

void QV_LMFParameter::AddTask(int kind, TaskKind taskKind, QVRef<QV_ParameterFieldBase> task) {
  if (!task) return;
  taskNameKinds[task->name] = taskKind;
  const std::string name = task->name;
  SetSectionObject(kind, name, std::move(task));
}

void QV_LMFParameter::Clear() {
  for (int kind = 0; kind < kSectionKindCount; ++kind) {
    VisitCollection(kind, [](auto& collection) { collection.Clear(); });
  }
  referencedCodeSpecifications_.clear();
  unnamedFormatSpecifications.clear();
  taskNameKinds.clear();
  declaredTaskNames_.clear();
  referenceWork_ = 0;

  firstTemplateName = DefaultLumiflowSettingName();
  globalParameter = NewSection<QV_GlobalParameter>();
  for (const SectionSpec& section : SectionTable()) {
    if (!section.hasDefaultEntry) continue;
    VisitCollection(section.collection, [](auto& collection) {
      auto entry = NewSection<typename std::remove_cvref_t<decltype(collection)>::Section>();
      const std::string name = entry->name;
      collection.Set(name, std::move(entry));
    });
  }
}

}  // namespace quorvane
