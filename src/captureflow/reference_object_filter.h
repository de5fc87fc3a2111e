#pragma once

// The reference object filter: which results of other target ROI definitions
// and tasks a location or a semantic section is placed relative to, which
// kinds of atomic results to take, and per kind an optional filtering
// condition. None of these objects accepts the common keys or writes "Name".

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "barcode/barcode_format.h"
#include "framework/parameter_field_base.h"

namespace quorvane {

// Kinds of atomic results, in the order of their name table.
enum AtomicResultType : int {
  ART_TEXT_LINE = 0,
  ART_BARCODE = 1,
  ART_FRAME = 2,
  ART_TABLE_CELL = 3,
  ART_GEOMETRY_LINE = 4,
  ART_CORNER = 5,
  ART_COLOUR_REGION = 6,
};
EnumTable AtomicResultTypeNames();

// Whether a condition's region is the default one or one the user selected.
enum RegionState : int { RS_DEFAULT = 0, RS_SELECTED = 1 };

// The four size limits of frames and colour regions: (minimum, maximum) pairs,
// each element 0 to 2147483647.
class QVIP_SizeFilteringConditionBase : public QV_ParameterFieldBase {
 public:
  // The four keys, for the conditions that have them.
  static const ClassMapping& SizeRangeMapping();

  std::vector<int> imageDimensionRange;
  std::vector<int> aspectRatioRange;
  std::vector<int> widthRange;
  std::vector<int> heightRange;
};

// Type name "BarcodeFilteringCondition". The format structure reads
// "BarcodeFormatIds" from the same object first and keeps its failure text
// to itself.
class QVIP_BarcodeFilteringConditionStruct : public QV_ParameterFieldBase {
 public:
  QVIP_BarcodeFilteringConditionStruct();

  QV_MAPPED_CLASS()

  QVIP_BarcodeFormatStruct barcodeFormatIds;
  std::string barcodeTextRegExPattern;  // stored and written unchanged, never compiled
  int regionState;
};

// Type name "FrameFilteringCondition".
class QVIP_FrameFilteringConditionStruct : public QVIP_SizeFilteringConditionBase {
 public:
  QVIP_FrameFilteringConditionStruct();

  QV_MAPPED_CLASS()

  int regionState;
};

// Type name "TableCellFilteringCondition".
class QVIP_TableCellFilteringConditionStruct : public QV_ParameterFieldBase {
 public:
  QVIP_TableCellFilteringConditionStruct();

  QV_MAPPED_CLASS()

  // Read from a number text, written as an int array.
  std::vector<int> rowNumbers;
  std::vector<int> colNumbers;
  int regionState;
};

// Type name "TextLineFilteringCondition".
class QVIP_TextLineFilteringConditionStruct : public QV_ParameterFieldBase {
 public:
  QVIP_TextLineFilteringConditionStruct();

  QV_MAPPED_CLASS()

  std::vector<int> lineNumbers;  // read from a number text, written as an int array
  std::string lineStringRegExPattern;
  int regionState;
};

// Type name "ColourRegionFilteringCondition". Unlike the other conditions it
// has no region state.
class QVIP_ColourRegionFilteringConditionStruct : public QVIP_SizeFilteringConditionBase {
 public:
  QVIP_ColourRegionFilteringConditionStruct();

  QV_MAPPED_CLASS()

  int regionPredetectionMode;  // "RPM_SKIP" at first
};

// Type name "ReferenceObjectFilter". A condition is made with its defaults
// when its key is first read (null included), and keeps its failure text to
// itself.
class QV_ReferenceObjectFilter : public QV_ParameterFieldBase {
 public:
  QV_ReferenceObjectFilter();

  QV_MAPPED_CLASS()

  std::vector<std::string> referenceTargetROIDefNames;  // "ReferenceTargetROIDefNameArray"
  std::vector<std::string> referenceTaskNames;          // "ReferenceTaskNameArray"
  std::vector<int> atomicResultTypes;                   // "AtomicResultTypeArray"
  std::optional<QVIP_BarcodeFilteringConditionStruct> barcodeFilteringCondition;
  std::optional<QVIP_FrameFilteringConditionStruct> frameFilteringCondition;
  std::optional<QVIP_TableCellFilteringConditionStruct> tableCellFilteringCondition;
  std::optional<QVIP_TextLineFilteringConditionStruct> textLineFilteringCondition;
  std::optional<QVIP_ColourRegionFilteringConditionStruct> colourRegionFilteringCondition;
};

}  // namespace quorvane
