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
#include "driver/check_run.h"
#include "framework/error_codes.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

TEST(JsonTestSuite, EveryReaderGivesADefinedOutcome) {
  const std::string directory = LUMIFLOW_SHARED_CORPUS "/JSONTestSuite/test_parsing";
  if (!fs::is_directory(directory)) GTEST_SKIP() << "the JSON test suite is not at " << directory;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(directory)) {
    if (entry.is_regular_file() && entry.path().extension() == ".json") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty()) << directory;
  testing::TempTree tree;
  const std::string destination = tree.Path("out.json");
  for (const fs::path& path : files) {
    const std::string file = path.string();
    SCOPED_TRACE(file);
    const bool valid = path.filename().string().rfind("y_", 0) == 0;
    const int code = testing::ExpectDocumentOutcome(testing::FileText(file));
    if (valid) {
      EXPECT_NE(code, errors::kJsonParseFailed);
    }

    // The checker's one line for the file.
    bool passed = false;
    std::string line;
    testing::ExpectBounded(fs::file_size(path), [&] { line = CheckTemplateFile(file, passed); });
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    if (code != errors::kSuccess) {
      EXPECT_FALSE(passed);
      EXPECT_EQ(line.rfind("FAIL: " + file + ": " + std::to_string(code) + ": ", 0), 0u) << line;
    } else if (passed) {
      EXPECT_EQ(line, "OK: " + file);
    }

    const std::string printed =
        testing::ExpectConverterOutcome(file, fs::file_size(path), destination);
    if (valid) {
      EXPECT_EQ(printed.find("Json parse failed."), std::string::npos) << printed;
    }
  }
}

}  // namespace
}  // namespace quorvane
