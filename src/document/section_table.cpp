#include "document/section_table.h"

#include "barcode/barcode_reader_task.h"
#include "barcode/format_specification.h"
#include "captureflow/flow_sections.h"
#include "captureflow/lumiflow_setting.h"
#include "captureflow/target_roi.h"
#include "framework/messages.h"
#include "imageparams/image_parameter.h"
#include "imageparams/small_structures.h"

namespace quorvane {

namespace {

// The kinds the document names until their "Name" says otherwise.
template <class T>
constexpr const char* kInitialName = nullptr;
template <>
constexpr const char* kInitialName<QV_DirectoryFetcherSetting> = "fetcher_default";
template <>
constexpr const char* kInitialName<QV_SemanticSetting> = "semantic_default";

template <class T>
QVRef<QV_ParameterFieldBase> Create() {
  return NewSection<T>();
}

using R = SectionSpec::Reading;

// In the order appending treats them; the task arrays in the order their
// names are collected.
constexpr SectionSpec kSections[] = {
    {.key = "GlobalParameter",
     .reading = R::kObject,
     .readStep = 1,
     .written = true,
     .hasDefaultEntry = true,
     .create = &Create<QV_GlobalParameter>},
    {.key = "ImageParameterOptions",
     .reading = R::kWithBase,
     .readStep = 2,
     .collection = kImageParameters,
     .baseKey = "BaseImageParameterName",
     .written = true,
     .hasDefaultEntry = true,
     .create = &Create<QV_ImageParameter>},
    {.key = "LumiflowTemplates",
     .reading = R::kPlain,
     .readStep = 3,
     .collection = kLumiflowTemplates,
     .elementLabel = "Lumiflow",
     .duplicateText = texts::kLumiflowNameDuplicated,
     .written = true,
     .hasDefaultEntry = true,
     .create = &Create<QV_LumiflowSetting>},
    {.key = "TargetROIDefOptions",
     .reading = R::kWithBase,
     .readStep = 4,
     .collection = kTargetROIDefs,
     .baseKey = "BaseTargetROIDefName",
     .written = true,
     .hasDefaultEntry = true,
     .create = &Create<QV_TargetROIDef>},
    {.key = "SemanticProcessingOptions",
     .reading = R::kPlain,
     .readStep = 5,
     .collection = kSemanticProcessing,
     .elementLabel = "SemanticProcessing",
     .duplicateText = texts::kSemanticSettingNameDuplicated,
     .create = &Create<QV_SemanticSetting>},
    {.key = "BarcodeReaderTaskSettingOptions",
     .collection = kBarcodeReaderTasks,
     .taskKind = kBarcodeReaderTask,
     .baseKey = "BaseBarcodeReaderTaskSettingName",
     .written = true,
     .create = &Create<ZQA_BarcodeReaderTaskSetting>},
    {.key = "LabelRecognizerTaskSettingOptions", .taskKind = kLabelRecognizerTask},
    {.key = "DocumentNormalizerTaskSettingOptions", .taskKind = kDocumentNormalizerTask},
    {.key = "CodeParserTaskSettingOptions",
     .reading = R::kPlain,
     .readStep = 7,
     .collection = kCodeParserTasks,
     .taskKind = kCodeParserTask,
     .duplicateText = texts::kCodeParserTaskNameDuplicated,
     .create = &Create<QV_CodeParserTaskSetting>},
    {.key = "OutputTaskSettingOptions",
     .reading = R::kPlain,
     .readStep = 8,
     .collection = kOutputTasks,
     .taskKind = kOutputTask,
     .create = &Create<QV_OutputTaskSetting>},
    // Only directory fetchers can be read so far.
    {.key = "ImageSourceOptions",
     .reading = R::kPlain,
     .readStep = 6,
     .collection = kImageSources,
     .elementLabel = "ImageSourceOption",
     .duplicateText = texts::kImageSourceNameDuplicated,
     .create = &Create<QV_DirectoryFetcherSetting>},
    {.key = "TextLineSpecificationOptions"},
    {.key = "BarcodeFormatSpecificationOptions",
     .collection = kBarcodeFormatSpecifications,
     .baseKey = "BaseBarcodeFormatSpecification",
     .written = true,
     .create = &Create<ZQA_BarcodeFormatSpecification>},
    {.key = "CharacterModelOptions"},
};

}  // namespace

template <class T>
QVRef<T> NewSection(const T* base) {
  QVRef<T> section = base != nullptr ? MakeRef<T>(*base) : MakeRef<T>();
  if constexpr (kInitialName<T> != nullptr) section->name = kInitialName<T>;
  return section;
}

template QVRef<QV_GlobalParameter> NewSection(const QV_GlobalParameter*);
template QVRef<QV_ImageParameter> NewSection(const QV_ImageParameter*);
template QVRef<QV_LumiflowSetting> NewSection(const QV_LumiflowSetting*);
template QVRef<QV_TargetROIDef> NewSection(const QV_TargetROIDef*);
template QVRef<QV_SemanticSetting> NewSection(const QV_SemanticSetting*);
template QVRef<ZQA_BarcodeReaderTaskSetting> NewSection(const ZQA_BarcodeReaderTaskSetting*);
template QVRef<QV_CodeParserTaskSetting> NewSection(const QV_CodeParserTaskSetting*);
template QVRef<QV_OutputTaskSetting> NewSection(const QV_OutputTaskSetting*);
template QVRef<QV_DirectoryFetcherSetting> NewSection(const QV_DirectoryFetcherSetting*);
template QVRef<ZQA_BarcodeFormatSpecification> NewSection(const ZQA_BarcodeFormatSpecification*);

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
