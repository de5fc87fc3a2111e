#include "imageparams/image_modes.h"

#include <climits>

namespace quorvane {

// ---------------------------------------------------------------------------
// Binarization

namespace {

constexpr EnumEntry kBinarizationModes[] = {
    {"BM_AUTO", 1}, {"BM_LOCAL_BLOCK", 2}, {"BM_THRESHOLD", 4}, {"BM_REV", INT_MIN}, {"BM_SKIP", 0},
};
constexpr EnumEntry kMorphOperations[] = {{"Erode", 1}, {"Dilate", 2}, {"Open", 4}, {"Close", 8}};
constexpr EnumEntry kMorphShapes[] = {{"Rectangle", 1}, {"Cross", 2}, {"Ellipse", 4}};

}  // namespace

EnumTable QVIP_BinarizationModeStruct::MorphOperationNames() { return kMorphOperations; }
EnumTable QVIP_BinarizationModeStruct::MorphShapeNames() { return kMorphShapes; }

const ModeFamily<QVIP_BinarizationModeStruct>& QVIP_BinarizationModeStruct::Family() {
  using S = QVIP_BinarizationModeStruct;
  static const ModeFamily<S> family{
      "BinarizationMode",
      kBinarizationModes,
      BM_LOCAL_BLOCK,
      {
          IntArgument("BlockSizeX", &S::blockSizeX, 0, 0, 1000),
          IntArgument("BlockSizeY", &S::blockSizeY, 0, 0, 1000),
          IntArgument("EnableFillBinaryVacancy", &S::enableFillBinaryVacancy, 1, 0, 1),
          IntArgument("GrayscaleEnhancementModesIndex", &S::grayscaleEnhancementModesIndex, -1, -1,
                      INT_MAX),
          IntArgument("ThresholdCompensation", &S::thresholdCompensation, 10, -255, 255),
          IntArgument("BinarizationThreshold", &S::binarizationThreshold, -1, -1, 255),
          EnumArgument("MorphOperation", &S::morphOperation, 8, kMorphOperations),
          EnumArgument("MorphShape", &S::morphShape, 1, kMorphShapes),
          IntArgument("MorphOperationKernelSizeX", &S::morphOperationKernelSizeX, -1, -1, 1000),
          IntArgument("MorphOperationKernelSizeY", &S::morphOperationKernelSizeY, -1, -1, 1000),
      }};
  return family;
}

QVIP_BinarizationModeStruct::QVIP_BinarizationModeStruct(int fill) : ModeStructure(BM_LOCAL_BLOCK) {
  ResetArguments();
  enableFillBinaryVacancy = fill;
}

// ---------------------------------------------------------------------------
// Grayscale enhancement

namespace {

constexpr EnumEntry kGrayscaleEnhancementModes[] = {
    {"GEM_AUTO", 1},          {"GEM_GENERAL", 2},        {"GEM_GRAY_EQUALIZE", 4},
    {"GEM_GRAY_SMOOTH", 8},   {"GEM_SHARPEN_SMOOTH", 16}, {"GEM_REV", INT_MIN},
    {"GEM_SKIP", 0},
};

}  // namespace

const ModeFamily<QVIP_GrayscaleEnhancementModeStruct>& QVIP_GrayscaleEnhancementModeStruct::Family() {
  using S = QVIP_GrayscaleEnhancementModeStruct;
  static const ModeFamily<S> family{
      "GrayscaleEnhancementMode",
      kGrayscaleEnhancementModes,
      GEM_AUTO,
      {
          IntArgument("Sensitivity", &S::sensitivity, -1, 1, 9),
          IntArgument("SharpenBlockSizeX", &S::sharpenBlockSizeX, -1, 0, 1000),
          IntArgument("SharpenBlockSizeY", &S::sharpenBlockSizeY, -1, 0, 1000),
          IntArgument("SmoothBlockSizeX", &S::smoothBlockSizeX, -1, 0, 1000),
          IntArgument("SmoothBlockSizeY", &S::smoothBlockSizeY, -1, 0, 1000),
      }};
  return family;
}

QVIP_GrayscaleEnhancementModeStruct::QVIP_GrayscaleEnhancementModeStruct()
    : QVIP_GrayscaleEnhancementModeStruct(Family().elementMode) {}

QVIP_GrayscaleEnhancementModeStruct::QVIP_GrayscaleEnhancementModeStruct(int mode)
    : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Colour conversion

namespace {

using CICM = QVIP_ColourConversionModeStruct;
constexpr EnumEntry kColourConversionModes[] = {
    {"CICM_SKIP", CICM::CICM_SKIP}, {"CICM_GENERAL", CICM::CICM_GENERAL}, {"CICM_HSV", CICM::CICM_HSV},
};
constexpr EnumEntry kReferChannels[] = {
    {"H_CHANNEL", CICM::H_CHANNEL}, {"S_CHANNEL", CICM::S_CHANNEL}, {"V_CHANNEL", CICM::V_CHANNEL},
};

}  // namespace

EnumTable QVIP_ColourConversionModeStruct::ReferChannelNames() { return kReferChannels; }

const ModeFamily<QVIP_ColourConversionModeStruct>& QVIP_ColourConversionModeStruct::Family() {
  using S = QVIP_ColourConversionModeStruct;
  static const ModeFamily<S> family{
      "ColourConversionMode",
      kColourConversionModes,
      CICM_GENERAL,
      {
          EnumArgument("ReferChannel", &S::referChannel, H_CHANNEL, kReferChannels),
          IntArgument("BlueChannelWeight", &S::blueChannelWeight, -1, -1, 1000),
          IntArgument("GreenChannelWeight", &S::greenChannelWeight, -1, -1, 1000),
          IntArgument("RedChannelWeight", &S::redChannelWeight, -1, -1, 1000),
      }};
  return family;
}

QVIP_ColourConversionModeStruct::QVIP_ColourConversionModeStruct()
    : QVIP_ColourConversionModeStruct(Family().elementMode) {}

QVIP_ColourConversionModeStruct::QVIP_ColourConversionModeStruct(int mode) : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Grayscale transformation

namespace {

using GTM = QVIP_GrayscaleTransformationModeStruct;
constexpr EnumEntry kGrayscaleTransformationModes[] = {
    {"GTM_INVERTED", GTM::GTM_INVERTED}, {"GTM_ORIGINAL", GTM::GTM_ORIGINAL},
    {"GTM_AUTO", GTM::GTM_AUTO},         {"GTM_REV", GTM::GTM_REV},
    {"GTM_SKIP", GTM::GTM_SKIP},
};

}  // namespace

const ModeFamily<QVIP_GrayscaleTransformationModeStruct>&
QVIP_GrayscaleTransformationModeStruct::Family() {
  static const ModeFamily<QVIP_GrayscaleTransformationModeStruct> family{
      "GrayscaleTransformationMode", kGrayscaleTransformationModes, GTM_AUTO, {}};
  return family;
}

QVIP_GrayscaleTransformationModeStruct::QVIP_GrayscaleTransformationModeStruct()
    : QVIP_GrayscaleTransformationModeStruct(Family().elementMode) {}

QVIP_GrayscaleTransformationModeStruct::QVIP_GrayscaleTransformationModeStruct(int mode)
    : ModeStructure(mode) {}

// ---------------------------------------------------------------------------
// Texture detection

namespace {

using TDM = QVIP_TextureDetectionModeStruct;
constexpr EnumEntry kTextureDetectionModes[] = {
    {"TDM_AUTO", TDM::TDM_AUTO},
    {"TDM_GENERAL_WIDTH_CONCENTRATION", TDM::TDM_GENERAL_WIDTH_CONCENTRATION},
    {"TDM_REV", TDM::TDM_REV},
    {"TDM_SKIP", TDM::TDM_SKIP},
};

}  // namespace

const ModeFamily<QVIP_TextureDetectionModeStruct>& QVIP_TextureDetectionModeStruct::Family() {
  using S = QVIP_TextureDetectionModeStruct;
  static const ModeFamily<S> family{
      "TextureDetectionMode",
      kTextureDetectionModes,
      TDM_AUTO,
      {
          IntArgument("Sensitivity", &S::sensitivity, 5, 1, 9),
      }};
  return family;
}

QVIP_TextureDetectionModeStruct::QVIP_TextureDetectionModeStruct()
    : QVIP_TextureDetectionModeStruct(Family().elementMode) {}

QVIP_TextureDetectionModeStruct::QVIP_TextureDetectionModeStruct(int mode) : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Scale-up

namespace {

using SUM = QVIP_ScaleUpModeStruct;
constexpr EnumEntry kScaleUpModes[] = {
    {"SUM_SKIP", SUM::SUM_SKIP},
    {"SUM_AUTO", SUM::SUM_AUTO},
    {"SUM_LINEAR_INTERPOLATION", SUM::SUM_LINEAR_INTERPOLATION},
    {"SUM_NEAREST_NEIGHBOUR_INTERPOLATION", SUM::SUM_NEAREST_NEIGHBOUR_INTERPOLATION},
};

}  // namespace

const ModeFamily<QVIP_ScaleUpModeStruct>& QVIP_ScaleUpModeStruct::Family() {
  using S = QVIP_ScaleUpModeStruct;
  static const ModeFamily<S> family{
      "ScaleUpMode",
      kScaleUpModes,
      SUM_AUTO,
      {
          IntArgument("AcuteAngleWithXThreshold", &S::acuteAngleWithXThreshold, -1, -1, 90),
          IntArgument("ModuleSizeThreshold", &S::moduleSizeThreshold, 0, 0, INT_MAX),
          IntArgument("TargetModuleSize", &S::targetModuleSize, 0, 0, 134217727),
          IntArgument("LetterHeightThreshold", &S::letterHeightThreshold, 0, 0, INT_MAX),
          IntArgument("TargetLetterHeight", &S::targetLetterHeight, 0, 0, INT_MAX),
      }};
  return family;
}

QVIP_ScaleUpModeStruct::QVIP_ScaleUpModeStruct() : QVIP_ScaleUpModeStruct(Family().elementMode) {}

QVIP_ScaleUpModeStruct::QVIP_ScaleUpModeStruct(int mode) : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Region predetection

namespace {

using RPM = QVIP_RegionPredetectionModeStruct;
constexpr EnumEntry kRegionPredetectionModes[] = {
    {"RPM_AUTO", RPM::RPM_AUTO},
    {"RPM_GENERAL", RPM::RPM_GENERAL},
    {"RPM_GENERAL_RGB_CONTRAST", RPM::RPM_GENERAL_RGB_CONTRAST},
    {"RPM_GENERAL_GRAY_CONTRAST", RPM::RPM_GENERAL_GRAY_CONTRAST},
    {"RPM_GENERAL_HSV_CONTRAST", RPM::RPM_GENERAL_HSV_CONTRAST},
    {"RPM_MANUAL_SPECIFICATION", RPM::RPM_MANUAL_SPECIFICATION},
    {"RPM_REV", RPM::RPM_REV},
    {"RPM_SKIP", RPM::RPM_SKIP},
};

}  // namespace

EnumTable RegionPredetectionModeNames() { return kRegionPredetectionModes; }

const ModeFamily<QVIP_RegionPredetectionModeStruct>& QVIP_RegionPredetectionModeStruct::Family() {
  using S = QVIP_RegionPredetectionModeStruct;
  constexpr int kMax = INT_MAX;
  static const ModeFamily<S> family{
      "RegionPredetectionMode",
      kRegionPredetectionModes,
      RPM_AUTO,
      {
          IntArgument("Sensitivity", &S::sensitivity, 1, 1, 9),
          IntArgument("MinImageDimension", &S::minImageDimension, 262144, 16384, kMax),
          IntArgument("SpatialIndexBlockSize", &S::spatialIndexBlockSize, 5, 1, 32),
          // Groups of five: a region's four edges, then its measure (at least -1).
          GroupListArgument("RelativeRegions", &S::relativeRegions,
                            {-10000, -10000, -10000, -10000, -1},
                            {10000, 10000, 10000, 10000, kMax}),
          // Groups of three: RGB components, or hue-based bounds for HSV contrast.
          GroupListArgument("ForeAndBackgroundColours", &S::foreAndBackgroundColours,
                            {0, 0, 0}, {255, 255, 255},
                            RPM_GENERAL_HSV_CONTRAST, {-1, -1, 0}, {360, 360, 360}),
          GroupListArgument("AspectRatioRange", &S::aspectRatioRange, {1, 1}, {10000, 10000}),
          GroupListArgument("HeightRange", &S::heightRange, {1, 1}, {kMax, kMax}),
          GroupListArgument("WidthRange", &S::widthRange, {1, 1}, {kMax, kMax}),
          IntArgument("FindAccurateBoundary", &S::findAccurateBoundary, 0, 0, 1),
          IntArgument("MeasuredByPercentage", &S::measuredByPercentage, 1, 0, 1),
          TextArgument("ImageParameterName", &S::imageParameterName),
      }};
  return family;
}

QVIP_RegionPredetectionModeStruct::QVIP_RegionPredetectionModeStruct()
    : QVIP_RegionPredetectionModeStruct(Family().elementMode) {}

QVIP_RegionPredetectionModeStruct::QVIP_RegionPredetectionModeStruct(int mode)
    : ModeStructure(mode) {
  ResetArguments();
}

int QVIP_RegionPredetectionModeStruct::ReadFromJson(const Json::Value& value,
                                                    const SkippedKeys& skippedKeys) {
  static const std::string modeKey = "Mode";
  if (!FindMember(value, modeKey)) return QV_ParameterFieldBase::ReadFromJson(value, skippedKeys);
  InitFieldTable();
  if (const FieldReader* found = fieldTable.Find(modeKey)) {
    const FieldReader readMode = *found;
    const int result = readMode(value);
    if (result != errors::kSuccess) return result;
  }
  // The rest as the base read does it, with "Mode" skipped.
  int result = errors::kSuccess;
  if (skippedKeys.empty()) {
    static const SkippedKeys onlyMode{modeKey};
    result = ReadFields(value, onlyMode, false);
  } else {
    SkippedKeys withMode(skippedKeys);
    withMode.push_back(modeKey);
    result = ReadFields(value, withMode, false);
  }
  if (result != errors::kSuccess) return result;
  return Validate();
}

// ---------------------------------------------------------------------------
// Text detection

namespace {

using TTDM = QVIP_TextDetectionModeStruct;
constexpr EnumEntry kTextDetectionModes[] = {
    {"TTDM_SKIP", TTDM::TTDM_SKIP},
    {"TTDM_WORD", TTDM::TTDM_WORD},
    {"TTDM_LINE", TTDM::TTDM_LINE},
    {"TTDM_LAYOUT", TTDM::TTDM_LAYOUT},
};
constexpr EnumEntry kDirections[] = {
    {"HORIZONTAL", TTDM::HORIZONTAL},
    {"VERTICAL", TTDM::VERTICAL},
    {"OBLIQUE", TTDM::OBLIQUE},
    {"UNKNOWN", TTDM::UNKNOWN},
};

}  // namespace

EnumTable QVIP_TextDetectionModeStruct::DirectionNames() { return kDirections; }

const ModeFamily<QVIP_TextDetectionModeStruct>& QVIP_TextDetectionModeStruct::Family() {
  using S = QVIP_TextDetectionModeStruct;
  constexpr int kMax = INT_MAX;
  static const ModeFamily<S> family{
      "TextDetectionMode",
      kTextDetectionModes,
      TTDM_SKIP,  // never listed: the mode an embedded one starts from
      {
          EnumArgument("Direction", &S::direction, UNKNOWN, kDirections),
          // Minimum, maximum, and a 0/1 flag.
          IntListArgument("CharHeightRange", &S::charHeightRange, {1, 1000, 1}, {0, 0, 0},
                          {kMax, kMax, 1}),
          IntListArgument("StringLengthRange", &S::stringLengthRange, {}, {0, 0}, {kMax, kMax}),
          IntArgument("MaxSpacingInALine", &S::maxSpacingInALine, -1, 0, kMax),
          IntArgument("Sensitivity", &S::sensitivity, 3, 1, 9),
      }};
  return family;
}

QVIP_TextDetectionModeStruct::QVIP_TextDetectionModeStruct()
    : QVIP_TextDetectionModeStruct(Family().elementMode) {}

QVIP_TextDetectionModeStruct::QVIP_TextDetectionModeStruct(int mode) : ModeStructure(mode) {
  ResetArguments();
}

int QVIP_TextDetectionModeStruct::Validate() {
  if (charHeightRange.size() >= 2 && charHeightRange[0] > charHeightRange[1]) {
    errorMessage = GetTypeName() + " CharHeightRange error: min > max.";
    return errors::kJsonValueInvalid;
  }
  if (stringLengthRange.size() >= 2 && stringLengthRange[0] > stringLengthRange[1]) {
    errorMessage = GetTypeName() + " StringLengthRange error: min > max.";
    return errors::kJsonValueInvalid;
  }
  return errors::kSuccess;
}

}  // namespace quorvane
