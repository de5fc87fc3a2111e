#pragma once

// Reading texts into template documents, shared by the document tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/template_document.h"

namespace quorvane::testing {

struct ReadCase {
  const char* text;
  int code;
  std::string message;
};

// Reads each text into a fresh document and checks the code and message.
inline void ExpectReads(const std::vector<ReadCase>& cases) {
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.text);
    QV_LMFParameter document;
    EXPECT_EQ(document.ReadFromString(c.text), c.code);
    EXPECT_EQ(document.message, c.message);
  }
}

// The names of a collection, in its order.
inline std::vector<std::string> Names(const QV_LMFParameter& document, int kind) {
  std::vector<std::string> names;
  for (const auto& entry : document.GetSectionMap(kind)) names.push_back(entry.first);
  return names;
}

}  // namespace quorvane::testing
