// Runs the test cases that are written as data, in tests/<subsystem>/cases/.
//
// A case file is {"class": <class name>, "cases": [<case>, ...]}; comments
// are allowed. A case is an object with:
//   "name"             what it shows (required);
//   "class"            the class to make, when not the file's (see model_registry.h);
//   "read"             a JSON value handed to ReadFromJson; absent: nothing is read;
//   "reads"            several values, read one after another into the same object;
//   "skip"             the skipped keys of the reads;
//   "code"             the result of the last read (default 0);
//   "message"          the object's errorMessage after it;
//   "written"          the whole output of WriteToJson afterwards;
//   "writtenIncludes"  some keys of that output with their values.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/json_text.h"
#include "support/model_registry.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> CaseFiles() {
  std::vector<std::string> files;
  for (const auto& subsystem : fs::directory_iterator(LUMIFLOW_TEST_DATA_DIR)) {
    const fs::path cases = subsystem.path() / "cases";
    if (!fs::is_directory(cases)) continue;
    for (const auto& file : fs::directory_iterator(cases)) {
      if (file.path().extension() == ".json") files.push_back(file.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// "imageparams/cases/binarization_mode.json" -> "imageparams_binarization_mode".
std::string CaseFileLabel(const std::string& path) {
  const fs::path file(path);
  std::string label =
      file.parent_path().parent_path().filename().string() + "_" + file.stem().string();
  std::replace_if(label.begin(), label.end(), [](char c) { return !std::isalnum(c); }, '_');
  return label;
}

void RunCase(const Json::Value& testCase, const std::string& fileClass) {
  const std::string className = testCase.get("class", fileClass).asString();
  auto object = MakeModelObject(className);
  ASSERT_TRUE(object) << "no class named " << className;

  SkippedKeys skipped;
  for (const Json::Value& key : testCase["skip"]) skipped.push_back(key.asString());
  std::vector<Json::Value> reads;
  if (testCase.isMember("read")) reads.push_back(testCase["read"]);
  for (const Json::Value& value : testCase["reads"]) reads.push_back(value);

  int code = 0;
  for (const Json::Value& value : reads) code = object->ReadFromJson(value, skipped);
  EXPECT_EQ(code, testCase.get("code", 0).asInt()) << "message: " << object->errorMessage;
  if (testCase.isMember("message")) {
    EXPECT_EQ(object->errorMessage, testCase["message"].asString());
  }

  if (!testCase.isMember("written") && !testCase.isMember("writtenIncludes")) return;
  object->WriteToJson(false);
  if (testCase.isMember("written")) {
    EXPECT_EQ(Compact(object->json), Compact(testCase["written"]));
  }
  for (const std::string& key : testCase["writtenIncludes"].getMemberNames()) {
    EXPECT_EQ(Compact(object->json[key]), Compact(testCase["writtenIncludes"][key]))
        << "key " << key;
  }
}

class CaseFile : public ::testing::TestWithParam<std::string> {};

TEST_P(CaseFile, EveryCaseHolds) {
  const Json::Value file = ParseJson(ReadText(GetParam()));
  const std::string fileClass = file.get("class", "").asString();
  ASSERT_TRUE(file["cases"].isArray() && !file["cases"].empty()) << "no cases";
  for (const Json::Value& testCase : file["cases"]) {
    SCOPED_TRACE(testCase["name"].asString());
    RunCase(testCase, fileClass);
  }
}

INSTANTIATE_TEST_SUITE_P(Data, CaseFile, ::testing::ValuesIn(CaseFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return CaseFileLabel(info.param);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CaseFile);

}  // namespace
}  // namespace quorvane::testing
