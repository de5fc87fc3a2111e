#include "captureflow/flow_sections.h"

namespace quorvane {

namespace {

constexpr EnumEntry kImageSourceTypes[] = {
    {"IST_DIRECTORY_FETCHER", QV_ImageSourceSetting::IST_DIRECTORY_FETCHER},
    {"IST_CAMERA_ENHANCER", QV_ImageSourceSetting::IST_CAMERA_ENHANCER},
    {"IST_SCANNER_CONNECTOR", QV_ImageSourceSetting::IST_SCANNER_CONNECTOR}};

// "AND" or "OR", exactly; anything else, the empty text of null included, is
// refused with the bare text of the code.
int ReadOperator(QV_ParameterFieldBase& owner, const Json::Value& object, int& member) {
  int error = errors::kSuccess;
  const std::string_view text = owner.GetStringValue(object, "Operator", error);
  if (error != errors::kSuccess) return error;
  if (text == "AND") {
    member = QV_OutputTaskSetting::OPERATOR_AND;
  } else if (text == "OR") {
    member = QV_OutputTaskSetting::OPERATOR_OR;
  } else {
    owner.errorMessage = GetErrorString(errors::kJsonValueInvalid);
    return errors::kJsonValueInvalid;
  }
  return errors::kSuccess;
}

const char* OperatorName(int value) {
  switch (value) {
    case QV_OutputTaskSetting::OPERATOR_AND:
      return "AND";
    case QV_OutputTaskSetting::OPERATOR_OR:
      return "OR";
    default:
      return "";
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Image source

EnumTable QV_ImageSourceSetting::TypeNames() { return kImageSourceTypes; }

const std::string& QV_DirectoryFetcherSetting::GetTypeName() const {
  static const std::string typeName = "DirectoryFetcher";
  return typeName;
}

void QV_DirectoryFetcherSetting::InitFieldTable() {
  RegisterCommonFields();
  RegisterEnumField("Type", &type, kImageSourceTypes);
  RegisterStringField("DirectoryPath", &directoryPath);
  RegisterStringField("FileFilter", &fileFilter);
  RegisterIntField("Recursive", &recursive, 0, 1);
  // Negative pages are refused by Validate, after the whole object is read.
  RegisterField("Pages", [this](const Json::Value& object) {
    int error = errors::kSuccess;
    QVRef<QVVector<int>> read = GetIntArrayValue(object, "Pages", error);
    if (error != errors::kSuccess) return error;
    if (read) pages = std::move(read->items);
    return errors::kSuccess;
  });
  RegisterEmbeddedField("PDFReadingMode", &pdfReadingMode);
}

int QV_DirectoryFetcherSetting::Validate() {
  for (int page : pages) {
    if (page < 0) {
      errorMessage = GetTypeName() + ":" + GetErrorString(errors::kJsonValueInvalid);
      return errors::kJsonValueInvalid;
    }
  }
  return errors::kSuccess;
}

void QV_DirectoryFetcherSetting::WriteToJson(bool flag) {
  QV_ParameterFieldBase::WriteToJson(flag);
  json["Type"_key] = Json::StaticString(EnumName(kImageSourceTypes, type));
  json["DirectoryPath"_key] = directoryPath;
  json["FileFilter"_key] = fileFilter;
  json["Recursive"_key] = recursive;
  WriteChild("PDFReadingMode", pdfReadingMode, flag);
  json["Pages"_key] = IntListJson(pages);
}

// ---------------------------------------------------------------------------
// Semantic setting

QV_SemanticSetting::QV_SemanticSetting(const QV_SemanticSetting& other)
    : QV_ParameterFieldBase(other),
      referenceObjectFilter(CopyHeld(other.referenceObjectFilter)),
      taskSettingNames(other.taskSettingNames) {}

QV_SemanticSetting& QV_SemanticSetting::operator=(const QV_SemanticSetting& other) {
  if (this != &other) {
    QV_ParameterFieldBase::operator=(other);
    referenceObjectFilter = CopyHeld(other.referenceObjectFilter);
    taskSettingNames = other.taskSettingNames;
  }
  return *this;
}

const std::string& QV_SemanticSetting::GetTypeName() const {
  static const std::string typeName = "SemanticSetting";
  return typeName;
}

void QV_SemanticSetting::InitFieldTable() {
  RegisterCommonFields();
  RegisterStringArrayField("TaskSettingNameArray", &taskSettingNames, false);
  // The filter keeps its failure text to itself.
  RegisterField("ReferenceObjectFilter", [this](const Json::Value& object) {
    if (!referenceObjectFilter) referenceObjectFilter = MakeRef<QV_ReferenceObjectFilter>();
    return referenceObjectFilter->ReadFromJson(MemberOrNull(object, "ReferenceObjectFilter"),
                                               NoSkippedKeys());
  });
}

void QV_SemanticSetting::WriteToJson(bool flag) {
  QV_ParameterFieldBase::WriteToJson(flag);
  if (referenceObjectFilter) WriteChild("ReferenceObjectFilter", *referenceObjectFilter, flag);
  json["TaskSettingNameArray"_key] = StringListJson(taskSettingNames);
}

// ---------------------------------------------------------------------------
// Output task

const std::string& QV_OutputTaskSetting::BackwardReferenceOutput::GetTypeName() const {
  static const std::string typeName = "BackwardReferenceOutput";
  return typeName;
}

void QV_OutputTaskSetting::BackwardReferenceOutput::InitFieldTable() {
  RegisterStringArrayField("ReferenceTaskNameArray", &referenceTaskNames, false);
  RegisterField("ReferenceResultTypeArray", [this](const Json::Value& object) {
    return ReadAtomicResultTypes(*this, object, "ReferenceResultTypeArray", referenceResultTypes);
  });
}

void QV_OutputTaskSetting::BackwardReferenceOutput::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["ReferenceTaskNameArray"_key] = StringListJson(referenceTaskNames);
  json["ReferenceResultTypeArray"_key] = AtomicResultTypesJson(referenceResultTypes);
}

const std::string& QV_OutputTaskSetting::TaskResult::GetTypeName() const {
  static const std::string typeName = "TaskResult";
  return typeName;
}

void QV_OutputTaskSetting::TaskResult::InitFieldTable() {
  RegisterStringField("TargetROIDefName", &targetROIDefName);
  RegisterStringArrayField("TaskSettingNameArray", &taskSettingNames, false);
  RegisterField("Operator", [this](const Json::Value& object) {
    return ReadOperator(*this, object, operatorType);
  });
  RegisterEmbeddedField("BackwardReferenceOutput", &backwardReferenceOutput);
}

void QV_OutputTaskSetting::TaskResult::WriteToJson(bool flag) {
  json = Json::Value();
  json["TargetROIDefName"_key] = targetROIDefName;
  json["TaskSettingNameArray"_key] = StringListJson(taskSettingNames);
  json["Operator"_key] = Json::StaticString(OperatorName(operatorType));
  WriteChild("BackwardReferenceOutput", backwardReferenceOutput, flag);
}

const std::string& QV_OutputTaskSetting::OutputCondition::GetTypeName() const {
  static const std::string typeName = "OutputCondition";
  return typeName;
}

void QV_OutputTaskSetting::OutputCondition::InitFieldTable() {
  RegisterObjectListField("TaskResultArray", &taskResults, true);
  RegisterField("Operator", [this](const Json::Value& object) {
    return ReadOperator(*this, object, operatorType);
  });
}

void QV_OutputTaskSetting::OutputCondition::WriteToJson(bool flag) {
  json = Json::Value();
  WriteObjectList("TaskResultArray", taskResults, flag);
  json["Operator"_key] = Json::StaticString(OperatorName(operatorType));
}

const std::string& QV_OutputTaskSetting::GetTypeName() const {
  static const std::string typeName = "OutputTaskSetting";
  return typeName;
}

void QV_OutputTaskSetting::InitFieldTable() {
  RegisterCommonFields();
  RegisterEmbeddedField("OutputCondition", &outputCondition);
}

void QV_OutputTaskSetting::WriteToJson(bool flag) {
  QV_ParameterFieldBase::WriteToJson(flag);
  WriteChild("OutputCondition", outputCondition, flag);
}

// ---------------------------------------------------------------------------
// Code parser task

const std::string& QV_CodeParserTaskSetting::GetTypeName() const {
  static const std::string typeName = "CodeParserTaskSetting";
  return typeName;
}

void QV_CodeParserTaskSetting::InitFieldTable() {
  RegisterCommonFields();
  RegisterStringField("ResourcesPath", &resourcesPath);
  RegisterStringArrayField("CodeSpecifications", &codeSpecifications, false);
}

void QV_CodeParserTaskSetting::WriteToJson(bool flag) {
  QV_ParameterFieldBase::WriteToJson(flag);
  json["ResourcesPath"_key] = resourcesPath;
  json["CodeSpecifications"_key] = StringListJson(codeSpecifications);
}

}  // namespace quorvane
