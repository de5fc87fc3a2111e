#pragma once

// The barcode decoding mode families held in lists by the barcode reader task
// and the format specification. Each is a ModeStructure whose names, defaults
// and ranges stand in its mapping (decoding_modes.cpp).
//
// Every family has two default sets: the default constructor gives the
// element that a list read from JSON starts from; the explicit constructor
// taking the mode gives the entry that a task or specification creates in
// code.

#include "barcode/barcode_format.h"
#include "imageparams/image_modes.h"
#include "imageparams/mode_structure.h"

namespace quorvane {

// Localization mode, type name "LocalizationMode". No mode has the value 1.
class LocalizationModeStruct : public ModeStructure<LocalizationModeStruct> {
 public:
  enum Mode : int {
    LM_CONNECTED_BLOCKS = 0x2,
    LM_STATISTICS = 0x4,
    LM_LINES = 0x8,
    LM_SCAN_DIRECTLY = 0x10,
    LM_STATISTICS_MARKS = 0x20,
    LM_STATISTICS_POSTAL_CODE = 0x40,
    LM_CENTRE = 0x80,
    LM_ONED_FAST_SCAN = 0x100,
    LM_SKIP = 0,
  };

  LocalizationModeStruct() : LocalizationModeStruct(Mapping().ElementMode()) {}
  explicit LocalizationModeStruct(int mode) : ModeStructure(mode) { ResetArguments(); }

  static const ClassMapping& Mapping();

  int scanStride;
  int scanDirection;
  int moduleSize;
  int confidenceThreshold;
  int isOneDStacked;
};

// Deblur mode, type name "DeblurMode".
class DeblurModeStruct : public ModeStructure<DeblurModeStruct> {
 public:
  enum Mode : int {
    DM_DIRECT_BINARIZATION = 0x1,
    DM_THRESHOLD_BINARIZATION = 0x2,
    DM_GRAY_EQUALIZATION = 0x4,
    DM_SMOOTHING = 0x8,
    DM_MORPHING = 0x10,
    DM_DEEP_ANALYSIS = 0x20,
    DM_SHARPENING = 0x40,
    DM_BASED_ON_LOC_BIN = 0x80,
    DM_SHARPENING_SMOOTHING = 0x100,
    DM_SKIP = 0,
  };

  DeblurModeStruct() : DeblurModeStruct(Mapping().ElementMode()) {}
  explicit DeblurModeStruct(int mode) : ModeStructure(mode) { ResetArguments(); }

  static const ClassMapping& Mapping();
};

// Direct-part-mark reading mode, type name "DPMCodeReadingMode". Its
// "BarcodeFormat" names one format exactly: "BF_DATAMATRIX" or "BF_QR_CODE".
class DPMCodeReadingModeStruct : public ModeStructure<DPMCodeReadingModeStruct> {
 public:
  enum Mode : int {
    DPMCRM_AUTO = 0x1,
    DPMCRM_GENERAL = 0x2,
    DPMCRM_SKIP = 0,
  };

  DPMCodeReadingModeStruct() : DPMCodeReadingModeStruct(Mapping().ElementMode()) {}
  // Entries created in code start as DPMCRM_SKIP.
  explicit DPMCodeReadingModeStruct(int mode) : ModeStructure(mode) { ResetArguments(); }

  static const ClassMapping& Mapping();

  BarcodeFormatMask barcodeFormat;
};

// Barcode colour mode, type name "BarcodeColourMode".
class BarcodeColourModeStruct : public ModeStructure<BarcodeColourModeStruct> {
 public:
  enum Mode : int {
    BICM_DARK_ON_LIGHT = 0x1,
    BICM_LIGHT_ON_DARK = 0x2,
    BICM_DARK_ON_DARK = 0x4,
    BICM_LIGHT_ON_LIGHT = 0x8,
    BICM_DARK_LIGHT_MIXED = 0x10,
    BICM_DARK_ON_LIGHT_DARK_SURROUNDING = 0x20,
    BICM_SKIP = 0,
  };

  BarcodeColourModeStruct() : BarcodeColourModeStruct(Mapping().ElementMode()) {}
  explicit BarcodeColourModeStruct(int mode, int lightReflection = 1) : ModeStructure(mode) {
    ResetArguments();
    this->lightReflection = lightReflection;
  }

  static const ClassMapping& Mapping();

  int lightReflection;
};

// Barcode complement mode, type name "BarcodeComplementMode".
class BarcodeComplementModeStruct : public ModeStructure<BarcodeComplementModeStruct> {
 public:
  enum Mode : int {
    BCM_AUTO = 0x1,
    BCM_GENERAL = 0x2,
    BCM_SKIP = 0,
  };

  BarcodeComplementModeStruct() : BarcodeComplementModeStruct(Mapping().ElementMode()) {}
  explicit BarcodeComplementModeStruct(int mode) : ModeStructure(mode) { ResetArguments(); }

  static const ClassMapping& Mapping();
};

// Deformation resisting mode, type name "DeformationResistingModeStruct"
// (the only family whose type name ends in "Struct"; messages carry it so).
// Besides its level it holds one grayscale enhancement and one binarization
// mode, read in place and written as nested objects.
class DeformationResistingModeStruct : public ModeStructure<DeformationResistingModeStruct> {
 public:
  enum Mode : int {
    DRM_AUTO = 0x1,
    DRM_GENERAL = 0x2,
    DRM_BROAD_WARP = 0x4,
    DRM_LOCAL_REFERENCE = 0x8,
    DRM_DEWRINKLE = 0x10,
    DRM_SKIP = 0,
  };

  DeformationResistingModeStruct() : DeformationResistingModeStruct(Mapping().ElementMode()) {}
  explicit DeformationResistingModeStruct(int mode) : ModeStructure(mode) { ResetArguments(); }

  static const ClassMapping& Mapping();

  int level;
  // GEM_AUTO with every argument -1.
  QVIP_GrayscaleEnhancementModeStruct grayscaleEnhancementMode;
  // BM_LOCAL_BLOCK with the fill flag 1.
  QVIP_BinarizationModeStruct binarizationMode;
};

// Text result order mode, type name "TextResultOrderMode".
class TextResultOrderModeStruct : public ModeStructure<TextResultOrderModeStruct> {
 public:
  enum Mode : int {
    TROM_CONFIDENCE = 0x1,
    TROM_POSITION = 0x2,
    TROM_FORMAT = 0x4,
    TROM_SKIP = 0,
  };

  TextResultOrderModeStruct() : TextResultOrderModeStruct(Mapping().ElementMode()) {}
  explicit TextResultOrderModeStruct(int mode) : ModeStructure(mode) { ResetArguments(); }

  static const ClassMapping& Mapping();
};

}  // namespace quorvane
