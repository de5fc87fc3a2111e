#include "captureflow/lumiflow_setting.h"

#include <climits>

#include "captureflow/default_names.h"
#include "framework/document_base.h"
#include "framework/field_mapping.h"

namespace quorvane {

QV_LumiflowSetting::QV_LumiflowSetting() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QV_LumiflowSetting::Mapping() {
  using S = QV_LumiflowSetting;
  static const ClassMapping mapping =
      Mapper<S>("LumiflowSetting")
          .RegisterCommonFields(DefaultLumiflowSettingName().c_str())
          .Text("ImageSource", &S::imageSourceName)
          .RefersTo(kImageSources, EmptyName::kNone)
          .Note("The image source the flow takes its images from, by name")
          .Int("OutputOriginalImage", &S::outputOriginalImage, 0, 0, 1)
          .Int("MaxParallelTasks", &S::maxParallelTasks, 4, 0, 256)
          .Note("How many tasks may run in parallel")
          .Int("Timeout", &S::timeout, 10000, 0, INT_MAX)
          .Note("The time-out of the run")
          .Int("MinImageCaptureInterval", &S::minImageCaptureInterval, 0, 0, INT_MAX)
          .TextList("ImageROIProcessingNameArray", &S::imageROIProcessingNames, kNoFlags,
                    {DefaultTargetROIDefName()})
          .RefersTo(kTargetROIDefs)
          .Note("The target ROI definitions run on each image, by name")
          .TextList("SemanticProcessingNameArray", &S::semanticProcessingNames, kEmptyAllowed)
          .RefersTo(kSemanticProcessing)
          .Build();
  return mapping;
}

void QV_LumiflowSetting::ResetReadMarks() { isPlaceholder = false; }

}  // namespace quorvane
