#pragma once

// The template document: one complete template of the current format, held as
// named parameter objects in one collection per section kind, plus the global
// parameter. Section classes live in the layers above; this header only
// names them, so that any layer can hold a pointer to its document.

#include <json/json.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "framework/object_base.h"
#include "framework/parameter_field_base.h"

namespace quorvane {

class QV_GlobalParameter;

// Collection kinds, numbered as the document's collections are.
enum SectionKind : int {
  kLumiflowTemplates = 0,
  kImageSources = 1,
  kSemanticProcessing = 2,
  kImageParameters = 3,
  kTargetROIDefs = 4,
  kBarcodeReaderTasks = 5,
  kCodeParserTasks = 8,
  kBarcodeFormatSpecifications = 10,
  kOutputTasks = 12,
  kSectionKindCount = 13,
};

// Name → section object, in byte order of the names.
using SectionMap = std::map<std::string, QVRef<QV_ParameterFieldBase>, std::less<>>;

namespace basic_structures {

// The document's operations, in slot order after the destructor.
class LMFParameterBase : public QVObjectBase {
 public:
  // Pairs of C strings handed out by GetReferencedNames; they point into the
  // document's caches.
  struct NameList {
    const char* const* names = nullptr;
    int count = 0;
  };

  ~LMFParameterBase() override = default;
  virtual int ReadFromString(const char* content) = 0;
  virtual int AppendFromString(const char* content) = 0;
  virtual void GetReferencedNames(NameList& result, const char* templateName, int kind) = 0;
};

}  // namespace basic_structures

class QV_LMFParameter : public basic_structures::LMFParameterBase {
 public:
  QV_LMFParameter();
  ~QV_LMFParameter() override;
  QV_LMFParameter(const QV_LMFParameter&) = delete;
  QV_LMFParameter& operator=(const QV_LMFParameter&) = delete;

  // The collection of `kind`; for a kind without a collection, a map that is
  // empty whenever it is handed out.
  SectionMap& GetSectionMap(int kind);
  const SectionMap& GetSectionMap(int kind) const;
  // Registers `object` under `name`, replacing an earlier one of that name.
  void SetSectionObject(int kind, const std::string& name, QVRef<QV_ParameterFieldBase> object);
  void SetMessage(const std::string& text) { message = text; }

  // The section of `kind` registered under `name`, as its class; null when
  // there is none or it is of another class.
  template <class T>
  T* FindSection(int kind, std::string_view name) const {
    const SectionMap& map = GetSectionMap(kind);
    auto found = map.find(name);
    return found == map.end() ? nullptr : dynamic_cast<T*>(found->second.Get());
  }

  Json::Value templateJson;
  QVRef<QV_GlobalParameter> globalParameter;
  // Format specifications without a name, written after the named ones.
  std::vector<QVRef<QV_ParameterFieldBase>> unnamedFormatSpecifications;
  std::map<std::string, int, std::less<>> taskNameKinds;
  std::string firstTemplateName;
  std::string message;

 protected:
  std::array<SectionMap, kSectionKindCount> sections_;
};

}  // namespace quorvane
