#include "framework/parameter_field_base.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

constexpr int kType = errors::kJsonTypeInvalid;
constexpr int kValue = errors::kJsonValueInvalid;
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
// Typed getters

TEST(TypedGetters, EveryGetterAgainstEveryJsonType) {
  const struct {
    const char* value;  // null: the key is absent
    int intValue;
    // Per getter (integer, string, integer array, string array): '0' read,
    // 'T' refused with -10031.
    const char* errors;
  } cases[] = {
      {nullptr, -1, "0000"},           {"null", -1, "0000"},           {"true", -1, "TTTT"},
      {"-7", -7, "0TTT"},              {"4294967295", -1, "TTTT"},     {"3.0", 3, "0TTT"},
      {"3.5", -1, "TTTT"},             {"-0.0", 0, "0TTT"},            {"1e300", -1, "TTTT"},
      {"2147483647", INT_MAX, "0TTT"}, {"-2147483648", INT_MIN, "0TTT"},
      {"2147483648", -1, "TTTT"},      {"-2147483649", -1, "TTTT"},    {"\"3\"", -1, "T0TT"},
      {"{\"a\":1}", -1, "TTTT"},       {"[1,2]", -1, "TT0T"},          {"[\"a\",\"\"]", -1, "TTT0"},
      {"[]", -1, "TT00"},              {"[1,2.5]", -1, "TTTT"},        {"[\"a\",1]", -1, "TTTT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value != nullptr ? c.value : "absent");
    const Json::Value object =
        ParseJson(c.value != nullptr ? std::string("{\"K\":") + c.value + "}" : "{}");
    const bool given = c.value != nullptr && std::string(c.value) != "null";
    const auto expected = [&c](int getter) { return c.errors[getter] == 'T' ? kType : 0; };
    Leaf leaf;
    int error = 99;
    EXPECT_EQ(leaf.GetIntValue(object, "K", error), c.intValue);
    EXPECT_EQ(error, expected(0));
    leaf.GetStringValue(object, "K", error);
    EXPECT_EQ(error, expected(1));
    // A list only for a value read; none for null, absent or refused.
    EXPECT_EQ(static_cast<bool>(leaf.GetIntArrayValue(object, "K", error)), given && !expected(2));
    EXPECT_EQ(error, expected(2));
    EXPECT_EQ(static_cast<bool>(leaf.GetStringArrayValue(object, "K", error)),
              given && !expected(3));
    EXPECT_EQ(error, expected(3));
    // Groups come from a string; null and absent give an empty list.
    EXPECT_EQ(static_cast<bool>(leaf.GetIntArrayListValue(object, "K", error)), !expected(1));
    EXPECT_EQ(error, expected(1));
    EXPECT_EQ(leaf.errorMessage, given ? "K:Json type invalid." : "");
  }
  // What the getters read.
  const Json::Value object = ParseJson(R"({"S":"a\u0000b","I":[1,-2],"L":["a","","b"]})");
  Leaf leaf;
  int error = 0;
  EXPECT_EQ(leaf.GetStringValue(object, "S", error), std::string_view("a\0b", 3));
  const auto ints = leaf.GetIntArrayValue(object, "I", error);
  const auto strings = leaf.GetStringArrayValue(object, "L", error);
  ASSERT_TRUE(ints && strings);
  EXPECT_EQ(ints->items, (std::vector<int>{1, -2}));
  EXPECT_EQ(strings->items, (std::vector<std::string_view>{"a", "", "b"}));
}

TEST(GetIntArrayListValue, GroupsRangesAndLimits) {
  using Groups = std::vector<std::vector<int>>;
  const struct {
    const char* text;
    int error;
    Groups groups;
  } cases[] = {
      {"[1-3,5][]", 0, {{1, 2, 3, 5}}}, {"[7-4]", 0, {{4, 5, 6, 7}}}, {"][1]", 0, {{1}}},
      {"[1,2][3,4]", 0, {{1, 2}, {3, 4}}}, {"[ 1 , , 2 ]", 0, {{1, 2}}}, {"", 0, {}},
      {"[-5--3]", 0, {{-5, -4, -3}}}, {"[-7][5-5]", 0, {{-7}, {5}}}, {"no groups", 0, {}},
      {"[1,2][3", 0, {{1, 2}}},  // an unclosed group ends the text
      {"x[1]y[2]z", 0, {{1}, {2}}}, {"[2147483647,-2147483648]", 0, {{INT_MAX, INT_MIN}}},
      {"[2147483648]", kValue, {}}, {"[1a]", kValue, {}}, {"[1-]", kValue, {}},
      {"[1-2-3]", kValue, {}}, {"[-]", kValue, {}}, {"[\t1]", kValue, {}},
      {"[0-65535]", 0, {}},  // exactly the limit: checked by size below
      {"[0-65536]", kValue, {}}, {"[0-40000,0-40000]", kValue, {}},
      {"[-2147483648-2147483647]", kValue, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Leaf leaf;
    int error = 99;
    Json::Value object;
    object["K"] = c.text;
    const auto groups = leaf.GetIntArrayListValue(object, "K", error);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(static_cast<bool>(groups), !c.error);
    EXPECT_EQ(leaf.errorMessage, c.error ? "K:Json value invalid or value out of range." : "");
    if (!groups) continue;
    Groups read;
    for (const auto& group : groups->items) read.push_back(group->items);
    if (std::string(c.text) == "[0-65535]") {
      EXPECT_EQ(read.size() == 1 ? read[0].size() : 0u, 65536u);
    } else {
      EXPECT_EQ(read, c.groups);
    }
  }
}

TEST(Enumerations, LookUpIgnoringCaseAndSurroundingSpaces) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"RED", 1},    {"red", 1},      {" green ", 2}, {"GREEN", 2},  {"  Blue", 4},   {"", -999},
      {"   ", -999}, {"\tRED", -999}, {"RE D", -999}, {"REDS", -999}, {"purple", -999},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LookupEnumValue(kColours, c.text), c.value);
  }
  constexpr EnumEntry table[] = {{"A", 1}, {"B", 2}, {"C", 2}};
  EXPECT_STREQ(EnumName(table, 2), "B");  // the first match
  EXPECT_STREQ(EnumName(table, 7), "A");  // else the first name
}

