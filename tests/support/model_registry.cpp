#include "support/model_registry.h"

#include <string>
#include <utility>

#include "barcode/barcode_format.h"
#include "barcode/barcode_reader_task.h"
#include "barcode/decoding_modes.h"
#include "barcode/format_specification.h"
#include "barcode/task_setting.h"
#include "captureflow/flow_sections.h"
#include "captureflow/lumiflow_setting.h"
#include "captureflow/reference_object_filter.h"
#include "captureflow/target_roi.h"
#include "framework/field_test_objects.h"
#include "imageparams/image_modes.h"
#include "imageparams/image_parameter.h"
#include "imageparams/small_structures.h"
#include "legacy/legacy_barcode.h"
#include "legacy/legacy_image_parameter.h"
#include "legacy/legacy_modes.h"
#include "legacy/legacy_reader.h"
#include "legacy/legacy_region.h"

namespace quorvane::testing {

namespace {

using Factory = std::unique_ptr<QV_ParameterFieldBase> (*)(Making, const QV_ParameterFieldBase*);

template <class T, auto... kArguments>
std::unique_ptr<QV_ParameterFieldBase> Make(Making how, const QV_ParameterFieldBase* from) {
  if (how == Making::kCopy) return std::make_unique<T>(static_cast<const T&>(*from));
  auto object = std::make_unique<T>(kArguments...);
  if (how == Making::kAssign) *object = static_cast<const T&>(*from);
  return object;
}

// A legacy class read as the converter reads it, through ReadLegacyJson.
template <class T>
class LegacyRead final : public T {
 public:
  int ReadFromJson(const Json::Value& value, const SkippedKeys& /*skippedKeys*/) override {
    return T::ReadLegacyJson(value);
  }
};

struct Entry {
  std::string_view name;
  Factory make;
};

const Entry kEntries[] = {
    // Image processing
    {"QVIP_BinarizationModeStruct", &Make<QVIP_BinarizationModeStruct>},
    {"QVIP_ColourConversionModeStruct", &Make<QVIP_ColourConversionModeStruct>},
    {"QVIP_GrayscaleTransformationModeStruct", &Make<QVIP_GrayscaleTransformationModeStruct>},
    {"QVIP_GrayscaleEnhancementModeStruct", &Make<QVIP_GrayscaleEnhancementModeStruct>},
    {"QVIP_TextureDetectionModeStruct", &Make<QVIP_TextureDetectionModeStruct>},
    {"QVIP_ScaleUpModeStruct", &Make<QVIP_ScaleUpModeStruct>},
    {"QVIP_RegionPredetectionModeStruct", &Make<QVIP_RegionPredetectionModeStruct>},
    {"QVIP_TextDetectionModeStruct", &Make<QVIP_TextDetectionModeStruct>},
    {"QV_ImageParameter", &Make<QV_ImageParameter>},
    {"QV_GlobalParameter", &Make<QV_GlobalParameter>},
    {"QVIP_PDFReadingModeStruct", &Make<QVIP_PDFReadingModeStruct>},
    {"QVIP_RangeStruct(0,360)", &Make<QVIP_RangeStruct, 0, 360, 0, 360>},
    {"QVIP_RangeStruct(10,5)", &Make<QVIP_RangeStruct, 10, 5, 0, 360>},
    // Barcode
    {"QVIP_BarcodeFormatStruct", &Make<QVIP_BarcodeFormatStruct>},
    {"LocalizationModeStruct", &Make<LocalizationModeStruct>},
    {"DeblurModeStruct", &Make<DeblurModeStruct>},
    {"DPMCodeReadingModeStruct", &Make<DPMCodeReadingModeStruct>},
    {"BarcodeColourModeStruct", &Make<BarcodeColourModeStruct>},
    {"BarcodeComplementModeStruct", &Make<BarcodeComplementModeStruct>},
    {"DeformationResistingModeStruct", &Make<DeformationResistingModeStruct>},
    {"TextResultOrderModeStruct", &Make<TextResultOrderModeStruct>},
    {"BarcodeAngleRange", &Make<BarcodeAngleRange>},
    {"BarcodeBytesLengthRange", &Make<BarcodeBytesLengthRange>},
    {"BarcodeHeightRange", &Make<BarcodeHeightRange>},
    {"BarcodeTextLengthRange", &Make<BarcodeTextLengthRange>},
    {"BarcodeWidthRange", &Make<BarcodeWidthRange>},
    {"BarcodeZoneBarCountRange", &Make<BarcodeZoneBarCountRange>},
    {"ModuleSizeRange", &Make<ModuleSizeRange>},
    {"PatchCodeSearchingMarginStruct", &Make<PatchCodeSearchingMarginStruct>},
    {"ZQA_BarcodeFormatSpecification", &Make<ZQA_BarcodeFormatSpecification>},
    {"QVIP_TerminateSettingStruct", &Make<QVIP_TerminateSettingStruct>},
    {"QVIP_SectionImageParameterStruct", &Make<QVIP_SectionImageParameterStruct>},
    {"ZQA_BarcodeReaderTaskSetting", &Make<ZQA_BarcodeReaderTaskSetting>},
    // Capture flow
    {"QV_ReferenceObjectFilter", &Make<QV_ReferenceObjectFilter>},
    {"QVIP_BarcodeFilteringConditionStruct", &Make<QVIP_BarcodeFilteringConditionStruct>},
    {"QVIP_FrameFilteringConditionStruct", &Make<QVIP_FrameFilteringConditionStruct>},
    {"QVIP_TableCellFilteringConditionStruct", &Make<QVIP_TableCellFilteringConditionStruct>},
    {"QVIP_TextLineFilteringConditionStruct", &Make<QVIP_TextLineFilteringConditionStruct>},
    {"QVIP_ColourRegionFilteringConditionStruct",
     &Make<QVIP_ColourRegionFilteringConditionStruct>},
    {"QV_TargetROIDef", &Make<QV_TargetROIDef>},
    {"QV_LocationStruct", &Make<QV_LocationStruct>},
    {"QVIP_LocationOffsetStruct", &Make<QVIP_LocationOffsetStruct>},
    {"ReferenceAxis", &Make<QVIP_LocationOffsetStruct::ReferenceAxis>},
    {"QV_LumiflowSetting", &Make<QV_LumiflowSetting>},
    {"QV_DirectoryFetcherSetting", &Make<QV_DirectoryFetcherSetting>},
    {"QV_SemanticSetting", &Make<QV_SemanticSetting>},
    {"QV_OutputTaskSetting", &Make<QV_OutputTaskSetting>},
    {"OutputCondition", &Make<QV_OutputTaskSetting::OutputCondition>},
    {"TaskResult", &Make<QV_OutputTaskSetting::TaskResult>},
    {"BackwardReferenceOutput", &Make<QV_OutputTaskSetting::BackwardReferenceOutput>},
    {"QV_CodeParserTaskSetting", &Make<QV_CodeParserTaskSetting>},
    // Legacy mode structures (read with the legacy rules)
    {"OldBinarizationModeStruct", &Make<OldBinarizationModeStruct>},
    {"OldColourConversionModeStruct", &Make<OldColourConversionModeStruct>},
    {"OldScaleUpModeStruct", &Make<OldScaleUpModeStruct>},
    {"OldGrayscaleTransformationModeStruct", &Make<OldGrayscaleTransformationModeStruct>},
    {"OldTextureDetectionModeStruct", &Make<OldTextureDetectionModeStruct>},
    {"OldRegionPredetectionModeStruct", &Make<OldRegionPredetectionModeStruct>},
    {"OldDeblurModeStruct", &Make<OldDeblurModeStruct>},
    {"OldLocalizationModeStruct", &Make<OldLocalizationModeStruct>},
    {"OldDPMCodeReadingModeStruct", &Make<OldDPMCodeReadingModeStruct>},
    {"OldBarcodeColourModeStruct", &Make<OldBarcodeColourModeStruct>},
    {"OldBarcodeComplementModeStruct", &Make<OldBarcodeComplementModeStruct>},
    {"OldDeformationResistingModeStruct", &Make<OldDeformationResistingModeStruct>},
    {"OldTextResultOrderModeStruct", &Make<OldTextResultOrderModeStruct>},
    // Legacy image parameter: read as a current one, and read as a legacy object
    {"OldImageParameterReader", &Make<OldImageParameterReader>},
    {"OldImageParameterReader.ReadLegacyJson", &Make<LegacyRead<OldImageParameterReader>>},
    // The other legacy parts of a legacy template, each read as the converter reads it
    {"OldBarcodeFormatStruct", &Make<OldBarcodeFormatStruct>},
    {"OldBarcodeReaderTaskSetting.ReadLegacyJson", &Make<LegacyRead<OldBarcodeReaderTaskSetting>>},
    {"OldFormatSpecification.ReadLegacyJson", &Make<LegacyRead<OldFormatSpecification>>},
    {"OldRegionDefinition.ReadLegacyJson", &Make<LegacyRead<OldRegionDefinition>>},
    {"OldLumiflowSetting", &Make<OldLumiflowSetting>},
    // Framework: test-only objects with one key of each registrar kind
    {"Leaf", &Make<Leaf>},
    {"Top", &Make<Top>},
};

}  // namespace

std::unique_ptr<QV_ParameterFieldBase> MakeModelObject(std::string_view className, Making how,
                                                       const QV_ParameterFieldBase* from) {
  for (const Entry& entry : kEntries) {
    if (entry.name == className) return entry.make(how, from);
  }
  return nullptr;
}

std::vector<std::string_view> ModelClassNames() {
  std::vector<std::string_view> names;
  for (const Entry& entry : kEntries) names.push_back(entry.name);
  return names;
}

}  // namespace quorvane::testing
