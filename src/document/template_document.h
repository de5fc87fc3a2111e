#pragma once

// The template document: one complete template of the current format, held as
// named parameter objects in one typed collection per section kind, plus the
// global parameter. It sits above every section class; the keys it reads and how
// stand in its section table (section_table.h). Its work is split by seam:
// reading (document_reading.cpp), base-name inheritance
// (document_inheritance.cpp), reference checks and name queries
// (document_references.cpp), appending and presets (document_append.cpp).

#include <json/json.h>

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "barcode/barcode_reader_task.h"
#include "barcode/format_specification.h"
#include "captureflow/flow_sections.h"
#include "captureflow/lumiflow_setting.h"
#include "captureflow/target_roi.h"
#include "document/section_collection.h"
#include "document/section_table.h"
#include "framework/document_base.h"
#include "framework/failure.h"
#include "framework/object_base.h"
#include "framework/parameter_field_base.h"
#include "imageparams/image_parameter.h"
#include "imageparams/small_structures.h"

namespace quorvane {

class QV_LMFParameter : public basic_structures::LMFParameterBase {
 public:
  // The kinds GetReferencedNames answers.
  static constexpr int kReferencedTargetROIDefs = 4;
  static constexpr int kReferencedCodeSpecifications = 32;
  // The most elements all section arrays of a text may hold together. A
  // section takes kilobytes once its defaults are filled in, so a text of a
  // few megabytes could otherwise ask for gigabytes; no real template comes
  // near this.
  static constexpr std::size_t kMaxSections = std::size_t{1} << 16;

  // Merges the preset templates found next to the core library (else in the
  // current directory), then reads the merged text.
  QV_LMFParameter();
  ~QV_LMFParameter() override;
  QV_LMFParameter(const QV_LMFParameter&) = delete;
  QV_LMFParameter& operator=(const QV_LMFParameter&) = delete;

  // Clears the document and reads `content` (null: the stored text).
  // Returns 0 or an error code; the text that goes with it is in `message`.
  int ReadFromString(const char* content) override;
  // The same, with the failure as a value: the code and its text (none
  // where a section failed without one).
  Failure Read(std::string_view content);
  // Adds the section arrays of `content` to the stored text; the collections
  // change only with the next ReadFromString(nullptr).
  int AppendFromString(const char* content) override;
  // Kind 32: the code specifications of the template's semantic settings;
  // kind 4: what its target ROI definitions' label recognizer tasks refer
  // to. Anything else, or an unknown template, gives an empty list.
  void GetReferencedNames(NameList& result, const char* templateName, int kind) override;

  // The same as the C-string forms, for a text given with its length (a
  // file's bytes are read whole, a NUL byte included).
  int ReadFromText(std::string_view content);
  int AppendFromText(std::string_view content);

  // Empties everything but `templateJson` and creates the default sections.
  void Clear();

  // The collection of `kind` as sections of any class: a copy, since a
  // section enters a collection only as the collection's class (through
  // SetSectionObject or the typed collections below). Empty for a kind
  // without a collection.
  const SectionMap GetSectionMap(int kind) const;
  // Registers `object` under `name`, replacing an earlier one of that name.
  // An object of another class than the collection's, or null, is not
  // registered.
  void SetSectionObject(int kind, const std::string& name, QVRef<QV_ParameterFieldBase> object);
  // Registers the task `task` under its name in the collection of `kind`,
  // and its name as a task name of `taskKind`.
  void AddTask(int kind, TaskKind taskKind, QVRef<QV_ParameterFieldBase> task);
  void SetMessage(const std::string& text) { message = text; }

  QV_ParameterFieldBase* FindSectionObject(int kind, std::string_view name) const override;

  // The preset files are looked up and read once per process; this reads
  // them again (after the working directory or the files have changed).
  static void ReloadPresetTemplates();

  // Calls `visit` with the typed collection of `kind`; false for a kind
  // without one.
  template <class Visit>
  bool VisitCollection(int kind, Visit&& visit) {
    return VisitCollectionOf(*this, kind, visit);
  }
  template <class Visit>
  bool VisitCollection(int kind, Visit&& visit) const {
    return VisitCollectionOf(*this, kind, visit);
  }

  Json::Value templateJson;
  // One collection per kind of section (SectionKind); VisitCollection finds
  // the one of a kind's number.
  SectionCollection<QV_LumiflowSetting> lumiflowTemplates;
  SectionCollection<QV_DirectoryFetcherSetting> imageSources;
  SectionCollection<QV_SemanticSetting> semanticSettings;
  SectionCollection<QV_ImageParameter> imageParameters;
  SectionCollection<QV_TargetROIDef> targetROIDefs;
  SectionCollection<QV_OutputTaskSetting> outputTasks;
  SectionCollection<QV_CodeParserTaskSetting> codeParserTasks;
  QVRef<QV_GlobalParameter> globalParameter;
  SectionCollection<ZQA_BarcodeReaderTaskSetting> barcodeReaderTasks;
  SectionCollection<ZQA_BarcodeFormatSpecification> formatSpecifications;
  // Format specifications without a name, written after the named ones.
  std::vector<QVRef<ZQA_BarcodeFormatSpecification>> unnamedFormatSpecifications;
  std::map<std::string, int, std::less<>> taskNameKinds;
  std::string firstTemplateName;
  std::string message;

