// Runs every golden case of tests/legacy/golden: NAME.legacy.json is
// converted and its text compared byte for byte with the styled form of
// NAME.expected.json, or its failure with NAME.error.json.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/template_check.h"
#include "legacy/legacy_reader.h"
#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::ParseJson;

const std::string kGoldenDirectory = LUMIFLOW_TEST_DATA_DIR "/legacy/golden";
const std::string kLegacySuffix = ".legacy.json";

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The first line where the texts part, with a few lines of context.
std::string FirstDifference(const std::string& actual, const std::string& expected) {
  const std::vector<std::string> got = Lines(actual);
  const std::vector<std::string> want = Lines(expected);
  std::size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
  std::ostringstream report;
  report << "first difference at line " << at + 1 << "\n";
  const std::size_t from = at >= 4 ? at - 4 : 0;
  for (std::size_t i = from; i < at; ++i) report << "    " << want[i] << "\n";
  report << "  expected: " << (at < want.size() ? want[at] : "<end of text>") << "\n";
  report << "  actual:   " << (at < got.size() ? got[at] : "<end of text>") << "\n";
  if (got.size() == want.size() && at == got.size()) report << "  (line ends differ)\n";
  return report.str();
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kGoldenDirectory)) {
    const std::string file = entry.path().filename().string();
    if (file.size() > kLegacySuffix.size() &&
        file.compare(file.size() - kLegacySuffix.size(), kLegacySuffix.size(), kLegacySuffix) ==
            0) {
      names.push_back(file.substr(0, file.size() - kLegacySuffix.size()));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(LegacyGolden, EveryCaseConvertsAsWritten) {
  const std::vector<std::string> names = CaseNames();
  ASSERT_GE(names.size(), 26u) << "golden cases missing from " << kGoldenDirectory;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string base = kGoldenDirectory + "/" + name;
    const std::string legacy = ReadText(base + kLegacySuffix);
    ZQA_OldParameterReader reader;
    std::string message;
    const int code = reader.ReadOldTemplate(legacy.c_str(), message);

    if (std::filesystem::exists(base + ".error.json")) {
      const Json::Value error = ParseJson(ReadText(base + ".error.json"));
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
    const std::string expected = ParseJson(ReadText(base + ".expected.json")).toStyledString();
    if (output != expected) ADD_FAILURE() << FirstDifference(output, expected);
    // What the converter writes holds nothing but template sections.
    EXPECT_EQ(CheckTemplateText(output, message, nullptr, {.strict = true}), 0) << message;
  }
}

}  // namespace
}  // namespace quorvane
