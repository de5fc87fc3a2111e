#pragma once

// The kinds of fields that hold values: integers, enumerations, texts and
// lists of them. Each is a template over the owning class S, whose members
// it binds by member pointer.

#include <json/json.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/field_spec.h"

namespace quorvane {

namespace field_kinds {

template <class S>
S& Owner(QV_ParameterFieldBase& object) {
  return static_cast<S&>(object);
}
template <class S>
const S& Owner(const QV_ParameterFieldBase& object) {
  return static_cast<const S&>(object);
}

inline Json::Value& Slot(Json::Value& json, const char* key) {
  return json[Json::StaticString(key)];
}

// Hands the texts of the list under `key` to `take` (texts → code): the
// readers of lists of names. Null takes nothing; another type fails as the
// getter says.
template <class Take>
int WithNames(QV_ParameterFieldBase& object, const Json::Value& container, const char* key,
              Take&& take) {
  int error = errors::kSuccess;
  const QVRef<QVVector<std::string_view>> texts = object.GetStringArrayValue(container, key, error);
  if (error != errors::kSuccess || !texts) return error;
  return take(texts->items);
}

// An integer with a range. The bounds are fixed, or members of the object (a
// range whose creator sets its bounds).
template <class S>
class IntField final : public IntSpec {
 public:
  IntField(const char* key, int S::*member, int defaultValue, int minimum, int maximum,
           unsigned flags, Quirks quirks = {}, int S::*minimumMember = nullptr,
           int S::*maximumMember = nullptr)
      : IntSpec(key, flags, quirks, defaultValue, minimum, maximum),
        member_(member),
        minimumMember_(minimumMember),
        maximumMember_(maximumMember) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    S& owner = Owner<S>(object);
    const int minimum = minimumMember_ ? owner.*minimumMember_ : minimum_;
    const int maximum = maximumMember_ ? owner.*maximumMember_ : maximum_;
    if (!Quirk().zeroNotSet) {
      return object.ReadIntMember(container, Key(), owner.*member_, minimum, maximum);
    }
    int error = errors::kSuccess;
    const int value = object.GetIntValue(container, Key(), error);
    if (error != errors::kSuccess) return error;
    if (value != 0 && (value < minimum || value > maximum)) return errors::kJsonValueInvalid;
    owner.*member_ = value;
    return errors::kSuccess;
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    Slot(json, Key()) = Owner<S>(object).*member_;
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool) const override {
    text.QuotedKey(KeyText());
    text.Int(Owner<S>(object).*member_);
  }
  void Reset(QV_ParameterFieldBase& object) const override { Owner<S>(object).*member_ = default_; }
  void AppendSignature(const QV_ParameterFieldBase& object, std::string& signature) const override {
    signature += '[' + std::to_string(Owner<S>(object).*member_) + ']';
  }
  std::shared_ptr<const FieldSpec> WithKey(const char* key, unsigned flags) const override {
    return std::make_shared<IntField>(key, member_, default_, minimum_, maximum_, flags, Quirk(),
                                      minimumMember_, maximumMember_);
  }
  Json::Value Describe(const QV_ParameterFieldBase& owner, SchemaWriter&) const override {
    const S& typed = Owner<S>(owner);
    const int minimum = minimumMember_ ? typed.*minimumMember_ : minimum_;
    const int maximum = maximumMember_ ? typed.*maximumMember_ : maximum_;
    Json::Value schema;
    Json::Value& anyOf = schema["anyOf"];
    anyOf.append(SchemaWriter::Integer(minimum, maximum));
    // The value the key takes besides its range: -1 (null reads as -1), or 0.
    const int other = Quirk().zeroNotSet ? 0 : -1;
    if (other < minimum || other > maximum) {
      Json::Value exactly;
      exactly["const"] = other;
      anyOf.append(exactly);
    }
    if (!Quirk().zeroNotSet) anyOf.append(SchemaWriter::Null());
    return schema;
  }
  int S::*Member() const { return member_; }

