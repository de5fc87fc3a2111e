#pragma once

// What a report says of one conversion, shared by the converter's JSON
// report and the library's result: the names the conversion gave, the keys
// it did not carry over and the values it changed, with every text made
// UTF-8.

#include <json/json.h>

#include <string>
#include <string_view>
#include <vector>

#include "framework/key_accounting.h"
#include "legacy/legacy_reader.h"

namespace quorvane {

// Text for a report: file names and keys are bytes, not always UTF-8. Each
// byte that starts no UTF-8 character becomes U+FFFD and every other byte
// is kept, so that one bad byte never takes the ones after it along.
Json::Value Utf8Text(std::string_view text);

// Sets "status" to "converted" in `entry` and adds what the conversion gave:
// "imageParameters", "regions", "formatSpecifications", "notCarriedOver"
// and "changes".
void AddConversion(const ConversionRecord& record, const std::vector<std::string>& notCarriedOver,
                   const std::vector<KeyAccounting::NamedChange>& changes, Json::Value& entry);

// A report as text: keys in byte order, two-space indentation, everything
// outside ASCII escaped, and a final line break.
std::string ReportText(const Json::Value& value);

}  // namespace quorvane
