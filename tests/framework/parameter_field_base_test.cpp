#include "framework/parameter_field_base.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/field_test_objects.h"
#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Leaf;
using testing::ParseJson;

constexpr int kValue = errors::kJsonValueInvalid;

// The typed getters' rules for each JSON type are in cases/field_readers.json.

TEST(GetIntArrayListValue, GroupsRangesAndLimits) {
  using Groups = std::vector<std::vector<int>>;
  const struct {
    const char* text;
    int error;
    Groups groups;
  } cases[] = {
      {"[1-3,5][]", 0, {{1, 2, 3, 5}}}, {"[7-4]", 0, {{4, 5, 6, 7}}}, {"][1]", 0, {{1}}},
      {"[ 1 , , 2 ]", 0, {{1, 2}}}, {"", 0, {}}, {"[-5--3][5-5]", 0, {{-5, -4, -3}, {5}}},
      {"[1,2][3", 0, {{1, 2}}},  // an unclosed group ends the text
      {"x[1]y[2]z", 0, {{1}, {2}}}, {"[2147483647,-2147483648]", 0, {{INT_MAX, INT_MIN}}},
      {"[2147483648]", kValue, {}}, {"[1a]", kValue, {}}, {"[1-]", kValue, {}},
      {"[1-2-3]", kValue, {}}, {"[\t1]", kValue, {}}, {"[0-65536]", kValue, {}},
      {"[0-65535]", 0, {}},  // exactly the limit: checked by size below
      {"[0-40000,0-40000]", kValue, {}}, {"[-2147483648-2147483647]", kValue, {}},
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

TEST(Enumerations, NameOfAValueIsItsFirstEntryElseTheFirstName) {
  constexpr EnumEntry table[] = {{"A", 1}, {"B", 2}, {"C", 2}};
  EXPECT_STREQ(EnumName(table, 2), "B");
  EXPECT_STREQ(EnumName(table, 7), "A");
}

// ---------------------------------------------------------------------------
// Registrars

TEST(Registrars, AddKeysToTheMapping) {
  testing::Registered object;
  EXPECT_EQ(testing::Registered::Registrars().Result(), 0);
  EXPECT_EQ(object.a, -1);
  ASSERT_EQ(object.ReadFromJson(ParseJson(R"({"A":3,"B":-1,"P":[1,0],"T":"x","L":[],"Name":"n"})"),
                                NoSkippedKeys()),
            0);
  EXPECT_EQ(object.a, 3);
  EXPECT_EQ(object.b, -1);
  EXPECT_EQ(object.p, (std::vector<int>{1, 0}));
  EXPECT_EQ(object.t, "x");
  EXPECT_EQ(object.name, "n");
  ASSERT_EQ(object.ReadFromJson(ParseJson(R"({"S":"y"})"), NoSkippedKeys()), 0);
  EXPECT_EQ(object.t, "set y");
  object.WriteToJson(false);
  EXPECT_FALSE(object.json.isMember("S"));
  EXPECT_EQ(object.ReadFromJson(ParseJson(R"({"B":10})"), NoSkippedKeys()), kValue);
  EXPECT_EQ(object.errorMessage, "Registered:B: out of range.");
  EXPECT_EQ(object.ReadFromJson(ParseJson(R"({"Z":1})"), NoSkippedKeys()),
            errors::kJsonKeyInvalid);
}

TEST(Registrars, RefuseListsOfUnequalLengths) {
  using S = testing::Registered;
  static const std::vector<std::string> two = {"A", "B"};
  static const std::vector<int> one = {0};
  static const std::vector<std::vector<int>> twoBounds = {{0}, {0, 0}};
  static const std::vector<std::vector<int>> oneEach = {{0}, {1}};
  const int keyInvalid = errors::kJsonKeyInvalid;
  EXPECT_EQ(Mapper<S>("X").RegisterIntFields(two, {&S::a}, one, one).Result(), keyInvalid);
  EXPECT_EQ(Mapper<S>("X").RegisterStringFields(two, {&S::t}).Result(), keyInvalid);
  EXPECT_EQ(Mapper<S>("X").RegisterStringArrayFields(two, {&S::l, &S::l}, {true}).Result(),
            keyInvalid);
  EXPECT_EQ(Mapper<S>("X").RegisterIntArrayFields(two, {&S::p}, oneEach, oneEach).Result(),
            keyInvalid);
  // The first key stands; the second's bounds differ in length.
  Mapper<S> mapper("X");
  const ClassMapping mapping =
      mapper.RegisterIntArrayFields(two, {&S::p, &S::p}, oneEach, twoBounds).Build();
  EXPECT_EQ(mapper.Result(), kValue);
  EXPECT_NE(mapping.Find("A"), nullptr);
  EXPECT_EQ(mapping.Find("B"), nullptr);
}

}  // namespace
}  // namespace quorvane
