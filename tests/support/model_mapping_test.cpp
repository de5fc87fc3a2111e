// Properties every class of the model registry must have, so that a class
// added to the registry is checked without a test of its own: it reads back
// what it writes, it writes the keys its mapping states, no others, and its
// text is byte for byte the styled text of the tree it writes.

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "framework/field_mapping.h"
#include "framework/styled_text.h"
#include "support/model_registry.h"
#include "support/parameter_test_support.h"

namespace quorvane::testing {
namespace {

// The classes that do not read back what they write, and why.
const std::map<std::string_view, std::string_view> kNoRoundTrip = {
    {"QVIP_RangeStruct(10,5)",
     "made with its minimum above its maximum, it fails every read, even of null"},
};

TEST(ModelClasses, ReadBackWhatTheyWrite) {
  for (std::string_view name : ModelClassNames()) {
    SCOPED_TRACE(name);
    auto written = MakeModelObject(name);
    const std::string first = Written(*written);
    auto read = MakeModelObject(name);
    const int code = read->ReadFromJson(ParseJson(first), NoSkippedKeys());
    const std::string again = Written(*read);
    const bool readsBack = code == 0 && again == first;
    if (kNoRoundTrip.count(name) != 0) {
      EXPECT_FALSE(readsBack) << "listed as not reading back what it writes, but it does";
    } else {
      EXPECT_TRUE(readsBack) << "code " << code << " " << read->errorMessage
                             << "\n  wrote      " << first << "\n  read back  " << again;
    }
  }
}

bool IsEmpty(const Json::Value& value) {
  return value.isNull() || ((value.isArray() || value.isObject()) && value.empty());
}

// A nested object that exists only once it was read: a read of {} under its
// key makes it, and then it is written.
bool MadeByARead(std::string_view className, const char* key) {
  auto object = MakeModelObject(className);
  Json::Value given(Json::objectValue);
  given[key] = Json::Value(Json::objectValue);
  if (object->ReadFromJson(given, NoSkippedKeys()) != 0) return false;
  object->WriteToJson(false);
  return object->json.isMember(key);
}

// Classes whose output is more than the walk of their mapping writes.
const std::map<std::string_view, std::string_view> kWritesBeyondItsMapping = {
    {"Leaf", "a test object that also writes its library parameters, to show what was read"},
};

TEST(ModelClasses, WriteTheKeysOfTheirMappingAndNoOthers) {
  for (std::string_view name : ModelClassNames()) {
    if (kWritesBeyondItsMapping.count(name) != 0) continue;
    SCOPED_TRACE(name);
    auto object = MakeModelObject(name);
    object->WriteToJson(false);
    const Json::Value& written = object->json;
    const ClassMapping& mapping = object->GetMapping();
    for (const FieldPointer& field : mapping.Fields()) {
      const char* key = field->Key();
      const bool present = written.isMember(key);
      if (field->Has(kNeverWritten)) {
        EXPECT_FALSE(present) << key << " is never written";
      } else if (field->Has(kWrittenWhenNotEmpty)) {
        EXPECT_TRUE(!present || !IsEmpty(written[key])) << key << " is written only when not empty";
      } else if (!present) {
        EXPECT_TRUE(field->ElementMapping() != nullptr && field->ElementUnits() == 0 &&
                    MadeByARead(name, key))
            << key << " is missing, and it is no nested object that exists once read";
      }
    }
    for (const std::string& key : written.getMemberNames()) {
      EXPECT_NE(mapping.Find(key), nullptr) << key << " is written but not in the mapping";
    }
  }
}

// The values a model may hold that a writer gets wrong most easily.
const char* const kTrickyTexts[] = {
    "", "plain", "quote \" and backslash \\", "tab\tnew line\ncarriage\rfeed\fback\b",
    "\x01\x1f control", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "\xff\xfe broken \xc3",
    "\xe0\x80\x80 overlong \xed\xa0\x80 surrogate", "/slash/", "\x7f"};
const Json::Int kTrickyNumbers[] = {0, -1, 1, -2147483647 - 1, 2147483647, 42, -7, 100000};

// Every string, integer and list of `json` in turn changed to a tricky
// value, one change per copy, walked without recursion.
std::vector<Json::Value> Variants(const Json::Value& json, std::mt19937& random) {
  std::vector<Json::Value> variants;
  std::vector<std::vector<std::string>> paths;  // member names and indexes as text
  std::vector<std::pair<const Json::Value*, std::vector<std::string>>> pending{{&json, {}}};
  while (!pending.empty()) {
    auto [value, path] = pending.back();
    pending.pop_back();
    if (!path.empty()) paths.push_back(path);
    if (value->isObject()) {
      for (const std::string& name : value->getMemberNames()) {
        auto child = path;
        child.push_back("." + name);
        pending.push_back({&(*value)[name], child});
      }
    } else if (value->isArray()) {
      for (Json::ArrayIndex i = 0; i < value->size(); ++i) {
        auto child = path;
        child.push_back(std::to_string(i));
        pending.push_back({&(*value)[i], child});
      }
    }
  }
  const auto pick = [&random](std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
  };
  for (const auto& path : paths) {
    Json::Value copy = json;
    Json::Value* at = &copy;
    for (const std::string& step : path) {
      at = step[0] == '.' ? &(*at)[step.substr(1)] : &(*at)[static_cast<Json::ArrayIndex>(std::stoul(step))];
    }
    if (at->isString()) {
      *at = kTrickyTexts[pick(std::size(kTrickyTexts))];
    } else if (at->isInt()) {
      *at = kTrickyNumbers[pick(std::size(kTrickyNumbers))];
    } else if (at->isArray() && !at->empty()) {
      if (pick(2) == 0) {
        at->resize(1);
      } else {
        *at = Json::Value(Json::arrayValue);
      }
    } else {
      continue;
    }
    variants.push_back(std::move(copy));
  }
  return variants;
}

std::string StyledText(QV_ParameterFieldBase& object) {
  std::string text;
  quorvane::StyledText writer(text);
  object.WriteText(writer, false);
  writer.Finish();
  return text;
}

// Defaults, and what a read of each changed value of them makes: the text
// writer and the tree writer agree to the byte.
TEST(ModelClasses, WriteTheTextOfTheTreeTheyWrite) {
  std::mt19937 random(7);
  std::size_t compared = 0;
  for (std::string_view name : ModelClassNames()) {
    if (kWritesBeyondItsMapping.count(name) != 0) continue;
    SCOPED_TRACE(name);
    auto object = MakeModelObject(name);
    object->WriteToJson(false);
    const Json::Value defaults = object->json;
    EXPECT_EQ(StyledText(*object), defaults.toStyledString());
    for (const Json::Value& variant : Variants(defaults, random)) {
      auto read = MakeModelObject(name);
      if (read->ReadFromJson(variant, NoSkippedKeys()) != 0) continue;
      ++compared;
      read->WriteToJson(false);
      const std::string tree = read->json.toStyledString();
      EXPECT_EQ(StyledText(*read), tree) << Compact(variant);
    }
  }
  EXPECT_GT(compared, 300u);
}

// Values beyond what a model holds, through the writer of any value.
TEST(StyledText, WritesEveryValueAsTheLibrary) {
  Json::Value nested(Json::objectValue);
  nested["b"] = Json::Value(Json::arrayValue);
  nested["a"]["x"] = Json::Value(Json::objectValue);
  nested["a"]["y"].append(Json::Value(Json::objectValue));
  nested["a"]["y"].append(Json::Value(Json::arrayValue));
  nested["a"]["y"].append(1);
  nested["c"].append(Json::Value());
  nested["d"] = Json::Value(Json::UInt64(18446744073709551615ull));
  nested["e"] = Json::Value(Json::Int64(-9223372036854775807 - 1));
  nested["f"] = true;
  const Json::Value values[] = {
      Json::Value(), Json::Value(Json::objectValue), Json::Value(Json::arrayValue), nested,
      Json::Value(2.5), Json::Value(-0.0), Json::Value(1e300), Json::Value(3.0),
      Json::Value(0.1), Json::Value(123456789.123), Json::Value("\xe2\x82\xac"), Json::Value(false)};
  for (const Json::Value& value : values) {
    std::string text;
    quorvane::StyledText writer(text);
    writer.Value(value);
    writer.Finish();
    EXPECT_EQ(text, value.toStyledString());
  }
  for (const char* tricky : kTrickyTexts) {
    std::string quoted;
    quorvane::StyledText::AppendQuoted(quoted, tricky);
    EXPECT_EQ(quoted + "\n", Json::Value(tricky).toStyledString());
  }
}

}  // namespace
}  // namespace quorvane::testing
