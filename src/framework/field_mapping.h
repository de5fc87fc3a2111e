#pragma once

// One description per class. A class states its keys once, in a mapping:
// each key with its member, its kind (integer with a range, enumeration,
// text, list, nested object, ...), its default and its flags. Reading,
// writing, default values, signatures and what a written object may hold are
// all walks over that mapping, so they cannot drift apart. A class builds its
// mapping once, in a function-local static, with Mapper:
//
//   const ClassMapping& QV_GlobalParameter::Mapping() {
//     using S = QV_GlobalParameter;
//     static const ClassMapping mapping = Mapper<S>("GlobalParameter")
//         .Int("MaxTotalImageDimension", &S::maxTotalImageDimension, 0, 0, INT_MAX)
//         .Build();
//     return mapping;
//   }
//
// What a class does beyond its mapping (a check across keys, a key whose
// bounds follow another) stays a short function next to it.

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/field_kinds.h"
#include "framework/field_spec.h"
#include "framework/object_kinds.h"

namespace quorvane {

// ---------------------------------------------------------------------------
// Building a mapping.

template <class S>
class Mapper {
 public:
  explicit Mapper(std::string typeName) : typeName_(std::move(typeName)) {}

  // The keys of a base class, in their order; a later key of the same name
  // replaces one of them in its place.
  Mapper& Include(const ClassMapping& base) {
    for (const FieldPointer& field : base.Fields()) {
      fields_.push_back(field);
      if (const char* description = base.Description(field->Key())) {
        descriptions_.emplace_back(field->Key(), description);
      }
      if (const SectionReference* reference = base.Reference(field->Key())) {
        references_.emplace_back(field->Key(), *reference);
      }
    }
    olderNames_.assign(base.OlderNames().begin(), base.OlderNames().end());
    modes_ = base.Modes();
    elementMode_ = base.ElementMode();
    ignoresUnknownKeys_ = base.IgnoresUnknownKeys();
    return *this;
  }

  // `olderKey`, an older name of the key `key` added before: read as that
  // key is (never written, unless `flags` says otherwise). An object that
  // gives both holds the one read last, the later in key order.
  Mapper& OlderName(const char* olderKey, const char* key, unsigned flags = kNeverWritten) {
    for (const FieldPointer& field : fields_) {
      if (std::string_view(field->Key()) != key) continue;
      olderNames_.emplace_back(olderKey, key);
      return RegisterField(field->WithKey(olderKey, flags));
    }
    throw std::logic_error(std::string("no key ") + key + " to give an older name");
  }

  // "Name", "LibraryFileName" and "LibraryParameters", which every object
  // accepts. The library keys are never written; "Name" is written unless
  // `nameFlags` says otherwise, and starts as `defaultName`.
  Mapper& RegisterCommonFields(const char* defaultName = "", unsigned nameFlags = kNoFlags) {
    Text("Name", &S::name, defaultName, nameFlags);
    Text("LibraryFileName", &S::libraryFileName, "", kNeverWritten);
    Text("LibraryParameters", &S::libraryParameters, "", kNeverWritten);
    return *this;
  }

  // A mode family: the common keys (never written) and "Mode", a name of
  // `modes` starting as `elementMode`, the mode of a list element.
  Mapper& Modes(EnumTable modes, int elementMode, unsigned modeFlags = kNoFlags) {
    modes_ = modes;
    elementMode_ = elementMode;
    RegisterCommonFields("", kNeverWritten);
    return Enum("Mode", &S::mode, elementMode, modes, modeFlags);
  }

  // Reads from an object that also holds other keys, passing them over.
  Mapper& IgnoringUnknownKeys() {
    ignoresUnknownKeys_ = true;
    return *this;
  }

