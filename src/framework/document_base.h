#pragma once

// What the sections of a template may know of the document that holds them:
// the kinds of its collections and a look-up by name. The document itself
// (document/template_document.h) sits above every section class; a section
// that looks other sections up holds the document through this base.

#include <map>
#include <string>
#include <string_view>

#include "framework/object_base.h"
#include "framework/parameter_field_base.h"

namespace quorvane {

// Collection kinds, numbered as the document's collections are.
enum SectionKind : int {
  kNoCollection = -1,
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

// Not a collection: what a key names when it names a task of any kind (the
// tasks of several sections share one set of names).
inline constexpr int kAnyTask = -2;

// Task kind codes of the document's task names.
enum TaskKind : int {
  kNotATask = -1,
  kLabelRecognizerTask = 0,
  kBarcodeReaderTask = 1,
  kDocumentNormalizerTask = 2,
  kCodeParserTask = 3,
  kOutputTask = 4,
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
  // The section of `kind` registered under `name`; null when there is none.
  virtual QV_ParameterFieldBase* FindSectionObject(int kind, std::string_view name) const = 0;

  // The section of `kind` registered under `name`, as its class; null when
  // there is none or it is of another class.
  template <class T>
  T* FindSection(int kind, std::string_view name) const {
    return dynamic_cast<T*>(FindSectionObject(kind, name));
  }
};

}  // namespace basic_structures

}  // namespace quorvane
