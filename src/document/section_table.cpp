#include "document/section_table.h"

#include "barcode/barcode_reader_task.h"
#include "barcode/format_specification.h"
#include "captureflow/flow_sections.h"
#include "captureflow/lumiflow_setting.h"
#include "captureflow/target_roi.h"
#include "imageparams/image_parameter.h"
#include "imageparams/small_structures.h"

namespace quorvane {

namespace {

template <class T>
QVRef<QV_ParameterFieldBase> Create(const QV_ParameterFieldBase* base) {
  const T* typed = dynamic_cast<const T*>(base);
  return typed != nullptr ? MakeRef<T>(*typed) : MakeRef<T>();
}

// A section that the document names until its "Name" says otherwise.
template <class T, const char* kName>
QVRef<QV_ParameterFieldBase> CreateNamed(const QV_ParameterFieldBase* base) {
  QVRef<QV_ParameterFieldBase> section = Create<T>(base);
  section->name = kName;
  return section;
}

constexpr char kFetcherDefault[] = "fetcher_default";
constexpr char kSemanticDefault[] = "semantic_default";

using R = SectionSpec::Reading;

// In the order appending treats them; the task arrays in the order their
// names are collected.
constexpr SectionSpec kSections[] = {
    {"GlobalParameter", R::kObject, 1, kNoCollection, kNotATask, "GlobalParameter", nullptr,
     nullptr, true, true, &Create<QV_GlobalParameter>},
    {"ImageParameterOptions", R::kWithBase, 2, kImageParameters, kNotATask,
     "ImageParameterOptions", nullptr, "BaseImageParameterName", true, true,
     &Create<QV_ImageParameter>},
    {"LumiflowTemplates", R::kPlain, 3, kLumiflowTemplates, kNotATask, "Lumiflow",
     "Lumiflow has duplicated name", nullptr, true, true, &Create<QV_LumiflowSetting>},
    {"TargetROIDefOptions", R::kWithBase, 4, kTargetROIDefs, kNotATask, "TargetROIDefOptions",
     nullptr, "BaseTargetROIDefName", true, true, &Create<QV_TargetROIDef>},
    {"SemanticProcessingOptions", R::kPlain, 5, kSemanticProcessing, kNotATask,
     "SemanticProcessing", "SemanticSettings has duplicated name", nullptr, false, false,
     &CreateNamed<QV_SemanticSetting, kSemanticDefault>},
    {"BarcodeReaderTaskSettingOptions", R::kApart, 0, kBarcodeReaderTasks, kBarcodeReaderTask,
     "BarcodeReaderTaskSettingOptions", nullptr, "BaseBarcodeReaderTaskSettingName", true, false,
     &Create<ZQA_BarcodeReaderTaskSetting>},
    {"LabelRecognizerTaskSettingOptions", R::kApart, 0, kNoCollection, kLabelRecognizerTask,
     "LabelRecognizerTaskSettingOptions", nullptr, nullptr, false, false, nullptr},
    {"DocumentNormalizerTaskSettingOptions", R::kApart, 0, kNoCollection, kDocumentNormalizerTask,
     "DocumentNormalizerTaskSettingOptions", nullptr, nullptr, false, false, nullptr},
    {"CodeParserTaskSettingOptions", R::kPlain, 7, kCodeParserTasks, kCodeParserTask,
     "CodeParserTaskSettingOptions", "CodeParserTaskSettingOptions has duplicated name", nullptr,
     false, false, &Create<QV_CodeParserTaskSetting>},
    {"OutputTaskSettingOptions", R::kPlain, 8, kOutputTasks, kOutputTask,
     "OutputTaskSettingOptions", nullptr, nullptr, false, false, &Create<QV_OutputTaskSetting>},
    // Only directory fetchers can be read so far.
    {"ImageSourceOptions", R::kPlain, 6, kImageSources, kNotATask, "ImageSourceOption",
     "ImageSourceOption has duplicated name", nullptr, false, false,
     &CreateNamed<QV_DirectoryFetcherSetting, kFetcherDefault>},
    {"TextLineSpecificationOptions", R::kApart, 0, kNoCollection, kNotATask,
     "TextLineSpecificationOptions", nullptr, nullptr, false, false, nullptr},
    {"BarcodeFormatSpecificationOptions", R::kApart, 0, kBarcodeFormatSpecifications, kNotATask,
     "BarcodeFormatSpecificationOptions", nullptr, "BaseBarcodeFormatSpecification", true, false,
     &Create<ZQA_BarcodeFormatSpecification>},
    {"CharacterModelOptions", R::kApart, 0, kNoCollection, kNotATask, "CharacterModelOptions",
     nullptr, nullptr, false, false, nullptr},
};

}  // namespace

std::span<const SectionSpec> SectionTable() { return kSections; }

const SectionSpec* FindSectionSpec(std::string_view key) {
  for (const SectionSpec& section : kSections) {
    if (section.key == key) return &section;
  }
  return nullptr;
}

bool IsTemplateSectionKey(std::string_view key) {
  const SectionSpec* section = FindSectionSpec(key);
  return section != nullptr && section->written;
}

bool HasTemplateSection(const Json::Value& root) {
  for (const SectionSpec& section : kSections) {
    if (section.written && FindMember(root, section.key) != nullptr) return true;
  }
  return false;
}

}  // namespace quorvane
