#include "framework/error_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

TEST(ErrorCodes, TextOfEachCodeKind) {
  const struct {
    int code;
    std::string text;
  } cases[] = {
      {0, "Successful."},
      {-10000, "Unknown error."},
      {1, "Unknown error."},
      {-99999, "Unknown error."},
      {-10030, "Json parse failed."},
      {-10031, "Json type invalid."},
      {-10032, "Json key invalid."},
      {-10033, "Json value invalid or value out of range."},
      {-10034, "The mandatory key \"Name\" is missing."},
      {-10035, "The value of the key \"Name\" is duplicated."},
      {-10037, "The name reference is invalid."},
      {-10038, "The parameter value invalid or out of range."},
      {-10061, "The template is complex."},
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
