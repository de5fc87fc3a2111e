#pragma once

// The image parameter: a named section that says how an image is prepared
// before anything is searched in it, one list of mode structures per
// processing step plus a few scalar settings and the embedded text detection
// mode. It may name another image parameter as its base.

#include <string>
#include <vector>

#include "framework/parameter_field_base.h"
#include "imageparams/image_modes.h"

namespace quorvane {

class QV_ImageParameter : public QV_ParameterFieldBase {
 public:
  // Named "ip_default", one constructor element in each mode list.
  QV_ImageParameter();

  QV_MAPPED_CLASS()
  const std::string& GetBaseName() const override;
  // A read section is no placeholder any more.
  void ResetReadMarks() override;

  // For an image parameter never read from JSON: text line detection and
  // text zone erasing. Otherwise nothing changes.
  void ApplyTextLineDefaults();

  // Kind 0 "ip_zqeDefault", 2 "ip_zqiDefault", any other "ip_default".
  static const std::string& GetDefaultImageParameterName(int kind);

  // True until the first read from JSON.
  bool isPlaceholder = true;
  std::string baseImageParameterName;
  int scaleDownThreshold;
  int ifEraseTextZone;
  std::vector<QVIP_BinarizationModeStruct> binarizationModes;
  std::vector<QVIP_ColourConversionModeStruct> colourConversionModes;
  std::vector<QVIP_ScaleUpModeStruct> scaleUpModes;
  std::vector<QVIP_GrayscaleEnhancementModeStruct> grayscaleEnhancementModes;
  std::vector<QVIP_GrayscaleTransformationModeStruct> grayscaleTransformationModes;
  std::vector<QVIP_TextureDetectionModeStruct> textureDetectionModes;
  std::vector<QVIP_RegionPredetectionModeStruct> regionPredetectionModes;
  QVIP_TextDetectionModeStruct textDetectionMode;
};

}  // namespace quorvane
