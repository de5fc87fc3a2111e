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

#include <json/json.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/enum_table.h"
#include "framework/parameter_field_base.h"
#include "framework/styled_text.h"

namespace quorvane {

// Flags of one key of a mapping.
enum FieldFlag : unsigned {
  kNoFlags = 0,
  // Read before every other key of the object: its value bounds other keys,
  // or it is a structure that reads the owner's whole object. A failure ends
  // the read without the type-name prefix.
  kReadFirst = 1u << 0,
  // Read, but never part of the output.
  kNeverWritten = 1u << 1,
  // A list left out of the output while it is empty; otherwise an empty list
  // is written as null.
  kWrittenWhenNotEmpty = 1u << 2,
  // An empty JSON array is accepted and empties the list; otherwise it is
  // refused and the list stays.
  kEmptyAllowed = 1u << 3,
  // A nested object keeps its failure text to itself: the owner's message is
  // not replaced by it.
  kKeepsMessage = 1u << 4,
  // A nested object held as an option is made (with its defaults) even when
  // its key holds null.
  kMadeWhenNull = 1u << 5,
  // A nested object given as neither an object nor null fails with the key
  // and "Json type invalid." rather than with the object's own message.
  kTypeNamedByKey = 1u << 6,
  // Read after every other key of the object (a conversion that must see
  // what the other keys made).
  kReadLast = 1u << 7,
  // A list that is given as an empty array where kEmptyAllowed stays as it
  // was, instead of being emptied.
  kEmptyKeepsList = 1u << 8,
};

// A key whose texts name other sections of the same template: what kind of
// section they name, a collection kind (document_base.h) or kAnyTask.
// Reading does not follow them; a walk over the mappings does
// (VisitSectionReferences). The base a section inherits from is not marked:
// the document knows its key.
enum class EmptyName {
  kMissing,  // an empty text names a section that is not there
  kNone,     // an empty text names no section
};
struct SectionReference {
  int kind;
  EmptyName empty;
};

// Reads one element of a list of objects from its JSON value in place of
// the element's own ReadFromJson: 0, or a code with the element's message.
using ElementReader = int (*)(QV_ParameterFieldBase& element, const Json::Value& value);

class ClassMapping;
class SchemaWriter;

// One key of a mapping. A field works on the object it belongs to; the typed
// kinds below cast it to their class, which the mapping guarantees.
class FieldSpec {
 public:
  FieldSpec(const char* key, unsigned flags)
      : key_(key), keyText_(StyledText::KeyText(key)), flags_(flags) {}
  FieldSpec(const FieldSpec&) = delete;
  FieldSpec& operator=(const FieldSpec&) = delete;
  virtual ~FieldSpec() = default;

  const char* Key() const { return key_; }
  // The key as the text writer writes it: quoted, then " : ".
  const std::string& KeyText() const { return keyText_; }
  unsigned Flags() const { return flags_; }
  bool Has(unsigned flag) const { return (flags_ & flag) != 0; }

  // Reads the member under Key() of `container`, the JSON object that holds
  // it, into `object`. Returns 0, or a code with its text in
  // object.errorMessage.
  virtual int Read(QV_ParameterFieldBase& object, const Json::Value& container) const = 0;
  // Sets json[Key()] from `object`, or leaves the key out (kWrittenWhenNotEmpty).
  virtual void Write(QV_ParameterFieldBase& object, Json::Value& json, bool flag) const = 0;
  // Gives the member its default.
  virtual void Reset(QV_ParameterFieldBase& object) const = 0;
  // Writes Key() and the value Write would set under it as text, or nothing
  // where Write leaves the key out; by default through the value Write sets.
  virtual void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool flag) const;
  // A mode argument's part of a signature: "[" + value + "]".
  virtual void AppendSignature(const QV_ParameterFieldBase& object, std::string& signature) const;
  // How many JSON values one written value of the key may hold: 1 for a
  // scalar or a list (whose elements count apart), a nested object's own count.
  virtual std::size_t WrittenUnits() const { return 1; }
  // The mapping of what the key holds: a nested object, or the elements of a
  // list of objects. Null for other kinds.
  virtual const ClassMapping* ElementMapping() const { return nullptr; }
  // How many JSON values one element of a list of objects may write; 0 for
  // other kinds.
  virtual std::size_t ElementUnits() const { return 0; }
  // Reads the owner's whole object rather than a member of it: read even
  // when its key is absent.
  virtual bool ReadsOwnerObject() const { return false; }
  // The number of elements a list of objects holds; 0 for other kinds.
  virtual std::size_t Count(const QV_ParameterFieldBase& /*object*/) const { return 0; }
  // The same field under another key, with other flags (an older name of a
  // key); null for kinds that cannot be renamed.
  virtual std::shared_ptr<const FieldSpec> WithKey(const char* /*key*/, unsigned /*flags*/) const {
    return nullptr;
  }
  // The same list of objects with its elements read by `reader`, and with
  // `extraFlags`; null for other kinds.
  virtual std::shared_ptr<const FieldSpec> WithElementReader(ElementReader /*reader*/,
                                                             unsigned /*extraFlags*/) const {
    return nullptr;
  }
  // The JSON Schema of the key's value as the reader accepts it, for an
  // object like `owner` (a new one of its class); anything for a kind that
  // cannot say.
  virtual Json::Value Describe(const QV_ParameterFieldBase& owner, SchemaWriter& schema) const;
  // The texts the key holds, in order: one, or each of a list; none for
  // kinds that hold no text.
  virtual void AppendTexts(const QV_ParameterFieldBase& /*object*/,
                           std::vector<std::string_view>& /*texts*/) const {}
  // The objects nested under the key, in order: one held, or each element
  // of a list of objects; none for other kinds.
  virtual void AppendNested(const QV_ParameterFieldBase& /*object*/,
                            std::vector<const QV_ParameterFieldBase*>& /*nested*/) const {}

