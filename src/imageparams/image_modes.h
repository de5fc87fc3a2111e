#pragma once

// The image processing mode families. Each is a ModeStructure whose names,
// defaults and ranges stand in its Family() table (image_modes.cpp).

#include "imageparams/mode_structure.h"

namespace quorvane {

// Binarization mode, type name "BinarizationMode".
class QVIP_BinarizationModeStruct : public ModeStructure<QVIP_BinarizationModeStruct> {
 public:
  enum Mode : int {
    BM_AUTO = 1,
    BM_LOCAL_BLOCK = 2,
    BM_THRESHOLD = 4,
    BM_REV = -2147483647 - 1,
    BM_SKIP = 0,
  };

  // Every creator passes 1 for the fill flag; the mode starts as BM_LOCAL_BLOCK.
  explicit QVIP_BinarizationModeStruct(int enableFillBinaryVacancy = 1);

  static const ModeFamily<QVIP_BinarizationModeStruct>& Family();
  static EnumTable MorphOperationNames();
  static EnumTable MorphShapeNames();

  int blockSizeX;
  int blockSizeY;
  int enableFillBinaryVacancy;
  int grayscaleEnhancementModesIndex;
  int thresholdCompensation;
  int binarizationThreshold;
  int morphOperation;
  int morphShape;
  int morphOperationKernelSizeX;
  int morphOperationKernelSizeY;
};

// Grayscale enhancement mode, type name "GrayscaleEnhancementMode".
class QVIP_GrayscaleEnhancementModeStruct
    : public ModeStructure<QVIP_GrayscaleEnhancementModeStruct> {
 public:
  enum Mode : int {
    GEM_AUTO = 1,
    GEM_GENERAL = 2,
    GEM_GRAY_EQUALIZE = 4,
    GEM_GRAY_SMOOTH = 8,
    GEM_SHARPEN_SMOOTH = 16,
    GEM_REV = -2147483647 - 1,
    GEM_SKIP = 0,
  };

  QVIP_GrayscaleEnhancementModeStruct();
  explicit QVIP_GrayscaleEnhancementModeStruct(int mode);

  static const ModeFamily<QVIP_GrayscaleEnhancementModeStruct>& Family();

  int sensitivity;
  int sharpenBlockSizeX;
  int sharpenBlockSizeY;
  int smoothBlockSizeX;
  int smoothBlockSizeY;
};

// The region predetection enumeration, shared with the colour region filter.
EnumTable RegionPredetectionModeNames();

}  // namespace quorvane
