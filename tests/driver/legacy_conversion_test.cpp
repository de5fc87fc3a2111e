#include "driver/legacy_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "driver/temp_tree.h"
#include "framework/error_codes.h"

namespace quorvane {
namespace {

// A file already converted would become an empty default template; it is
// refused as soon as one of its root keys shows it, unless a legacy key is
// there too.
TEST(ConvertLegacyTemplate, RefusesACurrentFormatFile) {
  const std::pair<std::string, bool> cases[] = {
      {"{}", false},
      {R"({"Version": "3.0"})", false},
      {testing::FileText(LUMIFLOW_TEST_DATA_DIR "/legacy/golden/single_image_parameter.expected.json"),
       true},
      {R"({"TargetROIDefOptions": []})", true},
      {R"({"GlobalParameter": {}, "RegionDefinition": []})", false},
  };
  for (const auto& [text, refused] : cases) {
    SCOPED_TRACE(text.substr(0, 80));
    std::string message;
    std::string output = "stale";
    const int code = ConvertLegacyTemplate(text, message, output);
    if (refused) {
      EXPECT_EQ(code, errors::kJsonTypeInvalid);
      EXPECT_EQ(message, "The file is already in the current format.");
      EXPECT_EQ(output, "stale");
    } else {
      EXPECT_NE(message, "The file is already in the current format.");
    }
  }
  std::string message;
  std::string output;
  EXPECT_EQ(ConvertLegacyTemplate("{}", message, output), errors::kSuccess) << message;
  EXPECT_FALSE(output.empty());
}

}  // namespace
}  // namespace quorvane
