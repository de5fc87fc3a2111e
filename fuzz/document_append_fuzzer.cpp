// QV_LMFParameter::AppendFromString, then ReadFromString(nullptr) of the
// merged text. The input up to its first NUL byte is appended first; what
// follows it, if anything, is appended second, so that merges meet earlier
// content. Besides not crashing: failures are reported with a known code
// and a message, a refused append leaves the stored text as it was, and
// reading the stored text twice gives the same result.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "document/template_document.h"
#include "fuzz_checks.h"

using namespace quorvane;

namespace {

void Append(QV_LMFParameter& document, const char* text) {
  const Json::Value before = document.templateJson;
  const int code = document.AppendFromString(text);
  fuzzing::RequireReported(code, document.message, false);
  FUZZ_REQUIRE(code == errors::kSuccess || document.templateJson == before,
               "a refused append leaves the stored text as it was",
               fuzzing::Describe(code, document.message));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  QV_LMFParameter document;
  Append(document, input.c_str());
  const std::size_t firstLength = std::strlen(input.c_str());
  if (firstLength < input.size()) Append(document, input.c_str() + firstLength + 1);

  const int code = document.ReadFromString(nullptr);
  const std::string message = document.message;
  fuzzing::RequireReported(code, message, false);
  const int again = document.ReadFromString(nullptr);
  FUZZ_REQUIRE(again == code && document.message == message,
               "reading the stored text twice gives the same result",
               fuzzing::Describe(code, message) + " then " +
                   fuzzing::Describe(again, document.message));
  return 0;
}
