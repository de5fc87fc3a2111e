// The C API of the library (include/lumiflow/lumiflow.h): the conversion
// and the checker of one text each, as the programs run them for a file,
// behind an opaque result. Nothing is thrown across it: a failure to get
// memory gives a null result, as the header says.

#include "lumiflow/lumiflow.h"

#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "document/template_schema.h"
#include "driver/legacy_conversion.h"
#include "driver/report_entry.h"
#include "driver/template_check.h"
#include "framework/error_codes.h"
#include "framework/failure.h"
#include "framework/json_text_limits.h"

struct lumiflow_result {
  int code = quorvane::errors::kSuccess;
  std::string message;
  std::string output;
  std::string report;
};

namespace {

using namespace quorvane;

// The text a caller handed over: null with any length is the empty text.
std::string TextOf(const char* text, size_t length) {
  return text != nullptr ? std::string(text, length) : std::string();
}

const char* Text(const std::string& text, size_t* length) {
  if (length != nullptr) *length = text.size();
  return text.c_str();
}

// The failure's entry of a report: its status (and for a conversion the
// step that failed, as the converter's report gives it), the code and the
// message.
std::string FailureReport(std::string_view status, int code, const std::string& message,
                          const char* failure = nullptr) {
  Json::Value entry(Json::objectValue);
  entry["status"] = std::string(status);
  if (failure != nullptr) entry["failure"] = failure;
  entry["code"] = code;
  entry["message"] = Utf8Text(message);
  return ReportText(entry);
}

// Sets `result` to a failed conversion's: its code, its message and its
// report entry.
void FailConversion(lumiflow_result& result, const Failure& failure, bool alreadyCurrent) {
  result.code = failure.code;
  result.message = failure.Message();
  result.report = alreadyCurrent ? FailureReport("skipped", result.code, result.message)
                                 : FailureReport("failed", result.code, result.message, "read");
}

// Runs `fill` on a new result: the one guard of each call, so that nothing
// is thrown across. A throw while `*converting` is set is the conversion's
// failure, and the result says so as for any failed conversion; any other
// throw, or one while making that result, gives null (only a failure to get
// memory can).
template <class Fill>
lumiflow_result* Make(Fill&& fill, const bool* converting = nullptr) noexcept {
  std::exception_ptr thrown;
  for (;;) {
    try {
      auto result = std::make_unique<lumiflow_result>();
      if (thrown) {
        FailConversion(*result, ThrownFailure(thrown), false);
      } else {
        fill(*result);
      }
      return result.release();
    } catch (...) {
      if (thrown || converting == nullptr || !*converting) return nullptr;
      thrown = std::current_exception();
    }
  }
}

}  // namespace

extern "C" {

const char* lumiflow_version(void) { return LUMIFLOW_VERSION; }

lumiflow_result* lumiflow_convert(const char* text, size_t length) {
  bool converting = false;
  return Make([&](lumiflow_result& result) {
    // A file this large is refused unread by the converter; so is the text.
    if (length > kMaxTemplateFileBytes) {
      result.code = errors::kTemplateComplex;
      result.message = TooLargeReason();
      result.report = FailureReport("failed", result.code, result.message, "read");
      return;
    }
    converting = true;
    TemplateConversion conversion = ConvertLegacyTemplate(TextOf(text, length), {.record = true});
    converting = false;
    if (!conversion.failure) {
      Json::Value entry(Json::objectValue);
      AddConversion(conversion.record, conversion.notCarriedOver, conversion.changes, entry);
      result.output = std::move(conversion.outputText);
      result.report = ReportText(entry);
      return;
    }
    FailConversion(result, conversion.failure, conversion.alreadyCurrent);
  }, &converting);
}

lumiflow_result* lumiflow_check(const char* text, size_t length, int strict) {
  return Make([&](lumiflow_result& result) {
    const Failure failure =
        length > kMaxTemplateFileBytes
            ? Failure::Of(errors::kTemplateComplex, GetErrorString(errors::kTemplateComplex))
            : CheckTemplateText(TextOf(text, length), nullptr, {.strict = strict != 0});
    result.code = failure.code;
    if (!failure) {
      Json::Value entry(Json::objectValue);
      entry["status"] = "passed";
      result.report = ReportText(entry);
    } else {
      result.message = failure.text;
      result.report = FailureReport("failed", result.code, result.message);
    }
  });
}

lumiflow_result* lumiflow_schema(void) {
  return Make([](lumiflow_result& result) { result.output = TemplateSchema().toStyledString(); });
}

int lumiflow_result_ok(const lumiflow_result* result) {
  return result != nullptr && result->code == errors::kSuccess;
}

int lumiflow_result_code(const lumiflow_result* result) {
  return result != nullptr ? result->code : errors::kOutOfMemory;
}

const char* lumiflow_result_message(const lumiflow_result* result, size_t* length) {
  static const std::string none;
  return Text(result != nullptr ? result->message : none, length);
}

const char* lumiflow_result_output(const lumiflow_result* result, size_t* length) {
  static const std::string none;
  return Text(result != nullptr ? result->output : none, length);
}

const char* lumiflow_result_report(const lumiflow_result* result, size_t* length) {
  static const std::string none;
  return Text(result != nullptr ? result->report : none, length);
}

void lumiflow_result_free(lumiflow_result* result) { delete result; }

}  // extern "C"
