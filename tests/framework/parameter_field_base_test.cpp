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

TEST(Registrars, BindKeysOfTheObjectBesideItsMapping) {
  testing::Registered object;
  ASSERT_EQ(object.ReadFromJson(ParseJson(R"({"A":3,"B":-1,"P":[1,0],"T":"x","L":[],"C":"blue",)"
                                          R"("E":{"Count":7},"Name":"n"})"),
                                NoSkippedKeys()),
            0);
  EXPECT_EQ(object.a, 3);
  EXPECT_EQ(object.b, -1);
  EXPECT_EQ(object.p, (std::vector<int>{1, 0}));
  EXPECT_EQ(object.t, "x");
  EXPECT_EQ(object.c, 4);
  EXPECT_EQ(object.embedded.count, 7);
  EXPECT_EQ(object.name, "n");
  EXPECT_EQ(object.ReadFromJson(ParseJson(R"({"E":{"Count":0}})"), NoSkippedKeys()), kValue);
  EXPECT_EQ(object.errorMessage, "Registered:Leaf:Count: out of range.");
  EXPECT_EQ(object.ReadFromJson(ParseJson(R"({"Z":1})"), NoSkippedKeys()),
            errors::kJsonKeyInvalid);
}

}  // namespace
}  // namespace quorvane
