// What the case files cannot show: copies.

#include "captureflow/flow_sections.h"

#include <gtest/gtest.h>

#include <string>

#include "captureflow/capture_flow_test_support.h"

namespace quorvane {
namespace {

using testing::ReadText;
using testing::Written;

TEST(SemanticSetting, ACopyOwnsItsFilter) {
  QV_SemanticSetting original;
  ASSERT_EQ(ReadText(original, R"({"ReferenceObjectFilter":{"ReferenceTaskNameArray":["a"]}})"), 0);
  const std::string originalText = Written(original);
  QV_SemanticSetting copy(original);
  ASSERT_EQ(ReadText(copy, R"({"ReferenceObjectFilter":{"ReferenceTaskNameArray":["b"]}})"), 0);
  EXPECT_EQ(Written(original), originalText);
}

}  // namespace
}  // namespace quorvane
