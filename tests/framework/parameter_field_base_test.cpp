#include "framework/parameter_field_base.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

constexpr EnumEntry kColours[] = {{"RED", 1}, {"Green", 2}, {"BLUE", 4}};

// A leaf object with one key of each registrar kind.
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
    ++initCalls;
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
  }

  int initCalls = 0;
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
    RegisterCommonFields();
    RegisterObjectListField("Middles", &middles, false);
    RegisterObjectListField("Optional", &optional, true);
  }
  // Exposes the protected registrars to the tests.
  using QV_ParameterFieldBase::RegisterIntArrayFields;
  using QV_ParameterFieldBase::RegisterIntFields;
  using QV_ParameterFieldBase::RegisterStringArrayFields;
  using QV_ParameterFieldBase::RegisterStringFields;
  using QV_ParameterFieldBase::RegisterStringSetterFields;
};

int ReadText(QV_ParameterFieldBase& object, const std::string& text) {
  return object.ReadFromJson(ParseJson(text), NoSkippedKeys());
}

// ---------------------------------------------------------------------------
// Typed getters against every JSON type.

const char* const kEveryType[] = {"null", "true", "-7", "4294967295", "3.0", "3.5",
                                  "\"3\"", "[1,2]", "{\"a\":1}"};

TEST(TypedGetters, IntegerAcceptsOnlyThe32BitIntegerTest) {
  const struct {
    const char* value;
    int error;
    int result;
  } cases[] = {
      {"null", 0, -1},           {"true", -10031, -1},     {"-7", 0, -7},
      {"4294967295", -10031, -1}, {"3.0", 0, 3},            {"3.5", -10031, -1},
      {"\"3\"", -10031, -1},     {"[1,2]", -10031, -1},    {"{\"a\":1}", -10031, -1},
      {"2147483647", 0, 2147483647}, {"-2147483648", 0, -2147483647 - 1},
      {"2147483648", -10031, -1}, {"-2147483649", -10031, -1}, {"1e300", -10031, -1},
      {"-0.0", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    Leaf leaf;
    int error = 99;
    const int result = leaf.GetIntValue(ParseJson(std::string("{\"K\":") + c.value + "}"), "K", error);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(result, c.result);
    if (c.error) { EXPECT_EQ(leaf.errorMessage, "K:Json type invalid."); }
  }
}

TEST(TypedGetters, StringAndListsRefuseEveryOtherType) {
  for (const char* value : kEveryType) {
    SCOPED_TRACE(value);
    const Json::Value object = ParseJson(std::string("{\"K\":") + value + "}");
    const bool isNull = std::string(value) == "null";
    Leaf leaf;
    int error = 0;

    const std::string_view text = leaf.GetStringValue(object, "K", error);
    EXPECT_EQ(error, (isNull || std::string(value) == "\"3\"") ? 0 : -10031);
    if (error == 0) { EXPECT_EQ(text, isNull ? "" : "3"); }

    const auto ints = leaf.GetIntArrayValue(object, "K", error);
    EXPECT_EQ(error, (isNull || std::string(value) == "[1,2]") ? 0 : -10031);
    EXPECT_EQ(static_cast<bool>(ints), error == 0 && !isNull);

    const auto strings = leaf.GetStringArrayValue(object, "K", error);
    EXPECT_EQ(error, isNull ? 0 : -10031);
    EXPECT_FALSE(strings);
  }
}

TEST(TypedGetters, AbsentKeyGivesTheEmptyResultWithoutError) {
  Leaf leaf;
  int error = 99;
  const Json::Value object = ParseJson("{}");
  EXPECT_EQ(leaf.GetIntValue(object, "K", error), -1);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(leaf.GetStringValue(object, "K", error), "");
  EXPECT_FALSE(leaf.GetIntArrayValue(object, "K", error));
  EXPECT_FALSE(leaf.GetStringArrayValue(object, "K", error));
  EXPECT_EQ(error, 0);
}

TEST(TypedGetters, ArraysFailOnTheFirstBadElement) {
  Leaf leaf;
  int error = 0;
  EXPECT_FALSE(leaf.GetIntArrayValue(ParseJson(R"({"K":[1,2.5,3]})"), "K", error));
  EXPECT_EQ(error, -10031);
  EXPECT_FALSE(leaf.GetStringArrayValue(ParseJson(R"({"K":["a",1]})"), "K", error));
  EXPECT_EQ(error, -10031);
  const auto empty = leaf.GetIntArrayValue(ParseJson(R"({"K":[]})"), "K", error);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->items.empty());
  const Json::Value names = ParseJson(R"({"K":["a","","b"]})");  // the views point into it
  const auto strings = leaf.GetStringArrayValue(names, "K", error);
  ASSERT_TRUE(strings);
  EXPECT_EQ(strings->items, (std::vector<std::string_view>{"a", "", "b"}));
}

