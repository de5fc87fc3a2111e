#include "driver/legacy_conversion.h"

#include <exception>
#include <new>
#include <utility>

#include "driver/template_check.h"
#include "framework/json_text_limits.h"

namespace quorvane {

// One reader per thread, set up once: each read clears its document and
// starts afresh, so nothing carries over from one file to the next, and the
// document is initialised once per file rather than twice.
TemplateConversion ConvertLegacyTemplate(const std::string& text,
                                         const ConversionRequest& request) {
  TemplateConversion result;
  try {
    thread_local ZQA_OldParameterReader reader;
    reader.collectNotCarriedOver = request.record;
    result.code = reader.ReadOldTemplate(text.c_str(), result.errorMessage);
    if (result.code != errors::kSuccess) {
      result.alreadyCurrent = reader.format == TemplateFormat::Current;
      return result;
    }
    reader.OutputNewTemplate(result.outputText);
    // What the budget let through may still write more values than the
    // template document reads; such a file is refused, not written.
    if (ExceedsJsonValueLimit(result.outputText)) {
      result.outputText.clear();
      result.errorMessage.clear();
      result.code = errors::kTemplateComplex;
      return result;
    }
    if (request.check) {
      result.code = CheckTemplateText(result.outputText, result.errorMessage);
      if (result.code != errors::kSuccess) {
        result.checkFailed = true;
        result.outputText.clear();
        return result;
      }
    }
    if (request.record) {
      result.record = std::move(reader.record);
      result.notCarriedOver = std::move(reader.notCarriedOver);
      result.changes = std::move(reader.changes);
    }
  } catch (const std::bad_alloc&) {
    // The output of a huge template may not fit where its reading did.
    result = TemplateConversion();
    result.code = errors::kOutOfMemory;
    result.errorMessage = GetErrorString(errors::kOutOfMemory);
  } catch (const std::exception& e) {
    // A worker thread must not end the process with an escaped throw.
    result = TemplateConversion();
    result.code = errors::kUnknown;
    result.errorMessage = e.what();
  }
  return result;
}

int ConvertLegacyTemplate(const std::string& text, std::string& errorMessage,
                          std::string& outputText) {
  TemplateConversion result = ConvertLegacyTemplate(text, ConversionRequest());
  if (result.code != errors::kSuccess) {
    errorMessage = std::move(result.errorMessage);
    return result.code;
  }
  outputText = std::move(result.outputText);
  return errors::kSuccess;
}

}  // namespace quorvane
