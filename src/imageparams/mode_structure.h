#pragma once

// The mode-structure pattern. A mode structure selects one variant of a
// processing step by its "Mode" name and carries that variant's arguments;
// sections hold ordered lists of them. Every family is the same machine
// driven by one table (ModeFamily): its type name, its enumeration, the mode
// a list element starts from, and its arguments in declaration order with
// key, default and range (or name table). Most arguments are integers; a few
// families also carry integer lists, bracketed group lists or a text. A
// family class declares its members, its table and its constructors; a
// family with a reader or check of its own overrides ReadFromJson or Validate.

#include <climits>
#include <string>
#include <vector>

#include "framework/parameter_field_base.h"

namespace quorvane {

// The bracketed text a group list is written as: each group in its own
// brackets ("[1,2][3,4]"), which is the form the group-list reader splits;
// an empty list is "[]".
std::string GroupListText(const std::vector<std::vector<int>>& groups);

// No mode switches a group list to other bounds.
inline constexpr int kNoBoundsMode = INT_MAX;

// One argument of a mode family. A plain or enumerated argument is an int
// member (an enumerated one is read and written as a name of its own table);
// the other kinds leave `member` null and set the pointer of their kind.
template <class S>
struct ModeArgument {
  const char* key;
  int S::*member;
  int defaultValue;
  int minimum;
  int maximum;
  EnumTable names;  // empty for a plain integer argument

  // An integer list of fixed length, bounded per position by
  // `minimums`/`maximums`, starting as `defaultList`.
  std::vector<int> S::*intList = nullptr;
  // A list of groups read from bracketed text; every group has as many
  // integers as `minimums` and is bounded per position like an integer list,
  // except under `boundsMode`, where `modeMinimums`/`modeMaximums` apply.
  std::vector<std::vector<int>> S::*groupList = nullptr;
  // A text, starting as `defaultText`.
  std::string S::*text = nullptr;
  std::vector<int> defaultList = {};
  std::vector<int> minimums = {};
  std::vector<int> maximums = {};
  int boundsMode = kNoBoundsMode;
  std::vector<int> modeMinimums = {};
  std::vector<int> modeMaximums = {};
  const char* defaultText = "";

  bool IsEnumerated() const { return member && !names.empty(); }
};

template <class S>
ModeArgument<S> IntArgument(const char* key, int S::*member, int defaultValue, int minimum,
                            int maximum) {
  return {key, member, defaultValue, minimum, maximum, {}};
}

template <class S>
ModeArgument<S> EnumArgument(const char* key, int S::*member, int defaultValue, EnumTable names) {
  return {key, member, defaultValue, 0, 0, names};
}

template <class S>
ModeArgument<S> IntListArgument(const char* key, std::vector<int> S::*member,
                                std::vector<int> defaults, std::vector<int> minimums,
                                std::vector<int> maximums) {
  ModeArgument<S> argument{key, nullptr, 0, 0, 0, {}};
  argument.intList = member;
  argument.defaultList = std::move(defaults);
  argument.minimums = std::move(minimums);
  argument.maximums = std::move(maximums);
  return argument;
}

// A group list that starts empty; the bounds' length is the group size.
template <class S>
ModeArgument<S> GroupListArgument(const char* key, std::vector<std::vector<int>> S::*member,
                                  std::vector<int> minimums, std::vector<int> maximums) {
  ModeArgument<S> argument{key, nullptr, 0, 0, 0, {}};
  argument.groupList = member;
  argument.minimums = std::move(minimums);
  argument.maximums = std::move(maximums);
  return argument;
}

// A group list whose bounds follow the mode: `modeMinimums`/`modeMaximums`
// under `boundsMode`, the first pair under any other mode.
template <class S>
ModeArgument<S> GroupListArgument(const char* key, std::vector<std::vector<int>> S::*member,
                                  std::vector<int> minimums, std::vector<int> maximums,
                                  int boundsMode, std::vector<int> modeMinimums,
                                  std::vector<int> modeMaximums) {
  ModeArgument<S> argument =
      GroupListArgument(key, member, std::move(minimums), std::move(maximums));
  argument.boundsMode = boundsMode;
  argument.modeMinimums = std::move(modeMinimums);
  argument.modeMaximums = std::move(modeMaximums);
  return argument;
}

template <class S>
ModeArgument<S> TextArgument(const char* key, std::string S::*member,
                             const char* defaultText = "") {
  ModeArgument<S> argument{key, nullptr, 0, 0, 0, {}};
  argument.text = member;
  argument.defaultText = defaultText;
  return argument;
}

template <class S>
struct ModeFamily {
  const char* typeName;
  EnumTable modes;
  // The mode of an element read from a JSON list, before its object is read.
  int elementMode;
  // Declaration order; also the order of the signature.
  std::vector<ModeArgument<S>> arguments;
};

template <class S>
class ModeStructure : public QV_ParameterFieldBase {
 public:
  int mode = 0;

  const std::string& GetTypeName() const override {
    static const std::string typeName = S::Family().typeName;
    return typeName;
  }