 private:
  const char* key_;
  std::string keyText_;
  unsigned flags_;
};

using FieldPointer = std::shared_ptr<const FieldSpec>;

// What an integer key states beside its member: its default and its fixed
// bounds, for code that sets the member by other ways than reading.
class IntSpec : public FieldSpec {
 public:
  IntSpec(const char* key, unsigned flags, int defaultValue, int minimum, int maximum)
      : FieldSpec(key, flags), default_(defaultValue), minimum_(minimum), maximum_(maximum) {}

  int Default() const { return default_; }
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  bool InRange(int value) const { return value >= minimum_ && value <= maximum_; }

 protected:
  int default_;
  int minimum_;
  int maximum_;
};

// The keys of one class: its type name, its fields in declaration order
// (the order of signatures), and an index by key.
class ClassMapping {
 public:
  ClassMapping(std::string typeName, std::vector<FieldPointer> fields, bool ignoresUnknownKeys,
               EnumTable modes, int elementMode,
               std::vector<std::pair<std::string, std::string>> descriptions = {},
               std::vector<std::pair<std::string, std::string>> olderNames = {},
               std::vector<std::pair<std::string, SectionReference>> references = {});

  const std::string& TypeName() const { return typeName_; }
  std::span<const FieldPointer> Fields() const { return fields_; }
  // Exact, case-sensitive; null for a key the class does not know.
  const FieldSpec* Find(std::string_view key) const;
  // The integer key `key`, which the class must have.
  const IntSpec& IntKey(std::string_view key) const;
  // The fields that are written, in key order: the order of an object's
  // members in the output.
  std::span<const FieldSpec* const> WrittenByKey() const { return writtenByKey_; }
  // Reads from an object that also holds other keys, which it passes over.
  bool IgnoresUnknownKeys() const { return ignoresUnknownKeys_; }
  bool HasReadFirst() const { return hasReadFirst_; }
  bool HasReadLast() const { return hasReadLast_; }
  // What one written object of the class may hold, in JSON values: the
  // object itself and each key it writes.
  std::size_t WrittenUnits() const { return writtenUnits_; }
  // Mode families: the enumeration of "Mode" and the mode a list element
  // starts from; empty for other classes.
  EnumTable Modes() const { return modes_; }
  int ElementMode() const { return elementMode_; }
  // The one-line description of a key, or null.
  const char* Description(std::string_view key) const;
  // What the texts of a key name, or null for a key that names no section.
  const SectionReference* Reference(std::string_view key) const;
  // Keys that are older names of another key of the class, each as (older
  // name, key): an object may give one value under several of them.
  std::span<const std::pair<std::string, std::string>> OlderNames() const { return olderNames_; }

 private:
  std::string typeName_;
  std::vector<FieldPointer> fields_;
  std::vector<const FieldSpec*> byKey_;
  std::vector<const FieldSpec*> writtenByKey_;
  bool ignoresUnknownKeys_;
  bool hasReadFirst_ = false;
  bool hasReadLast_ = false;
  std::size_t writtenUnits_ = 1;
  EnumTable modes_;
  int elementMode_;
  std::vector<std::pair<std::string, std::string>> descriptions_;
  std::vector<std::pair<std::string, std::string>> olderNames_;
  std::vector<std::pair<std::string, SectionReference>> references_;
};

