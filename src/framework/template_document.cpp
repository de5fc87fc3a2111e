#include "framework/template_document.h"

#include "imageparams/small_structures.h"

namespace quorvane {

QV_LMFParameter::QV_LMFParameter() = default;

QV_LMFParameter::~QV_LMFParameter() = default;

SectionMap& QV_LMFParameter::GetSectionMap(int kind) {
  if (kind >= 0 && kind < kSectionKindCount) return sections_[static_cast<std::size_t>(kind)];
  // Handed out empty every time, whatever a caller put into it before.
  static SectionMap none;
  none.clear();
  return none;
}

const SectionMap& QV_LMFParameter::GetSectionMap(int kind) const {
  if (kind >= 0 && kind < kSectionKindCount) return sections_[static_cast<std::size_t>(kind)];
  static const SectionMap none;
  return none;
}

void QV_LMFParameter::SetSectionObject(int kind, const std::string& name,
                                       QVRef<QV_ParameterFieldBase> object) {
  if (kind < 0 || kind >= kSectionKindCount) return;
  sections_[static_cast<std::size_t>(kind)][name] = std::move(object);
}

}  // namespace quorvane
