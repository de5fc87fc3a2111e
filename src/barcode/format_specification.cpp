#include "barcode/format_specification.h"

#include <climits>
#include <utility>

namespace quorvane {

// ---------------------------------------------------------------------------
// Patch code searching margins

PatchCodeSearchingMarginStruct::PatchCodeSearchingMarginStruct() {
  ApplyDefaults(Mapping(), *this);
}

const ClassMapping& PatchCodeSearchingMarginStruct::Mapping() {
  using S = PatchCodeSearchingMarginStruct;
  static const ClassMapping mapping = Mapper<S>("PatchCodeSearchingMargin")
                                          .RegisterCommonFields("", kNeverWritten)
                                          .Int("Left", &S::left, 20, 0, INT_MAX)
                                          .Int("Right", &S::right, 20, 0, INT_MAX)
                                          .Int("Top", &S::top, 20, 0, INT_MAX)
                                          .Int("Bottom", &S::bottom, 20, 0, INT_MAX)
                                          .Int("MeasuredByPercentage", &S::measuredByPercentage,
                                               1, 0, 1)
                                          .Build();
  return mapping;
}

int PatchCodeSearchingMarginStruct::Validate() {
  // Percentages are at most 50. The integer reader lets -1 through; it is
  // no margin, so it fails here.
  const int limit = measuredByPercentage != 0 ? 50 : INT_MAX;
  const std::pair<const char*, int> margins[] = {
      {"Top", top}, {"Left", left}, {"Right", right}, {"Bottom", bottom}};
  for (const auto& [key, value] : margins) {
    if (value < 0 || value > limit) {
      errorMessage = Prefixed(key, texts::kOutOfRange, Joint::kSpacedColon);
      return errors::kJsonValueInvalid;
    }
  }
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// Format specification

namespace {

using Spec = ZQA_BarcodeFormatSpecification;
using enum Spec::MirrorMode;
using enum Spec::MSICodeCheckDigitCalculation;
using enum Spec::PartitionMode;
constexpr EnumEntry kMirrorModes[] = {QV_ENUM_ENTRY(MM_NORMAL), QV_ENUM_ENTRY(MM_MIRROR),
                                      QV_ENUM_ENTRY(MM_BOTH)};
constexpr EnumEntry kMsiCheckDigitCalculations[] = {
    QV_ENUM_ENTRY(MSICCDC_NO_CHECK_DIGIT), QV_ENUM_ENTRY(MSICCDC_MOD_10),
    QV_ENUM_ENTRY(MSICCDC_MOD_11),         QV_ENUM_ENTRY(MSICCDC_MOD_1110),
    QV_ENUM_ENTRY(MSICCDC_MOD_1010),
};
constexpr EnumEntry kPartitionModes[] = {QV_ENUM_ENTRY(PM_WHOLE_BARCODE),
                                         QV_ENUM_ENTRY(PM_ALIGNMENT_PARTITION)};

}  // namespace

ZQA_BarcodeFormatSpecification::ZQA_BarcodeFormatSpecification() {
  ApplyDefaults(Mapping(), *this);
}

const ClassMapping& ZQA_BarcodeFormatSpecification::Mapping() {
  using S = Spec;
  // Texts are stored as given, unchecked; every list may be emptied by an
  // empty array.
  static const ClassMapping mapping =
      Mapper<S>("BarcodeFormatSpecification")
          .RegisterCommonFields()
          .Inline("BarcodeFormatIds", &S::barcodeFormatIds, kNoFlags,
                  QVIP_BarcodeFormatStruct(BF_DEFAULT))
          .Int("AllModuleDeviation", &S::allModuleDeviation, 0, 0, INT_MAX)
          .Int("BarcodeZoneMinDistanceToImageBorders", &S::barcodeZoneMinDistanceToImageBorders,
               0, 0, INT_MAX)
          .Int("EnableDataMatrixECC000-140", &S::enableDataMatrixECC000_140, 0, 0, 1)
          .Int("EnableQRCodeModel1", &S::enableQRCodeModel1, 0, 0, 1)
          .Int("FindUnevenModuleBarcode", &S::findUnevenModuleBarcode, 1, 0, 1)
          .Int("MinQuietZoneWidth", &S::minQuietZoneWidth, 4, 0, INT_MAX)
          .Int("MinRatioOfBarcodeZoneWidthToHeight", &S::minRatioOfBarcodeZoneWidthToHeight, 0, 0,
               10000)
          .Int("MinResultConfidence", &S::minResultConfidence, 30, 0, 100)
          .Int("RequireStartStopChars", &S::requireStartStopChars, 1, 0, 1)
          .Int("ReturnPartialBarcodeValue", &S::returnPartialBarcodeValue, 1, 0, 1)
          .Int("VerifyCheckDigit", &S::verifyCheckDigit, 0, 0, 1)
          .Int("EnableAddOnCode", &S::enableAddOnCode, 0, 0, 1)
          .Text("AustralianPostEncodingTable", &S::australianPostEncodingTable, "C")
          .Text("BarcodeTextRegExPattern", &S::barcodeTextRegExPattern)
          .Text("Code128Subset", &S::code128Subset)
          .Text("HeadModuleRatio", &S::headModuleRatio)
          .Text("StandardFormat", &S::standardFormat)
          .Text("TailModuleRatio", &S::tailModuleRatio)
          .Text("BaseBarcodeFormatSpecification", &S::baseBarcodeFormatSpecification)
          .Note("The format specification this one inherits the keys it leaves out from")
          .ObjectList("BarcodeAngleRangeArray", &S::barcodeAngleRangeArray, kEmptyAllowed)
          .ObjectList("BarcodeBytesLengthRangeArray", &S::barcodeBytesLengthRangeArray,
                      kEmptyAllowed)
          .ObjectList("BarcodeComplementModes", &S::barcodeComplementModes, kEmptyAllowed)
          .ObjectList("BarcodeHeightRangeArray", &S::barcodeHeightRangeArray, kEmptyAllowed)
          .ObjectList("BarcodeTextLengthRangeArray", &S::barcodeTextLengthRangeArray,
                      kEmptyAllowed)
          .ObjectList("BarcodeWidthRangeArray", &S::barcodeWidthRangeArray, kEmptyAllowed)
          .ObjectList("BarcodeZoneBarCountRangeArray", &S::barcodeZoneBarCountRangeArray,
                      kEmptyAllowed)
          .ObjectList("DeformationResistingModes", &S::deformationResistingModes, kEmptyAllowed)
          .ObjectList("ModuleSizeRangeArray", &S::moduleSizeRangeArray, kEmptyAllowed)
          .Object("PatchCodeSearchingMargins", &S::patchCodeSearchingMargins)
          .Enum("MirrorMode", &S::mirrorMode, MM_NORMAL, kMirrorModes)
          .Enum("MSICodeCheckDigitCalculation", &S::msiCodeCheckDigitCalculation, MSICCDC_MOD_10,
                kMsiCheckDigitCalculations)
          .NameList("PartitionModes", &S::partitionModes, {PM_WHOLE_BARCODE, PM_ALIGNMENT_PARTITION},
                    kPartitionModes, kNoFlags, {.refusal = Refusal::kSpaced})
          .Build();
  return mapping;
}

const std::string& ZQA_BarcodeFormatSpecification::GetBaseName() const {
  return baseBarcodeFormatSpecification;
}

}  // namespace quorvane
