#pragma once

// The smaller sections of a capture flow: image sources, semantic processing,
// output tasks and code parser tasks. Each is one element of its options
// array in a template; the converter reads them but never writes them.

#include <optional>
#include <string>
#include <vector>

#include "captureflow/reference_object_filter.h"
#include "framework/parameter_field_base.h"
#include "imageparams/small_structures.h"

namespace quorvane {

// Where a capture flow takes its images from; the kind is its "Type".
class QV_ImageSourceSetting : public QV_ParameterFieldBase {
 public:
  enum Type : int { IST_DIRECTORY_FETCHER = 0, IST_CAMERA_ENHANCER = 1, IST_SCANNER_CONNECTOR = 2 };
  static EnumTable TypeNames();

  int type = IST_DIRECTORY_FETCHER;
};

// Type name "DirectoryFetcher": image files of a directory.
class QV_DirectoryFetcherSetting : public QV_ImageSourceSetting {
 public:
  QV_DirectoryFetcherSetting();

  QV_MAPPED_CLASS()
  // Refuses negative page numbers.
  int Validate() override;

  std::string directoryPath;
  std::string fileFilter;
  int recursive;
  QVIP_PDFReadingModeStruct pdfReadingMode;  // "PDFReadingMode"
  std::vector<int> pages;
};

// Type name "SemanticSetting": tasks run on the objects a filter selects.
class QV_SemanticSetting : public QV_ParameterFieldBase {
 public:
  QV_SemanticSetting();

  QV_MAPPED_CLASS()

  // Made with its defaults when "ReferenceObjectFilter" is read, even as
  // null; it keeps its failure text to itself.
  std::optional<QV_ReferenceObjectFilter> referenceObjectFilter;
  std::vector<std::string> taskSettingNames;  // "TaskSettingNameArray", never empty when read
};

// Type name "OutputTaskSetting": a condition over the results of other tasks.
class QV_OutputTaskSetting : public QV_ParameterFieldBase {
 public:
  // How the parts of a condition combine; read and written as exact names,
  // refused with the bare text of the code.
  enum Operator : int { OPERATOR_AND = 0, OPERATOR_OR = 1 };

  // Type name "BackwardReferenceOutput": earlier results a task result draws on.
  class BackwardReferenceOutput : public QV_ParameterFieldBase {
   public:
    QV_MAPPED_CLASS()

    std::vector<std::string> referenceTaskNames;  // "ReferenceTaskNameArray"
    std::vector<int> referenceResultTypes;        // "ReferenceResultTypeArray", AtomicResultType
  };

  // Type name "TaskResult": the results of some tasks on one target ROI.
  class TaskResult : public QV_ParameterFieldBase {
   public:
    TaskResult();

    QV_MAPPED_CLASS()

    std::string targetROIDefName;
    std::vector<std::string> taskSettingNames;  // "TaskSettingNameArray"
    int operatorType;                           // "Operator"
    BackwardReferenceOutput backwardReferenceOutput;
  };

  // Type name "OutputCondition".
  class OutputCondition : public QV_ParameterFieldBase {
   public:
    OutputCondition();

    QV_MAPPED_CLASS()

    std::vector<TaskResult> taskResults;  // "TaskResultArray"
    int operatorType;                     // "Operator"
  };

  QV_MAPPED_CLASS()

  OutputCondition outputCondition;
};

// Type name "CodeParserTaskSetting".
class QV_CodeParserTaskSetting : public QV_ParameterFieldBase {
 public:
  QV_MAPPED_CLASS()

  std::vector<std::string> codeSpecifications;  // never empty when read
  std::string resourcesPath;
};

}  // namespace quorvane
