// QV_LMFParameter::ReadFromString on one text. Besides not crashing: every
// failure is reported with a known code and a message, and reading the same
// text again into the same document gives the same result (nothing of the
// first read survives the clearing).

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/template_document.h"
#include "fuzz_checks.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  QV_LMFParameter document;
  const int code = document.ReadFromString(text.c_str());
  const std::string message = document.message;
  fuzzing::RequireReported(code, message, false);

  const int again = document.ReadFromString(text.c_str());
  FUZZ_REQUIRE(again == code && document.message == message,
               "reading a text twice gives the same result",
               fuzzing::Describe(code, message) + " then " +
                   fuzzing::Describe(again, document.message));
  return 0;
}
