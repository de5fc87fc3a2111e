#include "framework/field_mapping.h"

#include <algorithm>

namespace quorvane {

void FieldSpec::AppendSignature(const QV_ParameterFieldBase& /*object*/,
                                std::string& /*signature*/) const {}

ClassMapping::ClassMapping(std::string typeName, std::vector<FieldPointer> fields,
                           bool ignoresUnknownKeys, EnumTable modes, int elementMode)
    : typeName_(std::move(typeName)),
      fields_(std::move(fields)),
      ignoresUnknownKeys_(ignoresUnknownKeys),
      modes_(modes),
      elementMode_(elementMode) {
  byKey_.reserve(fields_.size());
  for (const FieldPointer& field : fields_) {
    byKey_.push_back(field.get());
    hasReadFirst_ = hasReadFirst_ || field->Has(kReadFirst);
    hasReadLast_ = hasReadLast_ || field->Has(kReadLast);
    if (!field->Has(kNeverWritten)) writtenUnits_ += field->WrittenUnits();
  }
  std::sort(byKey_.begin(), byKey_.end(), [](const FieldSpec* a, const FieldSpec* b) {
    return std::string_view(a->Key()) < std::string_view(b->Key());
  });
}

const FieldSpec* ClassMapping::Find(std::string_view key) const {
  auto at = std::lower_bound(byKey_.begin(), byKey_.end(), key,
                             [](const FieldSpec* field, std::string_view k) {
                               return std::string_view(field->Key()) < k;
                             });
  return (at != byKey_.end() && (*at)->Key() == key) ? *at : nullptr;
}

void ApplyDefaults(const ClassMapping& mapping, QV_ParameterFieldBase& object) {
  for (const FieldPointer& field : mapping.Fields()) field->Reset(object);
}

}  // namespace quorvane
