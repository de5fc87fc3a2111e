#include "framework/parameter_field_base.h"

#include <algorithm>
#include <cstdint>

#include "framework/field_mapping.h"
#include "framework/key_accounting.h"
#include "framework/messages.h"
#include "framework/styled_text.h"

namespace quorvane {

namespace {

// Range items ("5-9") of one bracketed text may expand to this many integers
// in all: a short text must never turn into gigabytes of integers.
constexpr std::uint64_t kMaxExpandedIntegers = 65536;

// A plain decimal integer with an optional leading '-', spaces around it
// allowed, within 32 bits.
bool ParseDecimal(std::string_view text, int& value) {
  text = TrimSpaces(text);
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) i = 1;
  if (i >= text.size()) return false;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > 2147483648LL) return false;
  }
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX) return false;
  value = static_cast<int>(signedValue);
  return true;
}

// One group "1, 2, 5-7": items separated by ',', spaces trimmed, empty items
// skipped, "a-b" standing for every integer between its ends.
bool ParseGroup(std::string_view group, std::vector<int>& out, std::uint64_t& rangeBudget) {
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = group.find(',', start);
    const std::string_view item = TrimSpaces(
        group.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (!item.empty()) {
      const std::size_t dash = item.find('-', 1);
      if (dash == std::string_view::npos) {
        int value = 0;
        if (!ParseDecimal(item, value)) return false;
        out.push_back(value);
      } else {
        int low = 0;
        int high = 0;
        if (!ParseDecimal(item.substr(0, dash), low) || !ParseDecimal(item.substr(dash + 1), high)) {
          return false;
        }
        if (low > high) std::swap(low, high);
        const std::uint64_t count = static_cast<std::uint64_t>(std::int64_t{high} - low) + 1;
        if (count > rangeBudget) return false;
        rangeBudget -= count;
        for (std::int64_t v = low; v <= high; ++v) out.push_back(static_cast<int>(v));
      }
    }
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
  }
}

}  // namespace

const SkippedKeys& NoSkippedKeys() {
  static const SkippedKeys none;
  return none;
}

// ---------------------------------------------------------------------------
// JSON helpers

const Json::Value* FindMember(const Json::Value& object, std::string_view key) {
  if (!object.isObject()) return nullptr;
  return object.find(key.data(), key.data() + key.size());
}

const Json::Value& MemberOrNull(const Json::Value& object, std::string_view key) {
  static const Json::Value null;
  const Json::Value* member = FindMember(object, key);
  return member ? *member : null;
}

Json::Value StringListJson(const std::vector<std::string>& list) {
  Json::Value array;
  for (const std::string& text : list) array.append(Json::Value(text));
  return array;
}

Json::Value IntListJson(const std::vector<int>& list) {
  Json::Value array;
  for (int value : list) array.append(Json::Value(value));
  return array;
}

// ---------------------------------------------------------------------------
// Life cycle and virtual operations

QV_ParameterFieldBase::QV_ParameterFieldBase(const QV_ParameterFieldBase& other)
    : QVObjectBase(other),
      libraryFileName(other.libraryFileName),
      libraryParameters(other.libraryParameters),
      signature(other.signature),
      name(other.name),
      json(other.json),
      errorMessage(other.errorMessage) {}

QV_ParameterFieldBase& QV_ParameterFieldBase::operator=(const QV_ParameterFieldBase& other) {
  if (this != &other) {
    libraryFileName = other.libraryFileName;
    libraryParameters = other.libraryParameters;
    signature = other.signature;
    name = other.name;
    json = other.json;
    errorMessage = other.errorMessage;
    // Our own binding stays: it is bound again before any read.
  }
  return *this;
}

const std::string& QV_ParameterFieldBase::GetTypeName() const { return GetMapping().TypeName(); }

const std::string& QV_ParameterFieldBase::GetBaseName() const {
  static const std::string none;
  return none;
}

std::string& QV_ParameterFieldBase::GetSignature() { return signature; }

const ClassMapping& QV_ParameterFieldBase::GetMapping() const {
  static const ClassMapping none("", {}, false, {}, 0);
  return none;
}

