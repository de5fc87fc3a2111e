#pragma once

// The kinds of fields that hold objects: one nested by value, one made when
// its key is read, a list of them, and a structure that reads its owner's
// whole object.

#include <json/json.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "framework/field_kinds.h"

namespace quorvane {

namespace field_kinds {

// A nested object held by value, read in place from the object under its
// key (null: nothing given) and written under it. Or, inline, an embedded
// structure that reads the owner's whole object (passing over the owner's
// other keys) before the owner's own keys, and whose one key is written
// into the owner's output.
template <class S, class T>
class ObjectField final : public FieldSpec {
 public:
  ObjectField(const char* key, T S::*member, std::optional<T> prototype, unsigned flags,
              Quirks quirks = {}, bool readsOwnerObject = false)
      : FieldSpec(key, readsOwnerObject ? flags | kReadFirst : flags, quirks),
        member_(member),
        prototype_(std::move(prototype)),
        inline_(readsOwnerObject) {}

  bool ReadsOwnerObject() const override { return inline_; }

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    const Json::Value& value = inline_ ? container : MemberOrNull(container, Key());
    if (Quirk().typeNamedByKey && !value.isObject() && !value.isNull()) {
      return object.FailWithKey(Key(), errors::kJsonTypeInvalid);
    }
    return object.ReadNested(Owner<S>(object).*member_, value, !Has(kKeepsMessage));
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool flag) const override {
    T& child = Owner<S>(object).*member_;
    child.WriteToJson(flag);
    Slot(json, Key()) = inline_ ? MemberOrNull(child.json, Key()) : std::move(child.json);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool flag) const override {
    T& child = Owner<S>(object).*member_;
    if (!inline_) {
      text.QuotedKey(KeyText());
      return child.WriteText(text, flag);
    }
    const FieldSpec* inner = child.GetMapping().Find(Key());
    // The key as the embedded structure writes it; null where it writes none.
    if (inner != nullptr && !inner->Has(kNeverWritten) && !inner->Has(kWrittenWhenNotEmpty)) {
      return inner->WriteText(child, text, flag);
    }
    FieldSpec::WriteText(object, text, flag);
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    if (prototype_) Owner<S>(object).*member_ = *prototype_;
  }
  std::size_t WrittenUnits() const override { return inline_ ? 1 : T::Mapping().WrittenUnits(); }
  const ClassMapping* ElementMapping() const override { return &T::Mapping(); }
  // Inline, the key is the embedded structure's own.
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter& schema) const override {
    if (!inline_) return SchemaWriter::OrNull(schema.Reference<T>());
    T fresh;
    return T::Mapping().Find(Key())->Describe(fresh, schema);
  }
  void AppendNested(const QV_ParameterFieldBase& object,
                    std::vector<const QV_ParameterFieldBase*>& nested) const override {
    nested.push_back(&(Owner<S>(object).*member_));
  }

 private:
  T S::*member_;
  std::optional<T> prototype_;
  bool inline_;
};

// A nested object that exists only once its key was read (or it was set in
// code); written only while it exists.
template <class S, class T>
class OptionalObjectField final : public FieldSpec {
 public:
  OptionalObjectField(const char* key, std::optional<T> S::*member, unsigned flags)
      : FieldSpec(key, flags), member_(member) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    const Json::Value& value = MemberOrNull(container, Key());
    std::optional<T>& held = Owner<S>(object).*member_;
    if (value.isNull() && !Has(kMadeWhenNull)) return errors::kSuccess;
    if (!held) held.emplace();
    return object.ReadNested(*held, value, !Has(kKeepsMessage));
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool flag) const override {
    std::optional<T>& held = Owner<S>(object).*member_;
    if (!held) return;
    held->WriteToJson(flag);
    Slot(json, Key()) = std::move(held->json);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool flag) const override {
    std::optional<T>& held = Owner<S>(object).*member_;
    if (!held) return;
    text.QuotedKey(KeyText());
    held->WriteText(text, flag);
  }
  void Reset(QV_ParameterFieldBase& object) const override { (Owner<S>(object).*member_).reset(); }
  std::size_t WrittenUnits() const override { return T::Mapping().WrittenUnits(); }
  const ClassMapping* ElementMapping() const override { return &T::Mapping(); }
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter& schema) const override {
    return SchemaWriter::OrNull(schema.Reference<T>());
  }
  void AppendNested(const QV_ParameterFieldBase& object,
                    std::vector<const QV_ParameterFieldBase*>& nested) const override {
    const std::optional<T>& held = Owner<S>(object).*member_;
    if (held) nested.push_back(&*held);
  }

 private:
  std::optional<T> S::*member_;
};

// A list of objects: an array replaces the whole list (null leaves it), each
// element read from a copy of the prototype (by its own ReadFromJson, or by
// another element reader); written as an array, null when empty. An empty
// array is refused unless kEmptyAllowed.
template <class S, class T>
class ObjectListField final : public FieldSpec {
 public:
  ObjectListField(const char* key, std::vector<T> S::*member, std::vector<T> defaults,
                  unsigned flags, ElementReader reader = nullptr)
      : FieldSpec(key, flags), member_(member), defaults_(std::move(defaults)), reader_(reader) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    std::vector<T>& list = Owner<S>(object).*member_;
    if (Has(kEmptyKeepsList) && Has(kEmptyAllowed)) {
      const Json::Value* value = FindMember(container, Key());
      if (value && value->isArray() && value->empty()) return errors::kSuccess;
    }
    return object.ReadObjectList<T>(container, Key(), list, Has(kEmptyAllowed),
                                    DefaultElement<T>(), reader_);
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool flag) const override {
    Json::Value array;  // stays null for an empty list
    for (T& element : Owner<S>(object).*member_) {
      element.WriteToJson(flag);
      array.append(std::move(element.json));
    }
    Slot(json, Key()) = std::move(array);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool flag) const override {
    std::vector<T>& list = Owner<S>(object).*member_;
    text.QuotedKey(KeyText());
    if (list.empty()) return text.Null();
    text.BeginArray(list.size());
    for (T& element : list) element.WriteText(text, flag);
    text.EndArray();
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    Owner<S>(object).*member_ = defaults_;
  }
  const ClassMapping* ElementMapping() const override { return &T::Mapping(); }
  std::size_t ElementUnits() const override { return T::Mapping().WrittenUnits(); }
  std::shared_ptr<const FieldSpec> WithElementReader(ElementReader reader,
                                                     unsigned extraFlags) const override {
    return std::make_shared<ObjectListField>(Key(), member_, defaults_, Flags() | extraFlags,
                                             reader);
  }
  // An element given as null starts as the prototype and is only validated.
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter& schema) const override {
    return SchemaWriter::ListOf(SchemaWriter::OrNull(schema.Reference<T>()), Has(kEmptyAllowed));
  }
  void AppendNested(const QV_ParameterFieldBase& object,
                    std::vector<const QV_ParameterFieldBase*>& nested) const override {
    for (const T& element : Owner<S>(object).*member_) nested.push_back(&element);
  }

 private:
  std::vector<T> S::*member_;
  std::vector<T> defaults_;
  ElementReader reader_;
};

}  // namespace field_kinds

}  // namespace quorvane
