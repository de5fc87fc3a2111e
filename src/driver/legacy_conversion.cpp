#include "driver/legacy_conversion.h"

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
  thread_local ZQA_OldParameterReader reader;
  reader.collectNotCarriedOver = request.record;
  if (Failure failure = reader.ReadTemplate(text.c_str())) {
    result.failure = std::move(failure);
    result.alreadyCurrent = reader.format == TemplateFormat::Current;
    return result;
  }
  reader.OutputNewTemplate(result.outputText);
  // What the budget let through may still write more values than the
  // template document reads; such a file is refused, not written.
  if (ExceedsJsonValueLimit(result.outputText)) {
    result.outputText.clear();
    result.failure = Failure::OfCode(errors::kTemplateComplex);
    return result;
  }
  if (request.check) {
    result.failure = CheckTemplateText(result.outputText);
    if (result.failure) {
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
  return result;
}

}  // namespace quorvane
