#include "imageparams/image_parameter.h"

#include <climits>

namespace quorvane {

QV_ImageParameter::QV_ImageParameter()
    : binarizationModes{QVIP_BinarizationModeStruct(1)},
      colourConversionModes{
          QVIP_ColourConversionModeStruct(QVIP_ColourConversionModeStruct::CICM_GENERAL)},
      scaleUpModes{QVIP_ScaleUpModeStruct(QVIP_ScaleUpModeStruct::SUM_AUTO)},
      grayscaleEnhancementModes{
          QVIP_GrayscaleEnhancementModeStruct(QVIP_GrayscaleEnhancementModeStruct::GEM_GENERAL)},
      grayscaleTransformationModes{QVIP_GrayscaleTransformationModeStruct(
          QVIP_GrayscaleTransformationModeStruct::GTM_ORIGINAL)},
      textureDetectionModes{QVIP_TextureDetectionModeStruct(
          QVIP_TextureDetectionModeStruct::TDM_GENERAL_WIDTH_CONCENTRATION)},
      regionPredetectionModes{
          QVIP_RegionPredetectionModeStruct(QVIP_RegionPredetectionModeStruct::RPM_GENERAL)},
      textDetectionMode(QVIP_TextDetectionModeStruct::TTDM_SKIP) {
  name = GetDefaultImageParameterName(1);
}

const std::string& QV_ImageParameter::GetTypeName() const {
  static const std::string typeName = "ImageParameter";
  return typeName;
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

void QV_ImageParameter::InitFieldTable() {
  isPlaceholder = false;
  RegisterCommonFields();
  RegisterStringField("BaseImageParameterName", &baseImageParameterName);
  RegisterIntField("ScaleDownThreshold", &scaleDownThreshold, 512, INT_MAX);
  RegisterIntField("IfEraseTextZone", &ifEraseTextZone, 0, 1);
  RegisterEmbeddedField("TextDetectionMode", &textDetectionMode);
  ForEachModeList([this](const char* key, auto& list) {
    RegisterObjectListField(key, &list, false);
  });
}

void QV_ImageParameter::WriteToJson(bool flag) {
  QV_ParameterFieldBase::WriteToJson(flag);
  json["ScaleDownThreshold"_key] = scaleDownThreshold;
  json["IfEraseTextZone"_key] = ifEraseTextZone;
  json["BaseImageParameterName"_key] = baseImageParameterName;
  ForEachModeList([this, flag](const char* key, auto& list) { WriteObjectList(key, list, flag); });
  WriteChild("TextDetectionMode", textDetectionMode, flag);
}

void QV_ImageParameter::ApplyTextLineDefaults() {
  if (!isPlaceholder) return;
  textDetectionMode = QVIP_TextDetectionModeStruct(QVIP_TextDetectionModeStruct::TTDM_LINE);
  ifEraseTextZone = 1;
}

}  // namespace quorvane
