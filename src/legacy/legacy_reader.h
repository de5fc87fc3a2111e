#pragma once

// The legacy template reader: a template document that fills itself from one
// legacy template text and writes the result as a current-format template.
// The legacy format specifications become format specifications; each legacy
// image parameter n becomes the image parameter "IP_" + n, the barcode reader
// task "BR_" + n, a target ROI definition per region it names (with a task
// of its own where the region reads otherwise) and the capture-flow template
// "Default_" + n. Every task decodes with the shared image parameter
// "IP_Decode".

#include <json/json.h>

#include <string>
#include <vector>

#include "captureflow/lumiflow_setting.h"
#include "framework/template_document.h"
#include "legacy/legacy_region.h"

namespace quorvane {

// A capture-flow template as the conversion builds it.
class OldLumiflowSetting : public QV_LumiflowSetting {};

class ZQA_OldParameterReader : public QV_LMFParameter {
 public:
  ZQA_OldParameterReader() = default;

  // Clears the document and converts the legacy template `text` (up to its
  // first NUL byte; comments allowed) into it. Returns 0, or an error code
  // with its message in `errorMessage`; the first failure ends the read.
  int ReadOldTemplate(const char* text, std::string& errorMessage);

  // The current-format template of the document: its capture-flow
  // templates, format specifications, barcode reader tasks, global
  // parameter, image parameters and target ROI definitions, styled.
  void OutputNewTemplate(std::string& text);

  // Legacy image parameters started in this read.
  int imageParameterCount = 0;
  // The capture-flow templates made by the conversion, in creation order.
  std::vector<OldLumiflowSetting> lumiflowSettings;

 protected:
  int ReadParsedTemplate(const Json::Value& root, std::string& errorMessage);
  int ConvertImageParameter(const Json::Value& value, std::string& errorMessage,
                            const RegionIndex& regions, ConversionBudget& budget);
};

}  // namespace quorvane
