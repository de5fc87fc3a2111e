#include "barcode/task_setting.h"

#include <algorithm>
#include <map>

namespace quorvane {

namespace {

constexpr EnumEntry kSectionTypes[] = {
    {"ST_NULL", ST_NULL},
    {"ST_REGION_PREDETECTION", ST_REGION_PREDETECTION},
    {"ST_TEXT_LINE_LOCALIZATION", ST_TEXT_LINE_LOCALIZATION},
    {"ST_TEXT_LINE_RECOGNITION", ST_TEXT_LINE_RECOGNITION},
    {"ST_BARCODE_LOCALIZATION", ST_BARCODE_LOCALIZATION},
    {"ST_BARCODE_DECODING", ST_BARCODE_DECODING},
    {"ST_DOCUMENT_DETECTION", ST_DOCUMENT_DETECTION},
    {"ST_DOCUMENT_NORMALIZATION", ST_DOCUMENT_NORMALIZATION},
};

constexpr EnumEntry kSectionTypeShortNames[] = {
    {"ST_NULL", ST_NULL},
    {"REGION_PREDETECTION", ST_REGION_PREDETECTION},
    {"TEXT_LINE_LOCALIZATION", ST_TEXT_LINE_LOCALIZATION},
    {"TEXT_LINE_RECOGNITION", ST_TEXT_LINE_RECOGNITION},
    {"BARCODE_LOCALIZATION", ST_BARCODE_LOCALIZATION},
    {"BARCODE_DECODING", ST_BARCODE_DECODING},
    {"DOCUMENT_DETECTION", ST_DOCUMENT_DETECTION},
    {"DOCUMENT_NORMALIZATION", ST_DOCUMENT_NORMALIZATION},
};

constexpr EnumEntry kStageTypes[] = {
    {"IRUT_NULL", IRUT_NULL},
    {"IRUT_COLOUR_IMAGE", IRUT_COLOUR_IMAGE},
    {"IRUT_SCALED_DOWN_COLOUR_IMAGE", IRUT_SCALED_DOWN_COLOUR_IMAGE},
    {"IRUT_GRAYSCALE_IMAGE", IRUT_GRAYSCALE_IMAGE},
    {"IRUT_TRANSFORMED_GRAYSCALE_IMAGE", IRUT_TRANSFORMED_GRAYSCALE_IMAGE},
    {"IRUT_ENHANCED_GRAYSCALE_IMAGE", IRUT_ENHANCED_GRAYSCALE_IMAGE},
    {"IRUT_PREDETECTED_REGIONS", IRUT_PREDETECTED_REGIONS},
    {"IRUT_BINARY_IMAGE", IRUT_BINARY_IMAGE},
    {"IRUT_TEXTURE_DETECTION_RESULT", IRUT_TEXTURE_DETECTION_RESULT},
    {"IRUT_TEXTURE_REMOVED_GRAYSCALE_IMAGE", IRUT_TEXTURE_REMOVED_GRAYSCALE_IMAGE},
    {"IRUT_TEXTURE_REMOVED_BINARY_IMAGE", IRUT_TEXTURE_REMOVED_BINARY_IMAGE},
    {"IRUT_CONTOURS", IRUT_CONTOURS},
    {"IRUT_LINE_SEGMENTS", IRUT_LINE_SEGMENTS},
    {"IRUT_TEXT_ZONES", IRUT_TEXT_ZONES},
    {"IRUT_TEXT_REMOVED_BINARY_IMAGE", IRUT_TEXT_REMOVED_BINARY_IMAGE},
    {"IRUT_CANDIDATE_BARCODE_ZONES", IRUT_CANDIDATE_BARCODE_ZONES},
    {"IRUT_LOCALIZED_BARCODES", IRUT_LOCALIZED_BARCODES},
    {"IRUT_SCALED_UP_BARCODE_IMAGE", IRUT_SCALED_UP_BARCODE_IMAGE},
    {"IRUT_DEFORMATION_RESISTED_BARCODE_IMAGE", IRUT_DEFORMATION_RESISTED_BARCODE_IMAGE},
    {"IRUT_COMPLEMENTED_BARCODE_IMAGE", IRUT_COMPLEMENTED_BARCODE_IMAGE},
    {"IRUT_DECODED_BARCODES", IRUT_DECODED_BARCODES},
    {"IRUT_LONG_LINES", IRUT_LONG_LINES},
    {"IRUT_CORNERS", IRUT_CORNERS},
    {"IRUT_CANDIDATE_QUAD_EDGES", IRUT_CANDIDATE_QUAD_EDGES},
    {"IRUT_DETECTED_QUADS", IRUT_DETECTED_QUADS},
    {"IRUT_LOCALIZED_TEXT_LINES", IRUT_LOCALIZED_TEXT_LINES},
    {"IRUT_RECOGNIZED_TEXT_LINES", IRUT_RECOGNIZED_TEXT_LINES},
    {"IRUT_NORMALIZED_IMAGES", IRUT_NORMALIZED_IMAGES},
    {"IRUT_SHORT_LINES", IRUT_SHORT_LINES},
};

using StageList = std::vector<std::uint64_t>;

// The stages each section may end with, besides IRUT_NULL.
const std::map<int, StageList>& AllowedStages() {
  static const std::map<int, StageList> table = {
      {ST_REGION_PREDETECTION,
       {IRUT_COLOUR_IMAGE, IRUT_SCALED_DOWN_COLOUR_IMAGE, IRUT_GRAYSCALE_IMAGE,
        IRUT_TRANSFORMED_GRAYSCALE_IMAGE, IRUT_PREDETECTED_REGIONS}},
      {ST_BARCODE_LOCALIZATION,
       {IRUT_COLOUR_IMAGE, IRUT_SCALED_DOWN_COLOUR_IMAGE, IRUT_GRAYSCALE_IMAGE,
        IRUT_TRANSFORMED_GRAYSCALE_IMAGE, IRUT_ENHANCED_GRAYSCALE_IMAGE, IRUT_BINARY_IMAGE,
        IRUT_TEXTURE_DETECTION_RESULT, IRUT_TEXTURE_REMOVED_GRAYSCALE_IMAGE,
        IRUT_TEXTURE_REMOVED_BINARY_IMAGE, IRUT_TEXT_ZONES, IRUT_TEXT_REMOVED_BINARY_IMAGE,
        IRUT_CONTOURS, IRUT_SHORT_LINES, IRUT_LINE_SEGMENTS, IRUT_CANDIDATE_BARCODE_ZONES,
        IRUT_LOCALIZED_BARCODES}},
      {ST_BARCODE_DECODING,
       {IRUT_COLOUR_IMAGE, IRUT_GRAYSCALE_IMAGE, IRUT_TRANSFORMED_GRAYSCALE_IMAGE,
        IRUT_DEFORMATION_RESISTED_BARCODE_IMAGE, IRUT_COMPLEMENTED_BARCODE_IMAGE,
        IRUT_SCALED_UP_BARCODE_IMAGE, IRUT_DECODED_BARCODES}},
      {ST_TEXT_LINE_LOCALIZATION,
       {IRUT_COLOUR_IMAGE, IRUT_SCALED_DOWN_COLOUR_IMAGE, IRUT_GRAYSCALE_IMAGE,
        IRUT_TRANSFORMED_GRAYSCALE_IMAGE, IRUT_ENHANCED_GRAYSCALE_IMAGE, IRUT_BINARY_IMAGE,
        IRUT_TEXTURE_DETECTION_RESULT, IRUT_TEXTURE_REMOVED_GRAYSCALE_IMAGE,
        IRUT_TEXTURE_REMOVED_BINARY_IMAGE, IRUT_TEXT_ZONES, IRUT_TEXT_REMOVED_BINARY_IMAGE,
        IRUT_LOCALIZED_TEXT_LINES}},
      {ST_TEXT_LINE_RECOGNITION,
       {IRUT_COLOUR_IMAGE, IRUT_GRAYSCALE_IMAGE, IRUT_TRANSFORMED_GRAYSCALE_IMAGE,
        IRUT_RECOGNIZED_TEXT_LINES}},
      {ST_DOCUMENT_DETECTION,
       {IRUT_COLOUR_IMAGE, IRUT_SCALED_DOWN_COLOUR_IMAGE, IRUT_GRAYSCALE_IMAGE,
        IRUT_TRANSFORMED_GRAYSCALE_IMAGE, IRUT_ENHANCED_GRAYSCALE_IMAGE, IRUT_BINARY_IMAGE,
        IRUT_TEXTURE_DETECTION_RESULT, IRUT_TEXTURE_REMOVED_GRAYSCALE_IMAGE,
        IRUT_TEXTURE_REMOVED_BINARY_IMAGE, IRUT_TEXT_ZONES, IRUT_TEXT_REMOVED_BINARY_IMAGE,
        IRUT_CONTOURS, IRUT_SHORT_LINES, IRUT_LINE_SEGMENTS, IRUT_LONG_LINES, IRUT_CORNERS,
        IRUT_CANDIDATE_QUAD_EDGES, IRUT_DETECTED_QUADS}},
      {ST_DOCUMENT_NORMALIZATION, {IRUT_NORMALIZED_IMAGES}},
  };
  return table;
}

// A section name of either form under `key`; an unknown name leaves
// `member` as it was.
int ReadSectionNameMember(QV_ParameterFieldBase& owner, const Json::Value& object,
                          std::string_view key, SectionType& member) {
  int error = errors::kSuccess;
  const std::string_view text = owner.GetStringValue(object, key, error);
  if (error != errors::kSuccess) return error;
  const std::optional<SectionType> section = LookupSectionType(text);
  if (!section) {
    owner.errorMessage = std::string(key) + ":" + GetErrorString(errors::kJsonValueInvalid);
    return errors::kJsonValueInvalid;
  }
  member = *section;
  return errors::kSuccess;
}

}  // namespace

EnumTable SectionTypeTable() { return kSectionTypes; }
EnumTable SectionTypeShortTable() { return kSectionTypeShortNames; }
EnumTable StageTypeTable() { return kStageTypes; }

std::optional<SectionType> LookupSectionType(std::string_view text) {
  int value = LookupEnumValue(kSectionTypeShortNames, text);
  if (value == kEnumNotFound) value = LookupEnumValue(kSectionTypes, text);
  if (value == kEnumNotFound) return std::nullopt;
  return static_cast<SectionType>(value);
}

const char* GetSectionTypeName(int section) { return EnumName(kSectionTypes, section); }

const char* GetStageTypeName(std::uint64_t stage) {
  return EnumName(kStageTypes, static_cast<int>(static_cast<std::uint32_t>(stage)));
}

bool IsStageAllowedInSection(int section, std::uint64_t stage) {
  if (section == ST_NULL) return stage == IRUT_NULL;
  const std::map<int, StageList>& table = AllowedStages();
  const auto found = table.find(section);
  if (found == table.end()) return false;
  if (stage == IRUT_NULL) return true;
  const StageList& stages = found->second;
  return std::find(stages.begin(), stages.end(), stage) != stages.end();
}

// ---------------------------------------------------------------------------
// Terminate setting

const std::string& QVIP_TerminateSettingStruct::GetTypeName() const {
  static const std::string typeName = "TerminateSetting";
  return typeName;
}

void QVIP_TerminateSettingStruct::InitFieldTable() {
  RegisterField("Section", [this](const Json::Value& object) {
    return ReadSectionNameMember(*this, object, "Section", section);
  });
  RegisterField("Stage", [this](const Json::Value& object) {
    int value = 0;
    const int result = GetEnumValue(object, "Stage", kStageTypes, &value);
    if (result == errors::kSuccess) stage = static_cast<std::uint32_t>(value);
    return result;
  });
}

void QVIP_TerminateSettingStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["Section"_key] = Json::StaticString(GetSectionTypeName(section));
  json["Stage"_key] = Json::StaticString(GetStageTypeName(stage));
}