void QV_ParameterFieldBase::ResetReadMarks() {}

void QV_ParameterFieldBase::BindForRead(const ClassMapping& mapping) {
  fieldTable = &mapping;
  ResetReadMarks();
}

int QV_ParameterFieldBase::ReadFromJson(const Json::Value& value, const SkippedKeys& skippedKeys) {
  BindForRead(GetMapping());
  if (value.isObject()) {
    int result = ReadFirstFields(value, skippedKeys);
    if (result != errors::kSuccess) return result;
    result = ReadFields(value, skippedKeys, fieldTable->IgnoresUnknownKeys());
    if (result != errors::kSuccess) return result;
  } else if (!value.isNull()) {
    return errors::kJsonTypeInvalid;
  }
  return Validate();
}

void QV_ParameterFieldBase::WriteToJson(bool flag) {
  json = Json::Value();
  for (const FieldPointer& field : GetMapping().Fields()) {
    if (!field->Has(kNeverWritten)) field->Write(*this, json, flag);
  }
}

void QV_ParameterFieldBase::WriteText(StyledText& text, bool flag) {
  text.BeginObject();
  for (const FieldSpec* field : GetMapping().WrittenByKey()) field->WriteText(*this, text, flag);
  text.EndObject(true);
}

int QV_ParameterFieldBase::Validate() { return errors::kSuccess; }

namespace {

bool IsSkipped(const SkippedKeys& skippedKeys, std::string_view key) {
  return std::find(skippedKeys.begin(), skippedKeys.end(), key) != skippedKeys.end();
}

void Consume(const Json::Value& value) {
  if (KeyAccounting* accounting = KeyAccounting::Current()) accounting->Consume(value);
}

}  // namespace

int QV_ParameterFieldBase::ReadFirstFields(const Json::Value& object,
                                           const SkippedKeys& skippedKeys) {
  if (fieldTable == nullptr || !fieldTable->HasReadFirst()) return errors::kSuccess;
  for (const FieldPointer& field : fieldTable->Fields()) {
    if (!field->Has(kReadFirst) || IsSkipped(skippedKeys, field->Key())) continue;
    const Json::Value* member = FindMember(object, field->Key());
    if (member != nullptr) Consume(*member);
    if (member == nullptr && !field->ReadsOwnerObject()) continue;
    const int result = field->Read(*this, object);
    if (result != errors::kSuccess) return result;
  }
  return errors::kSuccess;
}

namespace {

// A value given under several names of one key: the name read last (the
// later in key order) holds, and each other is a change.
void RecordOverriddenNames(const ClassMapping& mapping, const Json::Value& object) {
  const auto olderNames = mapping.OlderNames();
  for (std::size_t i = 0; i < olderNames.size(); ++i) {
    const std::string& key = olderNames[i].second;
    // Each key once, at its first older name.
    bool seen = false;
    for (std::size_t j = 0; j < i && !seen; ++j) seen = olderNames[j].second == key;
    if (seen) continue;
    std::vector<const std::string*> names{&key};
    for (std::size_t j = i; j < olderNames.size(); ++j) {
      if (olderNames[j].second == key) names.push_back(&olderNames[j].first);
    }
    const std::string* held = nullptr;
    for (const std::string* name : names) {
      if (FindMember(object, *name) != nullptr && (held == nullptr || *held < *name)) held = name;
    }
    if (held == nullptr) continue;
    for (const std::string* name : names) {
      const Json::Value* given = FindMember(object, *name);
      if (given == nullptr || name == held) continue;
      RecordChange(*given, *FindMember(object, *held),
                   "given again under another name; that one is written");
    }
  }
}

}  // namespace

int QV_ParameterFieldBase::ReadFields(const Json::Value& object, const SkippedKeys& skippedKeys,
                                      bool ignoreUnknownKeys) {
  std::string_view failedKey;
  return ReadFields(object, skippedKeys, ignoreUnknownKeys, failedKey);
}