 protected:
  struct InheritanceWork;
  struct RoiScope;
  using NameIndex = std::map<std::string_view, const Json::Value*>;

  // The answers of GetReferencedNames for one template: the names, and the
  // C strings handed out, which point into them.
  struct CachedNames {
    std::vector<std::string> texts;
    std::vector<const char*> pointers;
  };
  using NameCache = std::map<std::string, CachedNames, std::less<>>;

  // The preset texts, read once per process.
  static std::vector<std::string>& PresetTexts();

  // The message of what an entry point gets back, which it returns the
  // code of: a failure's text; after success, `message` stays.
  int Settle(const Failure& failure);
  Failure ReadParsed(bool contentGiven);
  Failure CollectTaskNames();
  Failure ReadSections(bool contentGiven);
  Failure ReadGlobalParameter(const SectionSpec& section);
  // What follows the reading of one section: dropping the default template
  // a read text replaces, and the checks of the names it refers to.
  Failure AfterSection(const SectionSpec& section, bool contentGiven);
  // Only directory fetchers can be read so far; `label` is what messages
  // call an image source.
  Failure CheckImageSourceType(const Json::Value& element, std::string_view label);
  // The array of `key` in `templateJson` into `array` (null when absent or
  // null); -10031 with the key as message for another JSON type.
  Failure SectionArray(const char* key, const Json::Value*& array);
  // Each reads into the collection of the section, as its class.
  template <class T>
  Failure ReadPlainSection(const Json::Value& array, const SectionSpec& section,
                           SectionCollection<T>& collection);
  static bool ValidateBaseNames(const Json::Value& array, std::string_view baseKey);
  Failure ReadSectionsWithBase(const Json::Value& array, const SectionSpec& section);
  template <class T>
  Failure ReadSectionsWithBase(const Json::Value& array, const SectionSpec& section,
                               SectionCollection<T>& collection);
  template <class T>
  Failure ReadWithBase(std::string_view name, const NameIndex& index, const SectionSpec& section,
                       SectionCollection<T>& collection, InheritanceWork& work);

  // Reference checks.
  Failure CheckTargetROIDefs();
  Failure CheckSemanticTaskNames();
  Failure CheckImageSources();
  Failure CheckTargetROINames();
  Failure CheckOutputTasks();
  Failure CheckSemanticSettingNames();
  // Each of `tasks` must be declared by the task setting arrays; `referredIn`
  // says by what kind of section, `name` which.
  Failure CheckDeclaredTasks(const std::vector<std::string>& tasks, std::string_view referredIn,
                             const std::string& name);

  // The ROI names must be target ROI definitions. An empty task list is
  // filled with the tasks of those definitions; a given one must name only
  // tasks that run on at least one of them. Output tasks (kind 4) are
  // skipped, or refused, unless allowed.
  Failure CheckReferences(const std::vector<std::string>& roiNames,
                          std::vector<std::string>& taskNames, const std::string& referrer,
                          bool outputTasksAllowed);
  template <class Names>
  RoiScope ScopeOf(const Names& roiNames);
  Failure ApplyScope(const RoiScope& scope, std::vector<std::string>& taskNames,
                     const std::string& referrer, bool outputTasksAllowed);

  const CachedNames& CodeSpecificationNames(const std::string& templateName);

  template <class Self, class Visit>
  static bool VisitCollectionOf(Self& self, int kind, Visit& visit) {
    switch (kind) {
      case kLumiflowTemplates: visit(self.lumiflowTemplates); return true;
      case kImageSources: visit(self.imageSources); return true;
      case kSemanticProcessing: visit(self.semanticSettings); return true;
      case kImageParameters: visit(self.imageParameters); return true;
      case kTargetROIDefs: visit(self.targetROIDefs); return true;
      case kBarcodeReaderTasks: visit(self.barcodeReaderTasks); return true;
      case kCodeParserTasks: visit(self.codeParserTasks); return true;
      case kBarcodeFormatSpecifications: visit(self.formatSpecifications); return true;
      case kOutputTasks: visit(self.outputTasks); return true;
      default: return false;
    }
  }

  NameCache referencedCodeSpecifications_;
  // Task names declared by the task setting arrays of the text last read;
  // unlike `taskNameKinds`, without the default task names.
  std::set<std::string, std::less<>> declaredTaskNames_;
  // Task names looked at or filled in by the reference checks of one read.
  std::size_t referenceWork_ = 0;
};

}  // namespace quorvane