// ---------------------------------------------------------------------------
// Section image parameter

const std::string& QVIP_SectionImageParameterStruct::GetTypeName() const {
  static const std::string typeName = "SectionImageParameter";
  return typeName;
}

void QVIP_SectionImageParameterStruct::InitFieldTable() {
  RegisterStringField("ImageParameterName", &imageParameterName);
  RegisterIntField("ContinueWhenPartialResultsGenerated", &continueWhenPartialResultsGenerated, 0,
                   1);
  RegisterField("Section", [this](const Json::Value& object) {
    return ReadSectionNameMember(*this, object, "Section", section);
  });
}

void QVIP_SectionImageParameterStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["Section"_key] = Json::StaticString(GetSectionTypeName(section));
  json["ImageParameterName"_key] = imageParameterName;
  json["ContinueWhenPartialResultsGenerated"_key] = continueWhenPartialResultsGenerated;
}

// ---------------------------------------------------------------------------
// Task setting base

const std::string& QV_TaskSettingBase::GetTypeName() const {
  static const std::string typeName = "TaskSetting";
  return typeName;
}

const std::string& QV_TaskSettingBase::GetBaseName() const { return baseName; }

void QV_TaskSettingBase::InitFieldTable() {
  RegisterCommonFields();
  RegisterIntField("MaxThreadsInOneTask", &maxThreadsInOneTask, 1, 256);
  // An accepted array replaces the whole list, as SetSectionImageParameters does.
  RegisterObjectListField("SectionImageParameterArray", &sectionImageParameters, true);
  RegisterField("StartSection", [this](const Json::Value& object) {
    return ReadSectionNameMember(*this, object, "StartSection", startSection);
  });
  RegisterField("TerminateSetting",
                [this](const Json::Value& object) { return ReadTerminateSetting(object); });
}

