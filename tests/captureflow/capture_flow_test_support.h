#pragma once

// Reading, writing and round trips shared by the capture-flow tests.

#include <gtest/gtest.h>

#include <string>

#include "framework/parameter_field_base.h"
#include "support/json_text.h"

namespace quorvane::testing {

inline int ReadText(QV_ParameterFieldBase& object, const std::string& text) {
  return object.ReadFromJson(ParseJson(text), NoSkippedKeys());
}

inline std::string Written(QV_ParameterFieldBase& object) {
  object.WriteToJson(false);
  return Compact(object.json);
}

// Reads `text` into `object`, whose message starts as "earlier", and checks
// the code and the message the read leaves.
inline void ExpectRead(QV_ParameterFieldBase& object, const std::string& text, int code,
                       const std::string& message) {
  SCOPED_TRACE(text);
  object.errorMessage = "earlier";
  EXPECT_EQ(ReadText(object, text), code);
  EXPECT_EQ(object.errorMessage, message);
}

// Reads `text` into a fresh T, writes it, reads that output into another
// fresh T and writes again: both outputs must agree, and equal `text` itself
// when it is already in written form.
template <class T>
void ExpectRoundTrip(const std::string& text, bool textIsWrittenForm = true) {
  SCOPED_TRACE(text);
  T first;
  ASSERT_EQ(ReadText(first, text), 0) << first.errorMessage;
  const std::string written = Written(first);
  if (textIsWrittenForm) {
    EXPECT_EQ(written, Compact(ParseJson(text)));
  }
  T second;
  ASSERT_EQ(ReadText(second, written), 0) << second.errorMessage;
  EXPECT_EQ(Written(second), written);
}

}  // namespace quorvane::testing
