#include "legacy/legacy_barcode.h"

#include <string_view>

#include "framework/enum_table.h"
#include "framework/field_mapping.h"
#include "framework/key_accounting.h"
#include "legacy/legacy_modes.h"
#include "legacy/legacy_region.h"

namespace quorvane {

namespace {

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

// "TerminatePhase": the section and stage of the task's terminate setting,
// by a legacy name matched as every enumerated name is.
int ReadTerminatePhase(const ConvertedField& field, QV_ParameterFieldBase& object,
                       const Json::Value& container) {
  int error = errors::kSuccess;
  const std::string_view text = TrimSpaces(object.GetStringValue(container, field.Key(), error));
  if (error != errors::kSuccess) return error;
  for (const TerminatePhase& phase : kTerminatePhases) {
    if (EqualsIgnoringCase(text, phase.name)) {
      QVIP_TerminateSettingStruct& terminate =
          static_cast<QV_TaskSettingBase&>(object).terminateSetting;
      terminate.section = phase.section;
      terminate.stage = phase.stage;
      return errors::kSuccess;
    }
  }
  return object.FailWithKey(field.Key(), errors::kJsonValueInvalid);
}

// "BarcodeFormatIds_2": second-word formats added by their exact "BF2_"
// names; "BF2_NULL" adds nothing, "BF2_ALL" adds them all and ends the list.
int ReadSecondFormatList(const ConvertedField& field, QV_ParameterFieldBase& object,
                         const Json::Value& container) {
  BarcodeFormatMask& mask = static_cast<QVIP_BarcodeFormatStruct&>(object).barcodeFormatIds;
  return field_kinds::WithNames(
      object, container, field.Key(), [&](const std::vector<std::string_view>& names) {
        for (std::size_t i = 0; i < names.size(); ++i) {
          const std::string_view text = names[i];
          if (text == "BF2_NULL") continue;
          if (text == "BF2_ALL") {
            mask |= LegacyFormat2AllMask();
            if (RecordingChanges()) {
              const Json::Value& given = *FindMember(container, field.Key());
              for (auto k = static_cast<Json::ArrayIndex>(i) + 1; k < given.size(); ++k) {
                RecordChange(given[k], Json::Value(), "after BF2_ALL; ignored");
              }
            }
            break;
          }
          const std::optional<BarcodeFormatMask> bits = LookupLegacyFormatName2(text);
          if (!bits) {
            object.errorMessage.clear();
            return errors::kJsonValueInvalid;
          }
          mask |= *bits;
        }
        return errors::kSuccess;
      });
}

}  // namespace

// ---------------------------------------------------------------------------
// Format lists

const ClassMapping& OldBarcodeFormatStruct::Mapping() {
  using S = QVIP_BarcodeFormatStruct;
  static const ClassMapping mapping =
      Mapper<S>(S::Mapping().TypeName())
          .IgnoringUnknownKeys()
          .RegisterField(std::make_shared<FormatMaskField<S>>("BarcodeFormatIds", &S::barcodeFormatIds,
                                                    BF_DEFAULT, kLegacyFormatAll))
          .RegisterField(
              std::make_shared<ConvertedField>("BarcodeFormatIds_2", &ReadSecondFormatList))
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Shared reading

int ReadLegacyObject(QV_ParameterFieldBase& object, const Json::Value& value) {
  object.BindForRead(object.GetMapping());
  if (!value.isObject() && !value.isNull()) {
    object.PrefixMessage(object.GetTypeName());
    return errors::kJsonTypeInvalid;
  }
  const int result = object.ReadFirstFields(value, NoSkippedKeys());
  if (result != errors::kSuccess) return result;
  return object.ReadFields(value, NoSkippedKeys(), true);
}

// ---------------------------------------------------------------------------
// Barcode reader task

const ClassMapping& OldBarcodeReaderTaskSetting::Mapping() {
  using S = OldBarcodeReaderTaskSetting;
  const ClassMapping& current = ZQA_BarcodeReaderTaskSetting::Mapping();
  static const ClassMapping mapping = [&current] {
    Mapper<S> mapper(current.TypeName());
    mapper.Include(current)
        .Inline("BarcodeFormatIds", &S::legacyBarcodeFormat)
        .RegisterField(std::make_shared<ConvertedField>("TerminatePhase", &ReadTerminatePhase))
        .OlderName("MaxAlgorithmThreadCount", "MaxThreadsInOneTask")
        .OlderName("FormatSpecificationNameArray", "BarcodeFormatSpecificationNameArray",
                   kEmptyAllowed | kNeverWritten)
        .TextList("RegionDefinitionNameArray", &S::regionDefinitionNames,
                  kEmptyAllowed | kNeverWritten);
    for (FieldPointer& list : LegacyModeLists(current)) mapper.RegisterField(std::move(list));
    return mapper.Build();
  }();
  return mapping;
}

int OldBarcodeReaderTaskSetting::ReadLegacyJson(const Json::Value& value) {
  int result = ReadLegacyObject(*this, value);
  // A current "TerminateSetting" may pair a stage with a section it cannot
  // end; the task's own reader refuses such a pair, so no output may hold it.
  if (result == errors::kSuccess) {
    if (const Failure pair = CheckTerminateSetting()) {
      errorMessage = pair.Message();
      result = pair.code;
    }
  }
  if (result == errors::kSuccess) barcodeFormat.barcodeFormatIds = legacyBarcodeFormat.barcodeFormatIds;
  return result;
}

std::size_t OldBarcodeReaderTaskSetting::CopyUnits() const {
  // The elements of the task's lists of objects (its mode lists).
  std::vector<const QV_ParameterFieldBase*> elements;
  for (const FieldPointer& field : ZQA_BarcodeReaderTaskSetting::Mapping().Fields()) {
    if (field->ElementUnits() != 0) field->AppendNested(*this, elements);
  }
  return formatSpecificationNames.size() + elements.size() * ConversionBudget::kElementUnits;
}

// ---------------------------------------------------------------------------
// Format specification

const ClassMapping& OldFormatSpecification::Mapping() {
  using S = OldFormatSpecification;
  const ClassMapping& current = ZQA_BarcodeFormatSpecification::Mapping();
  static const ClassMapping mapping = [&current] {
    Mapper<S> mapper(current.TypeName());
    mapper.Include(current).Inline("BarcodeFormatIds", &S::legacyBarcodeFormat);
    for (FieldPointer& list : LegacyModeLists(current)) mapper.RegisterField(std::move(list));
    return mapper.Build();
  }();
  return mapping;
}

int OldFormatSpecification::ReadLegacyJson(const Json::Value& value) {
  const int result = ReadLegacyObject(*this, value);
  if (result == errors::kSuccess) {
    barcodeFormatIds.barcodeFormatIds = legacyBarcodeFormat.barcodeFormatIds;
  }
  return result;
}

}  // namespace quorvane
