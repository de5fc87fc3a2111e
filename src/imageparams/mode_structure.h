#pragma once

// The mode-structure pattern. A mode structure selects one variant of a
// processing step by its "Mode" name and carries that variant's integer
// arguments; sections hold ordered lists of them. Every family is the same
// machine driven by one table (ModeFamily): its type name, its enumeration,
// the mode a list element starts from, and its arguments in declaration
// order with key, default and range (or name table). A family class declares
// its members, its table and its constructors; families with a special key
// override InitFieldTable/WriteToJson and call this base first.

#include <string>
#include <vector>

#include "framework/parameter_field_base.h"

namespace quorvane {

// One integer argument of a mode family. An enumerated argument is stored as
// an int and read and written as a name of its own table.
template <class S>
struct ModeArgument {
  const char* key;
  int S::*member;
  int defaultValue;
  int minimum;
  int maximum;
  EnumTable names;  // empty for a plain integer argument

  bool IsEnumerated() const { return !names.empty(); }
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

  // "[" + mode name + "]" (when the mode is in the table), one "[value]" per
  // argument in declaration order, then the two library strings.
  std::string& GetSignature() override {
    const ModeFamily<S>& family = S::Family();
    signature.clear();
    for (const EnumEntry& entry : family.modes) {
      if (entry.value == mode) {
        signature += std::string("[") + entry.name + "]";
        break;
      }
    }
    for (const ModeArgument<S>& argument : family.arguments) {
      signature += "[" + std::to_string(Self().*argument.member) + "]";
    }
    signature += "[" + libraryFileName + "]";
    signature += "[" + libraryParameters + "]";
    return signature;
  }

  void InitFieldTable() override {
    const ModeFamily<S>& family = S::Family();
    RegisterCommonFields();
    RegisterEnumField("Mode", &mode, family.modes);
    for (const ModeArgument<S>& argument : family.arguments) {
      int* member = &(Self().*argument.member);
      if (argument.IsEnumerated()) {
        RegisterEnumField(argument.key, member, argument.names);
      } else {
        RegisterIntField(argument.key, member, argument.minimum, argument.maximum);
      }
    }
  }

  // The mode and every argument; a mode structure never writes "Name".
  void WriteToJson(bool /*flag*/) override {
    const ModeFamily<S>& family = S::Family();
    json = Json::Value();
    json["Mode"] = EnumName(family.modes, mode);
    for (const ModeArgument<S>& argument : family.arguments) {
      const int value = Self().*argument.member;
      json[argument.key] = argument.IsEnumerated() ? Json::Value(EnumName(argument.names, value))
                                                   : Json::Value(value);
    }
  }

 protected:
  explicit ModeStructure(int initialMode) : mode(initialMode) {}

  // Sets every argument to its table default; called by the family's
  // constructors once its members exist.
  void ResetArguments() {
    for (const ModeArgument<S>& argument : S::Family().arguments) {
      Self().*argument.member = argument.defaultValue;
    }
  }

 private:
  S& Self() { return static_cast<S&>(*this); }
};

}  // namespace quorvane
