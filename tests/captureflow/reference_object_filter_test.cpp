// What the case files cannot show: copies.

#include "captureflow/reference_object_filter.h"

#include <gtest/gtest.h>

#include "support/parameter_test_support.h"

namespace quorvane {
namespace {

using testing::Read;
using testing::Written;

TEST(ReferenceObjectFilter, ACopyOwnsItsConditions) {
  QV_ReferenceObjectFilter original;
  ASSERT_EQ(Read(original, R"({"BarcodeFilteringCondition":null,
                                   "FrameFilteringCondition":{"WidthRange":[1,2]}})"),
            0);
  const std::string originalText = Written(original);
  QV_ReferenceObjectFilter copy(original);
  ASSERT_EQ(Read(copy, R"({"FrameFilteringCondition":{"WidthRange":[3,4]}})"), 0);
  EXPECT_EQ(Written(original), originalText);

  QV_ReferenceObjectFilter assigned;
  assigned = original;
  EXPECT_EQ(Written(assigned), originalText);
}

}  // namespace
}  // namespace quorvane
