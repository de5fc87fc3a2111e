#pragma once

// The barcode side of a legacy template: the format lists of legacy objects,
// the barcode reader task that a legacy "ImageParameter" carries, and the
// legacy format specification. Each is its current class reading the legacy
// keys, so what is left to write is the current-format part.

#include <json/json.h>

#include <cstddef>
#include <string>
#include <vector>

#include "barcode/barcode_format.h"
#include "barcode/barcode_reader_task.h"
#include "barcode/format_specification.h"

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
  // The default formats.
  OldBarcodeFormatStruct() { ApplyDefaults(Mapping(), *this); }

  QV_MAPPED_CLASS()
};

// Reads the legacy object `value` into `object` with the object's mapping:
// the two format lists first, then every key the object knows; keys it does
// not know belong to another part of the legacy object and are skipped.
// Null reads as an empty object; another JSON type fails with -10031. The
// message of a failure is left in object.errorMessage.
int ReadLegacyObject(QV_ParameterFieldBase& object, const Json::Value& value);

// The barcode keys of a legacy "ImageParameter" object.
class OldBarcodeReaderTaskSetting : public ZQA_BarcodeReaderTaskSetting {
 public:
  // The task's keys with the legacy keys "TerminatePhase",
  // "MaxAlgorithmThreadCount", "FormatSpecificationNameArray",
  // "RegionDefinitionNameArray" and the two format lists, and the mode lists
  // read in their legacy form (an empty array is accepted where the task
  // accepts it, and then changes nothing).
  QV_MAPPED_CLASS()

  // Reads a legacy object and takes the format mask over. Returns 0 or an
  // error code with its message in errorMessage.
  int ReadLegacyJson(const Json::Value& value);

  // What copying the task costs in ConversionBudget units: its names, and
  // the elements of its lists.
  std::size_t CopyUnits() const;

  OldBarcodeFormatStruct legacyBarcodeFormat;
  std::vector<std::string> regionDefinitionNames;
};

// A legacy "FormatSpecification" object.
class OldFormatSpecification : public ZQA_BarcodeFormatSpecification {
 public:
  // The format specification's keys with the two format lists, and its mode
  // lists read in their legacy form (an empty array changes nothing).
  QV_MAPPED_CLASS()

  // Reads a legacy object and takes the format mask over. Returns 0 or an
  // error code with its message in errorMessage.
  int ReadLegacyJson(const Json::Value& value);

  OldBarcodeFormatStruct legacyBarcodeFormat;
};

}  // namespace quorvane
