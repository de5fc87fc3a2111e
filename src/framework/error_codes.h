#pragma once

// Result codes of every operation of the parameter model: 0 for success, a
// negative code for a failure. The code travels with a message string that the
// failing object composes; the fixed part of that message is the code's text.


namespace quorvane {

namespace errors {
inline constexpr int kSuccess = 0;
inline constexpr int kUnknown = -10000;
inline constexpr int kOutOfMemory = -10001;
inline constexpr int kNullPointer = -10002;
inline constexpr int kFileNotFound = -10005;
inline constexpr int kJsonParseFailed = -10030;
inline constexpr int kJsonTypeInvalid = -10031;
inline constexpr int kJsonKeyInvalid = -10032;
inline constexpr int kJsonValueInvalid = -10033;
inline constexpr int kNameMissing = -10034;
inline constexpr int kNameDuplicated = -10035;
inline constexpr int kNameReferenceInvalid = -10037;
inline constexpr int kParameterValueInvalid = -10038;
inline constexpr int kTemplateComplex = -10061;
inline constexpr int kImageSourceNotFound = -10063;
}  // namespace errors

// The text of `code`; "Unknown error." for a code that is not in the table.
// The returned text has static lifetime.
const char* GetErrorString(int code);

}  // namespace quorvane