  Mapper& Int(const char* key, int S::*member, int defaultValue, int minimum, int maximum,
              unsigned flags = kNoFlags, Quirks quirks = {}) {
    return RegisterField(std::make_shared<field_kinds::IntField<S>>(
        key, member, defaultValue, minimum, maximum, flags, quirks));
  }
  // An integer bounded by two members of the object itself.
  Mapper& Int(const char* key, int S::*member, int S::*minimum, int S::*maximum,
              unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::IntField<S>>(key, member, 0, 0, 0, flags,
                                                                    Quirks{}, minimum, maximum));
  }
  template <class M, class C>
  Mapper& Enum(const char* key, M C::*member, int defaultValue, EnumTable names,
               unsigned flags = kNoFlags, Quirks quirks = {}) {
    return RegisterField(std::make_shared<field_kinds::EnumField<S, M>>(
        key, static_cast<M S::*>(member), defaultValue, names, flags, quirks));
  }
  Mapper& Text(const char* key, std::string S::*member, const char* defaultValue = "",
               unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::TextField<S>>(key, member, defaultValue, flags));
  }
  template <class C>
  Mapper& TextList(const char* key, std::vector<std::string> C::*member, unsigned flags = kNoFlags,
                   std::vector<std::string> defaults = {},
                   typename field_kinds::TextListField<S>::Getter written = nullptr) {
    return RegisterField(std::make_shared<field_kinds::TextListField<S>>(
        key, static_cast<std::vector<std::string> S::*>(member), std::move(defaults), flags,
        written));
  }
  // A list of integers of a fixed length, bounded per position.
  Mapper& IntList(const char* key, std::vector<int> S::*member, std::vector<int> defaults,
                  std::vector<int> minimums, std::vector<int> maximums,
                  unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::IntListField<S>>(
        key, member, std::move(defaults), std::make_pair(std::move(minimums), std::move(maximums)),
        flags));
  }
  // A list of integers of any length and value.
  Mapper& IntList(const char* key, std::vector<int> S::*member, unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::IntListField<S>>(key, member, std::vector<int>{},
                                                              std::nullopt, flags));
  }
  Mapper& NameList(const char* key, std::vector<int> S::*member, std::vector<int> defaults,
                   EnumTable names, unsigned flags = kNoFlags, Quirks quirks = {}) {
    return RegisterField(std::make_shared<field_kinds::NameListField<S>>(
        key, member, std::move(defaults), names, flags, quirks));
  }
  // A nested object; `prototype`, when given, is its default.
  template <class T, class C>
  Mapper& Object(const char* key, T C::*member, unsigned flags = kNoFlags,
                 std::type_identity_t<std::optional<T>> prototype = std::nullopt,
                 Quirks quirks = {}) {
    return RegisterField(std::make_shared<field_kinds::ObjectField<S, T>>(
        key, static_cast<T S::*>(member), std::move(prototype), flags, quirks));
  }
  template <class T, class C>
  Mapper& OptionalObject(const char* key, std::optional<T> C::*member, unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::OptionalObjectField<S, T>>(
        key, static_cast<std::optional<T> S::*>(member), flags));
  }
  template <class T, class C>
  Mapper& ObjectList(const char* key, std::vector<T> C::*member, unsigned flags = kNoFlags,
                     std::vector<T> defaults = {}) {
    return RegisterField(std::make_shared<field_kinds::ObjectListField<S, T>>(
        key, static_cast<std::vector<T> S::*>(member), std::move(defaults), flags));
  }
  // An embedded structure reading the owner's whole object first, for `key`;
  // `prototype`, when given, is its default.
  template <class T, class C>
  Mapper& Inline(const char* key, T C::*member, unsigned flags = kNoFlags,
                 std::type_identity_t<std::optional<T>> prototype = std::nullopt) {
    return RegisterField(std::make_shared<field_kinds::ObjectField<S, T>>(
        key, static_cast<T S::*>(member), std::move(prototype), flags, Quirks{}, true));
  }

  // A one-line description of the key added last, for the schema.
  Mapper& Note(const char* description) {
    descriptions_.emplace_back(fields_.back()->Key(), description);
    return *this;
  }
  // The texts of the key added last name sections of `kind` (a collection
  // kind, or kAnyTask) of the same template.
  Mapper& RefersTo(int kind, EmptyName empty = EmptyName::kMissing) {
    references_.emplace_back(fields_.back()->Key(), SectionReference{kind, empty});
    return *this;
  }

  // Several keys of one kind at once, each list giving one item per key; a
  // list of another length than `keys` registers nothing and leaves
  // -10032 in Result(). Integers start as -1, "not set"; so do lists and
  // texts, empty.
  Mapper& RegisterIntFields(std::span<const std::string> keys,
                            std::initializer_list<int S::*> members,
                            std::span<const int> minimums, std::span<const int> maximums) {
    if (!SameLength(keys, members.size(), minimums.size(), maximums.size())) return *this;
    auto member = members.begin();
    for (std::size_t i = 0; i < keys.size(); ++i) {
      Int(keys[i].c_str(), *member++, -1, minimums[i], maximums[i]);
    }
    return *this;
  }
  // Each key's minimum and maximum lists must be of one length; the keys
  // before the first that is not stay registered, and Result() is -10033.
  Mapper& RegisterIntArrayFields(std::span<const std::string> keys,
                                 std::initializer_list<std::vector<int> S::*> members,
                                 std::span<const std::vector<int>> minimums,
                                 std::span<const std::vector<int>> maximums) {
    if (!SameLength(keys, members.size(), minimums.size(), maximums.size())) return *this;
    auto member = members.begin();
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (minimums[i].size() != maximums[i].size()) {
        result_ = errors::kJsonValueInvalid;
        return *this;
      }
      IntList(keys[i].c_str(), *member++, {}, minimums[i], maximums[i]);
    }
    return *this;
  }
  Mapper& RegisterStringFields(std::span<const std::string> keys,
                               std::initializer_list<std::string S::*> members) {
    if (!SameLength(keys, members.size(), members.size(), members.size())) return *this;
    auto member = members.begin();
    for (const std::string& key : keys) Text(key.c_str(), *member++);
    return *this;
  }
  Mapper& RegisterStringArrayFields(std::span<const std::string> keys,
                                    std::initializer_list<std::vector<std::string> S::*> members,
                                    std::initializer_list<bool> allowEmpty) {
    if (!SameLength(keys, members.size(), allowEmpty.size(), members.size())) return *this;
    auto member = members.begin();
    auto allow = allowEmpty.begin();
    for (const std::string& key : keys) {
      TextList(key.c_str(), *member++, *allow++ ? kEmptyAllowed : kNoFlags);
    }
    return *this;
  }
  // Texts handed to a setter of the object rather than kept in a member:
  // read only.
  Mapper& RegisterStringSetterFields(
      std::span<const std::string> keys,
      std::initializer_list<typename field_kinds::TextField<S>::Setter> setters) {
    if (!SameLength(keys, setters.size(), setters.size(), setters.size())) return *this;
    auto setter = setters.begin();
    for (const std::string& key : keys) {
      RegisterField(std::make_shared<field_kinds::TextField<S>>(key.c_str(), *setter++));
    }
    return *this;
  }
  // 0, or the code of the first batch of keys refused.
  int Result() const { return result_; }

  // A field of a kind of the class's own.
  Mapper& RegisterField(FieldPointer field) {
    for (FieldPointer& existing : fields_) {
      if (std::string_view(existing->Key()) == field->Key()) {
        existing = std::move(field);
        return *this;
      }
    }
    fields_.push_back(std::move(field));
    return *this;
  }

  ClassMapping Build() {
    return ClassMapping(std::move(typeName_), std::move(fields_), ignoresUnknownKeys_, modes_,
                        elementMode_, std::move(descriptions_), std::move(olderNames_),
                        std::move(references_));
  }

 private:
  std::string typeName_;
  std::vector<FieldPointer> fields_;
  std::vector<std::pair<std::string, std::string>> descriptions_;
  std::vector<std::pair<std::string, std::string>> olderNames_;
  std::vector<std::pair<std::string, SectionReference>> references_;
  bool ignoresUnknownKeys_ = false;
  EnumTable modes_;
  int elementMode_ = 0;
  int result_ = errors::kSuccess;

  // Keys are views of the texts of `keys`, which outlive the mapping.
  bool SameLength(std::span<const std::string> keys, std::size_t a, std::size_t b, std::size_t c) {
    if (keys.size() == a && keys.size() == b && keys.size() == c) return true;
    result_ = errors::kJsonKeyInvalid;
    return false;
  }
};

}  // namespace quorvane
