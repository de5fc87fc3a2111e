#pragma once

// The barcode side of a legacy template: the format lists of legacy objects,
// the barcode reader task that a legacy "ImageParameter" carries, and the
// legacy format specification. Each is its current class reading the legacy
// keys; after reading, the legacy parts are moved into the current members,
// so what is left to write is the current-format part.

#include <json/json.h>

#include <cstddef>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "barcode/barcode_format.h"
#include "barcode/barcode_reader_task.h"
#include "barcode/format_specification.h"
#include "legacy/legacy_modes.h"

namespace quorvane {

// Reads "BarcodeFormatIds" and "BarcodeFormatIds_2" from its owner's legacy
// object, ignoring every other key of it.
// - "BarcodeFormatIds" replaces the mask by the OR of the named formats;
//   "BF_ALL" stands for every first-word format (0xFE3FFFFF), as it did in
//   the legacy format.
// - "BarcodeFormatIds_2" adds second-word formats by their exact "BF2_"
//   names; "BF2_NULL" adds nothing, "BF2_ALL" adds them all and ends the list.
// An unknown name fails with -10033 and no text of its own.
class OldBarcodeFormatStruct : public QVIP_BarcodeFormatStruct {
 public:
  using QVIP_BarcodeFormatStruct::QVIP_BarcodeFormatStruct;

  void InitFieldTable() override;
};

// The legacy element class of a current mode family.
template <class Current>
struct LegacyModeOf {
  using type = LegacyModeStructure<Current>;
};
template <>
struct LegacyModeOf<LocalizationModeStruct> {
  using type = OldLocalizationModeStruct;
};
template <class Current>
using LegacyModeOfT = typename LegacyModeOf<Current>::type;

// Reads the legacy object `value` into `object`: the two format lists into
// `formats`, then every key `object` knows; keys it does not know belong to
// another part of the legacy object and are skipped. Null reads as an empty
// object; another JSON type fails with -10031. The message of a failure is
// left in object.errorMessage.
int ReadLegacyObject(QV_ParameterFieldBase& object, OldBarcodeFormatStruct& formats,
                     const Json::Value& value);

// The barcode keys of a legacy "ImageParameter" object.
class OldBarcodeReaderTaskSetting : public ZQA_BarcodeReaderTaskSetting {
 public:
  // The task's table with the legacy keys "TerminatePhase",
  // "MaxAlgorithmThreadCount", "FormatSpecificationNameArray" and
  // "RegionDefinitionNameArray", and the seven mode lists reading into their
  // legacy lists (an empty array is accepted where the task accepts it, and
  // then changes nothing).
  void InitFieldTable() override;

  // Reads a legacy object and moves the legacy parts over: the format mask,
  // and each legacy mode list that is not empty. Returns 0 or an error code
  // with its message in `message`.
  int ReadLegacyJson(const Json::Value& value, std::string& message);

  // What copying the task costs in ConversionBudget units: its names, and
  // its section and mode list elements.
  std::size_t CopyUnits();

  // The legacy list of the family whose current list holds `Current`.
  template <class Current>
  std::vector<LegacyModeOfT<Current>>& LegacyModes() {
    return std::get<std::vector<LegacyModeOfT<Current>>>(legacyModeLists);
  }

  OldBarcodeFormatStruct legacyBarcodeFormat{BF_DEFAULT};
  std::vector<std::string> regionDefinitionNames;
  std::tuple<std::vector<OldDeblurModeStruct>, std::vector<OldLocalizationModeStruct>,
             std::vector<OldDPMCodeReadingModeStruct>, std::vector<OldBarcodeColourModeStruct>,
             std::vector<OldBarcodeComplementModeStruct>,
             std::vector<OldDeformationResistingModeStruct>,
             std::vector<OldTextResultOrderModeStruct>>
      legacyModeLists;
};

// A legacy "FormatSpecification" object.
class OldFormatSpecification : public ZQA_BarcodeFormatSpecification {
 public:
  // The format specification's table with its two mode lists reading into the
  // legacy lists (an empty array is accepted and changes nothing).
  void InitFieldTable() override;

  // Reads a legacy object and moves the format mask and each non-empty
  // legacy list over. Returns 0 or an error code with its message in
  // `message`.
  int ReadLegacyJson(const Json::Value& value, std::string& message);

  OldBarcodeFormatStruct legacyBarcodeFormat{BF_DEFAULT};
  std::vector<OldBarcodeComplementModeStruct> legacyBarcodeComplementModes;
  std::vector<OldDeformationResistingModeStruct> legacyDeformationResistingModes;
};

}  // namespace quorvane
