#include "document/template_document.h"

#include <utility>

#include "captureflow/default_names.h"

namespace quorvane {

QV_LMFParameter::QV_LMFParameter() {
  for (const std::string& text : PresetTexts()) AppendFromText(text);
  ReadFromString(nullptr);
}

QV_LMFParameter::~QV_LMFParameter() = default;

SectionMap& QV_LMFParameter::GetSectionMap(int kind) {
  if (kind >= 0 && kind < kSectionKindCount) return sections_[static_cast<std::size_t>(kind)];
  // Handed out empty every time, whatever a caller put into it before; one
  // per thread, as documents are read on several.
  thread_local SectionMap none;
  none.clear();
  return none;
}

const SectionMap& QV_LMFParameter::GetSectionMap(int kind) const {
  if (kind >= 0 && kind < kSectionKindCount) return sections_[static_cast<std::size_t>(kind)];
  static const SectionMap none;
  return none;
}

QV_ParameterFieldBase* QV_LMFParameter::FindSectionObject(int kind, std::string_view name) const {
  const SectionMap& map = GetSectionMap(kind);
  auto found = map.find(name);
  return found == map.end() ? nullptr : found->second.Get();
}

void QV_LMFParameter::SetSectionObject(int kind, const std::string& name,
                                       QVRef<QV_ParameterFieldBase> object) {
  if (kind < 0 || kind >= kSectionKindCount) return;
  sections_[static_cast<std::size_t>(kind)][name] = std::move(object);
}

void QV_LMFParameter::AddTask(int kind, TaskKind taskKind, QVRef<QV_ParameterFieldBase> task) {
  if (!task) return;
  taskNameKinds[task->name] = taskKind;
  const std::string name = task->name;
  SetSectionObject(kind, name, std::move(task));
}

void QV_LMFParameter::Clear() {
  for (SectionMap& section : sections_) section.clear();
  referencedCodeSpecifications_.clear();
  unnamedFormatSpecifications.clear();
  taskNameKinds.clear();
  declaredTaskNames_.clear();
  referenceWork_ = 0;

  firstTemplateName = DefaultLumiflowSettingName();
  for (const SectionSpec& section : SectionTable()) {
    if (!section.hasDefaultEntry) continue;
    QVRef<QV_ParameterFieldBase> entry = section.create(nullptr);
    if (section.collection == kNoCollection) {
      globalParameter = QVRef<QV_GlobalParameter>(static_cast<QV_GlobalParameter*>(entry.Get()));
    } else {
      const std::string name = entry->name;
      SetSectionObject(section.collection, name, std::move(entry));
    }
  }
}

}  // namespace quorvane