// Calls `visit` with each name that `object`, and the objects nested in it,
// give to other sections, in the order of their mappings: what the key
// names, the name, and where the name stands below `object` (the keys of the
// nested objects and the positions of list elements, joined by ":"; empty
// for a key of `object` itself). Stops at the first visit that returns true,
// and returns whether one did.
using ReferenceVisitor =
    std::function<bool(const SectionReference&, std::string_view name, const std::string& where)>;
bool VisitSectionReferences(const QV_ParameterFieldBase& object, const ReferenceVisitor& visit);

// Builds a JSON Schema (draft 2020-12) from mappings: each class once, as a
// definition that the schemas of its keys refer to.
class SchemaWriter {
 public:
  // {"$ref": ...} to the definition of T, written on first use from a new
  // object of T.
  template <class T>
  Json::Value Reference() {
    if (!IsDefined(T::Mapping())) {
      T fresh;
      Define(fresh);
    }
    return ReferenceTo(T::Mapping());
  }
  // The same for the class of `fresh`, a new object.
  Json::Value Reference(QV_ParameterFieldBase& fresh);
  // Every definition written so far, by name.
  Json::Value Definitions() const;

  // Pieces of schemas.
  static Json::Value Integer(int minimum, int maximum);
  // The names of the tables but `refused`: as listed, and, unless `exact`,
  // in any letter case with spaces around, as the reader takes them.
  static Json::Value Names(EnumTable names, EnumTable more = {}, int refused = kEnumNotFound,
                           bool exact = false);
  static Json::Value Null();
  // `schema`, or null.
  static Json::Value OrNull(Json::Value schema);
  // An array of `items`, or null; at least one element unless `emptyAllowed`.
  static Json::Value ListOf(Json::Value items, bool emptyAllowed);

 private:
  bool IsDefined(const ClassMapping& mapping) const;
  Json::Value ReferenceTo(const ClassMapping& mapping) const;
  void Define(QV_ParameterFieldBase& fresh);

  std::map<std::string, Json::Value> definitions_;
  std::map<const ClassMapping*, std::string> names_;
};

// Gives every field of `mapping` its default.
void ApplyDefaults(const ClassMapping& mapping, QV_ParameterFieldBase& object);

// ---------------------------------------------------------------------------
// Kinds of fields. Each is a template over the owning class S, whose members
// it binds by member pointer.

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

// Which integers a key takes besides its range.
enum class IntRule {
  kMinusOne,  // -1 (and null, which reads as -1) means "not set" whatever the range
  kZero,      // only 0, the key's own "not set"; anything else out of range is
              // refused with no text of its own and leaves the member
};