  // "[" + mode name + "]" (when the mode is in the table), one bracketed
  // value per argument in declaration order (lists as they are written),
  // then the two library strings.
  std::string& GetSignature() override {
    const ModeFamily<S>& family = S::Family();
    signature.clear();
    for (const EnumEntry& entry : family.modes) {
      if (entry.value == mode) {
        signature += std::string("[") + entry.name + "]";
        break;
      }
    }
    S& self = Self();
    for (const ModeArgument<S>& argument : family.arguments) {
      signature += '[';
      if (argument.member) {
        signature += std::to_string(self.*argument.member);
      } else if (argument.intList) {
        const std::vector<int>& list = self.*argument.intList;
        for (std::size_t i = 0; i < list.size(); ++i) {
          if (i > 0) signature += ',';
          signature += std::to_string(list[i]);
        }
      } else if (argument.groupList) {
        signature += GroupListText(self.*argument.groupList);
      } else if (argument.text) {
        signature += self.*argument.text;
      }
      signature += ']';
    }
    signature += "[" + libraryFileName + "]";
    signature += "[" + libraryParameters + "]";
    return signature;
  }

  void InitFieldTable() override {
    const ModeFamily<S>& family = S::Family();
    S& self = Self();
    RegisterCommonFields();
    RegisterEnumField("Mode", &mode, family.modes);
    for (const ModeArgument<S>& argument : family.arguments) {
      if (argument.IsEnumerated()) {
        RegisterEnumField(argument.key, &(self.*argument.member), argument.names);
      } else if (argument.member) {
        RegisterIntField(argument.key, &(self.*argument.member), argument.minimum,
                         argument.maximum);
      } else if (argument.intList) {
        RegisterIntArrayField(argument.key, &(self.*argument.intList), &argument.minimums,
                              &argument.maximums);
      } else if (argument.groupList) {
        const ModeArgument<S>* bound = &argument;  // the table is static
        RegisterField(argument.key, [this, bound](const Json::Value& object) {
          return ReadGroupList(object, *bound);
        });
      } else if (argument.text) {
        RegisterStringField(argument.key, &(self.*argument.text));
      }
    }
  }

  // The mode and every argument; a mode structure never writes "Name".
  // Integer lists are JSON arrays (null when empty), group lists bracketed
  // text.
  void WriteToJson(bool /*flag*/) override {
    const ModeFamily<S>& family = S::Family();
    const S& self = Self();
    // Keys and names are static text, held by pointer.
    json = Json::Value();
    json["Mode"_key] = Json::StaticString(EnumName(family.modes, mode));
    for (const ModeArgument<S>& argument : family.arguments) {
      Json::Value& out = json[Json::StaticString(argument.key)];
      if (argument.IsEnumerated()) {
        out = Json::StaticString(EnumName(argument.names, self.*argument.member));
      } else if (argument.member) {
        out = self.*argument.member;
      } else if (argument.intList) {
        out = IntListJson(self.*argument.intList);
      } else if (argument.groupList) {
        out = GroupListText(self.*argument.groupList);
      } else if (argument.text) {
        out = self.*argument.text;
      }
    }
  }

 protected:
  explicit ModeStructure(int initialMode) : mode(initialMode) {}

  // Sets every argument to its table default; called by the family's
  // constructors once its members exist.
  void ResetArguments() {
    S& self = Self();
    for (const ModeArgument<S>& argument : S::Family().arguments) {
      if (argument.member) {
        self.*argument.member = argument.defaultValue;
      } else if (argument.intList) {
        self.*argument.intList = argument.defaultList;
      } else if (argument.groupList) {
        (self.*argument.groupList).clear();
      } else if (argument.text) {
        self.*argument.text = argument.defaultText;
      }
    }
  }

 private:
  S& Self() { return static_cast<S&>(*this); }
  const S& Self() const { return static_cast<const S&>(*this); }

  // A group list given as bracketed text. Each group must have the group
  // size and lie within the bounds the current mode selects; the first bad
  // group ends the read with -10033 and no message of its own, keeping the
  // groups before it. Null leaves the list as it is.
  int ReadGroupList(const Json::Value& object, const ModeArgument<S>& argument) {
    const Json::Value* value = FindMember(object, argument.key);
    if (!value || value->isNull()) return errors::kSuccess;
    int error = errors::kSuccess;
    QVRef<QVVector<QVRef<QVVector<int>>>> groups =
        GetIntArrayListValue(object, argument.key, error);
    if (error != errors::kSuccess) return error;
    const bool modeBounds = mode == argument.boundsMode;
    const std::vector<int>& minimums = modeBounds ? argument.modeMinimums : argument.minimums;
    const std::vector<int>& maximums = modeBounds ? argument.modeMaximums : argument.maximums;
    std::vector<std::vector<int>>& list = Self().*argument.groupList;
    // A read replaces the list, so that reading an object again does not
    // double its groups.
    list.clear();
    for (const QVRef<QVVector<int>>& group : groups->items) {
      const std::vector<int>& values = group->items;
      if (values.size() != minimums.size()) return errors::kJsonValueInvalid;
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] < minimums[i] || values[i] > maximums[i]) return errors::kJsonValueInvalid;
      }
      list.push_back(values);
    }
    return errors::kSuccess;
  }
};

}  // namespace quorvane
