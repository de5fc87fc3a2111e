// The legacy conversion of one text, as the converter runs it for a file:
// ReadOldTemplate, then OutputNewTemplate. Besides not crashing: a failure
// is reported with a known code (the converter prints the code's own text
// for an empty message); the same reader converting the same text again
// gives the same result (nothing of the first read survives); the text
// written straight from the model is the styled text of the tree the model
// writes; and a converted template is read by the template document without
// error and passes the checker (--strict too), which also builds its tasks
// and format specifications.

#include <cstddef>
#include <cstdint>
#include <string>

#include "driver/template_check.h"
#include "document/template_document.h"
#include "fuzz_checks.h"
#include "legacy/legacy_reader.h"

using namespace quorvane;

namespace {

struct Conversion {
  int code = 0;
  std::string message;
  std::string output;
};

Conversion Convert(ZQA_OldParameterReader& reader, const std::string& text) {
  Conversion result;
  result.code = reader.ReadOldTemplate(text.c_str(), result.message);
  if (result.code == errors::kSuccess) reader.OutputNewTemplate(result.output);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ZQA_OldParameterReader reader;
  const Conversion first = Convert(reader, text);
  fuzzing::RequireReported(first.code, first.message, true);
  const Conversion second = Convert(reader, text);
  FUZZ_REQUIRE(second.code == first.code && second.message == first.message &&
                   second.output == first.output,
               "converting a text twice gives the same result",
               fuzzing::Describe(first.code, first.message) + " then " +
                   fuzzing::Describe(second.code, second.message));
  if (first.code != errors::kSuccess) return 0;
  FUZZ_REQUIRE(first.output == reader.NewTemplateTree().toStyledString(),
               "the text written from the model is the styled text of its tree", first.output);

  QV_LMFParameter document;
  const int read = document.ReadFromString(first.output.c_str());
  FUZZ_REQUIRE(read == errors::kSuccess, "a converted template reads without error",
               fuzzing::Describe(read, document.message) + "\n" + first.output);
  const Failure check = CheckTemplateText(first.output, nullptr, {.strict = true});
  FUZZ_REQUIRE(!check, "a converted template passes the checker",
               fuzzing::Describe(check.code, check.text) + "\n" + first.output);
  return 0;
}
