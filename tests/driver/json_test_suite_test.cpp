// The public JSON parsing test suite (valid "y_", invalid "n_" and undecided
// "i_" texts, written by others) through the template document, the template
// checker and the converter, read where it lies. Both JSON readers are
// lenient (comments, trailing text), so an invalid text may be taken; what
// counts is a defined outcome for every text, and no valid text refused as
// unparsable.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/outcome_checks.h"
#include "driver/temp_tree.h"
#include "driver/template_check.h"
#include "framework/error_codes.h"
#include "framework/template_document.h"

namespace quorvane {
namespace {

using testing::ExpectBounded;
using testing::ExpectConverterOutcome;
using testing::ExpectReported;
using testing::FileText;

const std::string kSuiteDirectory = LUMIFLOW_SHARED_CORPUS "/JSONTestSuite/test_parsing";

std::vector<std::filesystem::path> SuiteFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(kSuiteDirectory)) {
    if (entry.is_regular_file() && entry.path().extension() == ".json") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool IsValidJson(const std::filesystem::path& file) {
  return file.filename().string().rfind("y_", 0) == 0;
}

TEST(JsonTestSuite, DocumentAndCheckerGiveADefinedOutcome) {
  if (!std::filesystem::is_directory(kSuiteDirectory)) {
    GTEST_SKIP() << "the JSON test suite is not at " << kSuiteDirectory;
  }
  const std::vector<std::filesystem::path> files = SuiteFiles();
  ASSERT_FALSE(files.empty()) << kSuiteDirectory;
  for (const std::filesystem::path& path : files) {
    const std::string file = path.string();
    SCOPED_TRACE(file);
    const std::string text = FileText(file);
    QV_LMFParameter document;
    int code = 0;
    ExpectBounded(text.size(), [&] { code = document.ReadFromText(text); });
    ExpectReported(code, document.message);
    if (IsValidJson(path)) {
      EXPECT_NE(code, errors::kJsonParseFailed) << document.message;
    }

    bool passed = false;
    std::string line;
    ExpectBounded(text.size(), [&] { line = CheckTemplateFile(file, passed); });
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    if (code != errors::kSuccess) {
      EXPECT_FALSE(passed);
      EXPECT_EQ(line.rfind("FAIL: " + file + ": " + std::to_string(code) + ": ", 0), 0u) << line;
    } else if (passed) {
      EXPECT_EQ(line, "OK: " + file);
    }
  }
}

TEST(JsonTestSuite, ConverterGivesADefinedOutcome) {
  if (!std::filesystem::is_directory(kSuiteDirectory)) {
    GTEST_SKIP() << "the JSON test suite is not at " << kSuiteDirectory;
  }
  const std::vector<std::filesystem::path> files = SuiteFiles();
  ASSERT_FALSE(files.empty()) << kSuiteDirectory;
  testing::TempTree tree;
  const std::string destination = tree.Path("out.json");
  for (const std::filesystem::path& path : files) {
    const std::string printed =
        ExpectConverterOutcome(path.string(), std::filesystem::file_size(path), destination);
    if (IsValidJson(path)) {
      EXPECT_EQ(printed.find("Json parse failed."), std::string::npos) << printed;
    }
  }
}

}  // namespace
}  // namespace quorvane