int QV_TaskSettingBase::ReadTerminateSetting(const Json::Value& object) {
  static const std::string key = "TerminateSetting";
  const Json::Value& value = MemberOrNull(object, key);
  // The nested read would refuse this without a word; say which key it was.
  if (!value.isObject() && !value.isNull()) return FailWithKey(key, errors::kJsonTypeInvalid);
  const int result = terminateSetting.ReadFromJson(value, NoSkippedKeys());
  if (result != errors::kSuccess) errorMessage = terminateSetting.errorMessage;
  return result;
}

int QV_TaskSettingBase::ReadFromJson(const Json::Value& value, const SkippedKeys& skippedKeys) {
  InitFieldTable();
  int result = errors::kSuccess;
  if (value.isObject()) {
    result = ReadFields(value, skippedKeys, false);
    if (result == errors::kSuccess) result = Validate();
  } else if (value.isNull()) {
    result = Validate();
  } else {
    result = errors::kJsonTypeInvalid;
  }
  FillDefaultSectionImageParameters();
  // Each field may be fine on its own while the pair is not.
  if (!IsTerminateSettingValid()) return errors::kJsonValueInvalid;
  return result;
}

void QV_TaskSettingBase::WriteToJson(bool flag) {
  if (sectionImageParameters.empty()) FillDefaultSectionImageParameters();
  QV_ParameterFieldBase::WriteToJson(flag);
  json["StartSection"_key] = Json::StaticString(GetSectionTypeName(startSection));
  WriteChild("TerminateSetting", terminateSetting, flag);
  json["MaxThreadsInOneTask"_key] = maxThreadsInOneTask;
  WriteObjectList("SectionImageParameterArray", sectionImageParameters, flag);
}

