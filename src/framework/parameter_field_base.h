#pragma once

// The base of every parameter object of the template format. A class states
// its keys once, in its mapping (framework/field_mapping.h); an object reads a
// JSON object by dispatching each key to the field of that key, reports
// failures as a code plus a message that each enclosing level prefixes with
// its own name, and writes itself into its own `json` value.

#include <json/json.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "framework/enum_table.h"
#include "framework/error_codes.h"
#include "framework/messages.h"
#include "framework/object_base.h"

namespace quorvane {

class ClassMapping;
class FieldSpec;
class StyledText;

using SkippedKeys = std::vector<std::string>;

// The element that a list reader starts each JSON element from, unless its
// owner names another: the default-constructed object.
template <class T>
const T& DefaultElement() {
  static const T element;
  return element;
}

// The skipped-keys list of a read that skips nothing.
const SkippedKeys& NoSkippedKeys();

// The member of `object` under `key`, or null when `object` is not a JSON
// object or has no such key. Never throws.
const Json::Value* FindMember(const Json::Value& object, std::string_view key);

// The member under `key`, or a null value: what a nested reader is handed.
const Json::Value& MemberOrNull(const Json::Value& object, std::string_view key);

// Parses the items of one group of a bracketed integer text ("1, 2, 5-7":
// ',' separated, spaces trimmed, empty items skipped, "a-b" expanded) and
// appends them to `out`. False for an item that is not a 32-bit decimal
// integer, or when ranges would expand to more than 65,536 integers.
bool ParseIntegerGroup(std::string_view text, std::vector<int>& out);

// A JSON array of the strings (null when the list is empty).
Json::Value StringListJson(const std::vector<std::string>& list);
// A JSON array of the integers (null when the list is empty).
Json::Value IntListJson(const std::vector<int>& list);

// The two members every class with a mapping declares: its mapping, built
// once (framework/field_mapping.h), and the override that hands it to the
// base.
#define QV_MAPPED_CLASS()                \
  static const ClassMapping& Mapping(); \
  const ClassMapping& GetMapping() const override { return Mapping(); }

class QV_ParameterFieldBase : public QVObjectBase {
 public:
  QV_ParameterFieldBase() = default;
  // Copies the data members; the copy's field table starts empty: it is
  // bound again before the copy reads anything.
  QV_ParameterFieldBase(const QV_ParameterFieldBase& other);
  QV_ParameterFieldBase& operator=(const QV_ParameterFieldBase& other);
  ~QV_ParameterFieldBase() override = default;

  // Slot 1: the object's kind, as used in messages and as a JSON key; the
  // type name of the class's mapping.
  virtual const std::string& GetTypeName() const;
  // Slot 2: the name of the section this one inherits from; empty for none.
  virtual const std::string& GetBaseName() const;
  // Slot 3.
  virtual std::string& GetSignature();
  // Slot 4: reads a JSON object (or null: nothing given) and validates: the
  // keys flagged to be read first, then the others in key order.
  virtual int ReadFromJson(const Json::Value& value, const SkippedKeys& skippedKeys);
  // Slot 5: writes every key of the mapping that is written; the flag is
  // handed on to sub-objects.
  virtual void WriteToJson(bool flag);
  // Before each read: resets the marks by which an object tells what the
  // read gave it (a section read from a template is no longer a placeholder;
  // a location's units stay "not given" until a key gives them). The base
  // has none.
  virtual void ResetReadMarks();
  // Slot 7: checks relations between fields after reading.
  virtual int Validate();
  // The keys of the object's class. The base has none.
  virtual const ClassMapping& GetMapping() const;
  // Writes the object as text, byte for byte what the JSON library's styled
  // writer makes of the value WriteToJson builds, without building it: one
  // walk of the mapping's written keys in key order.
  virtual void WriteText(StyledText& text, bool flag);

  // Reads with `mapping` (the class's own, or another reading of the same
  // members) from now on, and resets the read marks: the start of a read.
  void BindForRead(const ClassMapping& mapping);

  // Walks the members of `object` in key order and dispatches each to its
  // reader (keys read first are passed over); the first failure ends the
  // read and gets the type-name prefix.
  int ReadFields(const Json::Value& object, const SkippedKeys& skippedKeys,
                 bool ignoreUnknownKeys);
  // The same, telling which key failed.
  int ReadFields(const Json::Value& object, const SkippedKeys& skippedKeys, bool ignoreUnknownKeys,
                 std::string_view& failedKey);
  // Reads the keys the mapping reads first, those of them that `object`
  // holds (or all, for a structure that reads the whole object) and that
  // are not skipped; the first failure ends the read, with no prefix added.
  int ReadFirstFields(const Json::Value& object, const SkippedKeys& skippedKeys);

  // Typed getters. An absent key or a null value gives the empty result and
  // no error; a value of the wrong type sets `error` to -10031 and
  // `errorMessage` to key + ":" + "Json type invalid.". `error` is set to 0 on
  // entry.
  int GetIntValue(const Json::Value& object, std::string_view key, int& error);
  // The view is valid while the JSON value lives.
  std::string_view GetStringValue(const Json::Value& object, std::string_view key, int& error);
  QVRef<QVVector<int>> GetIntArrayValue(const Json::Value& object, std::string_view key,
                                        int& error);
  QVRef<QVVector<std::string_view>> GetStringArrayValue(const Json::Value& object,
                                                        std::string_view key, int& error);
  // A text of bracketed groups such as "[1,2][5-7]", one integer list per
  // non-empty group.
  QVRef<QVVector<QVRef<QVVector<int>>>> GetIntArrayListValue(const Json::Value& object,
                                                             std::string_view key, int& error);
  // Reads a name of `table` into `*member`; returns 0 or an error code.
  int GetEnumValue(const Json::Value& object, std::string_view key, EnumTable table, int* member);