int QV_ParameterFieldBase::ReadFields(const Json::Value& object, const SkippedKeys& skippedKeys,
                                      bool ignoreUnknownKeys, std::string_view& failedKey) {
  if (!object.isObject()) return errors::kSuccess;
  for (auto it = object.begin(); it != object.end(); ++it) {
    const char* end = nullptr;
    const char* begin = it.memberName(&end);
    const std::string_view key(begin, static_cast<std::size_t>(end - begin));
    if (IsSkipped(skippedKeys, key)) continue;
    int result = errors::kSuccess;
    if (const FieldSpec* field = fieldTable != nullptr ? fieldTable->Find(key) : nullptr) {
      // Read before the other keys.
      if (field->Has(kReadFirst)) continue;
      Consume(*it);
      result = field->Read(*this, object);
    } else if (!ignoreUnknownKeys) {
      errorMessage = Prefixed(GetTypeName(), CodeMessage(key, errors::kJsonKeyInvalid));
      return errors::kJsonKeyInvalid;
    }
    if (result != errors::kSuccess) {
      failedKey = key;
      PrefixMessage(GetTypeName());
      return result;
    }
  }
  if (RecordingChanges() && fieldTable != nullptr) {
    RecordOverriddenNames(*fieldTable, object);
  }
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// Typed getters

int QV_ParameterFieldBase::FailWithKey(std::string_view key, int code) {
  errorMessage = CodeMessage(key, code);
  return code;
}

int QV_ParameterFieldBase::FailOutOfRange(std::string_view key) {
  errorMessage = Prefixed(key, texts::kOutOfRange);
  return errors::kJsonValueInvalid;
}

void QV_ParameterFieldBase::PrefixMessage(std::string_view name) {
  errorMessage = Prefixed(name, errorMessage);
}

int QV_ParameterFieldBase::FailValidation(int code, std::string_view text) {
  errorMessage = Prefixed(GetTypeName(), text, Joint::kSpace);
  return code;
}

int QV_ParameterFieldBase::GetIntValue(const Json::Value& object, std::string_view key,
                                       int& error) {
  error = errors::kSuccess;
  const Json::Value* value = FindMember(object, key);
  if (!value || value->isNull()) return -1;
  if (!value->isInt()) {
    error = FailWithKey(key, errors::kJsonTypeInvalid);
    return -1;
  }
  return value->asInt();
}

std::string_view QV_ParameterFieldBase::GetStringValue(const Json::Value& object,
                                                       std::string_view key, int& error) {
  error = errors::kSuccess;
  const Json::Value* value = FindMember(object, key);
  if (!value || value->isNull()) return {};
  const char* begin = nullptr;
  const char* end = nullptr;
  if (!value->getString(&begin, &end)) {
    error = FailWithKey(key, errors::kJsonTypeInvalid);
    return {};
  }
  return {begin, static_cast<std::size_t>(end - begin)};
}

QVRef<QVVector<int>> QV_ParameterFieldBase::GetIntArrayValue(const Json::Value& object,
                                                             std::string_view key, int& error) {
  return GetArrayValue<int>(object, key, error,
                            [this, key](const Json::Value& element, Json::ArrayIndex, auto& items) {
                              if (!element.isInt()) return FailWithKey(key, errors::kJsonTypeInvalid);
                              items.push_back(element.asInt());
                              return errors::kSuccess;
                            });
}

QVRef<QVVector<std::string_view>> QV_ParameterFieldBase::GetStringArrayValue(
    const Json::Value& object, std::string_view key, int& error) {
  return GetArrayValue<std::string_view>(
      object, key, error, [this, key](const Json::Value& element, Json::ArrayIndex, auto& items) {
        const char* begin = nullptr;
        const char* end = nullptr;
        if (!element.getString(&begin, &end)) return FailWithKey(key, errors::kJsonTypeInvalid);
        items.emplace_back(begin, static_cast<std::size_t>(end - begin));
        return errors::kSuccess;
      });
}

QVRef<QVVector<QVRef<QVVector<int>>>> QV_ParameterFieldBase::GetIntArrayListValue(
    const Json::Value& object, std::string_view key, int& error) {
  const std::string_view text = GetStringValue(object, key, error);
  if (error != errors::kSuccess) return {};
  auto groups = MakeRef<QVVector<QVRef<QVVector<int>>>>();
  std::uint64_t rangeBudget = kMaxExpandedIntegers;
  std::string_view rest = text;
  while (true) {
    const std::size_t open = rest.find('[');
    if (open == std::string_view::npos) break;
    const std::size_t close = rest.find(']', open + 1);
    // An unclosed group ends the text; the groups before it stand.
    if (close == std::string_view::npos) break;
    auto group = MakeRef<QVVector<int>>();
    if (!ParseGroup(rest.substr(open + 1, close - open - 1), group->items, rangeBudget)) {
      error = FailWithKey(key, errors::kJsonValueInvalid);
      return {};
    }
    if (!group->items.empty()) groups->items.push_back(group);
    rest = rest.substr(close + 1);
  }
  return groups;
}

bool ParseIntegerGroup(std::string_view text, std::vector<int>& out) {
  std::uint64_t rangeBudget = kMaxExpandedIntegers;
  return ParseGroup(text, out, rangeBudget);
}

int QV_ParameterFieldBase::GetEnumValue(const Json::Value& object, std::string_view key,
                                        EnumTable table, int* member) {
  int error = errors::kSuccess;
  const std::string_view text = GetStringValue(object, key, error);
  if (error != errors::kSuccess) return error;
  const int value = LookupEnumValue(table, text);
  if (value == kEnumNotFound) return FailWithKey(key, errors::kJsonValueInvalid);
  *member = value;
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// Readers

int QV_ParameterFieldBase::ReadIntMember(const Json::Value& object, std::string_view key,
                                         int& member, int minimum, int maximum) {
  int error = errors::kSuccess;
  const int value = GetIntValue(object, key, error);
  if (value == -1) {
    // Null, a wrong type, or -1 itself: -1 means "not set" whatever the range.
    member = -1;
    return error;
  }
  if (value < minimum || value > maximum) return FailOutOfRange(key);
  member = value;
  return errors::kSuccess;
}

int QV_ParameterFieldBase::ReadStringMember(const Json::Value& object, std::string_view key,
                                            std::string& member) {
  int error = errors::kSuccess;
  const std::string_view text = GetStringValue(object, key, error);
  if (error != errors::kSuccess) return error;
  member.assign(text);
  return errors::kSuccess;
}

int QV_ParameterFieldBase::ReadStringListMember(const Json::Value& object, std::string_view key,
                                                std::vector<std::string>& member,
                                                bool allowEmpty) {
  int error = errors::kSuccess;
  QVRef<QVVector<std::string_view>> list = GetStringArrayValue(object, key, error);
  if (error != errors::kSuccess) return error;
  if (!list) return errors::kSuccess;
  if (list->items.empty() && !allowEmpty) return FailWithKey(key, errors::kJsonValueInvalid);
  member.assign(list->items.begin(), list->items.end());
  return errors::kSuccess;
}

int QV_ParameterFieldBase::ReadIntArrayMember(const Json::Value& object, std::string_view key,
                                              std::vector<int>& member,
                                              const std::vector<int>& minimums,
                                              const std::vector<int>& maximums) {
  int error = errors::kSuccess;
  QVRef<QVVector<int>> list = GetIntArrayValue(object, key, error);
  if (error != errors::kSuccess) return error;
  if (!list) return errors::kSuccess;
  if (list->items.size() != minimums.size()) return errors::kJsonValueInvalid;
  for (std::size_t i = 0; i < list->items.size(); ++i) {
    if (list->items[i] < minimums[i] || list->items[i] > maximums[i]) return FailOutOfRange(key);
  }
  member = std::move(list->items);
  return errors::kSuccess;
}

int QV_ParameterFieldBase::ReadNested(QV_ParameterFieldBase& child, const Json::Value& value,
                                      bool copyMessage) {
  const int result = child.ReadFromJson(value, NoSkippedKeys());
  if (result != errors::kSuccess && copyMessage) errorMessage = child.errorMessage;
  return result;
}

}  // namespace quorvane
