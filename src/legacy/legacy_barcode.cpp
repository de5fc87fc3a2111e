#include "legacy/legacy_barcode.h"

#include <string_view>

#include "framework/enum_table.h"
#include "legacy/legacy_region.h"

namespace quorvane {

namespace {

constexpr std::string_view kFormatIdsKey = "BarcodeFormatIds";
constexpr std::string_view kFormatIds2Key = "BarcodeFormatIds_2";
constexpr std::string_view kTerminatePhaseKey = "TerminatePhase";

// In the legacy first-word list "BF_ALL" meant the formats of that word only.
constexpr BarcodeFormatMask kLegacyFormatAll = 0xFE3FFFFFull;

// Where a legacy task stopped, as the section and stage of the current format.
struct TerminatePhase {
  const char* name;
  SectionType section;
  StageType stage;
};
constexpr TerminatePhase kTerminatePhases[] = {
    {"TP_REGION_PREDETECTED", ST_REGION_PREDETECTION, IRUT_PREDETECTED_REGIONS},
    {"TP_IMAGE_PREPROCESSED", ST_BARCODE_LOCALIZATION, IRUT_ENHANCED_GRAYSCALE_IMAGE},
    {"TP_IMAGE_BINARIZED", ST_BARCODE_LOCALIZATION, IRUT_BINARY_IMAGE},
    {"TP_BARCODE_LOCALIZED", ST_BARCODE_LOCALIZATION, IRUT_CANDIDATE_BARCODE_ZONES},
    {"TP_BARCODE_TYPE_DETERMINED", ST_BARCODE_LOCALIZATION, IRUT_LOCALIZED_BARCODES},
    {"TP_BARCODE_RECOGNIZED", ST_BARCODE_DECODING, IRUT_DECODED_BARCODES},
};

// Matched as every enumerated name is: case-insensitive, spaces around ignored.
const TerminatePhase* FindTerminatePhase(std::string_view text) {
  text = TrimSpaces(text);
  for (const TerminatePhase& phase : kTerminatePhases) {
    if (EqualsIgnoringCase(text, phase.name)) return &phase;
  }
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Format lists

void OldBarcodeFormatStruct::InitFieldTable() {
  RegisterField(kFormatIdsKey, [this](const Json::Value& object) {
    int error = errors::kSuccess;
    const QVRef<QVVector<std::string_view>> names =
        GetStringArrayValue(object, kFormatIdsKey, error);
    if (error != errors::kSuccess) return error;
    if (!names) return errors::kSuccess;
    barcodeFormatIds = BF_NULL;
    for (std::string_view text : names->items) {
      const BarcodeFormatMask mask = ParseBarcodeFormatName(text);
      if (mask == kBarcodeFormatNotFound) {
        errorMessage.clear();
        return errors::kJsonValueInvalid;
      }
      barcodeFormatIds |= mask == BF_ALL ? kLegacyFormatAll : mask;
    }
    return errors::kSuccess;
  });
  RegisterField(kFormatIds2Key, [this](const Json::Value& object) {
    int error = errors::kSuccess;
    const QVRef<QVVector<std::string_view>> names =
        GetStringArrayValue(object, kFormatIds2Key, error);
    if (error != errors::kSuccess) return error;
    if (!names) return errors::kSuccess;
    for (std::string_view text : names->items) {
      if (text == "BF2_NULL") continue;
      if (text == "BF2_ALL") {
        barcodeFormatIds |= kLegacyFormat2All;
        break;
      }
      const std::optional<BarcodeFormatMask> mask = LookupLegacyFormatName2(text);
      if (!mask) {
        errorMessage.clear();
        return errors::kJsonValueInvalid;
      }
      barcodeFormatIds |= *mask;
    }
    return errors::kSuccess;
  });
}

// ---------------------------------------------------------------------------
// Shared reading

int ReadLegacyObject(QV_ParameterFieldBase& object, OldBarcodeFormatStruct& formats,
                     const Json::Value& value) {
  object.InitFieldTable();
  if (!value.isObject() && !value.isNull()) {
    object.errorMessage = object.GetTypeName() + ":" + object.errorMessage;
    return errors::kJsonTypeInvalid;
  }
  int result = formats.ReadFromJson(value, NoSkippedKeys());
  if (result != errors::kSuccess) {
    object.errorMessage = formats.errorMessage;
    return result;
  }
  return object.ReadFields(value, NoSkippedKeys(), true);
}

// ---------------------------------------------------------------------------
// Barcode reader task

void OldBarcodeReaderTaskSetting::InitFieldTable() {
  ZQA_BarcodeReaderTaskSetting::InitFieldTable();
  RegisterField(kTerminatePhaseKey, [this](const Json::Value& object) {
    int error = errors::kSuccess;
    const std::string_view text = GetStringValue(object, kTerminatePhaseKey, error);
    if (error != errors::kSuccess) return error;
    const TerminatePhase* phase = FindTerminatePhase(text);
    if (!phase) return FailWithKey(kTerminatePhaseKey, errors::kJsonValueInvalid);
    terminateSetting.section = phase->section;
    terminateSetting.stage = phase->stage;
    return errors::kSuccess;
  });
  RegisterIntField("MaxAlgorithmThreadCount", &maxThreadsInOneTask, 1, 256);
  RegisterStringArrayField("FormatSpecificationNameArray", &formatSpecificationNames, true);
  RegisterStringArrayField("RegionDefinitionNameArray", &regionDefinitionNames, true);
  ForEachModeList([this](const char* key, auto& list, bool allowEmpty) {
    using Current = typename std::decay_t<decltype(list)>::value_type;
    RegisterObjectListField(key, &LegacyModes<Current>(), allowEmpty);
  });
}

int OldBarcodeReaderTaskSetting::ReadLegacyJson(const Json::Value& value, std::string& message) {
  int result = ReadLegacyObject(*this, legacyBarcodeFormat, value);
  // A current "TerminateSetting" may pair a stage with a section it cannot
  // end; the task's own reader refuses such a pair, so no output may hold it.
  if (result == errors::kSuccess && !IsTerminateSettingValid()) {
    errorMessage = GetTypeName() + ":TerminateSetting:" + GetErrorString(errors::kJsonValueInvalid);
    result = errors::kJsonValueInvalid;
  }
  if (result != errors::kSuccess) {
    message = errorMessage;
    return result;
  }
  barcodeFormat.barcodeFormatIds = legacyBarcodeFormat.barcodeFormatIds;
  ForEachModeList([this](const char* /*key*/, auto& list, bool /*allowEmpty*/) {
    using Current = typename std::decay_t<decltype(list)>::value_type;
    TransferLegacyModes(LegacyModes<Current>(), list);
  });
  return errors::kSuccess;
}

std::size_t OldBarcodeReaderTaskSetting::CopyUnits() {
  std::size_t elements = sectionImageParameters.size();
  ForEachModeList([&elements](const char* /*key*/, auto& list, bool /*allowEmpty*/) {
    elements += list.size();
  });
  return formatSpecificationNames.size() + elements * ConversionBudget::kElementUnits;
}

// ---------------------------------------------------------------------------
// Format specification

void OldFormatSpecification::InitFieldTable() {
  ZQA_BarcodeFormatSpecification::InitFieldTable();
  RegisterObjectListField("BarcodeComplementModes", &legacyBarcodeComplementModes, true);
  RegisterObjectListField("DeformationResistingModes", &legacyDeformationResistingModes, true);
}

int OldFormatSpecification::ReadLegacyJson(const Json::Value& value, std::string& message) {
  const int result = ReadLegacyObject(*this, legacyBarcodeFormat, value);
  if (result != errors::kSuccess) {
    message = errorMessage;
    return result;
  }
  barcodeFormatIds.barcodeFormatIds = legacyBarcodeFormat.barcodeFormatIds;
  TransferLegacyModes(legacyBarcodeComplementModes, barcodeComplementModes);
  TransferLegacyModes(legacyDeformationResistingModes, deformationResistingModes);
  return errors::kSuccess;
}

}  // namespace quorvane
