#pragma once

// The styled text of a JSON value, byte for byte what Json::Value's
// toStyledString gives (tab indentation, " : " after keys, every non-empty
// array on lines of its own), written straight into a string. The converter
// writes thousands of templates per run, and jsoncpp's own styled writer
// spends most of its time in stream insertions and in copying every member
// name it writes.

#include <json/json.h>

#include <string>

namespace quorvane {

// Equal to value.toStyledString() for every value. A tree that carries
// comments is handed to jsoncpp's writer; the walk keeps its own stack, so
// deep trees cost no native stack.
std::string StyledJsonText(const Json::Value& value);

}  // namespace quorvane