// An integer with a range. The bounds are fixed, or members of the object (a
// range whose creator sets its bounds).
template <class S>
class IntField final : public IntSpec {
 public:
  IntField(const char* key, int S::*member, int defaultValue, int minimum, int maximum,
           unsigned flags, IntRule rule = IntRule::kMinusOne, int S::*minimumMember = nullptr,
           int S::*maximumMember = nullptr)
      : IntSpec(key, flags, defaultValue, minimum, maximum),
        member_(member),
        rule_(rule),
        minimumMember_(minimumMember),
        maximumMember_(maximumMember) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    S& owner = Owner<S>(object);
    const int minimum = minimumMember_ ? owner.*minimumMember_ : minimum_;
    const int maximum = maximumMember_ ? owner.*maximumMember_ : maximum_;
    if (rule_ == IntRule::kMinusOne) {
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
    return std::make_shared<IntField>(key, member_, default_, minimum_, maximum_, flags, rule_,
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
    const int other = rule_ == IntRule::kMinusOne ? -1 : 0;
    if (other < minimum || other > maximum) {
      Json::Value exactly;
      exactly["const"] = other;
      anyOf.append(exactly);
    }
    if (rule_ == IntRule::kMinusOne) anyOf.append(SchemaWriter::Null());
    return schema;
  }
  int S::*Member() const { return member_; }

 private:
  int S::*member_;
  IntRule rule_;
  int S::*minimumMember_;
  int S::*maximumMember_;
};

// How a refused enumerated name is reported.
enum class NameFailure {
  kKeyAndText,   // key + ":" + the code's text
  kTextOnly,     // the code's text alone
  kTypeAndText,  // the owner's type name + ":" + the code's text
};

// An enumerated value, read and written as a name of its table. Names match
// case-insensitively with spaces around them ignored, or exactly. Reading
// may also take other names, looked up before the table's (short aliases). A
// value may be named by the table and still refused (with no text of its
// own) after it was stored. The member is an int, an enumeration or a
// 64-bit mask.
struct EnumOptions {
  EnumTable aliases = {};
  bool exact = false;
  NameFailure failure = NameFailure::kKeyAndText;
  int refused = kEnumNotFound;
};

template <class S, class M>
class EnumField final : public FieldSpec {
 public:
  EnumField(const char* key, M S::*member, int defaultValue, EnumTable names, unsigned flags,
            EnumOptions options = {})
      : FieldSpec(key, flags),
        member_(member),
        default_(defaultValue),
        names_(names),
        aliases_(options.aliases),
        exact_(options.exact),
        failure_(options.failure),
        refused_(options.refused) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    int error = errors::kSuccess;
    const std::string_view text = object.GetStringValue(container, Key(), error);
    if (error != errors::kSuccess) return error;
    int value = Lookup(aliases_, text);
    if (value == kEnumNotFound) value = Lookup(names_, text);
    if (value == kEnumNotFound) {
      switch (failure_) {
        case NameFailure::kKeyAndText:
          return object.FailWithKey(Key(), errors::kJsonValueInvalid);
        case NameFailure::kTextOnly:
          object.errorMessage = GetErrorString(errors::kJsonValueInvalid);
          break;
        case NameFailure::kTypeAndText:
          return object.FailWithKey(object.GetTypeName(), errors::kJsonValueInvalid);
      }
      return errors::kJsonValueInvalid;
    }
    Owner<S>(object).*member_ = FromValue(value);
    return value == refused_ ? errors::kJsonValueInvalid : errors::kSuccess;
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
    return SchemaWriter::Names(aliases_, names_, refused_, exact_);
  }
  EnumTable Names() const { return names_; }

