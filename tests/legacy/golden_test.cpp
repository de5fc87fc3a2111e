// Runs every golden case of tests/legacy/golden: NAME.legacy.json is
// converted and its text compared byte for byte with the styled form of
// NAME.expected.json, or its failure with NAME.error.json.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/temp_tree.h"
#include "driver/template_check.h"
#include "legacy/legacy_reader.h"
#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::FileText;
using testing::ParseJson;
using testing::Regenerating;
using testing::WriteFileText;

const std::string kGoldenDirectory = LUMIFLOW_TEST_DATA_DIR "/legacy/golden";
const std::string kLegacySuffix = ".legacy.json";

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kGoldenDirectory)) {
    const std::string file = entry.path().filename().string();
    if (file.ends_with(kLegacySuffix)) {
      names.push_back(file.substr(0, file.size() - kLegacySuffix.size()));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Writes what the build produces for one case: its output, or its failure
// (a message compared by its start keeps that start while it still holds,
// since the rest comes from the JSON parser).
void Regenerate(const std::string& base, int code, const std::string& message,
                ZQA_OldParameterReader& reader) {
  const std::string expectedPath = base + ".expected.json";
  const std::string errorPath = base + ".error.json";
  if (code == 0) {
    std::string output;
    reader.OutputNewTemplate(output);
    WriteFileText(expectedPath, output);
    std::filesystem::remove(errorPath);
    return;
  }
  Json::Value error;
  error["code"] = code;
  error["message"] = message;
  error["messageIsPrefix"] = false;
  if (std::filesystem::exists(errorPath)) {
    const Json::Value old = ParseJson(FileText(errorPath));
    const std::string start = old["message"].asString();
    if (old["messageIsPrefix"].asBool() && message.starts_with(start)) {
      error["message"] = start;
      error["messageIsPrefix"] = true;
    }
  }
  WriteFileText(errorPath, error.toStyledString());
  std::filesystem::remove(expectedPath);
}

TEST(LegacyGolden, EveryCaseConvertsAsWritten) {
  const std::vector<std::string> names = CaseNames();
  ASSERT_GE(names.size(), 36u) << "golden cases missing from " << kGoldenDirectory;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string base = kGoldenDirectory + "/" + name;
    const std::string legacy = FileText(base + kLegacySuffix);
    ZQA_OldParameterReader reader;
    std::string message;
    const int code = reader.ReadOldTemplate(legacy.c_str(), message);

    if (Regenerating()) {
      Regenerate(base, code, message, reader);
      continue;
    }
    if (std::filesystem::exists(base + ".error.json")) {
      const Json::Value error = ParseJson(FileText(base + ".error.json"));
      EXPECT_EQ(code, error["code"].asInt());
      const std::string expected = error["message"].asString();
      if (error["messageIsPrefix"].asBool()) {
        EXPECT_EQ(message.substr(0, expected.size()), expected) << message;
      } else {
        EXPECT_EQ(message, expected);
      }
      continue;
    }

    ASSERT_EQ(code, 0) << message;
    std::string output;
    reader.OutputNewTemplate(output);
    // A difference is shown line by line.
    EXPECT_EQ(output, ParseJson(FileText(base + ".expected.json")).toStyledString());
    // What the converter writes holds nothing but template sections.
    const Failure check = CheckTemplateText(output, nullptr, {.strict = true});
    EXPECT_FALSE(check) << check.text;
  }
}

}  // namespace
}  // namespace quorvane
