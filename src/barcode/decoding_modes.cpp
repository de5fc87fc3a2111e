#include "barcode/decoding_modes.h"

#include <climits>

namespace quorvane {

// ---------------------------------------------------------------------------
// Localization

namespace {

constexpr EnumEntry kLocalizationModes[] = {
    {"LM_CONNECTED_BLOCKS", 0x2},
    {"LM_STATISTICS", 0x4},
    {"LM_LINES", 0x8},
    {"LM_SCAN_DIRECTLY", 0x10},
    {"LM_STATISTICS_MARKS", 0x20},
    {"LM_STATISTICS_POSTAL_CODE", 0x40},
    {"LM_CENTRE", 0x80},
    {"LM_ONED_FAST_SCAN", 0x100},
    {"LM_SKIP", 0},
};

}  // namespace

const ModeFamily<LocalizationModeStruct>& LocalizationModeStruct::Family() {
  using S = LocalizationModeStruct;
  static const ModeFamily<S> family{
      "LocalizationMode",
      kLocalizationModes,
      LM_CONNECTED_BLOCKS,
      {
          IntArgument("ScanStride", &S::scanStride, 0, 0, INT_MAX),
          IntArgument("ScanDirection", &S::scanDirection, 0, 0, 2),
          IntArgument("ModuleSize", &S::moduleSize, 0, 0, INT_MAX),
          IntArgument("ConfidenceThreshold", &S::confidenceThreshold, 60, 0, 100),
          IntArgument("IsOneDStacked", &S::isOneDStacked, 0, 0, 1),
      }};
  return family;
}

// ---------------------------------------------------------------------------
// Deblur

namespace {

constexpr EnumEntry kDeblurModes[] = {
    {"DM_DIRECT_BINARIZATION", 0x1}, {"DM_THRESHOLD_BINARIZATION", 0x2},
    {"DM_GRAY_EQUALIZATION", 0x4},   {"DM_SMOOTHING", 0x8},
    {"DM_MORPHING", 0x10},           {"DM_DEEP_ANALYSIS", 0x20},
    {"DM_SHARPENING", 0x40},         {"DM_BASED_ON_LOC_BIN", 0x80},
    {"DM_SHARPENING_SMOOTHING", 0x100}, {"DM_SKIP", 0},
};

}  // namespace

const ModeFamily<DeblurModeStruct>& DeblurModeStruct::Family() {
  static const ModeFamily<DeblurModeStruct> family{"DeblurMode", kDeblurModes, DM_SKIP, {}};
  return family;
}

// ---------------------------------------------------------------------------
// DPM code reading

namespace {

constexpr EnumEntry kDpmCodeReadingModes[] = {
    {"DPMCRM_AUTO", 0x1},
    {"DPMCRM_GENERAL", 0x2},
    {"DPMCRM_SKIP", 0},
};

}  // namespace

const ModeFamily<DPMCodeReadingModeStruct>& DPMCodeReadingModeStruct::Family() {
  static const ModeFamily<DPMCodeReadingModeStruct> family{
      "DPMCodeReadingMode", kDpmCodeReadingModes, DPMCRM_GENERAL, {}};
  return family;
}

void DPMCodeReadingModeStruct::InitFieldTable() {
  ModeStructure::InitFieldTable();
  RegisterField("BarcodeFormat", [this](const Json::Value& object) {
    int error = errors::kSuccess;
    const std::string_view text = GetStringValue(object, "BarcodeFormat", error);
    if (error != errors::kSuccess) return error;
    // Only the two matrix formats can be direct part marks, and their names
    // are taken exactly as written, unlike format names elsewhere.
    if (text != "BF_DATAMATRIX" && text != "BF_QR_CODE") {
      errorMessage = GetTypeName() + ":" + GetErrorString(errors::kJsonValueInvalid);
      return errors::kJsonValueInvalid;
    }
    barcodeFormat = ParseBarcodeFormatName(text);
    return errors::kSuccess;
  });
}

void DPMCodeReadingModeStruct::WriteToJson(bool flag) {
  ModeStructure::WriteToJson(flag);
  json["BarcodeFormat"_key] = Json::StaticString(GetBarcodeFormatName(barcodeFormat));
}

// ---------------------------------------------------------------------------
// Barcode colour

namespace {

constexpr EnumEntry kBarcodeColourModes[] = {
    {"BICM_DARK_ON_LIGHT", 0x1},
    {"BICM_LIGHT_ON_DARK", 0x2},
    {"BICM_DARK_ON_DARK", 0x4},
    {"BICM_LIGHT_ON_LIGHT", 0x8},
    {"BICM_DARK_LIGHT_MIXED", 0x10},
    {"BICM_DARK_ON_LIGHT_DARK_SURROUNDING", 0x20},
    {"BICM_SKIP", 0},
};

}  // namespace

const ModeFamily<BarcodeColourModeStruct>& BarcodeColourModeStruct::Family() {
  using S = BarcodeColourModeStruct;
  static const ModeFamily<S> family{
      "BarcodeColourMode",
      kBarcodeColourModes,
      BICM_DARK_ON_LIGHT,
      {IntArgument("LightReflection", &S::lightReflection, 1, 0, 1)}};
  return family;
}

// ---------------------------------------------------------------------------
// Barcode complement

namespace {

constexpr EnumEntry kBarcodeComplementModes[] = {
    {"BCM_AUTO", 0x1},
    {"BCM_GENERAL", 0x2},
    {"BCM_SKIP", 0},
};

}  // namespace

const ModeFamily<BarcodeComplementModeStruct>& BarcodeComplementModeStruct::Family() {
  static const ModeFamily<BarcodeComplementModeStruct> family{
      "BarcodeComplementMode", kBarcodeComplementModes, BCM_SKIP, {}};
  return family;
}

// ---------------------------------------------------------------------------
// Deformation resisting

namespace {

constexpr EnumEntry kDeformationResistingModes[] = {
    {"DRM_AUTO", 0x1},
    {"DRM_GENERAL", 0x2},
    {"DRM_BROAD_WARP", 0x4},
    {"DRM_LOCAL_REFERENCE", 0x8},
    {"DRM_DEWRINKLE", 0x10},
    {"DRM_SKIP", 0},
};

}  // namespace

const ModeFamily<DeformationResistingModeStruct>& DeformationResistingModeStruct::Family() {
  using S = DeformationResistingModeStruct;
  static const ModeFamily<S> family{"DeformationResistingModeStruct",
                                    kDeformationResistingModes,
                                    DRM_GENERAL,
                                    {IntArgument("Level", &S::level, 5, 1, 9)}};
  return family;
}

void DeformationResistingModeStruct::InitFieldTable() {
  ModeStructure::InitFieldTable();
  RegisterEmbeddedField("GrayscaleEnhancementMode", &grayscaleEnhancementMode);
  RegisterEmbeddedField("BinarizationMode", &binarizationMode);
}

void DeformationResistingModeStruct::WriteToJson(bool flag) {
  ModeStructure::WriteToJson(flag);
  WriteChild("GrayscaleEnhancementMode", grayscaleEnhancementMode, flag);
  WriteChild("BinarizationMode", binarizationMode, flag);
}

// ---------------------------------------------------------------------------
// Text result order

namespace {

constexpr EnumEntry kTextResultOrderModes[] = {
    {"TROM_CONFIDENCE", 0x1},
    {"TROM_POSITION", 0x2},
    {"TROM_FORMAT", 0x4},
    {"TROM_SKIP", 0},
};

}  // namespace

const ModeFamily<TextResultOrderModeStruct>& TextResultOrderModeStruct::Family() {
  static const ModeFamily<TextResultOrderModeStruct> family{
      "TextResultOrderMode", kTextResultOrderModes, TROM_SKIP, {}};
  return family;
}

}  // namespace quorvane
