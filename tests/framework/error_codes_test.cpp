#include "framework/error_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

// The texts no message of the other tests shows, and codes the table lacks.
TEST(ErrorCodes, TextsOfCodesNotSeenInMessagesAndOfUnknownCodes) {
  const struct {
    int code;
    std::string text;
  } cases[] = {
      {-10000, "Unknown error."}, {1, "Unknown error."}, {-99999, "Unknown error."},
      {-10037, "The name reference is invalid."},
      {-10038, "The parameter value invalid or out of range."},
      {-10063, "The input image source was not found."},
      {-50057, "The quardrilateral is invalid."},
      {-90005, "Failed to preprocess the full code string."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(GetErrorString(c.code), c.text);
  }
}

}  // namespace
}  // namespace quorvane