  // Reads an array of sub-objects; each element starts as a copy of
  // `prototype` and reads itself with its own ReadFromJson (or `reader`).
  template <class T>
  QVRef<QVVector<T>> GetObjectArrayValue(
      const Json::Value& object, std::string_view key, int& error, const T& prototype,
      int (*reader)(QV_ParameterFieldBase&, const Json::Value&) = nullptr);

  // An array under `key`, each element taken into the list by `convert`
  // (element, index, items) → 0 or a code with its message set; null for an
  // absent or null key, another JSON type (-10031 with the key) or a
  // refused element.
  template <class T, class Convert>
  QVRef<QVVector<T>> GetArrayValue(const Json::Value& object, std::string_view key, int& error,
                                   Convert convert);

  std::string libraryFileName;
  std::string libraryParameters;
  std::string signature;
  std::string name;
  // The mapping the object reads with, bound at the start of each read.
  const ClassMapping* fieldTable = nullptr;
  Json::Value json;
  std::string errorMessage;

  // The readers behind the fields. Each reads its key
  // from `object`, the JSON object that holds it, and leaves the text of a
  // failure in errorMessage.
  int ReadIntMember(const Json::Value& object, std::string_view key, int& member, int minimum,
                    int maximum);
  int ReadStringMember(const Json::Value& object, std::string_view key, std::string& member);
  int ReadStringListMember(const Json::Value& object, std::string_view key,
                           std::vector<std::string>& member, bool allowEmpty);
  int ReadIntArrayMember(const Json::Value& object, std::string_view key,
                         std::vector<int>& member, const std::vector<int>& minimums,
                         const std::vector<int>& maximums);
  // Reads `child` from `value`; the child's message becomes this object's
  // when `copyMessage`.
  int ReadNested(QV_ParameterFieldBase& child, const Json::Value& value, bool copyMessage);
  // Each element of a list starts as a copy of `prototype` and is read by
  // `reader`, or by its own ReadFromJson.
  template <class T>
  int ReadObjectList(const Json::Value& object, std::string_view key, std::vector<T>& list,
                     bool allowEmpty, const T& prototype,
                     int (*reader)(QV_ParameterFieldBase&, const Json::Value&) = nullptr);

  // Sets errorMessage = key + ":" + text of `code`, and returns `code`.
  int FailWithKey(std::string_view key, int code);
  // Sets errorMessage = key + ": out of range.", returns -10033.
  int FailOutOfRange(std::string_view key);
  // Puts `name` (a type name or key) and ":" in front of errorMessage: the
  // level a failure passes through on its way out.
  void PrefixMessage(std::string_view name);
  // Sets errorMessage = type name + " " + `text`, and returns `code`: a
  // check across keys, after reading.
  int FailValidation(int code, std::string_view text);

};

// ---------------------------------------------------------------------------
// Template members.

template <class T, class Convert>
QVRef<QVVector<T>> QV_ParameterFieldBase::GetArrayValue(const Json::Value& object,
                                                        std::string_view key, int& error,
                                                        Convert convert) {
  error = errors::kSuccess;
  const Json::Value* value = FindMember(object, key);
  if (!value || value->isNull()) return {};
  if (!value->isArray()) {
    error = FailWithKey(key, errors::kJsonTypeInvalid);
    return {};
  }
  auto list = MakeRef<QVVector<T>>();
  list->items.reserve(value->size());
  for (Json::ArrayIndex i = 0; i < value->size(); ++i) {
    error = convert((*value)[i], i, list->items);
    if (error != errors::kSuccess) return {};
  }
  return list;
}

template <class T>
QVRef<QVVector<T>> QV_ParameterFieldBase::GetObjectArrayValue(
    const Json::Value& object, std::string_view key, int& error, const T& prototype,
    int (*reader)(QV_ParameterFieldBase&, const Json::Value&)) {
  return GetArrayValue<T>(object, key, error,
                          [&](const Json::Value& value, Json::ArrayIndex i, std::vector<T>& items) {
                            T element(prototype);
                            const int result = reader ? reader(element, value)
                                                      : element.ReadFromJson(value, NoSkippedKeys());
                            if (result != errors::kSuccess) {
                              errorMessage = Prefixed(ElementName(key, i), element.errorMessage);
                              return result;
                            }
                            items.push_back(std::move(element));
                            return errors::kSuccess;
                          });
}

template <class T>
int QV_ParameterFieldBase::ReadObjectList(const Json::Value& object, std::string_view key,
                                          std::vector<T>& list, bool allowEmpty,
                                          const T& prototype,
                                          int (*reader)(QV_ParameterFieldBase&,
                                                        const Json::Value&)) {
  int error = errors::kSuccess;
  QVRef<QVVector<T>> read = GetObjectArrayValue<T>(object, key, error, prototype, reader);
  if (error != errors::kSuccess) return error;
  if (!read) return errors::kSuccess;
  if (read->items.empty() && !allowEmpty) return FailWithKey(key, errors::kJsonValueInvalid);
  list = std::move(read->items);
  return errors::kSuccess;
}

}  // namespace quorvane