 private:
  int S::*member_;
  int S::*minimumMember_;
  int S::*maximumMember_;
};

// An enumerated value, read and written as a name of its table. Names match
// case-insensitively with spaces around them ignored, unless the key's
// quirks say otherwise. The member is an int, an enumeration or a 64-bit
// mask.
template <class S, class M>
class EnumField final : public FieldSpec {
 public:
  EnumField(const char* key, M S::*member, int defaultValue, EnumTable names, unsigned flags,
            Quirks quirks = {})
      : FieldSpec(key, flags, quirks), member_(member), default_(defaultValue), names_(names) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    int error = errors::kSuccess;
    const std::string_view text = object.GetStringValue(container, Key(), error);
    if (error != errors::kSuccess) return error;
    int value = Lookup(Quirk().aliases, text);
    if (value == kEnumNotFound) value = Lookup(names_, text);
    if (value == kEnumNotFound) {
      switch (Quirk().refusal) {
        case Refusal::kTextOnly:
          object.errorMessage = GetErrorString(errors::kJsonValueInvalid);
          return errors::kJsonValueInvalid;
        case Refusal::kTypeAndText:
          return object.FailWithKey(object.GetTypeName(), errors::kJsonValueInvalid);
        default:
          return object.FailWithKey(Key(), errors::kJsonValueInvalid);
      }
    }
    Owner<S>(object).*member_ = FromValue(value);
    return value == Quirk().refused ? errors::kJsonValueInvalid : errors::kSuccess;
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    Slot(json, Key()) = Json::StaticString(EnumName(names_, ToValue(Owner<S>(object).*member_)));
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool) const override {
    text.QuotedKey(KeyText());
    text.String(EnumName(names_, ToValue(Owner<S>(object).*member_)));
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    Owner<S>(object).*member_ = FromValue(default_);
  }
  void AppendSignature(const QV_ParameterFieldBase& object, std::string& signature) const override {
    signature += '[' + std::to_string(ToValue(Owner<S>(object).*member_)) + ']';
  }
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter&) const override {
    return SchemaWriter::Names(Quirk().aliases, names_, Quirk().refused, Quirk().exact);
  }
  EnumTable Names() const { return names_; }

 private:
  int Lookup(EnumTable table, std::string_view text) const {
    return Quirk().exact ? LookupExactName(table, text) : LookupEnumValue(table, text);
  }
  // Masks are held in 64 bits; every name of a table stands for 32 of them.
  static int ToValue(M value) {
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
  }
  static M FromValue(int value) {
    if constexpr (std::is_same_v<M, std::uint64_t>) {
      return static_cast<std::uint32_t>(value);
    } else {
      return static_cast<M>(value);
    }
  }

  M S::*member_;
  int default_;
  EnumTable names_;
};

// A text, stored as given.
template <class S>
class TextField final : public FieldSpec {
 public:
  using Setter = void (*)(S& object, const std::string& text);

  TextField(const char* key, std::string S::*member, const char* defaultValue, unsigned flags)
      : FieldSpec(key, flags), member_(member), default_(defaultValue) {}
  // Handed to `setter` and never written.
  TextField(const char* key, Setter setter)
      : FieldSpec(key, kNeverWritten), member_(nullptr), default_(""), setter_(setter) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    if (setter_ == nullptr) return object.ReadStringMember(container, Key(), Owner<S>(object).*member_);
    std::string text;
    const int result = object.ReadStringMember(container, Key(), text);
    if (result == errors::kSuccess) setter_(Owner<S>(object), text);
    return result;
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    Slot(json, Key()) = Owner<S>(object).*member_;
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool) const override {
    text.QuotedKey(KeyText());
    text.String(Owner<S>(object).*member_);
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    if (member_ != nullptr) Owner<S>(object).*member_ = default_;
  }
  void AppendSignature(const QV_ParameterFieldBase& object, std::string& signature) const override {
    if (member_ != nullptr) signature += '[' + Owner<S>(object).*member_ + ']';
  }
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter&) const override {
    Json::Value text;
    text["type"] = "string";
    return SchemaWriter::OrNull(text);
  }
  void AppendTexts(const QV_ParameterFieldBase& object,
                   std::vector<std::string_view>& texts) const override {
    if (member_ != nullptr) texts.push_back(Owner<S>(object).*member_);
  }

 private:
  std::string S::*member_;
  const char* default_;
  Setter setter_ = nullptr;
};

