#include "barcode/decoding_modes.h"

#include <climits>

namespace quorvane {

// ---------------------------------------------------------------------------
// Localization

namespace {

using enum LocalizationModeStruct::Mode;
constexpr EnumEntry kLocalizationModes[] = {
    QV_ENUM_ENTRY(LM_CONNECTED_BLOCKS), QV_ENUM_ENTRY(LM_STATISTICS),
    QV_ENUM_ENTRY(LM_LINES),            QV_ENUM_ENTRY(LM_SCAN_DIRECTLY),
    QV_ENUM_ENTRY(LM_STATISTICS_MARKS), QV_ENUM_ENTRY(LM_STATISTICS_POSTAL_CODE),
    QV_ENUM_ENTRY(LM_CENTRE),           QV_ENUM_ENTRY(LM_ONED_FAST_SCAN),
    QV_ENUM_ENTRY(LM_SKIP),
};

}  // namespace

const ClassMapping& LocalizationModeStruct::Mapping() {
  using S = LocalizationModeStruct;
  static const ClassMapping mapping =
      Mapper<S>("LocalizationMode")
          .Modes(kLocalizationModes, LM_CONNECTED_BLOCKS)
          .Int("ScanStride", &S::scanStride, 0, 0, INT_MAX)
          .Int("ScanDirection", &S::scanDirection, 0, 0, 2)
          .Int("ModuleSize", &S::moduleSize, 0, 0, INT_MAX)
          .Int("ConfidenceThreshold", &S::confidenceThreshold, 60, 0, 100)
          .Int("IsOneDStacked", &S::isOneDStacked, 0, 0, 1)
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Deblur

namespace {

using enum DeblurModeStruct::Mode;
constexpr EnumEntry kDeblurModes[] = {
    QV_ENUM_ENTRY(DM_DIRECT_BINARIZATION), QV_ENUM_ENTRY(DM_THRESHOLD_BINARIZATION),
    QV_ENUM_ENTRY(DM_GRAY_EQUALIZATION),   QV_ENUM_ENTRY(DM_SMOOTHING),
    QV_ENUM_ENTRY(DM_MORPHING),            QV_ENUM_ENTRY(DM_DEEP_ANALYSIS),
    QV_ENUM_ENTRY(DM_SHARPENING),          QV_ENUM_ENTRY(DM_BASED_ON_LOC_BIN),
    QV_ENUM_ENTRY(DM_SHARPENING_SMOOTHING), QV_ENUM_ENTRY(DM_SKIP),
};

}  // namespace

const ClassMapping& DeblurModeStruct::Mapping() {
  static const ClassMapping mapping =
      Mapper<DeblurModeStruct>("DeblurMode").Modes(kDeblurModes, DM_SKIP).Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// DPM code reading

namespace {

using enum DPMCodeReadingModeStruct::Mode;
constexpr EnumEntry kDpmCodeReadingModes[] = {
    QV_ENUM_ENTRY(DPMCRM_AUTO),
    QV_ENUM_ENTRY(DPMCRM_GENERAL),
    QV_ENUM_ENTRY(DPMCRM_SKIP),
};
// Only the two matrix formats can be direct part marks.
constexpr EnumEntry kDpmFormats[] = {
    {"BF_DATAMATRIX", static_cast<int>(BF_DATAMATRIX)},
    {"BF_QR_CODE", static_cast<int>(BF_QR_CODE)},
};

}  // namespace

const ClassMapping& DPMCodeReadingModeStruct::Mapping() {
  using S = DPMCodeReadingModeStruct;
  // Format names are taken exactly as written here, unlike elsewhere.
  static const ClassMapping mapping =
      Mapper<S>("DPMCodeReadingMode")
          .Modes(kDpmCodeReadingModes, DPMCRM_GENERAL)
          .Enum("BarcodeFormat", &S::barcodeFormat, static_cast<int>(BF_DATAMATRIX), kDpmFormats,
                kNoFlags, {.refusal = Refusal::kTypeAndText, .exact = true})
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Barcode colour

namespace {

using enum BarcodeColourModeStruct::Mode;
constexpr EnumEntry kBarcodeColourModes[] = {
    QV_ENUM_ENTRY(BICM_DARK_ON_LIGHT),    QV_ENUM_ENTRY(BICM_LIGHT_ON_DARK),
    QV_ENUM_ENTRY(BICM_DARK_ON_DARK),     QV_ENUM_ENTRY(BICM_LIGHT_ON_LIGHT),
    QV_ENUM_ENTRY(BICM_DARK_LIGHT_MIXED), QV_ENUM_ENTRY(BICM_DARK_ON_LIGHT_DARK_SURROUNDING),
    QV_ENUM_ENTRY(BICM_SKIP),
};

}  // namespace

const ClassMapping& BarcodeColourModeStruct::Mapping() {
  using S = BarcodeColourModeStruct;
  static const ClassMapping mapping = Mapper<S>("BarcodeColourMode")
                                          .Modes(kBarcodeColourModes, BICM_DARK_ON_LIGHT)
                                          .Int("LightReflection", &S::lightReflection, 1, 0, 1)
                                          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Barcode complement

namespace {

using enum BarcodeComplementModeStruct::Mode;
constexpr EnumEntry kBarcodeComplementModes[] = {
    QV_ENUM_ENTRY(BCM_AUTO),
    QV_ENUM_ENTRY(BCM_GENERAL),
    QV_ENUM_ENTRY(BCM_SKIP),
};

}  // namespace

const ClassMapping& BarcodeComplementModeStruct::Mapping() {
  static const ClassMapping mapping = Mapper<BarcodeComplementModeStruct>("BarcodeComplementMode")
                                          .Modes(kBarcodeComplementModes, BCM_SKIP)
                                          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Deformation resisting

namespace {

using enum DeformationResistingModeStruct::Mode;
constexpr EnumEntry kDeformationResistingModes[] = {
    QV_ENUM_ENTRY(DRM_AUTO),        QV_ENUM_ENTRY(DRM_GENERAL), QV_ENUM_ENTRY(DRM_BROAD_WARP),
    QV_ENUM_ENTRY(DRM_LOCAL_REFERENCE), QV_ENUM_ENTRY(DRM_DEWRINKLE), QV_ENUM_ENTRY(DRM_SKIP),
};

}  // namespace

const ClassMapping& DeformationResistingModeStruct::Mapping() {
  using S = DeformationResistingModeStruct;
  static const ClassMapping mapping =
      Mapper<S>("DeformationResistingModeStruct")
          .Modes(kDeformationResistingModes, DRM_GENERAL)
          .Int("Level", &S::level, 5, 1, 9)
          .Object("GrayscaleEnhancementMode", &S::grayscaleEnhancementMode)
          .Object("BinarizationMode", &S::binarizationMode)
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Text result order

namespace {

using enum TextResultOrderModeStruct::Mode;
constexpr EnumEntry kTextResultOrderModes[] = {
    QV_ENUM_ENTRY(TROM_CONFIDENCE),
    QV_ENUM_ENTRY(TROM_POSITION),
    QV_ENUM_ENTRY(TROM_FORMAT),
    QV_ENUM_ENTRY(TROM_SKIP),
};

}  // namespace

const ClassMapping& TextResultOrderModeStruct::Mapping() {
  static const ClassMapping mapping = Mapper<TextResultOrderModeStruct>("TextResultOrderMode")
                                          .Modes(kTextResultOrderModes, TROM_SKIP)
                                          .Build();
  return mapping;
}

}  // namespace quorvane
