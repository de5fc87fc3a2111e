#include "framework/failure.h"

#include <new>

#include "framework/messages.h"

namespace quorvane {

Failure Failure::Of(int code, std::string_view text) {
  // An object that failed without a message of its own leaves the code to say it.
  if (text.empty()) return OfCode(code);
  Failure failure;
  failure.code = code;
  failure.text = text;
  return failure;
}

Failure Failure::OfCode(int code) {
  Failure failure;
  failure.code = code;
  failure.text = GetErrorString(code);
  failure.bare = true;
  return failure;
}

Failure& Failure::Within(std::string_view segment) {
  path = path.empty() ? std::string(segment) : Prefixed(segment, path);
  return *this;
}

std::string Failure::Message() const {
  if (bare) return std::string(texts::kCodeOnlyLead) + text;
  return Plain();
}

std::string Failure::Plain() const { return path.empty() ? text : Prefixed(path, text); }

std::string Failure::Detail() const { return bare ? std::string() : Message(); }

Failure ThrownFailure(const std::exception_ptr& thrown) {
  try {
    std::rethrow_exception(thrown);
  } catch (const std::bad_alloc&) {
    return Failure::Of(errors::kOutOfMemory, GetErrorString(errors::kOutOfMemory));
  } catch (const std::exception& e) {
    return Failure::Of(errors::kUnknown, e.what());
  }
}

}  // namespace quorvane
