// QV_LMFParameter::ReadFromString on one text, then the template checker on
// it, which also builds the barcode reader tasks and format specifications
// the document only records. Besides not crashing: every failure is reported
// with a known code and a message, reading the same text again into the same
// document gives the same result (nothing of the first read survives the
// clearing), the checker fails where the document does, in the same way,
// and so does the checker with --strict where the checker fails.

#include <cstddef>
#include <cstdint>
#include <string>

#include "driver/template_check.h"
#include "document/template_document.h"
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

  const Failure check = CheckTemplateText(text.c_str());
  const int checkCode = check.code;
  const std::string& checkMessage = check.text;
  fuzzing::RequireReported(checkCode, checkMessage, false);
  FUZZ_REQUIRE(code == errors::kSuccess || (checkCode == code && checkMessage == message),
               "the checker refuses what the document refuses, in the same way",
               fuzzing::Describe(code, message) + " against " +
                   fuzzing::Describe(checkCode, checkMessage));

  const Failure strict = CheckTemplateText(text.c_str(), nullptr, {.strict = true});
  const int strictCode = strict.code;
  const std::string& strictMessage = strict.text;
  fuzzing::RequireReported(strictCode, strictMessage, false);
  FUZZ_REQUIRE(checkCode == errors::kSuccess ||
                   (strictCode == checkCode && strictMessage == checkMessage),
               "--strict refuses what the checker refuses, in the same way",
               fuzzing::Describe(checkCode, checkMessage) + " against " +
                   fuzzing::Describe(strictCode, strictMessage));
  return 0;
}
