#include "document/every_reference.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/document_internal.h"
#include "document/section_table.h"
#include "framework/error_codes.h"
#include "framework/field_mapping.h"
#include "framework/messages.h"

namespace quorvane {

namespace {

using document_internal::BaseNameInvalid;
using document_internal::kDefaultTaskNames;
using document_internal::StringMember;
using document_internal::UndefinedName;

// What messages call the sections a key names.
std::string_view KindName(int kind) {
  switch (kind) {
    case kImageSources:
      return texts::kImageSourceKind;
    case kSemanticProcessing:
      return texts::kSemanticSettingKind;
    case kImageParameters:
      return texts::kImageParameterKind;
    case kTargetROIDefs:
      return texts::kRoiKind;  // as the document's own messages call them
    case kBarcodeFormatSpecifications:
      return texts::kFormatSpecificationKind;
    case kAnyTask:
      return texts::kTaskKind;
    default:
      return texts::kSectionKind;
  }
}

// The names of a section array that the document provides without the text:
// the default entry a cleared document holds, or its kind of task's default
// name.
std::vector<std::string> ProvidedNames(const SectionSpec& section) {
  std::vector<std::string> names;
  if (section.hasDefaultEntry && section.collection != kNoCollection) {
    names.push_back(section.create()->name);
  }
  for (const auto& [name, kind] : kDefaultTaskNames) {
    if (kind == section.taskKind) names.emplace_back(name);
  }
  return names;
}

bool Holds(const std::vector<std::string>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// What the walk keeps of one element of a section array: its name, its
// base, and the failure of the first name it gives that nothing answers to.
// The element itself is not kept: a template may hold tens of thousands of
// tasks, each far larger than this.
struct ElementNames {
  std::string name;
  std::string base;
  std::optional<std::string> unanswered;
};

// The chains of bases of one section array, followed as a reading engine
// follows them: a name stands for the last element of that name, and a
// provided name ends a chain. Each name is walked once over all the chains,
// since a walk stops at a name an earlier walk has found to end well.
class BaseChains {
 public:
  BaseChains(const std::vector<ElementNames>& elements, std::vector<std::string> provided)
      : provided_(std::move(provided)) {
    for (const ElementNames& element : elements) {
      if (!element.name.empty()) bases_[element.name] = element.base;
    }
  }

  // Whether the chain from `element` ends at a section without a base,
  // rather than coming back to a name on it or reaching a name that no
  // section has.
  bool Ends(const ElementNames& element) {
    if (element.base.empty()) return true;
    // An element that a later one of its name hides starts at its own base.
    auto own = bases_.find(element.name);
    std::string_view current = own != bases_.end() && own->second == element.base
                                   ? std::string_view(element.name)
                                   : std::string_view(element.base);
    chain_.clear();
    for (;;) {
      auto state = states_.find(current);
      if (state != states_.end()) {
        if (state->second == State::kOnChain) return false;
        break;
      }
      auto entry = bases_.find(current);
      if (entry == bases_.end()) {
        if (!Holds(provided_, current)) return false;
        break;
      }
      states_.emplace(current, State::kOnChain);
      chain_.push_back(current);
      if (entry->second.empty()) break;
      current = entry->second;
    }
    for (std::string_view name : chain_) states_[name] = State::kEnds;
    return true;
  }

 private:
  enum class State { kOnChain, kEnds };
  std::map<std::string_view, std::string_view> bases_;
  std::map<std::string_view, State> states_;
  std::vector<std::string_view> chain_;
  std::vector<std::string> provided_;
};

class ReferenceWalk {
 public:
  explicit ReferenceWalk(const QV_LMFParameter& document) : document_(document) {
    for (const SectionSpec& section : SectionTable()) {
      if (section.collection == kNoCollection) continue;
      for (std::string& name : ProvidedNames(section)) {
        provided_[section.collection].push_back(std::move(name));
      }
      // The document records no section read apart; their names are
      // their "Name" texts, as the names of tasks are.
      if (section.reading != SectionSpec::Reading::kApart) continue;
      const Json::Value* array = FindMember(document.templateJson, section.key);
      if (array == nullptr || !array->isArray()) continue;
      std::set<std::string_view>& names = apartNames_[section.collection];
      for (const Json::Value& element : *array) {
        std::string_view name;
        if (StringMember(element, "Name", name) && !name.empty()) names.insert(name);
      }
    }
  }

  Failure Run() {
    for (const SectionSpec& section : SectionTable()) {
      if (section.create == nullptr) continue;
      const std::vector<ElementNames> elements = NamesOfElements(section);
      std::optional<BaseChains> chains;
      if (section.baseKey != nullptr) chains.emplace(elements, ProvidedNames(section));
      for (const ElementNames& element : elements) {
        if (chains && !chains->Ends(element)) return BaseNameInvalid(section.key);
        if (element.unanswered) {
          return Failure::Of(errors::kNameReferenceInvalid, *element.unanswered);
        }
      }
    }
    return {};
  }

 private:
  // The elements of the section's array, in array order, each as it reads:
  // the document's own entry for the sections read with a base (whose names
  // are unique); the others are read again, as the document or its caller
  // read them, since the document keeps one object per name, or none.
  std::vector<ElementNames> NamesOfElements(const SectionSpec& section) const {
    std::vector<ElementNames> names;
    if (section.reading == SectionSpec::Reading::kObject) {
      names.push_back(NamesOf(*document_.globalParameter, 0, section));
      return names;
    }
    const Json::Value* array = FindMember(document_.templateJson, section.key);
    if (array == nullptr || !array->isArray()) return names;
    for (Json::ArrayIndex i = 0; i < array->size(); ++i) {
      const Json::Value& element = (*array)[i];
      if (section.reading == SectionSpec::Reading::kWithBase) {
        std::string_view name;
        const QV_ParameterFieldBase* entry =
            StringMember(element, "Name", name)
                ? document_.FindSectionObject(section.collection, name)
                : nullptr;
        if (entry != nullptr) names.push_back(NamesOf(*entry, i, section));
        continue;
      }
      // Every element read once already, by the document or its caller.
      const QVRef<QV_ParameterFieldBase> object = section.create();
      if (object->ReadFromJson(element, NoSkippedKeys()) == errors::kSuccess) {
        names.push_back(NamesOf(*object, i, section));
      }
    }
    return names;
  }

  ElementNames NamesOf(const QV_ParameterFieldBase& element, std::size_t position,
                       const SectionSpec& section) const {
    ElementNames names{element.name, element.GetBaseName(), std::nullopt};
    // A section without a name is told by its place.
    const std::string referrer = element.name.empty()
                                     ? ElementName(section.Label(), position)
                                     : Prefixed(element.GetTypeName(), element.name);
    VisitSectionReferences(element, [&](const SectionReference& reference,
                                        std::string_view name, const std::string& where) {
      if (name.empty() && reference.empty == EmptyName::kNone) return false;
      if (Answers(reference.kind, name)) return false;
      names.unanswered = UndefinedName(KindName(reference.kind), name,
                                       where.empty() ? referrer : Prefixed(referrer, where));
      return true;
    });
    return names;
  }

  bool Answers(int kind, std::string_view name) const {
    if (kind == kAnyTask) return document_.taskNameKinds.find(name) != document_.taskNameKinds.end();
    if (document_.FindSectionObject(kind, name) != nullptr) return true;
    auto apart = apartNames_.find(kind);
    if (apart != apartNames_.end() && apart->second.count(name) != 0) return true;
    auto provided = provided_.find(kind);
    return provided != provided_.end() && Holds(provided->second, name);
  }

  const QV_LMFParameter& document_;
  std::map<int, std::vector<std::string>> provided_;
  std::map<int, std::set<std::string_view>> apartNames_;
};

}  // namespace

Failure CheckEveryReference(const QV_LMFParameter& document) {
  return ReferenceWalk(document).Run();
}

}  // namespace quorvane
