#include "captureflow/default_names.h"

namespace quorvane {

const std::string& DefaultLumiflowSettingName() {
  static const std::string name = "Default";
  return name;
}

const std::string& DefaultTargetROIDefName() {
  static const std::string name = "roi_default";
  return name;
}

}  // namespace quorvane
