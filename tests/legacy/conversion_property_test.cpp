// Random legacy templates (seeded, so every run sees the same ones): each
// that converts must give a template the checker accepts, with no key that
// no reader takes; converting it again must give the same bytes; and the
// conversion names a change exactly when the file holds a value it cannot
// carry over as given.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/template_check.h"
#include "legacy/legacy_reader.h"
#include "support/legacy_template_generator.h"

namespace quorvane {
namespace {

using Kind = testing::LegacyTemplateGenerator::Kind;

std::string Convert(const std::string& text, int& code, std::string& message,
                    bool* changed = nullptr) {
  ZQA_OldParameterReader reader;
  reader.collectNotCarriedOver = changed != nullptr;
  code = reader.ReadOldTemplate(text.c_str(), message);
  std::string output;
  if (code == 0) reader.OutputNewTemplate(output);
  if (changed != nullptr) *changed = !reader.changes.empty();
  return output;
}

TEST(LegacyConversionProperty, ConvertedTemplatesPassTheCheckerAndRepeat) {
  const struct {
    Kind kind;
    unsigned seed;
    int count;
    // Both outcomes must be well represented, or the property says little;
    // the benchmark's files must all convert.
    int leastConverted;
    int leastRefused;
  } runs[] = {
      {Kind::kVaried, 20240611u, 300, 100, 20},
      {Kind::kRealistic, 1u, 40, 40, 0},
  };
  for (const auto& run : runs) {
    testing::LegacyTemplateGenerator generator(run.seed, run.kind);
    int converted = 0;
    int refused = 0;
    int withChanges = 0;
    for (int i = 0; i < run.count; ++i) {
      const std::string text = generator.Next();
      SCOPED_TRACE(text);
      int code = 0;
      std::string message;
      bool changed = false;
      const std::string output = Convert(text, code, message, &changed);
      if (code != 0) {
        ++refused;
        EXPECT_FALSE(message.empty()) << code;
        continue;
      }
      ++converted;
      EXPECT_EQ(changed, generator.DrewChanges());
      withChanges += changed;
      std::vector<std::string> notRead;
      const Failure check = CheckTemplateText(output, &notRead, {.strict = true});
      EXPECT_FALSE(check) << check.text << "\n" << output;
      EXPECT_TRUE(notRead.empty()) << ::testing::PrintToString(notRead);
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
    EXPECT_GE(converted, run.leastConverted);
    EXPECT_GE(refused, run.leastRefused);
    // Both kinds of converted file are drawn, or the property says little.
    if (run.kind == Kind::kVaried) {
      EXPECT_GE(withChanges, 30);
      EXPECT_GE(converted - withChanges, 10);
    }
  }
}

// The text written straight from the sections is the styled text of the
// tree they write, for every template the generator draws.
TEST(LegacyConversionProperty, TheTextIsTheStyledTextOfTheTree) {
  int compared = 0;
  for (const Kind kind : {Kind::kVaried, Kind::kRealistic}) {
    testing::LegacyTemplateGenerator generator(kind == Kind::kVaried ? 99u : 98u, kind);
    for (int i = 0; i < 5000; ++i) {
      const std::string text = generator.Next();
      ZQA_OldParameterReader reader;
      std::string message;
      if (reader.ReadOldTemplate(text.c_str(), message) != 0) continue;
      ++compared;
      std::string output;
      reader.OutputNewTemplate(output);
      const std::string tree = reader.NewTemplateTree().toStyledString();
      if (output != tree) {
        ADD_FAILURE() << text;
        EXPECT_EQ(output, tree);
        break;
      }
    }
  }
  EXPECT_GT(compared, 6000);
}

}  // namespace
}  // namespace quorvane
