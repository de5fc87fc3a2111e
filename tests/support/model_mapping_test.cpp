// Properties every class of the model registry must have, so that a class
// added to the registry is checked without a test of its own: it reads back
// what it writes, and it writes the keys its mapping states, no others.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

#include "framework/field_mapping.h"
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

}  // namespace
}  // namespace quorvane::testing
