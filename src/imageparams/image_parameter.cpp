#include "imageparams/image_parameter.h"

#include <climits>

#include "framework/field_mapping.h"

namespace quorvane {

QV_ImageParameter::QV_ImageParameter() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QV_ImageParameter::Mapping() {
  using S = QV_ImageParameter;
  using BM = QVIP_BinarizationModeStruct;
  using CICM = QVIP_ColourConversionModeStruct;
  using SUM = QVIP_ScaleUpModeStruct;
  using GEM = QVIP_GrayscaleEnhancementModeStruct;
  using GTM = QVIP_GrayscaleTransformationModeStruct;
  using TDM = QVIP_TextureDetectionModeStruct;
  using RPM = QVIP_RegionPredetectionModeStruct;
  static const ClassMapping mapping =
      Mapper<S>("ImageParameter")
          .RegisterCommonFields(GetDefaultImageParameterName(1).c_str())
          .Text("BaseImageParameterName", &S::baseImageParameterName)
          .Note("The image parameter this one inherits the keys it leaves out from")
          .Int("ScaleDownThreshold", &S::scaleDownThreshold, 2300, 512, INT_MAX)
          .Note("The size above which an image is scaled down")
          .Int("IfEraseTextZone", &S::ifEraseTextZone, 0, 0, 1)
          .ObjectList("BinarizationModes", &S::binarizationModes, kNoFlags, {BM()})
          .Note("The binarization modes, in order")
          .ObjectList("ColourConversionModes", &S::colourConversionModes, kNoFlags,
                      {CICM(CICM::CICM_GENERAL)})
          .ObjectList("ScaleUpModes", &S::scaleUpModes, kNoFlags, {SUM(SUM::SUM_AUTO)})
          .ObjectList("GrayscaleEnhancementModes", &S::grayscaleEnhancementModes, kNoFlags,
                      {GEM(GEM::GEM_GENERAL)})
          .ObjectList("GrayscaleTransformationModes", &S::grayscaleTransformationModes, kNoFlags,
                      {GTM(GTM::GTM_ORIGINAL)})
          .ObjectList("TextureDetectionModes", &S::textureDetectionModes, kNoFlags,
                      {TDM(TDM::TDM_GENERAL_WIDTH_CONCENTRATION)})
          .ObjectList("RegionPredetectionModes", &S::regionPredetectionModes, kNoFlags,
                      {RPM(RPM::RPM_GENERAL)})
          .Object("TextDetectionMode", &S::textDetectionMode)
          .Build();
  return mapping;
}

const std::string& QV_ImageParameter::GetBaseName() const { return baseImageParameterName; }

const std::string& QV_ImageParameter::GetDefaultImageParameterName(int kind) {
  static const std::string zqeDefault = "ip_zqeDefault";
  static const std::string standardDefault = "ip_default";
  static const std::string zqiDefault = "ip_zqiDefault";
  switch (kind) {
    case 0:
      return zqeDefault;
    case 2:
      return zqiDefault;
    default:
      return standardDefault;
  }
}

void QV_ImageParameter::ResetReadMarks() { isPlaceholder = false; }

void QV_ImageParameter::ApplyTextLineDefaults() {
  if (!isPlaceholder) return;
  textDetectionMode = QVIP_TextDetectionModeStruct(QVIP_TextDetectionModeStruct::TTDM_LINE);
  ifEraseTextZone = 1;
}

}  // namespace quorvane
