#include "driver/legacy_conversion.h"

#include <new>

#include "framework/error_codes.h"
#include "framework/json_text_limits.h"
#include "legacy/legacy_reader.h"

namespace quorvane {

// A fresh reader per file: nothing carries over from one file to the next.
int ConvertLegacyTemplate(const std::string& text, std::string& errorMessage,
                          std::string& outputText) {
  try {
    ZQA_OldParameterReader reader;
    const int code = reader.ReadOldTemplate(text.c_str(), errorMessage);
    if (code != errors::kSuccess) return code;
    reader.OutputNewTemplate(outputText);
    // What the budget let through may still write more values than the
    // template document reads; such a file is refused, not written.
    if (ExceedsJsonValueLimit(outputText)) {
      outputText.clear();
      errorMessage.clear();
      return errors::kTemplateComplex;
    }
    return errors::kSuccess;
  } catch (const std::bad_alloc&) {
    // The output of a huge template may not fit where its reading did.
    outputText.clear();
    errorMessage = GetErrorString(errors::kOutOfMemory);
    return errors::kOutOfMemory;
  }
}

}  // namespace quorvane
