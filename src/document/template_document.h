#pragma once

// The template document: one complete template of the current format, held as
// named parameter objects in one collection per section kind, plus the global
// parameter. It sits above every section class; the keys it reads and how
// stand in its section table (section_table.h). Its work is split by seam:
// reading (document_reading.cpp), base-name inheritance
// (document_inheritance.cpp), reference checks and name queries
// (document_references.cpp), appending and presets (document_append.cpp).

#include <json/json.h>

#include <array>
#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "document/section_table.h"
#include "framework/document_base.h"
#include "framework/object_base.h"
#include "framework/parameter_field_base.h"
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

  // The collection of `kind`; for a kind without a collection, a map that is
  // empty whenever it is handed out.
  SectionMap& GetSectionMap(int kind);
  const SectionMap& GetSectionMap(int kind) const;
  // Registers `object` under `name`, replacing an earlier one of that name.
  void SetSectionObject(int kind, const std::string& name, QVRef<QV_ParameterFieldBase> object);
  // Registers the task `task` under its name in the collection of `kind`,
  // and its name as a task name of `taskKind`.
  void AddTask(int kind, TaskKind taskKind, QVRef<QV_ParameterFieldBase> task);
  void SetMessage(const std::string& text) { message = text; }

  QV_ParameterFieldBase* FindSectionObject(int kind, std::string_view name) const override;

  // The preset files are looked up and read once per process; this reads
  // them again (after the working directory or the files have changed).
  static void ReloadPresetTemplates();

  Json::Value templateJson;
  QVRef<QV_GlobalParameter> globalParameter;
  // Format specifications without a name, written after the named ones.
  std::vector<QVRef<QV_ParameterFieldBase>> unnamedFormatSpecifications;
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

  int ReadParsed(bool contentGiven);
  int CollectTaskNames();
  int ReadSections(bool contentGiven);
  int ReadGlobalParameter(const SectionSpec& section);
  // What follows the reading of one section: dropping the default template
  // a read text replaces, and the checks of the names it refers to.
  int AfterSection(const SectionSpec& section, bool contentGiven);
  // Only directory fetchers can be read so far.
  int CheckImageSourceType(const Json::Value& element);
  // The array of `key` in `templateJson` into `array` (null when absent or
  // null); -10031 with the key as message for another JSON type.
  int SectionArray(const char* key, const Json::Value*& array);
  int ReadPlainSection(const Json::Value& array, const SectionSpec& section);
  static bool ValidateBaseNames(const Json::Value& array, std::string_view baseKey);
  int ReadSectionsWithBase(const Json::Value& array, const SectionSpec& section);
  int ReadWithBase(std::string_view name, const NameIndex& index, const SectionSpec& section,
                   InheritanceWork& work);

  // Reference checks; `message` carries the failure text.
  int CheckTargetROIDefs();
  int CheckSemanticTaskNames();
  int CheckImageSources();
  int CheckTargetROINames();
  int CheckOutputTasks();
  int CheckSemanticSettingNames();

  // The ROI names must be target ROI definitions. An empty task list is
  // filled with the tasks of those definitions; a given one must name only
  // tasks that run on at least one of them. Output tasks (kind 4) are
  // skipped, or refused, unless allowed.
  struct ReferenceCheck {
    int code = 0;
    std::string message;
  };
  ReferenceCheck CheckReferences(const std::vector<std::string>& roiNames,
                                 std::vector<std::string>& taskNames, const std::string& referrer,
                                 bool outputTasksAllowed);
  template <class Names>
  RoiScope ScopeOf(const Names& roiNames);
  ReferenceCheck ApplyScope(const RoiScope& scope, std::vector<std::string>& taskNames,
                            const std::string& referrer, bool outputTasksAllowed);

  const CachedNames& CodeSpecificationNames(const std::string& templateName);

  std::array<SectionMap, kSectionKindCount> sections_;
  NameCache referencedCodeSpecifications_;
  // Task names declared by the task setting arrays of the text last read;
  // unlike `taskNameKinds`, without the default task names.
  std::set<std::string, std::less<>> declaredTaskNames_;
  // Task names looked at or filled in by the reference checks of one read.
  std::size_t referenceWork_ = 0;
};

}  // namespace quorvane
