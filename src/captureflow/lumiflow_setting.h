#pragma once

// The capture-flow template: the image source a flow takes images from, the
// target ROI definitions run on each image, the semantic sections run on the
// results, and the limits of the run.

#include <string>
#include <vector>

#include "framework/parameter_field_base.h"

namespace quorvane {

// Type name "LumiflowSetting"; one element of "LumiflowTemplates". Has no
// base name.
class QV_LumiflowSetting : public QV_ParameterFieldBase {
 public:
  // Named "Default", running the whole-image definition "roi_default".
  QV_LumiflowSetting();

  const std::string& GetTypeName() const override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  std::string imageSourceName;                       // "ImageSource"
  int outputOriginalImage = 0;                       // 0 to 1
  std::vector<std::string> imageROIProcessingNames;  // "ImageROIProcessingNameArray"
  std::vector<std::string> semanticProcessingNames;  // "SemanticProcessingNameArray"
  int maxParallelTasks = 4;                          // 0 to 256
  int timeout = 10000;                               // 0 to 2147483647
  int minImageCaptureInterval = 0;                   // 0 to 2147483647
  // Set until the first read: a template never read from a text may be
  // replaced or dropped by the template document. Copies keep it.
  bool isPlaceholder = true;
};

}  // namespace quorvane
