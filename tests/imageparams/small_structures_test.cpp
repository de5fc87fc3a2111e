// What the case files cannot show: copies of ranges.
// Reading is covered by tests/imageparams/cases/.

#include "imageparams/small_structures.h"

#include <gtest/gtest.h>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;

// A range kind that changes only the type name.
class TestAngleRange : public QVIP_RangeStruct {
 public:
  TestAngleRange() : QVIP_RangeStruct(0, 360, 0, 360) {}
  const std::string& GetTypeName() const override {
    static const std::string typeName = "TestAngleRange";
    return typeName;
  }
};

TEST(Range, AKindNamesItsOwnOrderFailureAndACopyKeepsTheBounds) {
  TestAngleRange angle;
  EXPECT_EQ(angle.ReadFromJson(testing::ParseJson(R"({"MinValue":200,"MaxValue":100})"),
                               NoSkippedKeys()),
            -10033);
  EXPECT_EQ(angle.errorMessage, "TestAngleRange error: min > max.");
  QVIP_RangeStruct copy(angle);
  EXPECT_EQ(copy.lowerBound, 0);
  EXPECT_EQ(copy.upperBound, 360);
  copy.WriteToJson(false);
  EXPECT_EQ(Compact(copy.json), R"({"MaxValue":100,"MinValue":200})");
}

}  // namespace
}  // namespace quorvane