// A list of texts; null leaves it, an array replaces it. The writer may take
// the list from a getter that completes it.
template <class S>
class TextListField final : public FieldSpec {
 public:
  using Getter = const std::vector<std::string>& (S::*)();

  TextListField(const char* key, std::vector<std::string> S::*member,
                std::vector<std::string> defaults, unsigned flags, Getter written = nullptr)
      : FieldSpec(key, flags), member_(member), defaults_(std::move(defaults)), written_(written) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    return object.ReadStringListMember(container, Key(), Owner<S>(object).*member_,
                                       Has(kEmptyAllowed));
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    S& owner = Owner<S>(object);
    const std::vector<std::string>& list = written_ ? (owner.*written_)() : owner.*member_;
    if (list.empty() && Has(kWrittenWhenNotEmpty)) return;
    Slot(json, Key()) = StringListJson(list);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool) const override {
    S& owner = Owner<S>(object);
    const std::vector<std::string>& list = written_ ? (owner.*written_)() : owner.*member_;
    if (list.empty() && Has(kWrittenWhenNotEmpty)) return;
    text.QuotedKey(KeyText());
    if (list.empty()) return text.Null();
    text.BeginArray(list.size());
    for (const std::string& item : list) text.String(item);
    text.EndArray();
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    Owner<S>(object).*member_ = defaults_;
  }
  std::shared_ptr<const FieldSpec> WithKey(const char* key, unsigned flags) const override {
    return std::make_shared<TextListField>(key, member_, defaults_, flags, written_);
  }
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter&) const override {
    Json::Value text;
    text["type"] = "string";
    return SchemaWriter::ListOf(text, Has(kEmptyAllowed));
  }
  // The list as read: what a getter adds on writing was never read.
  void AppendTexts(const QV_ParameterFieldBase& object,
                   std::vector<std::string_view>& texts) const override {
    for (const std::string& text : Owner<S>(object).*member_) texts.push_back(text);
  }

 private:
  std::vector<std::string> S::*member_;
  std::vector<std::string> defaults_;
  Getter written_;
};

// A list of integers of a fixed length, each position with its own bounds
// (-1 is not special here); or, without bounds, of any length and unbounded.
template <class S>
class IntListField final : public FieldSpec {
 public:
  IntListField(const char* key, std::vector<int> S::*member, std::vector<int> defaults,
               std::optional<std::pair<std::vector<int>, std::vector<int>>> bounds,
               unsigned flags)
      : FieldSpec(key, flags),
        member_(member),
        defaults_(std::move(defaults)),
        bounds_(std::move(bounds)) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    std::vector<int>& member = Owner<S>(object).*member_;
    if (bounds_) {
      return object.ReadIntArrayMember(container, Key(), member, bounds_->first, bounds_->second);
    }
    int error = errors::kSuccess;
    QVRef<QVVector<int>> read = object.GetIntArrayValue(container, Key(), error);
    if (error != errors::kSuccess) return error;
    if (read) member = std::move(read->items);
    return errors::kSuccess;
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    Slot(json, Key()) = IntListJson(Owner<S>(object).*member_);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool) const override {
    const std::vector<int>& list = Owner<S>(object).*member_;
    text.QuotedKey(KeyText());
    if (list.empty()) return text.Null();
    text.BeginArray(list.size());
    for (int value : list) text.Int(value);
    text.EndArray();
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    Owner<S>(object).*member_ = defaults_;
  }
  void AppendSignature(const QV_ParameterFieldBase& object, std::string& signature) const override {
    const std::vector<int>& list = Owner<S>(object).*member_;
    signature += '[';
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (i > 0) signature += ',';
      signature += std::to_string(list[i]);
    }
    signature += ']';
  }
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter&) const override {
    if (!bounds_) return SchemaWriter::ListOf(SchemaWriter::Integer(INT_MIN, INT_MAX), true);
    // Exactly as many integers as bounds, each within those of its position.
    Json::Value schema = SchemaWriter::ListOf(Json::Value(), true);
    Json::Value& array = schema["anyOf"][0];
    array.removeMember("items");
    for (std::size_t i = 0; i < bounds_->first.size(); ++i) {
      array["prefixItems"].append(SchemaWriter::Integer(bounds_->first[i], bounds_->second[i]));
    }
    array["items"] = false;
    array["minItems"] = static_cast<Json::UInt>(bounds_->first.size());
    return schema;
  }

 private:
  std::vector<int> S::*member_;
  std::vector<int> defaults_;
  std::optional<std::pair<std::vector<int>, std::vector<int>>> bounds_;
};