const std::vector<std::string>& QV_TaskSettingBase::GetFormatSpecificationNames() {
  return formatSpecificationNames;
}

void* QV_TaskSettingBase::GetReserved() { return nullptr; }

std::vector<SectionType>& QV_TaskSettingBase::GetSections() { return sections; }

void QV_TaskSettingBase::SetBaseName(const std::string& text) {
  if (&text != &baseName) baseName = text;
}

void QV_TaskSettingBase::SetFormatSpecificationNames(const std::vector<std::string>& names) {
  if (&names != &formatSpecificationNames) formatSpecificationNames = names;
}

void QV_TaskSettingBase::SetSectionImageParameters(
    const std::vector<QVIP_SectionImageParameterStruct>& entries) {
  if (&entries != &sectionImageParameters) sectionImageParameters = entries;
}

void QV_TaskSettingBase::FillDefaultSectionImageParameters() {
  const std::vector<SectionType>& taskSections = GetSections();
  const auto has = [&taskSections](SectionType section) {
    return std::find(taskSections.begin(), taskSections.end(), section) != taskSections.end();
  };
  int kind = 1;  // "ip_default"
  if (has(ST_TEXT_LINE_LOCALIZATION)) {
    kind = 0;  // "ip_zqeDefault"
  } else if (has(ST_DOCUMENT_DETECTION)) {
    kind = 2;  // "ip_zqiDefault"
  }
  const std::string& imageParameterName = QV_ImageParameter::GetDefaultImageParameterName(kind);
  for (SectionType section : taskSections) {
    const bool covered = std::any_of(sectionImageParameters.begin(), sectionImageParameters.end(),
                                     [section](const QVIP_SectionImageParameterStruct& entry) {
                                       return entry.section == section;
                                     });
    if (!covered) sectionImageParameters.emplace_back(section, imageParameterName, 1);
  }
}

bool QV_TaskSettingBase::IsTerminateSettingValid() const {
  return IsStageAllowedInSection(terminateSetting.section, terminateSetting.stage);
}

QVRef<QV_ImageParameter> QV_TaskSettingBase::GetSingleImageParameter() {
  if (sectionImageParameters.empty()) FillDefaultSectionImageParameters();
  if (sectionImageParameters.empty() || !ownerDocument) return {};
  const std::string& first = sectionImageParameters.front().imageParameterName;
  for (const QVIP_SectionImageParameterStruct& entry : sectionImageParameters) {
    if (entry.imageParameterName != first) return {};
  }
  return QVRef<QV_ImageParameter>(
      ownerDocument->FindSection<QV_ImageParameter>(kImageParameters, first));
}

}  // namespace quorvane
