#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/document_internal.h"
#include "document/template_document.h"
#include "framework/json_text_limits.h"

namespace quorvane {

namespace {

using document_internal::BaseNameInvalid;
using document_internal::CodeFailure;
using document_internal::StringMember;
using document_internal::TypeFailure;

// What the entries read with a base may copy from their bases together, in
// the units of SizeOfJson. An entry that many others start from is copied
// once for each of them, so a text of a few megabytes could otherwise ask
// for terabytes; as many units as a text may hold values is far beyond any
// real template.
constexpr std::size_t kInheritanceWorkLimit = kMaxJsonValues;

// About what reading `value` puts into an object: one unit per JSON value,
// and one more per 64 bytes of a string. Counted without recursion.
std::size_t SizeOfJson(const Json::Value& value) {
  std::size_t size = 0;
  std::vector<const Json::Value*> pending = {&value};
  while (!pending.empty()) {
    const Json::Value* current = pending.back();
    pending.pop_back();
    ++size;
    const char* begin = nullptr;
    const char* end = nullptr;
    if (current->isString() && current->getString(&begin, &end)) {
      size += static_cast<std::size_t>(end - begin) / 64;
    } else if (current->isArray() || current->isObject()) {
      for (const Json::Value& child : *current) pending.push_back(&child);
    }
  }
  return size;
}

// What messages call a key of one element of a section array: the element
// (ElementName or EntryName), then the key after `separator`.
std::string KeyOfElement(std::string element, std::string_view separator, std::string_view key) {
  return element.append(separator).append(key);
}

}  // namespace

// The entries read with a base so far: about how much each holds, and what
// copying bases has cost. An entry holds, per key, what its own element put
// there, or what its base held when its element leaves the key out (or
// null); an object is read into what the base held, so the two add up.
struct QV_LMFParameter::InheritanceWork {
  struct EntrySize {
    std::map<std::string, std::size_t, std::less<>> perKey;
    std::size_t total = 1;
  };
  // Entries not read here (the defaults of Clear) are small and fixed.
  std::map<std::string_view, EntrySize> entries;
  // The names some element gives as its base: only their sizes are needed.
  std::set<std::string_view> bases;
  std::size_t copied = 0;
};

bool QV_LMFParameter::ValidateBaseNames(const Json::Value& array, std::string_view baseKey) {
  if (!array.isArray()) return true;
  std::map<std::string_view, std::string_view> bases;
  for (const Json::Value& element : array) {
    std::string_view name;
    std::string_view base;
    if (StringMember(element, "Name", name) && !name.empty() &&
        StringMember(element, baseKey, base) && !base.empty()) {
      bases[name] = base;
    }
  }
  // Each name has at most one base, so the names form chains; every chain is
  // walked once, and a walk stops at a name an earlier walk has cleared.
  enum State { kOnChain, kCleared };
  std::map<std::string_view, State> states;
  std::vector<std::string_view> chain;
  for (const auto& start : bases) {
    chain.clear();
    std::string_view current = start.first;
    for (;;) {
      auto state = states.find(current);
      if (state != states.end()) {
        if (state->second == kOnChain) return false;
        break;
      }
      auto next = bases.find(current);
      if (next == bases.end()) break;
      states.emplace(current, kOnChain);
      chain.push_back(current);
      current = next->second;
    }
    for (std::string_view name : chain) states[name] = kCleared;
  }
  return true;
}

Failure QV_LMFParameter::ReadSectionsWithBase(const Json::Value& array,
                                              const SectionSpec& section) {
  Failure failure;
  VisitCollection(section.collection, [&](auto& collection) {
    failure = ReadSectionsWithBase(array, section, collection);
  });
  return failure;
}

template <class T>
Failure QV_LMFParameter::ReadSectionsWithBase(const Json::Value& array, const SectionSpec& section,
                                              SectionCollection<T>& collection) {
  const std::string_view key = section.key;
  if (!ValidateBaseNames(array, section.baseKey)) return BaseNameInvalid(key);
  NameIndex index;
  for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
    const Json::Value& element = array[i];
    if (!element.isObject()) return TypeFailure(ElementName(key, i));
    const Json::Value* nameValue = FindMember(element, "Name");
    int failure = errors::kSuccess;
    std::string_view name;
    if (nameValue == nullptr || nameValue->isNull()) {
      failure = errors::kNameMissing;
    } else if (!StringMember(element, "Name", name)) {
      failure = errors::kJsonTypeInvalid;
    } else if (name.empty()) {
      failure = errors::kJsonValueInvalid;
    } else if (!index.emplace(name, &element).second) {
      failure = errors::kNameDuplicated;
    }
    if (failure != errors::kSuccess) {
      return CodeFailure(KeyOfElement(ElementName(key, i), " ", "Name"), failure);
    }
  }
  InheritanceWork work;
  for (const auto& entry : index) {
    std::string_view baseName;
    if (StringMember(*entry.second, section.baseKey, baseName)) work.bases.insert(baseName);
  }
  for (const auto& entry : index) {
    if (Failure failure = ReadWithBase(entry.first, index, section, collection, work)) {
      return failure;
    }
  }
  return {};
}

