#pragma once

// Small objects with one key of each common kind, for the framework's own
// tests and the case files that read them ("Leaf", "Top").

#include <string>
#include <vector>

#include "framework/enum_table.h"
#include "framework/field_mapping.h"
#include "framework/parameter_field_base.h"

namespace quorvane::testing {

inline constexpr EnumEntry kColours[] = {{"RED", 1}, {"Green", 2}, {"BLUE", 4}};

class Leaf : public QV_ParameterFieldBase {
 public:
  Leaf() { ApplyDefaults(Mapping(), *this); }

  static const ClassMapping& Mapping() {
    static const ClassMapping mapping = Mapper<Leaf>("Leaf")
                                            .RegisterCommonFields("", kNoFlags)
                                            .Int("Count", &Leaf::count, 5, 1, 100)
                                            .Text("Label", &Leaf::label, "none")
                                            .Enum("Colour", &Leaf::colour, 1, kColours)
                                            .IntList("Pair", &Leaf::pair, {0, 0}, {0, -5}, {10, 5})
                                            .TextList("Tags", &Leaf::tags)
                                            .Build();
    return mapping;
  }
  const ClassMapping& GetMapping() const override { return Mapping(); }
  // The library parameters are written too, to see what was read.
  void WriteToJson(bool flag) override {
    QV_ParameterFieldBase::WriteToJson(flag);
    json["LibraryParameters"] = libraryParameters;
  }

  int count;
  std::string label;
  int colour;
  std::vector<int> pair;
  std::vector<std::string> tags;
};

class Middle : public QV_ParameterFieldBase {
 public:
  Middle() { ApplyDefaults(Mapping(), *this); }

  static const ClassMapping& Mapping() {
    static const ClassMapping mapping =
        Mapper<Middle>("Middle")
            .RegisterCommonFields("", kNoFlags)
            .ObjectList("Leaves", &Middle::leaves, kNoFlags, {Leaf()})
            .Object("Single", &Middle::single, kNeverWritten)
            .Build();
    return mapping;
  }
  const ClassMapping& GetMapping() const override { return Mapping(); }

  std::vector<Leaf> leaves;
  Leaf single;
};

class Top : public QV_ParameterFieldBase {
 public:
  static const ClassMapping& Mapping() {
    static const ClassMapping mapping = Mapper<Top>("Top")
                                            .ObjectList("Middles", &Top::middles)
                                            .ObjectList("Optional", &Top::optional, kEmptyAllowed)
                                            .Build();
    return mapping;
  }
  const ClassMapping& GetMapping() const override { return Mapping(); }

  std::vector<Middle> middles;
  std::vector<Leaf> optional;
};

// Keys registered in batches, as older classes list them.
class Registered : public QV_ParameterFieldBase {
 public:
  Registered() { ApplyDefaults(Mapping(), *this); }

  static Mapper<Registered> Registrars() {
    using S = Registered;
    static const std::vector<std::string> intKeys = {"A", "B"};
    static const std::vector<int> minimums = {0, 0};
    static const std::vector<int> maximums = {9, 9};
    static const std::vector<std::string> listKeys = {"P"};
    static const std::vector<std::vector<int>> listMinimums = {{0, 0}};
    static const std::vector<std::vector<int>> listMaximums = {{1, 1}};
    static const std::vector<std::string> textKeys = {"T"};
    static const std::vector<std::string> textListKeys = {"L"};
    static const std::vector<std::string> setterKeys = {"S"};
    Mapper<S> mapper("Registered");
    mapper.RegisterCommonFields()
        .RegisterIntFields(intKeys, {&S::a, &S::b}, minimums, maximums)
        .RegisterIntArrayFields(listKeys, {&S::p}, listMinimums, listMaximums)
        .RegisterStringFields(textKeys, {&S::t})
        .RegisterStringArrayFields(textListKeys, {&S::l}, {true})
        .RegisterStringSetterFields(setterKeys, {[](S& self, const std::string& text) {
                                      self.t = "set " + text;
                                    }});
    return mapper;
  }
  static const ClassMapping& Mapping() {
    static const ClassMapping mapping = Registrars().Build();
    return mapping;
  }
  const ClassMapping& GetMapping() const override { return Mapping(); }

  int a;
  int b;
  std::vector<int> p;
  std::string t;
  std::vector<std::string> l;
};

}  // namespace quorvane::testing
