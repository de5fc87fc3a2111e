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

  QV_MAPPED_CLASS()
  // A read template is no placeholder any more.
  void ResetReadMarks() override;

  std::string imageSourceName;                       // "ImageSource"
  int outputOriginalImage;
  std::vector<std::string> imageROIProcessingNames;  // "ImageROIProcessingNameArray"
  std::vector<std::string> semanticProcessingNames;  // "SemanticProcessingNameArray"
  int maxParallelTasks;
  int timeout;
  int minImageCaptureInterval;
  // Set until the first read: a template never read from a text may be
  // replaced or dropped by the template document. Copies keep it.
  bool isPlaceholder = true;
};

}  // namespace quorvane
