#include "framework/error_codes.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

// A code the table lacks still has a text to print.
TEST(ErrorCodes, UnknownCodesHaveTheUnknownText) {
  for (const int code : {1, -1, -99999, -10003}) {
    SCOPED_TRACE(code);
    EXPECT_STREQ(GetErrorString(code), "Unknown error.");
  }
}

}  // namespace
}  // namespace quorvane
