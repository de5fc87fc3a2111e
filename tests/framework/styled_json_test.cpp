// The converter's styled writer must give exactly the bytes of jsoncpp's
// toStyledString, for the trees the converter writes and for any other.

#include "framework/styled_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::ParseJson;

Json::Value Nested(int depth) {
  Json::Value root;
  Json::Value* at = &root;
  for (int i = 0; i < depth; ++i) at = &(i % 2 ? (*at)["k"] : (*at)[0]);
  *at = "leaf";
  return root;
}

TEST(StyledJson, MatchesJsoncppOnEveryKindOfValue) {
  const std::string nul("a\0b", 3);
  const struct {
    const char* label;
    Json::Value value;
  } cases[] = {
      {"null", Json::Value()},
      {"int", Json::Value(-42)},
      {"int64 bounds", Json::Value(std::numeric_limits<Json::Int64>::min())},
      {"uint64 bound", Json::Value(std::numeric_limits<Json::UInt64>::max())},
      {"real", Json::Value(0.1)},
      {"integral real", Json::Value(3.0)},
      {"huge real", Json::Value(1e300)},
      {"negative zero", Json::Value(-0.0)},
      {"nan", Json::Value(std::nan(""))},
      {"infinity", Json::Value(-std::numeric_limits<double>::infinity())},
      {"booleans", ParseJson("[true, false]")},
      {"plain string", Json::Value("BF_QR_CODE")},
      {"escapes", Json::Value("quote \" backslash \\ tab \t newline \n slash / del \x7f")},
      {"controls", Json::Value("\x01\x1f\b\f\r")},
      {"embedded nul", Json::Value(nul)},
      {"utf-8", Json::Value("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80")},
      {"broken utf-8", Json::Value("\xc3 \xff\xfe \xe2\x82")},
      {"empty containers", ParseJson(R"({"a": [], "b": {}, "c": [[], {}], "": ""})")},
      {"empty root array", Json::Value(Json::arrayValue)},
      {"empty root object", Json::Value(Json::objectValue)},
      {"arrays in arrays", ParseJson("[[1, [2, 3]], [{\"x\": [4]}], 5]")},
      {"objects", ParseJson(R"({"z": {"y": {"x": 1}}, "a": [{"b": null}], "m": 0.5})")},
      {"escaped key", ParseJson(R"({"k\"ey\u00e9": 1, "tab\t": [1]})")},
      {"deep", Nested(300)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(StyledJsonText(c.value), c.value.toStyledString());
  }
}

TEST(StyledJson, HandsTreesWithCommentsToJsoncpp) {
  Json::Value root = ParseJson(R"({"a": [1, 2], "b": {"c": 3}})");
  root["a"][1].setComment(std::string("// after"), Json::commentAfterOnSameLine);
  root["b"].setComment(std::string("/* before */"), Json::commentBefore);
  root.setComment(std::string("// top"), Json::commentBefore);
  EXPECT_EQ(StyledJsonText(root), root.toStyledString());
}

// Random trees of every value kind, a few levels deep.
class TreeGenerator {
 public:
  explicit TreeGenerator(unsigned seed) : random_(seed) {}

  Json::Value Next(int depth) {
    switch (Between(0, depth > 0 ? 8 : 5)) {
      case 0:
        return Json::Value();
      case 1:
        return Json::Value(Between(-1000000, 1000000));
      case 2:
        return Json::Value(std::uniform_real_distribution<double>(-1e6, 1e6)(random_));
      case 3:
        return Json::Value(Between(0, 1) == 1);
      case 4:
      case 5:
        return Json::Value(Text());
      case 6: {
        Json::Value array(Json::arrayValue);
        for (int i = Between(0, 4); i > 0; --i) array.append(Next(depth - 1));
        return array;
      }
      default: {
        Json::Value object(Json::objectValue);
        for (int i = Between(0, 5); i > 0; --i) object[Text()] = Next(depth - 1);
        return object;
      }
    }
  }

 private:
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  std::string Text() {
    static const char kAlphabet[] = "abcXYZ_09 \"\\/\t\n\x01\x7f\xc3\xa9";
    std::string text;
    for (int i = Between(0, 8); i > 0; --i) {
      text += kAlphabet[Between(0, static_cast<int>(sizeof kAlphabet) - 2)];
    }
    return text;
  }

  std::mt19937 random_;
};

TEST(StyledJson, MatchesJsoncppOnRandomTrees) {
  TreeGenerator generator(20241107u);
  for (int i = 0; i < 2000; ++i) {
    const Json::Value tree = generator.Next(5);
    const std::string expected = tree.toStyledString();
    if (StyledJsonText(tree) != expected) {
      ADD_FAILURE() << "tree " << i << " differs; jsoncpp wrote:\n" << expected;
      break;
    }
  }
}

}  // namespace
}  // namespace quorvane
