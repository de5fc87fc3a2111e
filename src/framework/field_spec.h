#pragma once

// What a mapping is made of: a FieldSpec per key (its flags, how it reads,
// writes, resets and describes its member), and the ClassMapping of a class,
// its fields in order and indexed by key. The kinds of fields are in
// field_kinds.h and object_kinds.h; a class builds its mapping with Mapper
// (field_mapping.h).

#include <json/json.h>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
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

// How a key departs from the rules of its kind: the quirks of single keys,
// stated where the key is, so that none needs a kind of its own.
enum class Refusal {
  kRule,         // as the kind says: key + ":" + the code's text for a value,
                 // no text of its own for a name of a list
  kTextOnly,     // the code's text alone
  kTypeAndText,  // the owner's type name + ":" + the code's text
  kSpaced,       // a list of names: key + " : out of range." for a name, key +
                 // the code's text for an empty array
};
struct Quirks {
  Refusal refusal = Refusal::kRule;
  // Enumerations: names read before the table's (short aliases); names
  // matched exactly rather than in any letter case with spaces around; a
  // value that is named, stored and still refused (with no text).
  EnumTable aliases = {};
  bool exact = false;
  int refused = kEnumNotFound;
  // Integers: 0 rather than -1 is "not set", and a value out of range is
  // refused with no text and leaves the member.
  bool zeroNotSet = false;
  // Nested objects: a value that is neither an object nor null fails with
  // the key and "Json type invalid." rather than with the object's message.
  bool typeNamedByKey = false;
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
  FieldSpec(const char* key, unsigned flags, Quirks quirks = {})
      : key_(key), keyText_(StyledText::KeyText(key)), flags_(flags), quirks_(quirks) {}
  FieldSpec(const FieldSpec&) = delete;
  FieldSpec& operator=(const FieldSpec&) = delete;
  virtual ~FieldSpec() = default;

  const char* Key() const { return key_; }
  // The key as the text writer writes it: quoted, then " : ".
  const std::string& KeyText() const { return keyText_; }
  unsigned Flags() const { return flags_; }
  bool Has(unsigned flag) const { return (flags_ & flag) != 0; }
  const Quirks& Quirk() const { return quirks_; }

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
  Quirks quirks_;
};

using FieldPointer = std::shared_ptr<const FieldSpec>;

// What an integer key states beside its member: its default and its fixed
// bounds, for code that sets the member by other ways than reading.
class IntSpec : public FieldSpec {
 public:
  IntSpec(const char* key, unsigned flags, Quirks quirks, int defaultValue, int minimum,
          int maximum)
      : FieldSpec(key, flags, quirks), default_(defaultValue), minimum_(minimum), maximum_(maximum) {}

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

}  // namespace quorvane