// A list of enumerated names into a list of values; null leaves it, an
// empty array empties it, an unknown name is refused with no text of its
// own (unless the key's quirks say otherwise). Written as the names, null
// when empty.
template <class S>
class NameListField final : public FieldSpec {
 public:
  NameListField(const char* key, std::vector<int> S::*member, std::vector<int> defaults,
                EnumTable names, unsigned flags, Quirks quirks)
      : FieldSpec(key, flags, quirks), member_(member), defaults_(std::move(defaults)), names_(names) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    return WithNames(object, container, Key(), [&](const std::vector<std::string_view>& given) {
      const bool loud = Quirk().refusal == Refusal::kSpaced;
      if (given.empty() && loud) {
        // No ":" between the key and the text here.
        object.errorMessage =
            Prefixed(Key(), GetErrorString(errors::kJsonValueInvalid), Joint::kNone);
        return errors::kJsonValueInvalid;
      }
      std::vector<int> values;
      values.reserve(given.size());
      for (std::string_view text : given) {
        const int value = LookupEnumValue(names_, text);
        if (value == kEnumNotFound) {
          if (loud) object.errorMessage = Prefixed(Key(), texts::kOutOfRange, Joint::kSpacedColon);
          return errors::kJsonValueInvalid;
        }
        values.push_back(value);
      }
      Owner<S>(object).*member_ = std::move(values);
      return errors::kSuccess;
    });
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    Json::Value names;  // stays null for an empty list
    for (int value : Owner<S>(object).*member_) {
      names.append(Json::StaticString(EnumName(names_, value)));
    }
    Slot(json, Key()) = std::move(names);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool) const override {
    const std::vector<int>& list = Owner<S>(object).*member_;
    text.QuotedKey(KeyText());
    if (list.empty()) return text.Null();
    text.BeginArray(list.size());
    for (int value : list) text.String(EnumName(names_, value));
    text.EndArray();
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    Owner<S>(object).*member_ = defaults_;
  }
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter&) const override {
    return SchemaWriter::ListOf(SchemaWriter::Names(names_), Quirk().refusal != Refusal::kSpaced);
  }

 private:
  std::vector<int> S::*member_;
  std::vector<int> defaults_;
  EnumTable names_;
};

}  // namespace field_kinds

// A key read by a function of its class rather than by a kind: a key of an
// older format that converts into members other keys write. It is written
// and reset as `current`, the key it stands in for, or never. One kind for
// what would otherwise be a kind per such key.
class ConvertedField final : public FieldSpec {
 public:
  using Convert = int (*)(const ConvertedField& field, QV_ParameterFieldBase& object,
                          const Json::Value& container);

  // `current` (which outlives the field) gives the key, the flags and the
  // writing; its reading is what `convert` passes on to.
  ConvertedField(const FieldSpec& current, Convert convert)
      : FieldSpec(current.Key(), current.Flags()), convert_(convert), current_(&current) {}
  // A key that is never written; `elementUnits`, what one element of its
  // list may write (a list that converts into another).
  ConvertedField(const char* key, Convert convert, unsigned flags = kNoFlags,
                 std::size_t elementUnits = 0)
      : FieldSpec(key, flags | kNeverWritten), convert_(convert), elementUnits_(elementUnits) {}

  // The key this one stands in for, or null.
  const FieldSpec* Current() const { return current_; }

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    return convert_(*this, object, container);
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool flag) const override {
    if (current_ != nullptr) current_->Write(object, json, flag);
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    if (current_ != nullptr) current_->Reset(object);
  }
  std::size_t ElementUnits() const override { return elementUnits_; }

 private:
  Convert convert_;
  const FieldSpec* current_ = nullptr;
  std::size_t elementUnits_ = 0;
};

}  // namespace quorvane
