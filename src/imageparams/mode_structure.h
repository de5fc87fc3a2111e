#pragma once

// The mode-structure pattern. A mode structure selects one variant of a
// processing step by its "Mode" name and carries that variant's arguments;
// sections hold ordered lists of them. Every family is a class with its
// members and one mapping (framework/field_mapping.h) built with Modes():
// its type name, its enumeration, the mode a list element starts from, and
// its arguments in declaration order with key, default and range (or name
// table). Most arguments are integers; a few families also carry integer
// lists, bracketed group lists or a text. A family with a reader or check of
// its own overrides ReadFromJson or Validate.

#include <climits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/field_mapping.h"
#include "framework/parameter_field_base.h"

namespace quorvane {

// The bracketed text a group list is written as: each group in its own
// brackets ("[1,2][3,4]"), which is the form the group-list reader splits;
// an empty list is "[]".
std::string GroupListText(const std::vector<std::vector<int>>& groups);

// Whether `key` is one that every mode structure has ("Mode" and the common
// keys) rather than an argument of its family.
bool IsModeStructureKey(std::string_view key);

// A list of groups read from bracketed text ("[1,2][3,4]"). Every group has
// as many integers as the bounds, each within its position's bounds, except
// under `boundsMode`, where the second pair of bounds applies. The first bad
// group ends the read with -10033 and no text of its own, keeping the groups
// before it; null leaves the list; a read replaces the list, so that reading
// an object again does not double its groups. Starts empty.
template <class S>
class GroupListField final : public FieldSpec {
 public:
  struct Bounds {
    std::vector<int> minimums;
    std::vector<int> maximums;
  };
  // No mode switches the bounds.
  static constexpr int kNoBoundsMode = INT_MAX;

  GroupListField(const char* key, std::vector<std::vector<int>> S::*member, Bounds bounds,
                 int boundsMode = kNoBoundsMode, Bounds modeBounds = {})
      : FieldSpec(key, kNoFlags),
        member_(member),
        bounds_(std::move(bounds)),
        boundsMode_(boundsMode),
        modeBounds_(std::move(modeBounds)) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    const Json::Value* value = FindMember(container, Key());
    if (!value || value->isNull()) return errors::kSuccess;
    int error = errors::kSuccess;
    QVRef<QVVector<QVRef<QVVector<int>>>> groups =
        object.GetIntArrayListValue(container, Key(), error);
    if (error != errors::kSuccess) return error;
    S& owner = static_cast<S&>(object);
    const Bounds& bounds = owner.mode == boundsMode_ ? modeBounds_ : bounds_;
    std::vector<std::vector<int>>& list = owner.*member_;
    list.clear();
    for (const QVRef<QVVector<int>>& group : groups->items) {
      const std::vector<int>& values = group->items;
      if (values.size() != bounds.minimums.size()) return errors::kJsonValueInvalid;
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] < bounds.minimums[i] || values[i] > bounds.maximums[i]) {
          return errors::kJsonValueInvalid;
        }
      }
      list.push_back(values);
    }
    return errors::kSuccess;
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    json[Json::StaticString(Key())] = GroupListText(static_cast<S&>(object).*member_);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool) const override {
    text.QuotedKey(KeyText());
    text.String(GroupListText(static_cast<S&>(object).*member_));
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    (static_cast<S&>(object).*member_).clear();
  }
  void AppendSignature(const QV_ParameterFieldBase& object, std::string& signature) const override {
    signature += '[' + GroupListText(static_cast<const S&>(object).*member_) + ']';
  }
  // Bracketed groups of a fixed size; their bounds are the reader's to check.
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter&) const override {
    const std::size_t size = bounds_.minimums.size();
    std::vector<std::vector<int>> example(2, std::vector<int>(size));
    for (std::size_t i = 0; i < size; ++i) {
      example[0][i] = static_cast<int>(i) + 1;
      example[1][i] = static_cast<int>(size + i) + 1;
    }
    Json::Value text;
    text["type"] = "string";
    text["description"] = "groups of " + std::to_string(size) +
                          " integers, each in brackets, such as \"" + GroupListText(example) + "\"";
    return SchemaWriter::OrNull(text);
  }

 private:
  std::vector<std::vector<int>> S::*member_;
  Bounds bounds_;
  int boundsMode_;
  Bounds modeBounds_;
};

// What every mode structure has, whatever its family: the mode, one value of
// the enumeration its mapping names (ClassMapping::Modes).
class ModeStructureBase : public QV_ParameterFieldBase {
 public:
  int mode = 0;
};

template <class S>
class ModeStructure : public ModeStructureBase {
 public:
  const ClassMapping& GetMapping() const override { return S::Mapping(); }

  // "[" + mode name + "]" (when the mode is in the table), one bracketed
  // value per argument in declaration order (lists as they are written),
  // then the two library strings.
  std::string& GetSignature() override {
    const ClassMapping& mapping = S::Mapping();
    signature.clear();
    for (const EnumEntry& entry : mapping.Modes()) {
      if (entry.value == mode) {
        signature += std::string("[") + entry.name + "]";
        break;
      }
    }
    for (const FieldPointer& field : mapping.Fields()) {
      if (!IsModeStructureKey(field->Key())) field->AppendSignature(*this, signature);
    }
    signature += "[" + libraryFileName + "]";
    signature += "[" + libraryParameters + "]";
    return signature;
  }

 protected:
  explicit ModeStructure(int initialMode) { mode = initialMode; }

  // Sets every argument to its default, keeping the mode; called by the
  // family's constructors once its members exist.
  void ResetArguments() {
    const int kept = mode;
    ApplyDefaults(S::Mapping(), *this);
    mode = kept;
  }
};

}  // namespace quorvane