// Reads one element after its base. A base missing from the collection is
// read first, and so on down the chain; the chain is kept on an explicit
// stack, and an element is looked at again when its base has been read, so
// the order is that of reading each base on demand, without a call per link.
template <class T>
Failure QV_LMFParameter::ReadWithBase(std::string_view name, const NameIndex& index,
                                      const SectionSpec& section,
                                      SectionCollection<T>& collection, InheritanceWork& work) {
  static const InheritanceWork::EntrySize kFixedSize;
  std::vector<std::string_view> pending{name};
  std::set<std::string_view> onStack{name};
  while (!pending.empty()) {
    const std::string_view current = pending.back();
    auto found = index.find(current);
    if (found == index.end()) {
      return CodeFailure(current, errors::kJsonValueInvalid);
    }
    const Json::Value& element = *found->second;
    const T* base = nullptr;
    const InheritanceWork::EntrySize* baseSize = &kFixedSize;
    const Json::Value* baseValue = FindMember(element, section.baseKey);
    if (baseValue != nullptr && !baseValue->isNull()) {
      std::string_view baseName;
      if (!StringMember(element, section.baseKey, baseName)) {
        return TypeFailure(KeyOfElement(EntryName(section.key, current), ".", section.baseKey));
      }
      if (!baseName.empty()) {
        base = collection.Find(baseName);
        if (base == nullptr) {
          // ValidateBaseNames has refused loops; this only keeps a loop
          // from running forever should one get through.
          if (!onStack.insert(baseName).second) return BaseNameInvalid(section.key);
          pending.push_back(baseName);
          continue;
        }
        if (auto size = work.entries.find(baseName); size != work.entries.end()) {
          baseSize = &size->second;
        }
        work.copied += baseSize->total;
        if (work.copied > kInheritanceWorkLimit) {
          return CodeFailure(EntryName(section.key, current), errors::kTemplateComplex);
        }
      }
    }
    QVRef<T> object = NewSection<T>(base);
    if (const int result = object->ReadFromJson(element, NoSkippedKeys())) {
      return Failure::Of(result, object->errorMessage);
    }
    collection.Set(std::string(current), std::move(object));

    if (work.bases.contains(current)) {
      InheritanceWork::EntrySize size = *baseSize;
      for (auto member = element.begin(); member != element.end(); ++member) {
        if (member->isNull()) continue;
        std::size_t& held = size.perKey[member.name()];
        held = (member->isObject() ? held : 0) + SizeOfJson(*member);
      }
      size.total = 1;
      for (const auto& key : size.perKey) size.total += key.second;
      work.entries[current] = std::move(size);
    }

    onStack.erase(current);
    pending.pop_back();
  }
  return {};
}

}  // namespace quorvane
