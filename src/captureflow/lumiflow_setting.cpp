#include "captureflow/lumiflow_setting.h"

#include <climits>

#include "captureflow/default_names.h"

namespace quorvane {

namespace {

struct IntField {
  const char* key;
  int QV_LumiflowSetting::*member;
  int minimum;
  int maximum;
};
constexpr IntField kIntFields[] = {
    {"OutputOriginalImage", &QV_LumiflowSetting::outputOriginalImage, 0, 1},
    {"MaxParallelTasks", &QV_LumiflowSetting::maxParallelTasks, 0, 256},
    {"Timeout", &QV_LumiflowSetting::timeout, 0, INT_MAX},
    {"MinImageCaptureInterval", &QV_LumiflowSetting::minImageCaptureInterval, 0, INT_MAX},
};

}  // namespace

QV_LumiflowSetting::QV_LumiflowSetting() : imageROIProcessingNames{DefaultTargetROIDefName()} {
  name = DefaultLumiflowSettingName();
}

const std::string& QV_LumiflowSetting::GetTypeName() const {
  static const std::string typeName = "LumiflowSetting";
  return typeName;
}

void QV_LumiflowSetting::InitFieldTable() {
  isPlaceholder = false;
  RegisterCommonFields();
  RegisterStringField("ImageSource", &imageSourceName);
  for (const IntField& field : kIntFields) {
    RegisterIntField(field.key, &(this->*field.member), field.minimum, field.maximum);
  }
  RegisterStringArrayField("ImageROIProcessingNameArray", &imageROIProcessingNames, false);
  RegisterStringArrayField("SemanticProcessingNameArray", &semanticProcessingNames, true);
}

void QV_LumiflowSetting::WriteToJson(bool flag) {
  QV_ParameterFieldBase::WriteToJson(flag);
  json["ImageSource"_key] = imageSourceName;
  json["ImageROIProcessingNameArray"_key] = StringListJson(imageROIProcessingNames);
  json["SemanticProcessingNameArray"_key] = StringListJson(semanticProcessingNames);
  for (const IntField& field : kIntFields) json[Json::StaticString(field.key)] = this->*field.member;
}

}  // namespace quorvane
