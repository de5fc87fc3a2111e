#pragma once

// The top-level keys of a current-format template, one row per section:
// what the document reads from each and how, which collection holds it, the
// class its elements are, and which sections a converted template holds.
// Reading, appending, the reference checks, the checker and the converter's
// output all take their keys from here.

#include <span>
#include <string_view>

#include <json/json.h>

#include "framework/document_base.h"
#include "framework/object_base.h"
#include "framework/parameter_field_base.h"

namespace quorvane {

struct SectionSpec {
  // How the document reads the key.
  enum class Reading {
    kApart,     // not by the document: only the names of tasks are taken
    kObject,    // one object ("GlobalParameter")
    kPlain,     // an array of sections, each read on its own
    kWithBase,  // an array of sections, each read after the entry it names as its base
  };

  const char* key;
  Reading reading = Reading::kApart;
  // Where the document reads the key among the sections it reads (from 1);
  // 0 when it does not read it.
  int readStep = 0;
  // The collection that holds the sections, or kNoCollection.
  int collection = kNoCollection;
  // The kind of task the sections are, or kNotATask.
  int taskKind = kNotATask;
  // What messages call an element (Label() + "[" + index + "]"), when not
  // the key.
  const char* elementLabel = nullptr;
  // The message for a name given twice in one array; empty: names may repeat.
  std::string_view duplicateText = {};
  // The key that names the base of an element; null for no inheritance.
  const char* baseKey = nullptr;
  // One of the sections a converted template holds.
  bool written = false;
  // Clear puts a default entry into the collection.
  bool hasDefaultEntry = false;
  // A new section (NewSection of its class), or null for a key whose
  // sections have no class here.
  QVRef<QV_ParameterFieldBase> (*create)() = nullptr;

  const char* Label() const { return elementLabel != nullptr ? elementLabel : key; }
};

// A new section of class `T` before anything is read into it: a copy of
// `base` when given, else its constructor defaults; and, for the kinds the
// document names until their "Name" says otherwise, that name. Made for the
// classes of the section table.
template <class T>
QVRef<T> NewSection(const T* base = nullptr);

// Every top-level key a template document knows, in the order appending
// treats them.
std::span<const SectionSpec> SectionTable();

// The row of `key`; null for a key that is not a section.
const SectionSpec* FindSectionSpec(std::string_view key);

// Whether `key` is one of the sections a converted template holds.
bool IsTemplateSectionKey(std::string_view key);
// Whether the object `root` holds one of those sections.
bool HasTemplateSection(const Json::Value& root);

}  // namespace quorvane
