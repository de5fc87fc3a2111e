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
// Region predetection

namespace {

constexpr EnumEntry kRegionPredetectionModes[] = {
    {"RPM_AUTO", 1},
    {"RPM_GENERAL", 2},
    {"RPM_GENERAL_RGB_CONTRAST", 4},
    {"RPM_GENERAL_GRAY_CONTRAST", 8},
    {"RPM_GENERAL_HSV_CONTRAST", 16},
    {"RPM_MANUAL_SPECIFICATION", 32},
    {"RPM_REV", INT_MIN},
    {"RPM_SKIP", 0},
};

}  // namespace

EnumTable RegionPredetectionModeNames() { return kRegionPredetectionModes; }

}  // namespace quorvane
