#pragma once

// Small objects with one key of each registrar kind, for the framework's own
// tests and the case files that read them ("Leaf", "Top").

#include <string>
#include <vector>

#include "framework/enum_table.h"
#include "framework/parameter_field_base.h"

namespace quorvane::testing {

inline constexpr EnumEntry kColours[] = {{"RED", 1}, {"Green", 2}, {"BLUE", 4}};

class Leaf : public QV_ParameterFieldBase {
 public:
  int count = 5;
  std::string label = "none";
  int colour = 1;
  std::vector<int> pair{0, 0};
  std::vector<std::string> tags;

  const std::string& GetTypeName() const override {
    static const std::string typeName = "Leaf";
    return typeName;
  }
  void InitFieldTable() override {
    RegisterCommonFields();
    RegisterIntField("Count", &count, 1, 100);
    RegisterStringField("Label", &label);
    RegisterEnumField("Colour", &colour, kColours);
    static const std::vector<int> minimums{0, -5};
    static const std::vector<int> maximums{10, 5};
    RegisterIntArrayField("Pair", &pair, &minimums, &maximums);
    RegisterStringArrayField("Tags", &tags, false);
  }
  void WriteToJson(bool flag) override {
    QV_ParameterFieldBase::WriteToJson(flag);
    json["Count"] = count;
    json["Label"] = label;
    json["Colour"] = EnumName(kColours, colour);
    WriteIntArrays({"Pair"}, {&pair});
    json["Tags"] = StringListJson(tags);
    json["LibraryParameters"] = libraryParameters;
  }
};

class Middle : public QV_ParameterFieldBase {
 public:
  std::vector<Leaf> leaves{Leaf()};
  Leaf single;

  const std::string& GetTypeName() const override {
    static const std::string typeName = "Middle";
    return typeName;
  }
  void InitFieldTable() override {
    RegisterObjectListField("Leaves", &leaves, false);
    RegisterEmbeddedField("Single", &single);
  }
};

class Top : public QV_ParameterFieldBase {
 public:
  std::vector<Middle> middles;
  std::vector<Leaf> optional;

  const std::string& GetTypeName() const override {
    static const std::string typeName = "Top";
    return typeName;
  }
  void InitFieldTable() override {
    RegisterObjectListField("Middles", &middles, false);
    RegisterObjectListField("Optional", &optional, true);
  }
  void WriteToJson(bool flag) override {
    json = Json::Value();
    WriteObjectList("Middles", middles, flag);
    WriteObjectList("Optional", optional, flag);
  }
  // Exposes the protected registrars to the tests.
  using QV_ParameterFieldBase::RegisterIntArrayFields;
  using QV_ParameterFieldBase::RegisterIntFields;
  using QV_ParameterFieldBase::RegisterStringArrayFields;
  using QV_ParameterFieldBase::RegisterStringFields;
  using QV_ParameterFieldBase::RegisterStringSetterFields;
};

}  // namespace quorvane::testing
