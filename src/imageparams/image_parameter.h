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
  // Copies every member, lists element by element; the copy reads through
  // its own readers.
  QV_ImageParameter(const QV_ImageParameter& other) = default;
  QV_ImageParameter& operator=(const QV_ImageParameter& other) = default;

  const std::string& GetTypeName() const override;
  const std::string& GetBaseName() const override;
  void InitFieldTable() override;
  void WriteToJson(bool flag) override;

  // For an image parameter never read from JSON: text line detection and
  // text zone erasing. Otherwise nothing changes.
  void ApplyTextLineDefaults();

  // Kind 0 "ip_zqeDefault", 2 "ip_zqiDefault", any other "ip_default".
  static const std::string& GetDefaultImageParameterName(int kind);

  // True until the first read from JSON.
  bool isPlaceholder = true;
  std::string baseImageParameterName;
  int scaleDownThreshold = 2300;
  int ifEraseTextZone = 0;
  std::vector<QVIP_BinarizationModeStruct> binarizationModes;
  std::vector<QVIP_ColourConversionModeStruct> colourConversionModes;
  std::vector<QVIP_ScaleUpModeStruct> scaleUpModes;
  std::vector<QVIP_GrayscaleEnhancementModeStruct> grayscaleEnhancementModes;
  std::vector<QVIP_GrayscaleTransformationModeStruct> grayscaleTransformationModes;
  std::vector<QVIP_TextureDetectionModeStruct> textureDetectionModes;
  std::vector<QVIP_RegionPredetectionModeStruct> regionPredetectionModes;
  QVIP_TextDetectionModeStruct textDetectionMode;

 protected:
  // Calls `visit(key, list)` for each mode list, in the order they are
  // registered and written.
  template <class Visit>
  void ForEachModeList(Visit&& visit) {
    visit("BinarizationModes", binarizationModes);
    visit("ColourConversionModes", colourConversionModes);
    visit("ScaleUpModes", scaleUpModes);
    visit("GrayscaleEnhancementModes", grayscaleEnhancementModes);
    visit("GrayscaleTransformationModes", grayscaleTransformationModes);
    visit("TextureDetectionModes", textureDetectionModes);
    visit("RegionPredetectionModes", regionPredetectionModes);
  }
};

}  // namespace quorvane