 private:
  int Lookup(EnumTable table, std::string_view text) const {
    return exact_ ? LookupExactName(table, text) : LookupEnumValue(table, text);
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
  EnumTable aliases_;
  bool exact_;
  NameFailure failure_;
  int refused_;
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

// How a list of enumerated names reports a refusal.
enum class NameListFailure {
  kQuiet,   // no text of its own; an empty array empties the list
  kSpaced,  // key + " : out of range." for a name, key + the code's text for an empty array
};

// A list of enumerated names into a list of values; null leaves it. Written
// as the names, null when empty.
template <class S>
class NameListField final : public FieldSpec {
 public:
  NameListField(const char* key, std::vector<int> S::*member, std::vector<int> defaults,
                EnumTable names, NameListFailure failure, unsigned flags)
      : FieldSpec(key, flags),
        member_(member),
        defaults_(std::move(defaults)),
        names_(names),
        failure_(failure) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    return WithNames(object, container, Key(), [&](const std::vector<std::string_view>& given) {
      const bool loud = failure_ == NameListFailure::kSpaced;
      if (given.empty() && loud) {
        // No ":" between the key and the text here.
        object.errorMessage = std::string(Key()) + GetErrorString(errors::kJsonValueInvalid);
        return errors::kJsonValueInvalid;
      }
      std::vector<int> values;
      values.reserve(given.size());
      for (std::string_view text : given) {
        const int value = LookupEnumValue(names_, text);
        if (value == kEnumNotFound) {
          if (loud) object.errorMessage = std::string(Key()) + std::string(texts::kSpacedOutOfRange);
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
    return SchemaWriter::ListOf(SchemaWriter::Names(names_), failure_ != NameListFailure::kSpaced);
  }

 private:
  std::vector<int> S::*member_;
  std::vector<int> defaults_;
  EnumTable names_;
  NameListFailure failure_;
};

// A nested object held by value, read in place from the object under its
// key (null: nothing given) and written under it.
template <class S, class T>
class ObjectField final : public FieldSpec {
 public:
  ObjectField(const char* key, T S::*member, std::optional<T> prototype, unsigned flags)
      : FieldSpec(key, flags), member_(member), prototype_(std::move(prototype)) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    const Json::Value& value = MemberOrNull(container, Key());
    if (Has(kTypeNamedByKey) && !value.isObject() && !value.isNull()) {
      return object.FailWithKey(Key(), errors::kJsonTypeInvalid);
    }
    return object.ReadNested(Owner<S>(object).*member_, value, !Has(kKeepsMessage));
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool flag) const override {
    T& child = Owner<S>(object).*member_;
    child.WriteToJson(flag);
    Slot(json, Key()) = std::move(child.json);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool flag) const override {
    text.QuotedKey(KeyText());
    (Owner<S>(object).*member_).WriteText(text, flag);
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    if (prototype_) Owner<S>(object).*member_ = *prototype_;
  }
  std::size_t WrittenUnits() const override { return T::Mapping().WrittenUnits(); }
  const ClassMapping* ElementMapping() const override { return &T::Mapping(); }
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter& schema) const override {
    return SchemaWriter::OrNull(schema.Reference<T>());
  }
  void AppendNested(const QV_ParameterFieldBase& object,
                    std::vector<const QV_ParameterFieldBase*>& nested) const override {
    nested.push_back(&(Owner<S>(object).*member_));
  }

 private:
  T S::*member_;
  std::optional<T> prototype_;
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
  std::size_t Count(const QV_ParameterFieldBase& object) const override {
    return (Owner<S>(object).*member_).size();
  }
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

// An embedded structure that reads the owner's whole object (passing over
// the owner's other keys) before the owner's own keys, and whose one key
// is written into the owner's output.
template <class S, class T>
class InlineObjectField final : public FieldSpec {
 public:
  InlineObjectField(const char* key, T S::*member, std::optional<T> prototype, unsigned flags)
      : FieldSpec(key, flags | kReadFirst), member_(member), prototype_(std::move(prototype)) {}

  bool ReadsOwnerObject() const override { return true; }

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    return object.ReadNested(Owner<S>(object).*member_, container, !Has(kKeepsMessage));
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool flag) const override {
    T& child = Owner<S>(object).*member_;
    child.WriteToJson(flag);
    Slot(json, Key()) = MemberOrNull(child.json, Key());
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool flag) const override {
    T& child = Owner<S>(object).*member_;
    const FieldSpec* inner = child.GetMapping().Find(Key());
    // The key as the embedded structure writes it; null where it writes none.
    if (inner != nullptr && !inner->Has(kNeverWritten) && !inner->Has(kWrittenWhenNotEmpty)) {
      inner->WriteText(child, text, flag);
      return;
    }
    FieldSpec::WriteText(object, text, flag);
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    if (prototype_) Owner<S>(object).*member_ = *prototype_;
  }
  const ClassMapping* ElementMapping() const override { return &T::Mapping(); }
  // The key is the embedded structure's own.
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter& schema) const override {
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
};

}  // namespace field_kinds

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
              unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::IntField<S>>(key, member, defaultValue, minimum,
                                                          maximum, flags));
  }
  // An integer that is 0 or within its range.
  Mapper& ZeroOrInt(const char* key, int S::*member, int defaultValue, int minimum, int maximum,
                    unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::IntField<S>>(key, member, defaultValue, minimum,
                                                          maximum, flags, field_kinds::IntRule::kZero));
  }
  // An integer bounded by two members of the object itself.
  Mapper& BoundedInt(const char* key, int S::*member, int S::*minimum, int S::*maximum,
                     unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::IntField<S>>(
        key, member, 0, 0, 0, flags, field_kinds::IntRule::kMinusOne, minimum, maximum));
  }
  template <class M, class C>
  Mapper& Enum(const char* key, M C::*member, int defaultValue, EnumTable names,
               unsigned flags = kNoFlags, field_kinds::EnumOptions options = {}) {
    return RegisterField(std::make_shared<field_kinds::EnumField<S, M>>(key, static_cast<M S::*>(member),
                                                              defaultValue, names, flags, options));
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
  Mapper& FreeIntList(const char* key, std::vector<int> S::*member, unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::IntListField<S>>(key, member, std::vector<int>{},
                                                              std::nullopt, flags));
  }
  Mapper& NameList(const char* key, std::vector<int> S::*member, std::vector<int> defaults,
                   EnumTable names, field_kinds::NameListFailure failure,
                   unsigned flags = kNoFlags) {
    return RegisterField(std::make_shared<field_kinds::NameListField<S>>(key, member, std::move(defaults),
                                                               names, failure, flags));
  }
  // A nested object; `prototype`, when given, is its default.
  template <class T, class C>
  Mapper& Object(const char* key, T C::*member, unsigned flags = kNoFlags,
                 std::type_identity_t<std::optional<T>> prototype = std::nullopt) {
    return RegisterField(std::make_shared<field_kinds::ObjectField<S, T>>(
        key, static_cast<T S::*>(member), std::move(prototype), flags));
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
    return RegisterField(std::make_shared<field_kinds::InlineObjectField<S, T>>(
        key, static_cast<T S::*>(member), std::move(prototype), flags));
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
