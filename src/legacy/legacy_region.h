#pragma once

// Legacy region definitions: a rectangle of the image, in pixels or in
// percent, optionally with barcode formats and format specifications of its
// own. A legacy image parameter names the regions it applies to; each named
// region becomes a target ROI definition, and a region that reads otherwise
// than its image parameter gets a barcode reader task of its own.

#include <json/json.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "captureflow/lumiflow_setting.h"
#include "document/template_document.h"
#include "framework/failure.h"
#include "legacy/conversion_budget.h"
#include "legacy/legacy_barcode.h"

namespace quorvane {

// Type name "RegionDefinition". The default region is the whole image in
// percent; edges are not checked against each other here.
class OldRegionDefinition : public QV_ParameterFieldBase {
 public:
  OldRegionDefinition();

  QV_MAPPED_CLASS()

  // Reads a legacy region object (null: nothing given). Returns 0 or an
  // error code with its message in errorMessage.
  int ReadLegacyJson(const Json::Value& value);

  OldBarcodeFormatStruct legacyBarcodeFormat;
  int bottom;
  int left;
  int right;
  int top;
  int measuredByPercentage;
  std::vector<std::string> formatSpecificationNames;

  // The name image parameters know the region by; `name` is what its target
  // ROI definition is called, which differs when the legacy name is taken.
  std::string legacyName;
  // The legacy object the region was read from, for the record of changes.
  const Json::Value* source = nullptr;
};

// The legacy regions of one file by their legacy names; of several with one
// name, the first in file order.
class RegionIndex {
 public:
  // `regions` must outlive the index and stay unchanged.
  explicit RegionIndex(const std::vector<OldRegionDefinition>& regions);
  const OldRegionDefinition* Find(std::string_view name) const;

 private:
  std::unordered_map<std::string_view, const OldRegionDefinition*> byName_;
};

// What the regions of one legacy image parameter work on.
struct RegionConversion {
  QV_LMFParameter& document;
  // The image parameter's task, named "BR_" + n, its legacy parts read.
  const OldBarcodeReaderTaskSetting& task;
  // The legacy object's "RegionDefinitionNameArray", whose entries the
  // task's region names are; null when it has none.
  const Json::Value* regionNames;
  // Budget units of one copy of the task.
  std::size_t taskCopyCost;
  // The capture-flow template being built; each region is appended to its
  // ROI list.
  QV_LumiflowSetting& flow;
  const RegionIndex& regions;
  ConversionBudget& budget;
  // The formats that no region took for a task of its own.
  BarcodeFormatMask remainingFormats = ~BarcodeFormatMask{0};
};

// Turns each region the task names into a target ROI definition under the
// region's name, and gives a region whose formats or format specifications
// differ from the task's a copy of the task of its own, named region + "_" +
// task name. Names without a region are dropped, and recorded as changes. A
// region already converted for an earlier image parameter keeps its
// definition and collects the new task name. Returns no failure, or the
// first one (-10061, told by its code alone, when the budget is spent).
Failure ConvertRegionDefinitions(RegionConversion& conversion);

// The legacy value that stands for a whole region in the record of changes:
// its "Name", or the region's object.
const Json::Value& RegionValue(const OldRegionDefinition& region);

}  // namespace quorvane
