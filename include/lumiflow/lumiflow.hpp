// The library's C API as C++ values (header-only): each call gives a result
// that owns what the library handed back and frees it when it goes.
//
//   const lumiflow::Result converted = lumiflow::convert(legacyText);
//   if (converted.ok()) save(converted.output());
//   else log(converted.code(), converted.message());
#ifndef LUMIFLOW_LUMIFLOW_HPP
#define LUMIFLOW_LUMIFLOW_HPP

#include <memory>
#include <new>
#include <string_view>

#include "lumiflow/lumiflow.h"

namespace lumiflow {

class Result {
 public:
  // Takes over a result of the C API; a null one (no memory for it) throws
  // std::bad_alloc, as C++ reports that.
  explicit Result(lumiflow_result* result) : result_(result) {
    if (result_ == nullptr) throw std::bad_alloc();
  }

  bool ok() const { return lumiflow_result_ok(result_.get()) != 0; }
  int code() const { return lumiflow_result_code(result_.get()); }
  // Views into the result, valid as long as it lives.
  std::string_view message() const { return Text(&lumiflow_result_message); }
  std::string_view output() const { return Text(&lumiflow_result_output); }
  // The result's report entry, as JSON text.
  std::string_view report() const { return Text(&lumiflow_result_report); }

 private:
  using Accessor = const char* (*)(const lumiflow_result*, size_t*);
  std::string_view Text(Accessor accessor) const {
    size_t length = 0;
    const char* text = accessor(result_.get(), &length);
    return std::string_view(text, length);
  }
  struct Free {
    void operator()(lumiflow_result* result) const { lumiflow_result_free(result); }
  };
  std::unique_ptr<lumiflow_result, Free> result_;
};

// The legacy template `text` converted (lumiflow_convert).
inline Result convert(std::string_view text) {
  return Result(lumiflow_convert(text.data(), text.size()));
}

// The current-format template `text` checked (lumiflow_check).
inline Result check(std::string_view text, bool strict = false) {
  return Result(lumiflow_check(text.data(), text.size(), strict ? 1 : 0));
}

// The JSON Schema of a template, as the result's output (lumiflow_schema).
inline Result schema() { return Result(lumiflow_schema()); }

inline std::string_view version() { return lumiflow_version(); }

}  // namespace lumiflow

#endif  // LUMIFLOW_LUMIFLOW_HPP
