#include "imageparams/image_modes.h"

#include <climits>

namespace quorvane {

// ---------------------------------------------------------------------------
// Binarization

namespace {

using enum QVIP_BinarizationModeStruct::Mode;
using enum QVIP_BinarizationModeStruct::MorphOperation;
using enum QVIP_BinarizationModeStruct::MorphShape;
constexpr EnumEntry kBinarizationModes[] = {
    QV_ENUM_ENTRY(BM_AUTO), QV_ENUM_ENTRY(BM_LOCAL_BLOCK), QV_ENUM_ENTRY(BM_THRESHOLD),
    QV_ENUM_ENTRY(BM_REV),  QV_ENUM_ENTRY(BM_SKIP),
};
constexpr EnumEntry kMorphOperations[] = {QV_ENUM_ENTRY(Erode), QV_ENUM_ENTRY(Dilate),
                                          QV_ENUM_ENTRY(Open), QV_ENUM_ENTRY(Close)};
constexpr EnumEntry kMorphShapes[] = {QV_ENUM_ENTRY(Rectangle), QV_ENUM_ENTRY(Cross),
                                      QV_ENUM_ENTRY(Ellipse)};

}  // namespace

const ClassMapping& QVIP_BinarizationModeStruct::Mapping() {
  using S = QVIP_BinarizationModeStruct;
  static const ClassMapping mapping =
      Mapper<S>("BinarizationMode")
          .Modes(kBinarizationModes, BM_LOCAL_BLOCK)
          .Int("BlockSizeX", &S::blockSizeX, 0, 0, 1000)
          .Int("BlockSizeY", &S::blockSizeY, 0, 0, 1000)
          .Int("EnableFillBinaryVacancy", &S::enableFillBinaryVacancy, 1, 0, 1)
          .Int("GrayscaleEnhancementModesIndex", &S::grayscaleEnhancementModesIndex, -1, -1,
               INT_MAX)
          .Int("ThresholdCompensation", &S::thresholdCompensation, 10, -255, 255)
          .Int("BinarizationThreshold", &S::binarizationThreshold, -1, -1, 255)
          .Enum("MorphOperation", &S::morphOperation, Close, kMorphOperations)
          .Enum("MorphShape", &S::morphShape, Rectangle, kMorphShapes)
          .Int("MorphOperationKernelSizeX", &S::morphOperationKernelSizeX, -1, -1, 1000)
          .Int("MorphOperationKernelSizeY", &S::morphOperationKernelSizeY, -1, -1, 1000)
          .Build();
  return mapping;
}

QVIP_BinarizationModeStruct::QVIP_BinarizationModeStruct(int mode) : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Grayscale enhancement

namespace {

using enum QVIP_GrayscaleEnhancementModeStruct::Mode;
constexpr EnumEntry kGrayscaleEnhancementModes[] = {
    QV_ENUM_ENTRY(GEM_AUTO),           QV_ENUM_ENTRY(GEM_GENERAL),
    QV_ENUM_ENTRY(GEM_GRAY_EQUALIZE),  QV_ENUM_ENTRY(GEM_GRAY_SMOOTH),
    QV_ENUM_ENTRY(GEM_SHARPEN_SMOOTH), QV_ENUM_ENTRY(GEM_REV),
    QV_ENUM_ENTRY(GEM_SKIP),
};

}  // namespace

const ClassMapping& QVIP_GrayscaleEnhancementModeStruct::Mapping() {
  using S = QVIP_GrayscaleEnhancementModeStruct;
  static const ClassMapping mapping = Mapper<S>("GrayscaleEnhancementMode")
                                          .Modes(kGrayscaleEnhancementModes, GEM_AUTO)
                                          .Int("Sensitivity", &S::sensitivity, -1, 1, 9)
                                          .Int("SharpenBlockSizeX", &S::sharpenBlockSizeX, -1, 0, 1000)
                                          .Int("SharpenBlockSizeY", &S::sharpenBlockSizeY, -1, 0, 1000)
                                          .Int("SmoothBlockSizeX", &S::smoothBlockSizeX, -1, 0, 1000)
                                          .Int("SmoothBlockSizeY", &S::smoothBlockSizeY, -1, 0, 1000)
                                          .Build();
  return mapping;
}

QVIP_GrayscaleEnhancementModeStruct::QVIP_GrayscaleEnhancementModeStruct()
    : QVIP_GrayscaleEnhancementModeStruct(Mapping().ElementMode()) {}

QVIP_GrayscaleEnhancementModeStruct::QVIP_GrayscaleEnhancementModeStruct(int mode)
    : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Colour conversion

namespace {

using enum QVIP_ColourConversionModeStruct::Mode;
using enum QVIP_ColourConversionModeStruct::ReferChannel;
constexpr EnumEntry kColourConversionModes[] = {
    QV_ENUM_ENTRY(CICM_SKIP), QV_ENUM_ENTRY(CICM_GENERAL), QV_ENUM_ENTRY(CICM_HSV)};
constexpr EnumEntry kReferChannels[] = {QV_ENUM_ENTRY(H_CHANNEL), QV_ENUM_ENTRY(S_CHANNEL),
                                        QV_ENUM_ENTRY(V_CHANNEL)};

}  // namespace

const ClassMapping& QVIP_ColourConversionModeStruct::Mapping() {
  using S = QVIP_ColourConversionModeStruct;
  static const ClassMapping mapping =
      Mapper<S>("ColourConversionMode")
          .Modes(kColourConversionModes, CICM_GENERAL)
          .Enum("ReferChannel", &S::referChannel, H_CHANNEL, kReferChannels)
          .Int("BlueChannelWeight", &S::blueChannelWeight, -1, -1, 1000)
          .Int("GreenChannelWeight", &S::greenChannelWeight, -1, -1, 1000)
          .Int("RedChannelWeight", &S::redChannelWeight, -1, -1, 1000)
          .Build();
  return mapping;
}

QVIP_ColourConversionModeStruct::QVIP_ColourConversionModeStruct()
    : QVIP_ColourConversionModeStruct(Mapping().ElementMode()) {}

QVIP_ColourConversionModeStruct::QVIP_ColourConversionModeStruct(int mode) : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Grayscale transformation

namespace {

using enum QVIP_GrayscaleTransformationModeStruct::Mode;
constexpr EnumEntry kGrayscaleTransformationModes[] = {
    QV_ENUM_ENTRY(GTM_INVERTED), QV_ENUM_ENTRY(GTM_ORIGINAL), QV_ENUM_ENTRY(GTM_AUTO),
    QV_ENUM_ENTRY(GTM_REV),      QV_ENUM_ENTRY(GTM_SKIP),
};

}  // namespace

const ClassMapping& QVIP_GrayscaleTransformationModeStruct::Mapping() {
  static const ClassMapping mapping =
      Mapper<QVIP_GrayscaleTransformationModeStruct>("GrayscaleTransformationMode")
          .Modes(kGrayscaleTransformationModes, GTM_AUTO)
          .Build();
  return mapping;
}

QVIP_GrayscaleTransformationModeStruct::QVIP_GrayscaleTransformationModeStruct()
    : QVIP_GrayscaleTransformationModeStruct(Mapping().ElementMode()) {}

QVIP_GrayscaleTransformationModeStruct::QVIP_GrayscaleTransformationModeStruct(int mode)
    : ModeStructure(mode) {}

// ---------------------------------------------------------------------------
// Texture detection

namespace {

using enum QVIP_TextureDetectionModeStruct::Mode;
constexpr EnumEntry kTextureDetectionModes[] = {
    QV_ENUM_ENTRY(TDM_AUTO),
    QV_ENUM_ENTRY(TDM_GENERAL_WIDTH_CONCENTRATION),
    QV_ENUM_ENTRY(TDM_REV),
    QV_ENUM_ENTRY(TDM_SKIP),
};

}  // namespace

const ClassMapping& QVIP_TextureDetectionModeStruct::Mapping() {
  using S = QVIP_TextureDetectionModeStruct;
  static const ClassMapping mapping = Mapper<S>("TextureDetectionMode")
                                          .Modes(kTextureDetectionModes, TDM_AUTO)
                                          .Int("Sensitivity", &S::sensitivity, 5, 1, 9)
                                          .Build();
  return mapping;
}

QVIP_TextureDetectionModeStruct::QVIP_TextureDetectionModeStruct()
    : QVIP_TextureDetectionModeStruct(Mapping().ElementMode()) {}

QVIP_TextureDetectionModeStruct::QVIP_TextureDetectionModeStruct(int mode) : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Scale-up

namespace {

using enum QVIP_ScaleUpModeStruct::Mode;
constexpr EnumEntry kScaleUpModes[] = {
    QV_ENUM_ENTRY(SUM_SKIP),
    QV_ENUM_ENTRY(SUM_AUTO),
    QV_ENUM_ENTRY(SUM_LINEAR_INTERPOLATION),
    QV_ENUM_ENTRY(SUM_NEAREST_NEIGHBOUR_INTERPOLATION),
};

}  // namespace

const ClassMapping& QVIP_ScaleUpModeStruct::Mapping() {
  using S = QVIP_ScaleUpModeStruct;
  static const ClassMapping mapping =
      Mapper<S>("ScaleUpMode")
          .Modes(kScaleUpModes, SUM_AUTO)
          .Int("AcuteAngleWithXThreshold", &S::acuteAngleWithXThreshold, -1, -1, 90)
          .Int("ModuleSizeThreshold", &S::moduleSizeThreshold, 0, 0, INT_MAX)
          .Int("TargetModuleSize", &S::targetModuleSize, 0, 0, 134217727)
          .Int("LetterHeightThreshold", &S::letterHeightThreshold, 0, 0, INT_MAX)
          .Int("TargetLetterHeight", &S::targetLetterHeight, 0, 0, INT_MAX)
          .Build();
  return mapping;
}

QVIP_ScaleUpModeStruct::QVIP_ScaleUpModeStruct() : QVIP_ScaleUpModeStruct(Mapping().ElementMode()) {}

QVIP_ScaleUpModeStruct::QVIP_ScaleUpModeStruct(int mode) : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Region predetection

namespace {

using enum QVIP_RegionPredetectionModeStruct::Mode;
constexpr EnumEntry kRegionPredetectionModes[] = {
    QV_ENUM_ENTRY(RPM_AUTO),
    QV_ENUM_ENTRY(RPM_GENERAL),
    QV_ENUM_ENTRY(RPM_GENERAL_RGB_CONTRAST),
    QV_ENUM_ENTRY(RPM_GENERAL_GRAY_CONTRAST),
    QV_ENUM_ENTRY(RPM_GENERAL_HSV_CONTRAST),
    QV_ENUM_ENTRY(RPM_MANUAL_SPECIFICATION),
    QV_ENUM_ENTRY(RPM_REV),
    QV_ENUM_ENTRY(RPM_SKIP),
};

}  // namespace

const ClassMapping& QVIP_RegionPredetectionModeStruct::Mapping() {
  using S = QVIP_RegionPredetectionModeStruct;
  using Groups = GroupListField<S>;
  constexpr int kMax = INT_MAX;
  static const ClassMapping mapping =
      Mapper<S>("RegionPredetectionMode")
          .Modes(kRegionPredetectionModes, RPM_AUTO, kReadFirst)
          .Int("Sensitivity", &S::sensitivity, 1, 1, 9)
          .Int("MinImageDimension", &S::minImageDimension, 262144, 16384, kMax)
          .Int("SpatialIndexBlockSize", &S::spatialIndexBlockSize, 5, 1, 32)
          // Groups of five: a region's four edges, then its measure (at least -1).
          .RegisterField(std::make_shared<Groups>(
              "RelativeRegions", &S::relativeRegions,
              Groups::Bounds{{-10000, -10000, -10000, -10000, -1}, {10000, 10000, 10000, 10000, kMax}}))
          // Groups of three: RGB components, or hue-based bounds for HSV contrast.
          .RegisterField(std::make_shared<Groups>("ForeAndBackgroundColours", &S::foreAndBackgroundColours,
                                        Groups::Bounds{{0, 0, 0}, {255, 255, 255}},
                                        RPM_GENERAL_HSV_CONTRAST,
                                        Groups::Bounds{{-1, -1, 0}, {360, 360, 360}}))
          .RegisterField(std::make_shared<Groups>("AspectRatioRange", &S::aspectRatioRange,
                                        Groups::Bounds{{1, 1}, {10000, 10000}}))
          .RegisterField(std::make_shared<Groups>("HeightRange", &S::heightRange,
                                        Groups::Bounds{{1, 1}, {kMax, kMax}}))
          .RegisterField(std::make_shared<Groups>("WidthRange", &S::widthRange,
                                        Groups::Bounds{{1, 1}, {kMax, kMax}}))
          .Int("FindAccurateBoundary", &S::findAccurateBoundary, 0, 0, 1)
          .Int("MeasuredByPercentage", &S::measuredByPercentage, 1, 0, 1)
          .Text("ImageParameterName", &S::imageParameterName)
          .Build();
  return mapping;
}

QVIP_RegionPredetectionModeStruct::QVIP_RegionPredetectionModeStruct()
    : QVIP_RegionPredetectionModeStruct(Mapping().ElementMode()) {}

QVIP_RegionPredetectionModeStruct::QVIP_RegionPredetectionModeStruct(int mode)
    : ModeStructure(mode) {
  ResetArguments();
}

// ---------------------------------------------------------------------------
// Text detection

namespace {

using enum QVIP_TextDetectionModeStruct::Mode;
using enum QVIP_TextDetectionModeStruct::Direction;
constexpr EnumEntry kTextDetectionModes[] = {
    QV_ENUM_ENTRY(TTDM_SKIP),
    QV_ENUM_ENTRY(TTDM_WORD),
    QV_ENUM_ENTRY(TTDM_LINE),
    QV_ENUM_ENTRY(TTDM_LAYOUT),
};
constexpr EnumEntry kDirections[] = {
    QV_ENUM_ENTRY(HORIZONTAL),
    QV_ENUM_ENTRY(VERTICAL),
    QV_ENUM_ENTRY(OBLIQUE),
    QV_ENUM_ENTRY(UNKNOWN),
};

}  // namespace

const ClassMapping& QVIP_TextDetectionModeStruct::Mapping() {
  using S = QVIP_TextDetectionModeStruct;
  constexpr int kMax = INT_MAX;
  static const ClassMapping mapping =
      Mapper<S>("TextDetectionMode")
          .Modes(kTextDetectionModes, TTDM_SKIP)  // never listed: the mode an embedded one starts from
          .Enum("Direction", &S::direction, UNKNOWN, kDirections)
          // Minimum, maximum, and a 0/1 flag.
          .IntList("CharHeightRange", &S::charHeightRange, {1, 1000, 1}, {0, 0, 0}, {kMax, kMax, 1})
          .IntList("StringLengthRange", &S::stringLengthRange, {}, {0, 0}, {kMax, kMax})
          .Int("MaxSpacingInALine", &S::maxSpacingInALine, -1, 0, kMax)
          .Int("Sensitivity", &S::sensitivity, 3, 1, 9)
          .Build();
  return mapping;
}

QVIP_TextDetectionModeStruct::QVIP_TextDetectionModeStruct()
    : QVIP_TextDetectionModeStruct(Mapping().ElementMode()) {}

QVIP_TextDetectionModeStruct::QVIP_TextDetectionModeStruct(int mode) : ModeStructure(mode) {
  ResetArguments();
}

int QVIP_TextDetectionModeStruct::Validate() {
  if (charHeightRange.size() >= 2 && charHeightRange[0] > charHeightRange[1]) {
    return FailValidation(errors::kJsonValueInvalid,
                          "CharHeightRange " + std::string(texts::kMinAboveMax));
  }
  if (stringLengthRange.size() >= 2 && stringLengthRange[0] > stringLengthRange[1]) {
    return FailValidation(errors::kJsonValueInvalid,
                          "StringLengthRange " + std::string(texts::kMinAboveMax));
  }
  return errors::kSuccess;
}

}  // namespace quorvane
