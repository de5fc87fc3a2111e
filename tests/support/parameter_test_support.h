#pragma once

// What the C++ tests of the parameter classes share: reading JSON text into an
// object, and the object's written JSON as compact text.

#include <string>

#include "framework/parameter_field_base.h"
#include "support/json_text.h"

namespace quorvane::testing {

inline int Read(QV_ParameterFieldBase& object, const std::string& text) {
  return object.ReadFromJson(ParseJson(text), NoSkippedKeys());
}

inline std::string Written(QV_ParameterFieldBase& object) {
  object.WriteToJson(false);
  return Compact(object.json);
}

}  // namespace quorvane::testing
