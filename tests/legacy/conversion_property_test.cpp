// Random legacy templates (seeded, so every run sees the same ones): each
// that converts must give a template the checker accepts, and converting it
// again must give the same bytes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "driver/template_check.h"
#include "legacy/legacy_reader.h"
#include "support/legacy_template_generator.h"

namespace quorvane {
namespace {

std::string Convert(const std::string& text, int& code, std::string& message) {
  ZQA_OldParameterReader reader;
  code = reader.ReadOldTemplate(text.c_str(), message);
  std::string output;
  if (code == 0) reader.OutputNewTemplate(output);
  return output;
}

TEST(LegacyConversionProperty, ConvertedTemplatesPassTheCheckerAndRepeat) {
  char directory[] = "/tmp/lumiflow-legacy-XXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  const std::string path = std::string(directory) + "/converted.json";
  testing::LegacyTemplateGenerator generator(20240611u,
                                             testing::LegacyTemplateGenerator::Kind::kVaried);
  int converted = 0;
  int refused = 0;
  for (int i = 0; i < 300; ++i) {
    const std::string text = generator.Next();
    SCOPED_TRACE(text);
    int code = 0;
    std::string message;
    const std::string output = Convert(text, code, message);
    if (code != 0) {
      ++refused;
      EXPECT_FALSE(message.empty()) << code;
      continue;
    }
    ++converted;
    std::ofstream(path, std::ios::binary) << output;
    bool passed = false;
    const std::string report = CheckTemplateFile(path, passed);
    EXPECT_TRUE(passed) << report << "\n" << output;
    // An empty list would be written as null, which reads back as
    // "roi_default": each flow must name what it runs.
    Json::Value written;
    ASSERT_TRUE(Json::Reader().parse(output, written));
    for (const Json::Value& flow : written["LumiflowTemplates"]) {
      EXPECT_TRUE(flow["ImageROIProcessingNameArray"].isArray()) << flow;
    }

    int again = 0;
    EXPECT_EQ(Convert(text, again, message), output);
  }
  std::remove(path.c_str());
  rmdir(directory);
  // Both outcomes must be well represented, or the property says little.
  EXPECT_GT(converted, 100);
  EXPECT_GT(refused, 20);
}

}  // namespace
}  // namespace quorvane
