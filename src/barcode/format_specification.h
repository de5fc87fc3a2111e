#pragma once

// The barcode format specification: the named section under
// "BarcodeFormatSpecificationOptions" that refines how barcodes of some
// formats are accepted (size, angle and length windows, quiet zone, check
// digits, symbology switches, a text pattern). Barcode tasks refer to it by
// name.

#include <cstdint>
#include <string>
#include <vector>

#include "barcode/barcode_format.h"
#include "barcode/decoding_modes.h"
#include "framework/field_mapping.h"
#include "framework/parameter_field_base.h"
#include "imageparams/small_structures.h"

namespace quorvane {

// The start values and outer bounds of one kind of range.
struct RangeKind {
  const char* typeName;
  int minValue;
  int maxValue;
  int lowerBound;
  int upperBound;
};

inline constexpr RangeKind kBarcodeAngleRangeKind{"BarcodeAngleRange", 0, 360, 0, 360};
inline constexpr RangeKind kBarcodeBytesLengthRangeKind{"BarcodeBytesLengthRange", 0, INT32_MAX,
                                                        0, INT32_MAX};
inline constexpr RangeKind kBarcodeHeightRangeKind{"BarcodeHeightRange", 0, INT32_MAX, 0,
                                                   INT32_MAX};
inline constexpr RangeKind kBarcodeTextLengthRangeKind{"BarcodeTextLengthRange", 0, INT32_MAX, 0,
                                                       INT32_MAX};
inline constexpr RangeKind kBarcodeWidthRangeKind{"BarcodeWidthRange", 0, INT32_MAX, 0,
                                                  INT32_MAX};
inline constexpr RangeKind kBarcodeZoneBarCountRangeKind{"BarcodeZoneBarCountRange", 1, 128, 1,
                                                         INT32_MAX};
inline constexpr RangeKind kModuleSizeRangeKind{"ModuleSizeRange", 3, 20, 1, INT32_MAX};

// A range of one kind: its own type name, start values and bounds; reading,
// writing and validation are the plain range's.
template <const RangeKind& Kind>
class FormatRange : public QVIP_RangeStruct {
 public:
  FormatRange()
      : QVIP_RangeStruct(Kind.minValue, Kind.maxValue, Kind.lowerBound, Kind.upperBound) {}

  static const ClassMapping& Mapping() {
    static const ClassMapping mapping =
        Mapper<FormatRange>(Kind.typeName).Include(QVIP_RangeStruct::Mapping()).Build();
    return mapping;
  }
  const ClassMapping& GetMapping() const override { return Mapping(); }
};

using BarcodeAngleRange = FormatRange<kBarcodeAngleRangeKind>;
using BarcodeBytesLengthRange = FormatRange<kBarcodeBytesLengthRangeKind>;
using BarcodeHeightRange = FormatRange<kBarcodeHeightRangeKind>;
using BarcodeTextLengthRange = FormatRange<kBarcodeTextLengthRangeKind>;
using BarcodeWidthRange = FormatRange<kBarcodeWidthRangeKind>;
using BarcodeZoneBarCountRange = FormatRange<kBarcodeZoneBarCountRangeKind>;
using ModuleSizeRange = FormatRange<kModuleSizeRangeKind>;

// Where a patch code is searched for around a barcode, type name
// "PatchCodeSearchingMargin". Margins are percentages (at most 50) unless
// "MeasuredByPercentage" is 0.
class PatchCodeSearchingMarginStruct : public QV_ParameterFieldBase {
 public:
  PatchCodeSearchingMarginStruct();

  QV_MAPPED_CLASS()
  int Validate() override;

  int left;
  int right;
  int top;
  int bottom;
  int measuredByPercentage;
};

// Type name "BarcodeFormatSpecification". Members follow their keys; their
// defaults and ranges stand in the mapping (format_specification.cpp).
class ZQA_BarcodeFormatSpecification : public QV_ParameterFieldBase {
 public:
  enum MirrorMode : int { MM_NORMAL = 1, MM_MIRROR = 2, MM_BOTH = 4 };
  enum MSICodeCheckDigitCalculation : int {
    MSICCDC_NO_CHECK_DIGIT = 1,
    MSICCDC_MOD_10 = 2,
    MSICCDC_MOD_11 = 4,
    MSICCDC_MOD_1110 = 8,
    MSICCDC_MOD_1010 = 0x10,
  };
  enum PartitionMode : int { PM_WHOLE_BARCODE = 1, PM_ALIGNMENT_PARTITION = 2 };

  ZQA_BarcodeFormatSpecification();

  // "BarcodeFormatIds" is read by the embedded format structure first.
  QV_MAPPED_CLASS()
  // The name held under "BaseBarcodeFormatSpecification".
  const std::string& GetBaseName() const override;

  int allModuleDeviation;
  std::string australianPostEncodingTable;
  std::vector<BarcodeAngleRange> barcodeAngleRangeArray;
  std::vector<BarcodeBytesLengthRange> barcodeBytesLengthRangeArray;
  std::vector<BarcodeComplementModeStruct> barcodeComplementModes;
  QVIP_BarcodeFormatStruct barcodeFormatIds;
  std::vector<BarcodeHeightRange> barcodeHeightRangeArray;
  std::vector<BarcodeTextLengthRange> barcodeTextLengthRangeArray;
  std::string barcodeTextRegExPattern;
  std::vector<BarcodeWidthRange> barcodeWidthRangeArray;
  std::vector<BarcodeZoneBarCountRange> barcodeZoneBarCountRangeArray;
  int barcodeZoneMinDistanceToImageBorders;
  std::string code128Subset;
  std::vector<DeformationResistingModeStruct> deformationResistingModes;
  int enableDataMatrixECC000_140;
  int enableQRCodeModel1;
  int findUnevenModuleBarcode;
  std::string headModuleRatio;
  int minQuietZoneWidth;
  int minRatioOfBarcodeZoneWidthToHeight;
  int minResultConfidence;
  int mirrorMode;
  std::vector<ModuleSizeRange> moduleSizeRangeArray;
  int msiCodeCheckDigitCalculation;
  std::vector<int> partitionModes;
  PatchCodeSearchingMarginStruct patchCodeSearchingMargins;
  int requireStartStopChars;
  int returnPartialBarcodeValue;
  std::string standardFormat;
  std::string tailModuleRatio;
  int verifyCheckDigit;
  int enableAddOnCode;
  std::string baseBarcodeFormatSpecification;
};

}  // namespace quorvane