// ---------------------------------------------------------------------------
// Registered readers

TEST(Readers, EachKindWithItsEdgesAndMessages) {
  const char* const kRange = "Leaf:Count: out of range.";
  const char* const kEnum = "Leaf:Colour:Json value invalid or value out of range.";
  const char* const kPair = "Leaf:Pair: out of range.";
  const struct {
    const char* json;
    int code;
    const char* message;  // the message was "previous" before the read
    const char* key;      // and what the object writes under it afterwards
    const char* written;
  } cases[] = {
      // Integers: the range, -1 and null always accepted.
      {R"({"Count":1})", 0, "previous", "Count", "1"},
      {R"({"Count":100})", 0, "previous", "Count", "100"},
      {R"({"Count":0})", kValue, kRange, "Count", "5"},
      {R"({"Count":101})", kValue, kRange, "Count", "5"},
      {R"({"Count":-1})", 0, "previous", "Count", "-1"},
      {R"({"Count":null})", 0, "previous", "Count", "-1"},
      {R"({"Count":-2})", kValue, kRange, "Count", "5"},
      {R"({"Count":"3"})", kType, "Leaf:Count:Json type invalid.", "Count", "-1"},
      // Enumerations: empty, null and unknown names refused, the member kept.
      {R"({"Colour":" blue"})", 0, "previous", "Colour", R"("BLUE")"},
      {R"({"Colour":""})", kValue, kEnum, "Colour", R"("RED")"},
      {R"({"Colour":null})", kValue, kEnum, "Colour", R"("RED")"},
      {R"({"Colour":"pink"})", kValue, kEnum, "Colour", R"("RED")"},
      {R"({"Colour":2})", kType, "Leaf:Colour:Json type invalid.", "Colour", R"("RED")"},
      // Integer arrays: fixed length, bounds per position; a wrong length
      // adds no text of its own.
      {R"({"Pair":[10,-5]})", 0, "previous", "Pair", "[10,-5]"},
      {R"({"Pair":[0,5]})", 0, "previous", "Pair", "[0,5]"},
      {R"({"Pair":null})", 0, "previous", "Pair", "[0,0]"},
      {R"({"Pair":[11,0]})", kValue, kPair, "Pair", "[0,0]"},
      {R"({"Pair":[0,-6]})", kValue, kPair, "Pair", "[0,0]"},
      {R"({"Pair":[1]})", kValue, "Leaf:previous", "Pair", "[0,0]"},
      {R"({"Pair":[1,2,3]})", kValue, "Leaf:previous", "Pair", "[0,0]"},
      {R"({"Pair":[1,"2"]})", kType, "Leaf:Pair:Json type invalid.", "Pair", "[0,0]"},
      // Strings and the common keys.
      {R"({"Label":null,"LibraryFileName":"f"})", 0, "previous", "Label", R"("")"},
      {R"({"Name":3})", kType, "Leaf:Name:Json type invalid.", "Name", R"("")"},
      // Unknown keys, and the first failure in byte order of the keys:
      // "Count" < "Zed" < "count".
      {R"({"Foo":1})", errors::kJsonKeyInvalid, "Leaf:Foo:Json key invalid.", "Count", "5"},
      {R"({"count":1,"Zed":2,"Count":0})", kValue, kRange, "Count", "5"},
      {R"({"count":1,"Zed":2})", errors::kJsonKeyInvalid, "Leaf:Zed:Json key invalid.", "Count",
       "5"},
      // The keys before a failure stay read.
      {R"({"Count":7,"Label":"x","Pair":[99,0]})", kValue, kPair, "Count", "7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    Leaf leaf;
    leaf.errorMessage = "previous";
    EXPECT_EQ(ReadText(leaf, c.json), c.code);
    EXPECT_EQ(leaf.errorMessage, c.message);
    leaf.WriteToJson(false);
    EXPECT_EQ(Compact(leaf.json[c.key]), c.written);
  }
}

TEST(Readers, StringArraysByTheirFlagAndSkippedKeys) {
  Leaf leaf;
  EXPECT_EQ(ReadText(leaf, R"({"Tags":["x","y"],"LibraryParameters":"p"})"), 0);
  EXPECT_EQ(leaf.libraryParameters, "p");
  EXPECT_EQ(ReadText(leaf, R"({"Tags":null})"), 0);
  EXPECT_EQ(ReadText(leaf, R"({"Tags":[]})"), kValue);  // refused by its flag
  EXPECT_EQ(leaf.errorMessage, "Leaf:Tags:Json value invalid or value out of range.");
  EXPECT_EQ(leaf.tags, (std::vector<std::string>{"x", "y"}));
  // Skipped keys, and unknown keys ignored on request.
  leaf.InitFieldTable();
  const Json::Value object = ParseJson(R"({"Count":0,"Foo":1,"Label":"y"})");
  EXPECT_EQ(leaf.ReadFields(object, {"Count"}, true), 0);
  EXPECT_EQ(leaf.label, "y");
  EXPECT_EQ(leaf.ReadFields(object, {"Count"}, false), errors::kJsonKeyInvalid);
}

// ---------------------------------------------------------------------------
// Sub-objects and lists

TEST(Nesting, MessagesOfEachLevelAndListsReplacedWhole) {
  const struct {
    const char* json;
    int code;
    const char* message;
  } cases[] = {
      {R"({"Middles":[{}, {"Leaves":[{"Count":0}]}]})", kValue,
       "Top:Middles[1]:Middle:Leaves[0]:Leaf:Count: out of range."},
      {R"({"Middles":[{"Single":{"Bad":1}}]})", errors::kJsonKeyInvalid,
       "Top:Middles[0]:Middle:Leaf:Bad:Json key invalid."},
      {R"({"Middles":[{"Leaves":[{}, 3]}]})", kType, "Top:Middles[0]:Middle:Leaves[1]:"},
      {R"({"Middles":[]})", kValue, "Top:Middles:Json value invalid or value out of range."},
      {R"({"Middles":{}})", kType, "Top:Middles:Json type invalid."},
      {R"({"Middles":[{"Leaves":[]}]})", kValue,
       "Top:Middles[0]:Middle:Leaves:Json value invalid or value out of range."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    Top top;
    EXPECT_EQ(ReadText(top, c.json), c.code);
    EXPECT_EQ(top.errorMessage, c.message);
    EXPECT_TRUE(top.middles.empty()) << "a failed list read leaves the list";
  }
  // Elements start from the defaults and replace the list.
  Top top;
  ASSERT_EQ(ReadText(top, R"({"Middles":[{"Leaves":[{"Count":9},{}]}], "Optional":[{}]})"), 0);
  ASSERT_EQ(top.middles.size(), 1u);
  ASSERT_EQ(top.middles[0].leaves.size(), 2u);
  EXPECT_EQ(top.middles[0].leaves[0].count, 9);
  EXPECT_EQ(top.middles[0].leaves[1].count, 5);
  EXPECT_EQ(top.optional.size(), 1u);
  ASSERT_EQ(ReadText(top, R"({"Optional":[], "Middles":null})"), 0);
  EXPECT_TRUE(top.optional.empty());
  EXPECT_EQ(top.middles.size(), 1u) << "null leaves the list";
}

// ---------------------------------------------------------------------------
// Registrars, copies and writing

TEST(Registrars, MismatchedListsAndSettersOfAnotherClassAreRefusedLaterKeysReplace) {
  Top top;
  static const std::vector<std::string> two = {"A", "B"};
  static const std::vector<int> one = {0};
  static const std::vector<int> twoInts = {0, 1};
  int a = 0, b = 0;
  std::string s;
  std::vector<std::string> list;
  EXPECT_EQ(top.RegisterIntFields(two, {&a, &b}, one, twoInts), errors::kJsonKeyInvalid);
  EXPECT_EQ(top.RegisterIntFields(two, {&a}, twoInts, twoInts), errors::kJsonKeyInvalid);
  EXPECT_EQ(top.RegisterIntFields(two, {&a, &b}, twoInts, twoInts), 0);
  EXPECT_EQ(top.RegisterStringFields(two, {&s}), errors::kJsonKeyInvalid);
  EXPECT_EQ(top.RegisterStringArrayFields(two, {&list, &list}, {true}), errors::kJsonKeyInvalid);

  static const std::vector<std::string> keys = {"P", "Q", "R"};
  static const std::vector<std::vector<int>> minimums = {{0}, {0, 0}, {0}};
  static const std::vector<std::vector<int>> maximums = {{1}, {1}, {1}};
  std::vector<int> p, q, r;
  EXPECT_EQ(top.RegisterIntArrayFields(keys, {&p, &q, &r}, minimums, maximums), kValue);
  EXPECT_NE(top.fieldTable.Find("P"), nullptr) << "keys before the mismatch stay registered";
  EXPECT_EQ(top.fieldTable.Find("Q"), nullptr);

  static const std::vector<std::string> text = {"Text"};
  // A setter declared by Leaf, registered on a Top.
  EXPECT_EQ(top.RegisterStringSetterFields<Leaf>(
                text, {[](Leaf& leaf, const std::string& value) { leaf.label = value; }}),
            0);
  ASSERT_NE(top.fieldTable.Find("Text"), nullptr);
  EXPECT_EQ((*top.fieldTable.Find("Text"))(ParseJson(R"({"Text":"x"})")), errors::kUnknown);

  // A later reader of the same key replaces the first.
  FieldTable table;
  table.Set("B", [](const Json::Value&) { return 1; });
  table.Set("A", [](const Json::Value&) { return 2; });
  table.Set("B", [](const Json::Value&) { return 3; });
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ((*table.Find("B"))(Json::Value()), 3);
}

TEST(Copies, StartWithAnEmptyFieldTableAndReadIntoThemselves) {
  Leaf original;
  ASSERT_EQ(ReadText(original, R"({"Count":3,"Name":"a"})"), 0);
  EXPECT_FALSE(original.fieldTable.empty());
  Leaf copy(original);
  Leaf assigned;
  assigned = original;
  for (Leaf* leaf : {&copy, &assigned}) {
    EXPECT_TRUE(leaf->fieldTable.empty());
    ASSERT_EQ(ReadText(*leaf, R"({"Count":4})"), 0);
    leaf->pair.clear();
    leaf->WriteToJson(false);  // the base writes only the name; empty lists are null
    EXPECT_EQ(Compact(leaf->json),
              R"({"Colour":"RED","Count":4,"Label":"none","Name":"a","Pair":null,"Tags":null})");
  }
  EXPECT_EQ(original.count, 3);
}

}  // namespace
}  // namespace quorvane