TEST(TypedGetters, StringKeepsEmbeddedNulBytes) {
  Leaf leaf;
  int error = 0;
  const Json::Value object = ParseJson(R"({"K":"a\u0000b"})");
  EXPECT_EQ(leaf.GetStringValue(object, "K", error), std::string_view("a\0b", 3));
}

// ---------------------------------------------------------------------------
// Enumerations

TEST(LookupEnumValue, MatchesCaseInsensitivelyWithSpacesTrimmed) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"RED", 1},      {"red", 1},      {" green ", 2}, {"GREEN", 2}, {"  Blue", 4},
      {"", -999},      {"   ", -999},   {"\tRED", -999}, {"RE D", -999}, {"REDS", -999},
      {"purple", -999},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LookupEnumValue(kColours, c.text), c.value);
  }
}

TEST(EnumName, FirstMatchOrTheFirstName) {
  constexpr EnumEntry table[] = {{"A", 1}, {"B", 2}, {"C", 2}};
  EXPECT_STREQ(EnumName(table, 2), "B");
  EXPECT_STREQ(EnumName(table, 7), "A");
}

TEST(GetEnumValue, RefusesEmptyAndUnknownNamesAndKeepsTheMember) {
  const struct {
    const char* json;
    int code;
    int colour;
    const char* message;
  } cases[] = {
      {R"({"Colour":" blue"})", 0, 4, ""},
      {R"({"Colour":"green"})", 0, 2, ""},
      {R"({"Colour":""})", -10033, 1, "Leaf:Colour:Json value invalid or value out of range."},
      {R"({"Colour":null})", -10033, 1, "Leaf:Colour:Json value invalid or value out of range."},
      {R"({"Colour":"pink"})", -10033, 1, "Leaf:Colour:Json value invalid or value out of range."},
      {R"({"Colour":2})", -10031, 1, "Leaf:Colour:Json type invalid."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    Leaf leaf;
    EXPECT_EQ(ReadText(leaf, c.json), c.code);
    EXPECT_EQ(leaf.colour, c.colour);
    if (c.code) { EXPECT_EQ(leaf.errorMessage, c.message); }
  }
}

// ---------------------------------------------------------------------------
// Registered readers

TEST(IntegerReader, RangeEdgesMinusOneAndNull) {
  const struct {
    const char* value;
    int code;
    int stored;
  } cases[] = {
      {"1", 0, 1},         {"100", 0, 100},      {"0", -10033, 5},  {"101", -10033, 5},
      {"-1", 0, -1},       {"null", 0, -1},      {"3.0", 0, 3},     {"3.5", -10031, -1},
      {"\"3\"", -10031, -1}, {"true", -10031, -1}, {"-2", -10033, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    Leaf leaf;
    EXPECT_EQ(ReadText(leaf, std::string("{\"Count\":") + c.value + "}"), c.code);
    EXPECT_EQ(leaf.count, c.stored);
    if (c.code == -10033) { EXPECT_EQ(leaf.errorMessage, "Leaf:Count: out of range."); }
    if (c.code == -10031) { EXPECT_EQ(leaf.errorMessage, "Leaf:Count:Json type invalid."); }
  }
}

TEST(IntegerArrayReader, LengthAndPerPositionBounds) {
  const struct {
    const char* value;
    int code;
    std::vector<int> stored;
    const char* message;
  } cases[] = {
      {"[10,-5]", 0, {10, -5}, ""},
      {"[0,5]", 0, {0, 5}, ""},
      {"[11,0]", -10033, {0, 0}, "Leaf:Pair: out of range."},
      {"[0,-6]", -10033, {0, 0}, "Leaf:Pair: out of range."},
      {"[1]", -10033, {0, 0}, "Leaf:previous"},
      {"[1,2,3]", -10033, {0, 0}, "Leaf:previous"},
      {"null", 0, {0, 0}, ""},
      {"[1,\"2\"]", -10031, {0, 0}, "Leaf:Pair:Json type invalid."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    Leaf leaf;
    leaf.errorMessage = "previous";
    EXPECT_EQ(ReadText(leaf, std::string("{\"Pair\":") + c.value + "}"), c.code);
    EXPECT_EQ(leaf.pair, c.stored);
    if (c.code) { EXPECT_EQ(leaf.errorMessage, c.message); }
  }
}

TEST(StringReaders, NullGivesEmptyAndEmptyArraysObeyTheFlag) {
  Leaf leaf;
  EXPECT_EQ(ReadText(leaf, R"({"Label":null})"), 0);
  EXPECT_EQ(leaf.label, "");
  EXPECT_EQ(ReadText(leaf, R"({"Tags":["x","y"]})"), 0);
  EXPECT_EQ(leaf.tags, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(ReadText(leaf, R"({"Tags":null})"), 0);
  EXPECT_EQ(leaf.tags, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(ReadText(leaf, R"({"Tags":[]})"), -10033);
  EXPECT_EQ(leaf.errorMessage, "Leaf:Tags:Json value invalid or value out of range.");
  EXPECT_EQ(leaf.tags, (std::vector<std::string>{"x", "y"}));
}

TEST(CommonFields, NameAndLibraryKeysAreReadAndOnlyNameIsWritten) {
  Leaf leaf;
  EXPECT_EQ(ReadText(leaf, R"({"Name":"n","LibraryFileName":"f","LibraryParameters":"p"})"), 0);
  EXPECT_EQ(leaf.name, "n");
  EXPECT_EQ(leaf.libraryFileName, "f");
  EXPECT_EQ(leaf.libraryParameters, "p");
  EXPECT_EQ(ReadText(leaf, R"({"Name":3})"), -10031);
  EXPECT_EQ(leaf.errorMessage, "Leaf:Name:Json type invalid.");
}

TEST(ReadFields, UnknownKeysAndTheFirstFailureInByteOrder) {
  const struct {
    const char* json;
    int code;
    const char* message;
  } cases[] = {
      {R"({"Foo":1})", -10032, "Leaf:Foo:Json key invalid."},
      // "Count" < "Zed" < "count": byte order, upper case first.
      {R"({"count":1,"Zed":2,"Count":0})", -10033, "Leaf:Count: out of range."},
      {R"({"count":1,"Zed":2})", -10032, "Leaf:Zed:Json key invalid."},
      {R"({"Label":"ok","Colour":"no"})", -10033,
       "Leaf:Colour:Json value invalid or value out of range."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    Leaf leaf;
    EXPECT_EQ(ReadText(leaf, c.json), c.code);
    EXPECT_EQ(leaf.errorMessage, c.message);
  }
}

TEST(ReadFields, SkippedKeysAndIgnoredUnknownKeys) {
  Leaf leaf;
  leaf.InitFieldTable();
  const Json::Value object = ParseJson(R"({"Count":0,"Foo":1,"Label":"x"})");
  EXPECT_EQ(leaf.ReadFields(object, {"Count"}, true), 0);
  EXPECT_EQ(leaf.label, "x");
  EXPECT_EQ(leaf.ReadFields(object, {"Count"}, false), -10032);
}

TEST(ReadFromJson, NullOnlyValidatesAndOtherTypesAreRefused) {
  Leaf leaf;
  leaf.errorMessage = "kept";
  EXPECT_EQ(leaf.ReadFromJson(Json::Value(), NoSkippedKeys()), 0);
  EXPECT_EQ(leaf.count, 5);
  EXPECT_EQ(leaf.ReadFromJson(Json::Value(3), NoSkippedKeys()), -10031);
  EXPECT_EQ(leaf.errorMessage, "kept");
  EXPECT_EQ(leaf.ReadFromJson(Json::Value(Json::arrayValue), NoSkippedKeys()), -10031);
}

TEST(ReadFromJson, AFailedReadKeepsTheKeysReadBeforeIt) {
  Leaf leaf;
  EXPECT_EQ(ReadText(leaf, R"({"Count":7,"Label":"x","Pair":[99,0]})"), -10033);
  EXPECT_EQ(leaf.count, 7);
  EXPECT_EQ(leaf.label, "x");
  EXPECT_EQ(leaf.pair, (std::vector<int>{0, 0}));
}

// ---------------------------------------------------------------------------
// Nesting of messages through sub-objects and arrays.

TEST(NestedMessages, EachLevelPrefixesItsTypeNameKeyAndIndex) {
  const struct {
    const char* json;
    int code;
    const char* message;
  } cases[] = {
      {R"({"Middles":[{}, {"Leaves":[{"Count":0}]}]})", -10033,
       "Top:Middles[1]:Middle:Leaves[0]:Leaf:Count: out of range."},
      {R"({"Middles":[{"Single":{"Bad":1}}]})", -10032,
       "Top:Middles[0]:Middle:Leaf:Bad:Json key invalid."},
      {R"({"Middles":[{"Leaves":[{}, 3]}]})", -10031, "Top:Middles[0]:Middle:Leaves[1]:"},
      {R"({"Middles":[]})", -10033, "Top:Middles:Json value invalid or value out of range."},
      {R"({"Middles":{}})", -10031, "Top:Middles:Json type invalid."},
      {R"({"Middles":[{"Leaves":[]}]})", -10033,
       "Top:Middles[0]:Middle:Leaves:Json value invalid or value out of range."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    Top top;
    EXPECT_EQ(ReadText(top, c.json), c.code);
    EXPECT_EQ(top.errorMessage, c.message);
    EXPECT_TRUE(top.middles.empty()) << "a failed list read leaves the list";
  }
}

TEST(ObjectLists, ElementsStartFromTheDefaultsAndReplaceTheList) {
  Top top;
  ASSERT_EQ(ReadText(top, R"({"Middles":[{"Leaves":[{"Count":9},{}]}], "Optional":[{}]})"), 0);
  ASSERT_EQ(top.middles.size(), 1u);
  ASSERT_EQ(top.middles[0].leaves.size(), 2u);
  EXPECT_EQ(top.middles[0].leaves[0].count, 9);
  EXPECT_EQ(top.middles[0].leaves[1].count, 5);
  EXPECT_EQ(top.optional.size(), 1u);
  ASSERT_EQ(ReadText(top, R"({"Optional":[]})"), 0);
  EXPECT_TRUE(top.optional.empty());
  EXPECT_EQ(top.middles.size(), 1u) << "an absent key leaves its list";
  ASSERT_EQ(ReadText(top, R"({"Middles":null})"), 0);
  EXPECT_EQ(top.middles.size(), 1u) << "null leaves the list";
}

// ---------------------------------------------------------------------------
// Bracketed integer groups.

TEST(GetIntArrayListValue, GroupsRangesAndMalformedTexts) {
  using Groups = std::vector<std::vector<int>>;
  const struct {
    const char* text;
    int error;
    Groups groups;
  } cases[] = {
      {"[1-3,5][]", 0, {{1, 2, 3, 5}}},
      {"[7-4]", 0, {{4, 5, 6, 7}}},
      {"[1,2][3,4]", 0, {{1, 2}, {3, 4}}},
      {"[ 1 , , 2 ]", 0, {{1, 2}}},
      {"[-5--3]", 0, {{-5, -4, -3}}},
      {"[-7]", 0, {{-7}}},
      {"[5-5]", 0, {{5}}},
      {"no groups", 0, {}},
      {"", 0, {}},
      {"[1,2][3", 0, {{1, 2}}},
      {"x[1]y[2]z", 0, {{1}, {2}}},
      {"][1]", 0, {{1}}},
      {"[2147483647,-2147483648]", 0, {{2147483647, -2147483647 - 1}}},
      {"[2147483648]", -10033, {}},
      {"[1a]", -10033, {}},
      {"[1-]", -10033, {}},
      {"[1-2-3]", -10033, {}},
      {"[-]", -10033, {}},
      {"[\t1]", -10033, {}},
      {"[0-65535]", 0, {}},  // exactly the limit: checked by size below
      {"[0-65536]", -10033, {}},
      {"[0-40000,0-40000]", -10033, {}},
      {"[-2147483648-2147483647]", -10033, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Leaf leaf;
    int error = 99;
    Json::Value object;
    object["K"] = c.text;
    const auto groups = leaf.GetIntArrayListValue(object, "K", error);
    EXPECT_EQ(error, c.error);
    if (c.error) {
      EXPECT_FALSE(groups);
      EXPECT_EQ(leaf.errorMessage, "K:Json value invalid or value out of range.");
      continue;
    }
    ASSERT_TRUE(groups);
    if (std::string(c.text) == "[0-65535]") {
      ASSERT_EQ(groups->items.size(), 1u);
      EXPECT_EQ(groups->items[0]->items.size(), 65536u);
      continue;
    }
    Groups read;
    for (const auto& group : groups->items) read.push_back(group->items);
    EXPECT_EQ(read, c.groups);
  }
}

TEST(GetIntArrayListValue, WrongTypeAndNull) {
  Leaf leaf;
  int error = 0;
  EXPECT_FALSE(leaf.GetIntArrayListValue(ParseJson(R"({"K":[1]})"), "K", error));
  EXPECT_EQ(error, -10031);
  const auto none = leaf.GetIntArrayListValue(ParseJson(R"({"K":null})"), "K", error);
  EXPECT_EQ(error, 0);
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->items.empty());
}

// ---------------------------------------------------------------------------
// Registrars, copies and writing.

TEST(Registrars, ListsOfDifferentLengthsAreRefused) {
  Top top;
  static const std::vector<std::string> two = {"A", "B"};
  static const std::vector<int> one = {0};
  static const std::vector<int> twoInts = {0, 1};
  int a = 0;
  int b = 0;
  EXPECT_EQ(top.RegisterIntFields(two, {&a, &b}, one, twoInts), -10032);
  EXPECT_EQ(top.RegisterIntFields(two, {&a}, twoInts, twoInts), -10032);
  EXPECT_EQ(top.RegisterIntFields(two, {&a, &b}, twoInts, twoInts), 0);
  std::string s;
  EXPECT_EQ(top.RegisterStringFields(two, {&s}), -10032);
  std::vector<std::string> list;
  EXPECT_EQ(top.RegisterStringArrayFields(two, {&list, &list}, {true}), -10032);

  static const std::vector<std::string> keys = {"P", "Q", "R"};
  static const std::vector<std::vector<int>> minimums = {{0}, {0, 0}, {0}};
  static const std::vector<std::vector<int>> maximums = {{1}, {1}, {1}};
  std::vector<int> p, q, r;
  EXPECT_EQ(top.RegisterIntArrayFields(keys, {&p, &q, &r}, minimums, maximums), -10033);
  EXPECT_NE(top.fieldTable.Find("P"), nullptr) << "keys before the mismatch stay registered";
  EXPECT_EQ(top.fieldTable.Find("Q"), nullptr);
}

struct OtherClass : QV_ParameterFieldBase {
  const std::string& GetTypeName() const override {
    static const std::string typeName = "Other";
    return typeName;
  }
  void InitFieldTable() override {}
  std::string text;
};

TEST(Registrars, ASetterOfAnotherClassIsRefused) {
  Top top;
  static const std::vector<std::string> keys = {"Text"};
  EXPECT_EQ(top.RegisterStringSetterFields<OtherClass>(
                keys, {[](OtherClass& other, const std::string& text) { other.text = text; }}),
            0);
  const FieldReader* reader = top.fieldTable.Find("Text");
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ((*reader)(ParseJson(R"({"Text":"x"})")), -10000);
}

TEST(Copies, StartWithAnEmptyFieldTableAndReadIntoThemselves) {
  Leaf original;
  ASSERT_EQ(ReadText(original, R"({"Count":3,"Name":"a"})"), 0);
  EXPECT_GT(original.fieldTable.size(), 0u);
  Leaf copy(original);
  EXPECT_TRUE(copy.fieldTable.empty());
  EXPECT_EQ(copy.count, 3);
  EXPECT_EQ(copy.name, "a");
  ASSERT_EQ(ReadText(copy, R"({"Count":4})"), 0);
  EXPECT_EQ(copy.count, 4);
  EXPECT_EQ(original.count, 3);

  Leaf assigned;
  assigned = original;
  ASSERT_EQ(ReadText(assigned, R"({"Count":8})"), 0);
  EXPECT_EQ(assigned.count, 8);
  EXPECT_EQ(original.count, 3);
}

TEST(Writing, NameListsAndIntArraysWithNullForEmpty) {
  Leaf leaf;
  leaf.name = "n";
  leaf.pair.clear();
  leaf.WriteToJson(false);
  EXPECT_EQ(Compact(leaf.json),
            R"({"Colour":"RED","Count":5,"Label":"none","Name":"n","Pair":null,"Tags":null})");
  leaf.tags = {"t"};
  leaf.pair = {1, 2};
  leaf.colour = 99;
  leaf.WriteToJson(false);
  EXPECT_EQ(Compact(leaf.json),
            R"({"Colour":"RED","Count":5,"Label":"none","Name":"n","Pair":[1,2],"Tags":["t"]})");
}

TEST(FieldTable, ReplacesAReaderOfTheSameKey) {
  FieldTable table;
  table.Set("B", [](const Json::Value&) { return 1; });
  table.Set("A", [](const Json::Value&) { return 2; });
  table.Set("B", [](const Json::Value&) { return 3; });
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ((*table.Find("B"))(Json::Value()), 3);
  EXPECT_EQ(table.Find("C"), nullptr);
}

}  // namespace
}  // namespace quorvane
