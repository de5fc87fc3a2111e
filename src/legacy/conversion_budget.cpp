#include "legacy/conversion_budget.h"

#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/field_mapping.h"
#include "legacy/legacy_barcode.h"
#include "legacy/legacy_image_parameter.h"

namespace quorvane {

namespace {

// What one element of a mode list of a legacy section writes, by the list's
// key: the element of its family with every argument, as the family's
// mapping says (a bare name makes a whole element). The elements of any
// other list cost kElementUnits.
const std::map<std::string_view, std::size_t, std::less<>>& ModeElementUnits() {
  static const std::map<std::string_view, std::size_t, std::less<>> units = [] {
    std::map<std::string_view, std::size_t, std::less<>> byKey;
    for (const ClassMapping* section :
         {&OldImageParameterReader::Mapping(), &OldBarcodeReaderTaskSetting::Mapping(),
          &OldFormatSpecification::Mapping()}) {
      for (const FieldPointer& field : section->Fields()) {
        const ClassMapping* element = field->ElementMapping();
        const bool modeList = element == nullptr || !element->Modes().empty();
        if (field->ElementUnits() > 0 && modeList) byKey[field->Key()] = field->ElementUnits();
      }
    }
    return byKey;
  }();
  return units;
}

std::size_t ElementUnits(std::string_view listKey) {
  const auto& units = ModeElementUnits();
  const auto found = units.find(listKey);
  return found == units.end() ? ConversionBudget::kElementUnits : found->second;
}

}  // namespace

std::size_t ConversionBudget::UnitsOf(const Json::Value& value) {
  std::size_t units = 0;
  // Each value with what an element costs if it is a list.
  std::vector<std::pair<const Json::Value*, std::size_t>> pending = {{&value, kElementUnits}};
  while (!pending.empty()) {
    const auto [current, elementUnits] = pending.back();
    pending.pop_back();
    ++units;  // the value itself
    if (current->isArray()) {
      // Each element counts one unit of its own when it is visited.
      units += current->size() * (elementUnits - 1);
      for (const Json::Value& child : *current) pending.emplace_back(&child, kElementUnits);
    } else if (current->isObject()) {
      for (auto member = current->begin(); member != current->end(); ++member) {
        std::size_t memberElementUnits = kElementUnits;
        if (member->isArray()) {
          const char* end = nullptr;
          const char* begin = member.memberName(&end);
          memberElementUnits = ElementUnits(std::string_view(begin, end - begin));
        }
        pending.emplace_back(&*member, memberElementUnits);
      }
    }
  }
  return units;
}

}  // namespace quorvane
