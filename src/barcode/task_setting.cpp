#include "barcode/task_setting.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "framework/field_mapping.h"

namespace quorvane {

namespace {

constexpr EnumEntry kSectionTypes[] = {
    QV_ENUM_ENTRY(ST_NULL),
    QV_ENUM_ENTRY(ST_REGION_PREDETECTION),
    QV_ENUM_ENTRY(ST_TEXT_LINE_LOCALIZATION),
    QV_ENUM_ENTRY(ST_TEXT_LINE_RECOGNITION),
    QV_ENUM_ENTRY(ST_BARCODE_LOCALIZATION),
    QV_ENUM_ENTRY(ST_BARCODE_DECODING),
    QV_ENUM_ENTRY(ST_DOCUMENT_DETECTION),
    QV_ENUM_ENTRY(ST_DOCUMENT_NORMALIZATION),
};

// Short names of the sections, read before the full ones: the names
// without "ST_", but for "ST_NULL", which keeps it.
EnumTable SectionTypeShortNames() {
  static const std::vector<EnumEntry> table = [] {
    constexpr std::size_t kPrefix = std::char_traits<char>::length("ST_");
    std::vector<EnumEntry> names;
    for (const EnumEntry& entry : kSectionTypes) {
      names.push_back({entry.value == ST_NULL ? entry.name : entry.name + kPrefix, entry.value});
    }
    return names;
  }();
  return table;
}


constexpr EnumEntry kStageTypes[] = {
    QV_ENUM_ENTRY(IRUT_NULL),
    QV_ENUM_ENTRY(IRUT_COLOUR_IMAGE),
    QV_ENUM_ENTRY(IRUT_SCALED_DOWN_COLOUR_IMAGE),
    QV_ENUM_ENTRY(IRUT_GRAYSCALE_IMAGE),
    QV_ENUM_ENTRY(IRUT_TRANSFORMED_GRAYSCALE_IMAGE),
    QV_ENUM_ENTRY(IRUT_ENHANCED_GRAYSCALE_IMAGE),
    QV_ENUM_ENTRY(IRUT_PREDETECTED_REGIONS),
    QV_ENUM_ENTRY(IRUT_BINARY_IMAGE),
    QV_ENUM_ENTRY(IRUT_TEXTURE_DETECTION_RESULT),
    QV_ENUM_ENTRY(IRUT_TEXTURE_REMOVED_GRAYSCALE_IMAGE),
    QV_ENUM_ENTRY(IRUT_TEXTURE_REMOVED_BINARY_IMAGE),
    QV_ENUM_ENTRY(IRUT_CONTOURS),
    QV_ENUM_ENTRY(IRUT_LINE_SEGMENTS),
    QV_ENUM_ENTRY(IRUT_TEXT_ZONES),
    QV_ENUM_ENTRY(IRUT_TEXT_REMOVED_BINARY_IMAGE),
    QV_ENUM_ENTRY(IRUT_CANDIDATE_BARCODE_ZONES),
    QV_ENUM_ENTRY(IRUT_LOCALIZED_BARCODES),
    QV_ENUM_ENTRY(IRUT_SCALED_UP_BARCODE_IMAGE),
    QV_ENUM_ENTRY(IRUT_DEFORMATION_RESISTED_BARCODE_IMAGE),
    QV_ENUM_ENTRY(IRUT_COMPLEMENTED_BARCODE_IMAGE),
    QV_ENUM_ENTRY(IRUT_DECODED_BARCODES),
    QV_ENUM_ENTRY(IRUT_LONG_LINES),
    QV_ENUM_ENTRY(IRUT_CORNERS),
    QV_ENUM_ENTRY(IRUT_CANDIDATE_QUAD_EDGES),
    QV_ENUM_ENTRY(IRUT_DETECTED_QUADS),
    QV_ENUM_ENTRY(IRUT_LOCALIZED_TEXT_LINES),
    QV_ENUM_ENTRY(IRUT_RECOGNIZED_TEXT_LINES),
    QV_ENUM_ENTRY(IRUT_NORMALIZED_IMAGES),
    QV_ENUM_ENTRY(IRUT_SHORT_LINES),
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

}  // namespace

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

QVIP_TerminateSettingStruct::QVIP_TerminateSettingStruct() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QVIP_TerminateSettingStruct::Mapping() {
  using S = QVIP_TerminateSettingStruct;
  static const ClassMapping mapping =
      Mapper<S>("TerminateSetting")
          .Enum("Section", &S::section, ST_NULL, kSectionTypes, kNoFlags,
                {.aliases = SectionTypeShortNames()})
          .Enum("Stage", &S::stage, IRUT_NULL, kStageTypes)
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Section image parameter

QVIP_SectionImageParameterStruct::QVIP_SectionImageParameterStruct() {
  ApplyDefaults(Mapping(), *this);
}

QVIP_SectionImageParameterStruct::QVIP_SectionImageParameterStruct(
    SectionType section, std::string imageParameterName, int continueWhenPartialResultsGenerated)
    : QVIP_SectionImageParameterStruct() {
  this->section = section;
  this->imageParameterName = std::move(imageParameterName);
  this->continueWhenPartialResultsGenerated = continueWhenPartialResultsGenerated;
}

const ClassMapping& QVIP_SectionImageParameterStruct::Mapping() {
  using S = QVIP_SectionImageParameterStruct;
  static const ClassMapping mapping =
      Mapper<S>("SectionImageParameter")
          .Enum("Section", &S::section, ST_NULL, kSectionTypes, kNoFlags,
                {.aliases = SectionTypeShortNames()})
          .Text("ImageParameterName", &S::imageParameterName,
                QV_ImageParameter::GetDefaultImageParameterName(1).c_str())
          .RefersTo(kImageParameters)
          .Int("ContinueWhenPartialResultsGenerated", &S::continueWhenPartialResultsGenerated, 1,
               0, 1)
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Task setting base

QV_TaskSettingBase::QV_TaskSettingBase() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QV_TaskSettingBase::Mapping() {
  using S = QV_TaskSettingBase;
  // An accepted array replaces the whole list, as SetSectionImageParameters does.
  static const ClassMapping mapping =
      Mapper<S>("TaskSetting")
          .RegisterCommonFields()
          .Int("MaxThreadsInOneTask", &S::maxThreadsInOneTask, 4, 1, 256)
          .Note("How many threads the task may use")
          .ObjectList("SectionImageParameterArray", &S::sectionImageParameters, kEmptyAllowed)
          .Enum("StartSection", &S::startSection, ST_REGION_PREDETECTION, kSectionTypes, kNoFlags,
                {.aliases = SectionTypeShortNames()})
          .Object("TerminateSetting", &S::terminateSetting, kNoFlags, std::nullopt,
                  {.typeNamedByKey = true})
          .Note("Where the task may stop: a section and a stage")
          .Build();
  return mapping;
}

const std::string& QV_TaskSettingBase::GetBaseName() const { return baseName; }

int QV_TaskSettingBase::ReadFromJson(const Json::Value& value, const SkippedKeys& skippedKeys) {
  const int result = QV_ParameterFieldBase::ReadFromJson(value, skippedKeys);
  FillDefaultSectionImageParameters();
  // Each field may be fine on its own while the pair is not; the message of
  // a field's failure stays.
  if (const Failure pair = CheckTerminateSetting()) return pair.code;
  return result;
}

void QV_TaskSettingBase::WriteToJson(bool flag) {
  if (sectionImageParameters.empty()) FillDefaultSectionImageParameters();
  QV_ParameterFieldBase::WriteToJson(flag);
}

void QV_TaskSettingBase::WriteText(StyledText& text, bool flag) {
  if (sectionImageParameters.empty()) FillDefaultSectionImageParameters();
  QV_ParameterFieldBase::WriteText(text, flag);
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

Failure QV_TaskSettingBase::CheckTerminateSetting() const {
  if (IsStageAllowedInSection(terminateSetting.section, terminateSetting.stage)) return {};
  return Failure::Of(errors::kJsonValueInvalid,
                     CodeMessage("TerminateSetting", errors::kJsonValueInvalid))
      .Within(GetTypeName());
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
