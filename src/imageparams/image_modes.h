#pragma once

// The image processing mode families. Each is a ModeStructure whose names,
// defaults and ranges stand in its mapping (image_modes.cpp). The default
// constructor gives the element a JSON list starts each element from; the
// constructor taking a mode gives that mode with every argument at its
// default.

#include <string>
#include <vector>

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

  enum MorphOperation : int { Erode = 1, Dilate = 2, Open = 4, Close = 8 };
  enum MorphShape : int { Rectangle = 1, Cross = 2, Ellipse = 4 };

  QVIP_BinarizationModeStruct() : QVIP_BinarizationModeStruct(Mapping().ElementMode()) {}
  explicit QVIP_BinarizationModeStruct(int mode);

  static const ClassMapping& Mapping();

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

// Colour conversion mode, type name "ColourConversionMode".
class QVIP_ColourConversionModeStruct : public ModeStructure<QVIP_ColourConversionModeStruct> {
 public:
  enum Mode : int { CICM_SKIP = 0, CICM_GENERAL = 1, CICM_HSV = 2 };
  enum ReferChannel : int { H_CHANNEL = 1, S_CHANNEL = 2, V_CHANNEL = 4 };

  QVIP_ColourConversionModeStruct();
  explicit QVIP_ColourConversionModeStruct(int mode);

  static const ClassMapping& Mapping();

  int referChannel;
  int blueChannelWeight;
  int greenChannelWeight;
  int redChannelWeight;
};

// Grayscale transformation mode, type name "GrayscaleTransformationMode";
// the mode is its only field.
class QVIP_GrayscaleTransformationModeStruct
    : public ModeStructure<QVIP_GrayscaleTransformationModeStruct> {
 public:
  enum Mode : int {
    GTM_INVERTED = 1,
    GTM_ORIGINAL = 2,
    GTM_AUTO = 4,
    GTM_REV = -2147483647 - 1,
    GTM_SKIP = 0,
  };

  QVIP_GrayscaleTransformationModeStruct();
  explicit QVIP_GrayscaleTransformationModeStruct(int mode);

  static const ClassMapping& Mapping();
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

  static const ClassMapping& Mapping();

  int sensitivity;
  int sharpenBlockSizeX;
  int sharpenBlockSizeY;
  int smoothBlockSizeX;
  int smoothBlockSizeY;
};

// Texture detection mode, type name "TextureDetectionMode".
class QVIP_TextureDetectionModeStruct : public ModeStructure<QVIP_TextureDetectionModeStruct> {
 public:
  enum Mode : int {
    TDM_AUTO = 1,
    TDM_GENERAL_WIDTH_CONCENTRATION = 2,
    TDM_REV = -2147483647 - 1,
    TDM_SKIP = 0,
  };

  QVIP_TextureDetectionModeStruct();
  explicit QVIP_TextureDetectionModeStruct(int mode);

  static const ClassMapping& Mapping();

  int sensitivity;
};

// Scale-up mode, type name "ScaleUpMode".
class QVIP_ScaleUpModeStruct : public ModeStructure<QVIP_ScaleUpModeStruct> {
 public:
  enum Mode : int {
    SUM_SKIP = 0,
    SUM_AUTO = 1,
    SUM_LINEAR_INTERPOLATION = 2,
    SUM_NEAREST_NEIGHBOUR_INTERPOLATION = 4,
  };

  QVIP_ScaleUpModeStruct();
  explicit QVIP_ScaleUpModeStruct(int mode);

  static const ClassMapping& Mapping();

  int acuteAngleWithXThreshold;
  int moduleSizeThreshold;
  int targetModuleSize;
  int letterHeightThreshold;
  int targetLetterHeight;
};

// Region predetection mode, type name "RegionPredetectionMode". Its colour
// groups are bounded by the mode, so it reads "Mode" before its other keys;
// a failing "Mode" ends the read without the type-name prefix.
class QVIP_RegionPredetectionModeStruct
    : public ModeStructure<QVIP_RegionPredetectionModeStruct> {
 public:
  enum Mode : int {
    RPM_AUTO = 1,
    RPM_GENERAL = 2,
    RPM_GENERAL_RGB_CONTRAST = 4,
    RPM_GENERAL_GRAY_CONTRAST = 8,
    RPM_GENERAL_HSV_CONTRAST = 16,
    RPM_MANUAL_SPECIFICATION = 32,
    RPM_REV = -2147483647 - 1,
    RPM_SKIP = 0,
  };

  QVIP_RegionPredetectionModeStruct();
  explicit QVIP_RegionPredetectionModeStruct(int mode);

  static const ClassMapping& Mapping();

  int sensitivity;
  int minImageDimension;
  int spatialIndexBlockSize;
  std::vector<std::vector<int>> relativeRegions;
  std::vector<std::vector<int>> foreAndBackgroundColours;
  std::vector<std::vector<int>> aspectRatioRange;
  std::vector<std::vector<int>> heightRange;
  std::vector<std::vector<int>> widthRange;
  int findAccurateBoundary;
  int measuredByPercentage;
  std::string imageParameterName;
};

// Text detection mode, type name "TextDetectionMode"; embedded once in an
// image parameter rather than listed.
class QVIP_TextDetectionModeStruct : public ModeStructure<QVIP_TextDetectionModeStruct> {
 public:
  enum Mode : int { TTDM_SKIP = 0, TTDM_WORD = 1, TTDM_LINE = 2, TTDM_LAYOUT = 3 };
  enum Direction : int { HORIZONTAL = 0, VERTICAL = 1, OBLIQUE = 2, UNKNOWN = 3 };

  QVIP_TextDetectionModeStruct();
  explicit QVIP_TextDetectionModeStruct(int mode);

  static const ClassMapping& Mapping();

  // Each of the two ranges must not start above its end.
  int Validate() override;

  int direction;
  std::vector<int> charHeightRange;
  std::vector<int> stringLengthRange;
  int maxSpacingInALine;
  int sensitivity;
};

}  // namespace quorvane
