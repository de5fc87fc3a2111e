#pragma once

// Reading and writing shared by the capture-flow tests of objects built or
// copied in code; reading alone is covered by tests/captureflow/cases/.

#include <string>

#include "framework/parameter_field_base.h"
#include "support/json_text.h"

namespace quorvane::testing {

inline int ReadText(QV_ParameterFieldBase& object, const std::string& text) {
  return object.ReadFromJson(ParseJson(text), NoSkippedKeys());
}

inline std::string Written(QV_ParameterFieldBase& object) {
  object.WriteToJson(false);
  return Compact(object.json);
}

}  // namespace quorvane::testing
