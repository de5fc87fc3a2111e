#pragma once

// The sections of one class that a template document holds, by name in byte
// order: the order every walk over them (inheritance, checks, output)
// follows. Holding them as their own class lets the document's checks reach
// their members without casting.

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "framework/document_base.h"
#include "framework/object_base.h"

namespace quorvane {

template <class T>
class SectionCollection {
 public:
  using Section = T;
  using Map = std::map<std::string, QVRef<T>, std::less<>>;

  // The section of `name`; null when there is none.
  T* Find(std::string_view name) const {
    auto found = sections_.find(name);
    return found == sections_.end() ? nullptr : found->second.Get();
  }
  bool Contains(std::string_view name) const { return sections_.find(name) != sections_.end(); }

  // Registers `section` under `name`, replacing an earlier one of that name.
  void Set(const std::string& name, QVRef<T> section) { sections_[name] = std::move(section); }
  void Erase(std::string_view name) {
    if (auto found = sections_.find(name); found != sections_.end()) sections_.erase(found);
  }
  void Clear() { sections_.clear(); }

  std::size_t Size() const { return sections_.size(); }
  bool Empty() const { return sections_.empty(); }
  typename Map::const_iterator begin() const { return sections_.begin(); }
  typename Map::const_iterator end() const { return sections_.end(); }

  // The same entries as sections of any class.
  SectionMap Untyped() const {
    SectionMap untyped;
    for (const auto& [name, section] : sections_) {
      untyped.emplace_hint(untyped.end(), name, section);
    }
    return untyped;
  }

 private:
  Map sections_;
};

}  // namespace quorvane
