#pragma once

// Names of the sections a template document holds before anything is read:
// the capture-flow template and the whole-image target ROI definition that it
// runs by default.

#include <string>

namespace quorvane {

// "Default": the default capture-flow template.
const std::string& DefaultLumiflowSettingName();
// "roi_default": the default target ROI definition (the whole image).
const std::string& DefaultTargetROIDefName();

}  // namespace quorvane
