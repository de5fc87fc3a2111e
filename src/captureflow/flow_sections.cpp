#include "captureflow/flow_sections.h"

#include "framework/document_base.h"
#include "framework/field_mapping.h"

namespace quorvane {

namespace {

using enum QV_ImageSourceSetting::Type;
using enum QV_OutputTaskSetting::Operator;
constexpr EnumEntry kImageSourceTypes[] = {QV_ENUM_ENTRY(IST_DIRECTORY_FETCHER),
                                           QV_ENUM_ENTRY(IST_CAMERA_ENHANCER),
                                           QV_ENUM_ENTRY(IST_SCANNER_CONNECTOR)};
constexpr EnumEntry kOperators[] = {{"AND", OPERATOR_AND}, {"OR", OPERATOR_OR}};
constexpr Quirks kOperatorQuirks{.refusal = Refusal::kTextOnly, .exact = true};

}  // namespace

// ---------------------------------------------------------------------------
// Image source

EnumTable QV_ImageSourceSetting::TypeNames() { return kImageSourceTypes; }

QV_DirectoryFetcherSetting::QV_DirectoryFetcherSetting() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QV_DirectoryFetcherSetting::Mapping() {
  using S = QV_DirectoryFetcherSetting;
  // Negative pages are refused by Validate, after the whole object is read.
  static const ClassMapping mapping =
      Mapper<S>("DirectoryFetcher")
          .RegisterCommonFields()
          .Enum("Type", &S::type, IST_DIRECTORY_FETCHER, kImageSourceTypes)
          .Text("DirectoryPath", &S::directoryPath)
          .Text("FileFilter", &S::fileFilter)
          .Int("Recursive", &S::recursive, 1, 0, 1)
          .Object("PDFReadingMode", &S::pdfReadingMode)
          .IntList("Pages", &S::pages)
          .Build();
  return mapping;
}

int QV_DirectoryFetcherSetting::Validate() {
  for (int page : pages) {
    if (page < 0) return FailWithKey(GetTypeName(), errors::kJsonValueInvalid);
  }
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// Semantic setting

QV_SemanticSetting::QV_SemanticSetting() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QV_SemanticSetting::Mapping() {
  using S = QV_SemanticSetting;
  static const ClassMapping mapping =
      Mapper<S>("SemanticSetting")
          .RegisterCommonFields()
          .TextList("TaskSettingNameArray", &S::taskSettingNames)
          .RefersTo(kAnyTask)
          .OptionalObject("ReferenceObjectFilter", &S::referenceObjectFilter,
                          kMadeWhenNull | kKeepsMessage)
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Output task

const ClassMapping& QV_OutputTaskSetting::BackwardReferenceOutput::Mapping() {
  using S = BackwardReferenceOutput;
  static const ClassMapping mapping =
      Mapper<S>("BackwardReferenceOutput")
          .TextList("ReferenceTaskNameArray", &S::referenceTaskNames)
          .RefersTo(kAnyTask)
          .NameList("ReferenceResultTypeArray", &S::referenceResultTypes, {},
                    AtomicResultTypeNames())
          .Build();
  return mapping;
}

QV_OutputTaskSetting::TaskResult::TaskResult() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QV_OutputTaskSetting::TaskResult::Mapping() {
  using S = TaskResult;
  static const ClassMapping mapping =
      Mapper<S>("TaskResult")
          .Text("TargetROIDefName", &S::targetROIDefName)
          .RefersTo(kTargetROIDefs)
          .TextList("TaskSettingNameArray", &S::taskSettingNames)
          .RefersTo(kAnyTask)
          .Enum("Operator", &S::operatorType, OPERATOR_AND, kOperators, kNoFlags, kOperatorQuirks)
          .Object("BackwardReferenceOutput", &S::backwardReferenceOutput)
          .Build();
  return mapping;
}

QV_OutputTaskSetting::OutputCondition::OutputCondition() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QV_OutputTaskSetting::OutputCondition::Mapping() {
  using S = OutputCondition;
  static const ClassMapping mapping =
      Mapper<S>("OutputCondition")
          .ObjectList("TaskResultArray", &S::taskResults, kEmptyAllowed)
          .Enum("Operator", &S::operatorType, OPERATOR_AND, kOperators, kNoFlags, kOperatorQuirks)
          .Build();
  return mapping;
}

const ClassMapping& QV_OutputTaskSetting::Mapping() {
  using S = QV_OutputTaskSetting;
  static const ClassMapping mapping = Mapper<S>("OutputTaskSetting")
                                          .RegisterCommonFields()
                                          .Object("OutputCondition", &S::outputCondition)
                                          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Code parser task

const ClassMapping& QV_CodeParserTaskSetting::Mapping() {
  using S = QV_CodeParserTaskSetting;
  static const ClassMapping mapping = Mapper<S>("CodeParserTaskSetting")
                                          .RegisterCommonFields()
                                          .Text("ResourcesPath", &S::resourcesPath)
                                          .TextList("CodeSpecifications", &S::codeSpecifications)
                                          .Build();
  return mapping;
}

}  // namespace quorvane
