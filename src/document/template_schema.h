#pragma once

// The JSON Schema (draft 2020-12) of a current-format template, made at run
// time from the class mappings and the section table: what an editor can
// check while a template is typed.

#include <json/json.h>

namespace quorvane {

Json::Value TemplateSchema();

}  // namespace quorvane
