// What the case files cannot show: copies.

#include "captureflow/flow_sections.h"

#include <gtest/gtest.h>

#include <string>

#include "support/parameter_test_support.h"

namespace quorvane {
namespace {

using testing::Read;
using testing::Written;

TEST(SemanticSetting, ACopyOwnsItsFilter) {
  QV_SemanticSetting original;
  ASSERT_EQ(Read(original, R"({"ReferenceObjectFilter":{"ReferenceTaskNameArray":["a"]}})"), 0);
  const std::string originalText = Written(original);
  QV_SemanticSetting copy(original);
  ASSERT_EQ(Read(copy, R"({"ReferenceObjectFilter":{"ReferenceTaskNameArray":["b"]}})"), 0);
  EXPECT_EQ(Written(original), originalText);
}

}  // namespace
}  // namespace quorvane
