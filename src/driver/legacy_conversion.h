#pragma once

// The conversion of one legacy template text, as the converter executable
// runs it for each file.

#include <string>

namespace quorvane {

// Matches ConvertTemplateText (driver/conversion_run.h).
int ConvertLegacyTemplate(const std::string& text, std::string& errorMessage,
                          std::string& outputText);

}  // namespace quorvane
