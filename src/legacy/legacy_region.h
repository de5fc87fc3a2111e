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
#include "framework/template_document.h"
#include "legacy/legacy_barcode.h"

namespace quorvane {

// Type name "RegionDefinition". The default region is the whole image in
// percent; edges are not checked against each other here.
class OldRegionDefinition : public QV_ParameterFieldBase {
 public:
  const std::string& GetTypeName() const override;
  void InitFieldTable() override;

  // Reads a legacy region object (null: nothing given). Returns 0 or an
  // error code with its message in `message`.
  int ReadLegacyJson(const Json::Value& value, std::string& message);

  OldBarcodeFormatStruct legacyBarcodeFormat{BF_DEFAULT};
  int bottom = 100;
  int left = 0;
  int right = 100;
  int top = 0;
  int measuredByPercentage = 1;
  std::vector<std::string> formatSpecificationNames;
};

// The legacy regions of one file by name; of several with one name, the
// first in file order.
class RegionIndex {
 public:
  // `regions` must outlive the index and stay unchanged.
  explicit RegionIndex(const std::vector<OldRegionDefinition>& regions);
  const OldRegionDefinition* Find(std::string_view name) const;

 private:
  std::unordered_map<std::string_view, const OldRegionDefinition*> byName_;
};

// Bounds what one file may make. A few bytes of legacy text ("{}" in an
// image parameter list, a region name in a list, a bare mode name) each make
// whole sections or list elements of many keys, and every image parameter
// may copy its task into each region it names, so a small file could
// otherwise ask for gigabytes. A unit stands for about one JSON value of
// the converted template, counted from above: sections made and kept, list
// elements written or copied, names compared. Every section costs at least
// 64 units, so the limit keeps a converted template within the document's
// section limit; its values are held to the document's limit when it is
// written. No real template comes near it.
class ConversionBudget {
 public:
  // Twice what the template document reads: a file of a few thousand
  // ordinary image parameters converts (the count from above is about twice
  // what they write), while the output itself is held to the document's
  // limit once written.
  static constexpr std::size_t kLimit = std::size_t{1} << 21;
  // What making one section costs, beside the list elements it carries: a
  // section with its default lists writes up to about a hundred values.
  static constexpr std::size_t kSectionUnits = 128;
  // What a legacy image parameter makes beside its list elements: its image
  // parameter (72 values with the default lists), its task (93), its
  // capture-flow template (10) and its name in the whole-image ROI.
  static constexpr std::size_t kImageParameterUnits = 192;
  // What one list element costs: a mode element writes up to 22 values,
  // even when the legacy text gave only its name.
  static constexpr std::size_t kElementUnits = 24;

  // What a legacy value may write: a unit for each value it holds, and for
  // each element of a list what one element of that list writes at most (a
  // bare name may become a whole mode element). Counted without recursion.
  static std::size_t UnitsOf(const Json::Value& value);

  // False once the units spent so far exceed the limit.
  bool Spend(std::size_t units) {
    spent_ += units;
    return spent_ <= kLimit;
  }

 private:
  std::size_t spent_ = 0;
};

// What the regions of one legacy image parameter work on.
struct RegionConversion {
  QV_LMFParameter& document;
  // The image parameter's task, named "BR_" + n, its legacy parts read.
  const OldBarcodeReaderTaskSetting& task;
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

// Turns each region the task names into a target ROI definition, and gives a
// region whose formats or format specifications differ from the task's a
// copy of the task of its own, named region + "_" + task name. Names without
// a region are skipped. A region already converted for an earlier image
// parameter keeps its definition and collects the new task name, except a
// region named "roi_default", which replaces the whole-image definition each
// time. Returns 0 or an error code with its message in `errorMessage`
// (-10061 with no message when the budget is spent).
int ConvertRegionDefinitions(RegionConversion& conversion, std::string& errorMessage);

}  // namespace quorvane
