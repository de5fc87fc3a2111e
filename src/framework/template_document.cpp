#include "framework/template_document.h"

#include <exception>
#include <memory>
#include <new>
#include <utility>

#include "captureflow/default_names.h"
#include "captureflow/flow_sections.h"
#include "captureflow/lumiflow_setting.h"
#include "captureflow/target_roi.h"
#include "driver/platform.h"
#include "framework/enum_table.h"
#include "framework/json_text_limits.h"
#include "framework/key_accounting.h"
#include "imageparams/image_parameter.h"
#include "imageparams/small_structures.h"

namespace quorvane {

namespace {


// Names (and reference lists) looked at or filled in by the reference checks
// of one read. Filling empty task lists copies whole name lists, so a text of
// a few megabytes could otherwise ask for billions of names; no real template
// comes near this.
constexpr std::size_t kReferenceWorkLimit = std::size_t{1} << 22;

// What the entries read with a base may copy from their bases together, in
// the units of SizeOfJson. An entry that many others start from is copied
// once for each of them, so a text of a few megabytes could otherwise ask
// for terabytes; as many units as a text may hold values is far beyond any
// real template.
constexpr std::size_t kInheritanceWorkLimit = kMaxJsonValues;

const std::string& FetcherDefaultName() {
  static const std::string name = "fetcher_default";
  return name;
}

const std::string& SemanticDefaultName() {
  static const std::string name = "semantic_default";
  return name;
}

struct TaskArray {
  const char* key;
  int kind;
};

// In the order their names are collected.
constexpr TaskArray kTaskArrays[] = {
    {"BarcodeReaderTaskSettingOptions", kBarcodeReaderTask},
    {"LabelRecognizerTaskSettingOptions", kLabelRecognizerTask},
    {"DocumentNormalizerTaskSettingOptions", kDocumentNormalizerTask},
    {"CodeParserTaskSettingOptions", kCodeParserTask},
    {"OutputTaskSettingOptions", kOutputTask},
};

// Task names that are known without being declared.
constexpr TaskArray kDefaultTaskNames[] = {
    {"zqa_task_default", kBarcodeReaderTask},
    {"zqe_task_default", kLabelRecognizerTask},
    {"zqi_task_default", kDocumentNormalizerTask},
};

// The section arrays: the keys AppendFromString merges, in the order it
// treats them.
const std::vector<std::string>& AppendKeys() {
  static const std::vector<std::string> keys = {
      "GlobalParameter",
      "ImageParameterOptions",
      "LumiflowTemplates",
      "TargetROIDefOptions",
      "SemanticProcessingOptions",
      "BarcodeReaderTaskSettingOptions",
      "LabelRecognizerTaskSettingOptions",
      "DocumentNormalizerTaskSettingOptions",
      "CodeParserTaskSettingOptions",
      "OutputTaskSettingOptions",
      "ImageSourceOptions",
      "TextLineSpecificationOptions",
      "BarcodeFormatSpecificationOptions",
      "CharacterModelOptions",
  };
  return keys;
}

const std::vector<std::string>& PresetFileNames() {
  static const std::vector<std::string> names = {
      "ZQA-PresetTemplates.json", "ZQE-PresetTemplates.json", "ZQI-PresetTemplates.json"};
  return names;
}

std::vector<std::string> LoadPresetTexts() {
  std::vector<std::string> texts;
  const std::string directory = PresetDirectory();
  for (const std::string& fileName : PresetFileNames()) {
    std::string text;
    if (ReadFileBytes(directory + fileName, text, kMaxTemplateFileBytes) == ReadOutcome::Read) {
      texts.push_back(std::move(text));
    }
  }
  return texts;
}

// Found and read once per process: the converter makes a document per file.
std::vector<std::string>& PresetTexts() {
  static std::vector<std::string> texts = LoadPresetTexts();
  return texts;
}

std::string TextOf(int code) { return GetErrorString(code); }

// Whether the section arrays of `templateJson` hold more than `limit`
// elements together.
bool ExceedsSectionLimit(const Json::Value& templateJson, std::size_t limit) {
  std::size_t count = 0;
  for (const std::string& key : AppendKeys()) {
    const Json::Value* array = FindMember(templateJson, key);
    if (array != nullptr && array->isArray()) count += array->size();
  }
  return count > limit;
}

// Parses a current-format text. On failure `errors` holds the reader's error
// list, or the text of what the reader threw (nesting beyond its limit).
bool ParseTemplateText(std::string_view text, Json::Value& value, std::string& errors) {
  static const Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  const char* begin = text.data() != nullptr ? text.data() : "";
  try {
    if (reader->parse(begin, begin + text.size(), &value, &errors)) return true;
  } catch (const std::exception& e) {
    errors = e.what();
  }
  value = Json::Value();
  return false;
}

// Parses a text that must hold a JSON object; a refusal leaves its text in
// `message`.
int ParseTemplateObject(std::string_view text, Json::Value& value, std::string& message) {
  if (ExceedsJsonValueLimit(text)) {
    message = JsonValueLimitMessage();
    return errors::kTemplateComplex;
  }
  std::string parseErrors;
  if (!ParseTemplateText(text, value, parseErrors)) {
    message = std::move(parseErrors);
    return errors::kJsonParseFailed;
  }
  if (!value.isObject()) {
    message = "content is not a object";
    return errors::kJsonValueInvalid;
  }
  return errors::kSuccess;
}

// The string under `key` of `object`; false when `object` is not an object
// or holds no string there.
bool StringMember(const Json::Value& object, std::string_view key, std::string_view& text) {
  const Json::Value* value = FindMember(object, key);
  if (value == nullptr || !value->isString()) return false;
  const char* begin = nullptr;
  const char* end = nullptr;
  text = value->getString(&begin, &end) ? std::string_view(begin, end - begin) : std::string_view();
  return true;
}

// About what reading `value` puts into an object: one unit per JSON value,
// and one more per 64 bytes of a string. Counted without recursion.
std::size_t SizeOfJson(const Json::Value& value) {
  std::size_t size = 0;
  std::vector<const Json::Value*> pending = {&value};
  while (!pending.empty()) {
    const Json::Value* current = pending.back();
    pending.pop_back();
    ++size;
    const char* begin = nullptr;
    const char* end = nullptr;
    if (current->isString() && current->getString(&begin, &end)) {
      size += static_cast<std::size_t>(end - begin) / 64;
    } else if (current->isArray() || current->isObject()) {
      for (const Json::Value& child : *current) pending.push_back(&child);
    }
  }
  return size;
}

// Runs one operation of the document so that nothing it throws gets out: a
// failed allocation, or a misuse of a JSON value, becomes a code.
template <class Operation>
int Guarded(std::string& message, Operation&& operation) {
  try {
    return operation();
  } catch (const std::bad_alloc&) {
    message = TextOf(errors::kOutOfMemory);
    return errors::kOutOfMemory;
  } catch (const std::exception& e) {
    message = e.what();
    return errors::kUnknown;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Section descriptors

// A section read element by element with no inheritance.
struct QV_LMFParameter::PlainSection {
  const char* key;
  const char* label;
  // Null: names may repeat.
  const char* duplicateText;
  int kind;
  // The object an element is read into; a refusal sets the document's
  // message and returns the code.
  int (*create)(QV_LMFParameter& document, const Json::Value& element,
                QVRef<QV_ParameterFieldBase>& object);
};

// A section whose elements may start from another entry, named as base.
struct QV_LMFParameter::InheritedSection {
  const char* key;
  const char* baseKey;
  int kind;
  // A new object: a copy of `base` when it is given and of the section's
  // class, else the constructor defaults.
  QVRef<QV_ParameterFieldBase> (*create)(const QV_ParameterFieldBase* base);
};

// The entries read with a base so far: about how much each holds, and what
// copying bases has cost. An entry holds, per key, what its own element put
// there, or what its base held when its element leaves the key out (or
// null); an object is read into what the base held, so the two add up.
struct QV_LMFParameter::InheritanceWork {
  struct EntrySize {
    std::map<std::string, std::size_t, std::less<>> perKey;
    std::size_t total = 1;
  };
  // Entries not read here (the defaults of Clear) are small and fixed.
  std::map<std::string_view, EntrySize> entries;
  // The names some element gives as its base: only their sizes are needed.
  std::set<std::string_view> bases;
  std::size_t copied = 0;
};

// What a list of target ROI names refers to: the distinct definitions up to
// the first name that is not one, and the tasks they run.
struct QV_LMFParameter::RoiScope {
  std::size_t definedCount = 0;
  bool hasUndefined = false;
  std::string_view undefinedName;
  bool tooComplex = false;
  // Each task once, in order of first appearance.
  std::vector<std::string_view> tasks;
  std::set<std::string_view> taskSet;
};

namespace {

template <class T>
QVRef<QV_ParameterFieldBase> CreateFromBase(const QV_ParameterFieldBase* base) {
  const T* typed = dynamic_cast<const T*>(base);
  return typed != nullptr ? MakeRef<T>(*typed) : MakeRef<T>();
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction, collections and clearing

QV_LMFParameter::QV_LMFParameter() {
  for (const std::string& text : PresetTexts()) AppendFromText(text);
  ReadFromString(nullptr);
}

QV_LMFParameter::~QV_LMFParameter() = default;

void QV_LMFParameter::ReloadPresetTemplates() { PresetTexts() = LoadPresetTexts(); }

SectionMap& QV_LMFParameter::GetSectionMap(int kind) {
  if (kind >= 0 && kind < kSectionKindCount) return sections_[static_cast<std::size_t>(kind)];
  // Handed out empty every time, whatever a caller put into it before.
  static SectionMap none;
  none.clear();
  return none;
}

const SectionMap& QV_LMFParameter::GetSectionMap(int kind) const {
  if (kind >= 0 && kind < kSectionKindCount) return sections_[static_cast<std::size_t>(kind)];
  static const SectionMap none;
  return none;
}

void QV_LMFParameter::SetSectionObject(int kind, const std::string& name,
                                       QVRef<QV_ParameterFieldBase> object) {
  if (kind < 0 || kind >= kSectionKindCount) return;
  sections_[static_cast<std::size_t>(kind)][name] = std::move(object);
}

void QV_LMFParameter::AddTask(int kind, TaskKind taskKind, QVRef<QV_ParameterFieldBase> task) {
  if (!task) return;
  taskNameKinds[task->name] = taskKind;
  const std::string name = task->name;
  SetSectionObject(kind, name, std::move(task));
}

void QV_LMFParameter::Clear() {
  for (SectionMap& section : sections_) section.clear();
  referencedCodeSpecifications_.clear();
  unnamedFormatSpecifications.clear();
  taskNameKinds.clear();
  declaredTaskNames_.clear();
  referenceWork_ = 0;

  firstTemplateName = DefaultLumiflowSettingName();
  auto flow = MakeRef<QV_LumiflowSetting>();
  sections_[kLumiflowTemplates][flow->name] = flow;
  auto roi = MakeRef<QV_TargetROIDef>();
  sections_[kTargetROIDefs][roi->name] = roi;
  auto imageParameter = MakeRef<QV_ImageParameter>();
  sections_[kImageParameters][imageParameter->name] = imageParameter;
  globalParameter = MakeRef<QV_GlobalParameter>();
}

// ---------------------------------------------------------------------------
// Reading

int QV_LMFParameter::ReadFromString(const char* content) {
  if (content != nullptr) return ReadFromText(content);
  return Guarded(message, [this] {
    Clear();
    message = TextOf(errors::kSuccess);
    return ReadParsed(false);
  });
}

int QV_LMFParameter::ReadFromText(std::string_view content) {
  return Guarded(message, [this, content] {
    Clear();
    message = TextOf(errors::kSuccess);
    Json::Value parsed;
    if (const int result = ParseTemplateObject(content, parsed, message)) return result;
    templateJson = std::move(parsed);
    return ReadParsed(true);
  });
}

int QV_LMFParameter::ReadParsed(bool contentGiven) {
  if (templateJson.isNull()) return errors::kSuccess;
  if (ExceedsSectionLimit(templateJson, kMaxSections)) {
    message = "The template holds more than " + std::to_string(kMaxSections) + " sections.";
    return errors::kTemplateComplex;
  }
  int result = CollectTaskNames();
  if (result == errors::kSuccess) result = ReadSections(contentGiven);
  if (result != errors::kSuccess) return result;
  for (int (QV_LMFParameter::*check)() :
       {&QV_LMFParameter::CheckImageSources, &QV_LMFParameter::CheckTargetROINames,
        &QV_LMFParameter::CheckOutputTasks, &QV_LMFParameter::CheckSemanticSettingNames}) {
    result = (this->*check)();
    if (result != errors::kSuccess) return result;
  }
  return errors::kSuccess;
}

int QV_LMFParameter::CollectTaskNames() {
  for (const TaskArray& taskArray : kTaskArrays) {
    const Json::Value* array = FindMember(templateJson, taskArray.key);
    if (array == nullptr || array->isNull()) continue;
    ConsumeMember(templateJson, taskArray.key);
    if (!array->isArray()) {
      message = std::string(taskArray.key) + ":" + TextOf(errors::kJsonTypeInvalid);
      return errors::kJsonTypeInvalid;
    }
    for (const Json::Value& element : *array) {
      std::string_view name;
      if (!StringMember(element, "Name", name)) continue;
      if (!taskNameKinds.emplace(std::string(name), taskArray.kind).second) {
        message = std::string(taskArray.key) + ":" + std::string(name);
        return errors::kNameDuplicated;
      }
      declaredTaskNames_.emplace(name);
    }
  }
  for (const TaskArray& defaultName : kDefaultTaskNames) {
    taskNameKinds.emplace(defaultName.key, defaultName.kind);
  }
  return errors::kSuccess;
}

int QV_LMFParameter::SectionArray(const char* key, const Json::Value*& array) {
  array = FindMember(templateJson, key);
  ConsumeMember(templateJson, key);
  if (array != nullptr && array->isNull()) array = nullptr;
  if (array != nullptr && !array->isArray()) {
    array = nullptr;
    message = key;
    return errors::kJsonTypeInvalid;
  }
  return errors::kSuccess;
}

int QV_LMFParameter::ReadSections(bool contentGiven) {
  static const InheritedSection kImageParameterSection{
      "ImageParameterOptions", "BaseImageParameterName", kImageParameters,
      &CreateFromBase<QV_ImageParameter>};
  static const InheritedSection kTargetROISection{"TargetROIDefOptions", "BaseTargetROIDefName",
                                                  kTargetROIDefs,
                                                  &CreateFromBase<QV_TargetROIDef>};
  static const PlainSection kLumiflowSection{
      "LumiflowTemplates", "Lumiflow", "Lumiflow has duplicated name", kLumiflowTemplates,
      [](QV_LMFParameter&, const Json::Value&, QVRef<QV_ParameterFieldBase>& object) {
        object = MakeRef<QV_LumiflowSetting>();
        return errors::kSuccess;
      }};
  static const PlainSection kSemanticSection{
      "SemanticProcessingOptions", "SemanticProcessing", "SemanticSettings has duplicated name",
      kSemanticProcessing,
      [](QV_LMFParameter&, const Json::Value&, QVRef<QV_ParameterFieldBase>& object) {
        auto setting = MakeRef<QV_SemanticSetting>();
        setting->name = SemanticDefaultName();
        object = setting;
        return errors::kSuccess;
      }};
  // Only directory fetchers can be read so far.
  static const PlainSection kImageSourceSection{
      "ImageSourceOptions", "ImageSourceOption", "ImageSourceOption has duplicated name",
      kImageSources,
      [](QV_LMFParameter& document, const Json::Value& element,
         QVRef<QV_ParameterFieldBase>& object) {
        const Json::Value* type = FindMember(element, "Type");
        if (type == nullptr || !type->isString()) {
          document.message = "ImageSourceOption:Type:" + TextOf(errors::kJsonTypeInvalid);
          return errors::kJsonTypeInvalid;
        }
        const std::string text = type->asString();
        if (LookupEnumValue(QV_ImageSourceSetting::TypeNames(), text) !=
            QV_ImageSourceSetting::IST_DIRECTORY_FETCHER) {
          document.message = text + ": ImageSoure type is not support yet.";
          return errors::kJsonValueInvalid;
        }
        auto fetcher = MakeRef<QV_DirectoryFetcherSetting>();
        fetcher->name = FetcherDefaultName();
        object = fetcher;
        return errors::kSuccess;
      }};
  static const PlainSection kCodeParserSection{
      "CodeParserTaskSettingOptions", "CodeParserTaskSettingOptions",
      "CodeParserTaskSettingOptions has duplicated name", kCodeParserTasks,
      [](QV_LMFParameter&, const Json::Value&, QVRef<QV_ParameterFieldBase>& object) {
        object = MakeRef<QV_CodeParserTaskSetting>();
        return errors::kSuccess;
      }};
  static const PlainSection kOutputTaskSection{
      "OutputTaskSettingOptions", "OutputTaskSettingOptions", nullptr, kOutputTasks,
      [](QV_LMFParameter&, const Json::Value&, QVRef<QV_ParameterFieldBase>& object) {
        object = MakeRef<QV_OutputTaskSetting>();
        return errors::kSuccess;
      }};

  ConsumeMember(templateJson, "GlobalParameter");
  if (const Json::Value* global = FindMember(templateJson, "GlobalParameter");
      global != nullptr && !global->isNull()) {
    if (!global->isObject()) {
      message = "GlobalParameter";
      return errors::kJsonTypeInvalid;
    }
    auto parameter = MakeRef<QV_GlobalParameter>();
    globalParameter = parameter;
    const int result = parameter->ReadFromJson(*global, NoSkippedKeys());
    if (result != errors::kSuccess) {
      message = parameter->errorMessage;
      return result;
    }
  }

  const Json::Value* array = nullptr;
  int result = SectionArray(kImageParameterSection.key, array);
  if (result == errors::kSuccess && array != nullptr) {
    result = ReadSectionsWithBase(*array, kImageParameterSection);
  }
  if (result != errors::kSuccess) return result;

  result = SectionArray(kLumiflowSection.key, array);
  if (result == errors::kSuccess && array != nullptr) {
    result = ReadPlainSection(*array, kLumiflowSection);
    // The default template gives way to the templates of a text, unless the
    // text has its own "Default".
    SectionMap& templates = sections_[kLumiflowTemplates];
    if (result == errors::kSuccess && contentGiven) {
      auto found = templates.find(DefaultLumiflowSettingName());
      const auto* flow = found == templates.end()
                             ? nullptr
                             : dynamic_cast<const QV_LumiflowSetting*>(found->second.Get());
      if (flow != nullptr && flow->isPlaceholder) templates.erase(found);
    }
  }
  if (result != errors::kSuccess) return result;

  result = SectionArray(kTargetROISection.key, array);
  if (result == errors::kSuccess && array != nullptr) {
    result = ReadSectionsWithBase(*array, kTargetROISection);
    if (result == errors::kSuccess) result = CheckTargetROIDefs();
  }
  if (result != errors::kSuccess) return result;

  result = SectionArray(kSemanticSection.key, array);
  if (result == errors::kSuccess && array != nullptr) {
    result = ReadPlainSection(*array, kSemanticSection);
    if (result == errors::kSuccess) result = CheckSemanticTaskNames();
  }
  if (result != errors::kSuccess) return result;

  for (const PlainSection* section :
       {&kImageSourceSection, &kCodeParserSection, &kOutputTaskSection}) {
    result = SectionArray(section->key, array);
    if (result == errors::kSuccess && array != nullptr) result = ReadPlainSection(*array, *section);
    if (result != errors::kSuccess) return result;
  }
  return errors::kSuccess;
}

int QV_LMFParameter::ReadPlainSection(const Json::Value& array, const PlainSection& section) {
  if (section.duplicateText != nullptr) {
    std::set<std::string_view> names;
    for (const Json::Value& element : array) {
      std::string_view name;
      if (StringMember(element, "Name", name) && !names.insert(name).second) {
        message = section.duplicateText;
        return errors::kNameDuplicated;
      }
    }
  }
  SectionMap& collection = sections_[static_cast<std::size_t>(section.kind)];
  for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
    const Json::Value& element = array[i];
    if (!element.isObject()) {
      message = std::string(section.label) + "[" + std::to_string(i) + "]" + ":" +
                TextOf(errors::kJsonTypeInvalid);
      return errors::kJsonTypeInvalid;
    }
    if (section.kind == kLumiflowTemplates && i == 0) {
      const Json::Value* name = FindMember(element, "Name");
      if (name != nullptr && !name->isNull()) {
        if (!name->isString()) {
          message = std::string(section.label) + "[0]:" + TextOf(errors::kJsonTypeInvalid);
          return errors::kJsonTypeInvalid;
        }
        firstTemplateName = name->asString();
      }
    }
    QVRef<QV_ParameterFieldBase> object;
    int result = section.create(*this, element, object);
    if (result != errors::kSuccess) return result;
    result = object->ReadFromJson(element, NoSkippedKeys());
    if (result != errors::kSuccess) {
      message = object->errorMessage;
      return result;
    }
    collection[object->name] = object;
  }
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// Base-name inheritance

bool QV_LMFParameter::ValidateBaseNames(const Json::Value& array, std::string_view baseKey) {
  if (!array.isArray()) return true;
  std::map<std::string_view, std::string_view> bases;
  for (const Json::Value& element : array) {
    std::string_view name;
    std::string_view base;
    if (StringMember(element, "Name", name) && !name.empty() &&
        StringMember(element, baseKey, base) && !base.empty()) {
      bases[name] = base;
    }
  }
  // Each name has at most one base, so the names form chains; every chain is
  // walked once, and a walk stops at a name an earlier walk has cleared.
  enum State { kOnChain, kCleared };
  std::map<std::string_view, State> states;
  std::vector<std::string_view> chain;
  for (const auto& start : bases) {
    chain.clear();
    std::string_view current = start.first;
    for (;;) {
      auto state = states.find(current);
      if (state != states.end()) {
        if (state->second == kOnChain) return false;
        break;
      }
      auto next = bases.find(current);
      if (next == bases.end()) break;
      states.emplace(current, kOnChain);
      chain.push_back(current);
      current = next->second;
    }
    for (std::string_view name : chain) states[name] = kCleared;
  }
  return true;
}

int QV_LMFParameter::ReadSectionsWithBase(const Json::Value& array,
                                          const InheritedSection& section) {
  const std::string key = section.key;
  if (!ValidateBaseNames(array, section.baseKey)) {
    message = key + " has invalid baseName.";
    return errors::kJsonValueInvalid;
  }
  NameIndex index;
  for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
    const Json::Value& element = array[i];
    if (!element.isObject()) {
      message = key + "[" + std::to_string(i) + "]:" + TextOf(errors::kJsonTypeInvalid);
      return errors::kJsonTypeInvalid;
    }
    const Json::Value* nameValue = FindMember(element, "Name");
    int failure = errors::kSuccess;
    std::string_view name;
    if (nameValue == nullptr || nameValue->isNull()) {
      failure = errors::kNameMissing;
    } else if (!StringMember(element, "Name", name)) {
      failure = errors::kJsonTypeInvalid;
    } else if (name.empty()) {
      failure = errors::kJsonValueInvalid;
    } else if (!index.emplace(name, &element).second) {
      failure = errors::kNameDuplicated;
    }
    if (failure != errors::kSuccess) {
      message = key + "[" + std::to_string(i) + "] Name:" + TextOf(failure);
      return failure;
    }
  }
  InheritanceWork work;
  for (const auto& entry : index) {
    std::string_view baseName;
    if (StringMember(*entry.second, section.baseKey, baseName)) work.bases.insert(baseName);
  }
  for (const auto& entry : index) {
    const int result = ReadWithBase(entry.first, index, section, work);
    if (result != errors::kSuccess) return result;
  }
  return errors::kSuccess;
}

// Reads one element after its base. A base missing from the collection is
// read first, and so on down the chain; the chain is kept on an explicit
// stack, and an element is looked at again when its base has been read, so
// the order is that of reading each base on demand, without a call per link.
int QV_LMFParameter::ReadWithBase(std::string_view name, const NameIndex& index,
                                  const InheritedSection& section, InheritanceWork& work) {
  static const InheritanceWork::EntrySize kFixedSize;
  SectionMap& collection = sections_[static_cast<std::size_t>(section.kind)];
  std::vector<std::string_view> pending{name};
  std::set<std::string_view> onStack{name};
  while (!pending.empty()) {
    const std::string_view current = pending.back();
    auto found = index.find(current);
    if (found == index.end()) {
      message = std::string(current) + ":" + TextOf(errors::kJsonValueInvalid);
      return errors::kJsonValueInvalid;
    }
    const Json::Value& element = *found->second;
    const QV_ParameterFieldBase* base = nullptr;
    const InheritanceWork::EntrySize* baseSize = &kFixedSize;
    const Json::Value* baseValue = FindMember(element, section.baseKey);
    if (baseValue != nullptr && !baseValue->isNull()) {
      std::string_view baseName;
      if (!StringMember(element, section.baseKey, baseName)) {
        message = std::string(section.key) + "[" + std::string(current) + "]." + section.baseKey +
                  ":" + TextOf(errors::kJsonTypeInvalid);
        return errors::kJsonTypeInvalid;
      }
      if (!baseName.empty()) {
        auto entry = collection.find(baseName);
        if (entry == collection.end()) {
          // ValidateBaseNames has refused loops; this only keeps a loop
          // from running forever should one get through.
          if (!onStack.insert(baseName).second) {
            message = std::string(section.key) + " has invalid baseName.";
            return errors::kJsonValueInvalid;
          }
          pending.push_back(baseName);
          continue;
        }
        base = entry->second.Get();
        if (auto size = work.entries.find(baseName); size != work.entries.end()) {
          baseSize = &size->second;
        }
        work.copied += baseSize->total;
        if (work.copied > kInheritanceWorkLimit) {
          message = std::string(section.key) + "[" + std::string(current) + "]:" +
                    TextOf(errors::kTemplateComplex);
          return errors::kTemplateComplex;
        }
      }
    }
    QVRef<QV_ParameterFieldBase> object = section.create(base);
    const int result = object->ReadFromJson(element, NoSkippedKeys());
    if (result != errors::kSuccess) {
      message = object->errorMessage;
      return result;
    }
    collection[std::string(current)] = std::move(object);

    if (work.bases.contains(current)) {
      InheritanceWork::EntrySize size = *baseSize;
      for (auto member = element.begin(); member != element.end(); ++member) {
        if (member->isNull()) continue;
        std::size_t& held = size.perKey[member.name()];
        held = (member->isObject() ? held : 0) + SizeOfJson(*member);
      }
      size.total = 1;
      for (const auto& key : size.perKey) size.total += key.second;
      work.entries[current] = std::move(size);
    }

    onStack.erase(current);
    pending.pop_back();
  }
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// Reference checks

template <class Names>
QV_LMFParameter::RoiScope QV_LMFParameter::ScopeOf(const Names& roiNames) {
  RoiScope scope;
  std::set<std::string_view> seen;
  for (const auto& roiName : roiNames) {
    const std::string_view name = roiName;
    if (!seen.insert(name).second) continue;
    const auto* roi = FindSection<QV_TargetROIDef>(kTargetROIDefs, name);
    if (roi == nullptr) {
      scope.hasUndefined = true;
      scope.undefinedName = name;
      break;
    }
    ++scope.definedCount;
    referenceWork_ += 1 + roi->taskSettingNames.size();
    if (referenceWork_ > kReferenceWorkLimit) {
      scope.tooComplex = true;
      break;
    }
    for (const std::string& task : roi->taskSettingNames) {
      if (scope.taskSet.insert(task).second) scope.tasks.push_back(task);
    }
  }
  return scope;
}

QV_LMFParameter::ReferenceCheck QV_LMFParameter::ApplyScope(const RoiScope& scope,
                                                            std::vector<std::string>& taskNames,
                                                            const std::string& referrer,
                                                            bool outputTasksAllowed) {
  const auto isOutputTask = [this](std::string_view task) {
    auto kind = taskNameKinds.find(task);
    return kind != taskNameKinds.end() && kind->second == kOutputTask;
  };
  if (scope.tooComplex) {
    return {errors::kTemplateComplex, referrer + ":" + TextOf(errors::kTemplateComplex)};
  }
  const auto undefinedRoi = [&scope, &referrer]() -> ReferenceCheck {
    return {errors::kNameReferenceInvalid, "roi name:" + std::string(scope.undefinedName) +
                                               " referenced in " + referrer + " is undefined"};
  };
  if (taskNames.empty()) {
    if (scope.hasUndefined) return undefinedRoi();
    std::vector<std::string> collected;
    for (std::string_view task : scope.tasks) {
      if (outputTasksAllowed || !isOutputTask(task)) collected.emplace_back(task);
    }
    referenceWork_ += collected.size();
    if (referenceWork_ > kReferenceWorkLimit) {
      return {errors::kTemplateComplex, referrer + ":" + TextOf(errors::kTemplateComplex)};
    }
    taskNames = std::move(collected);
    return {};
  }
  // Given tasks are tested against each definition as it is met, so an
  // output task is refused as soon as one definition has been found.
  if (scope.definedCount > 0 && !outputTasksAllowed) {
    for (const std::string& task : taskNames) {
      if (isOutputTask(task)) {
        return {errors::kNameReferenceInvalid,
                "ouput task name:" + task + " referenced in " + referrer + " is invalid."};
      }
    }
  }
  if (scope.hasUndefined) return undefinedRoi();
  for (const std::string& task : taskNames) {
    if (scope.taskSet.count(task) == 0) {
      return {errors::kNameReferenceInvalid,
              "task name:" + task + " referenced in " + referrer + " is undefined"};
    }
  }
  return {};
}

QV_LMFParameter::ReferenceCheck QV_LMFParameter::CheckReferences(
    const std::vector<std::string>& roiNames, std::vector<std::string>& taskNames,
    const std::string& referrer, bool outputTasksAllowed) {
  return ApplyScope(ScopeOf(roiNames), taskNames, referrer, outputTasksAllowed);
}

int QV_LMFParameter::CheckTargetROIDefs() {
  for (const auto& [name, object] : sections_[kTargetROIDefs]) {
    auto* roi = dynamic_cast<QV_TargetROIDef*>(object.Get());
    if (roi == nullptr) continue;
    for (const std::string& task : roi->taskSettingNames) {
      if (declaredTaskNames_.count(task) == 0) {
        message = "Task name : " + task + " referenced in TargetROIDef : " + name + " is undefined";
        return errors::kNameReferenceInvalid;
      }
    }
    if (std::optional<QV_ReferenceObjectFilter>& filter = roi->location.referenceObjectFilter) {
      const ReferenceCheck check =
          CheckReferences(filter->referenceTargetROIDefNames, filter->referenceTaskNames,
                          "TargetROIDef:" + name, true);
      if (check.code != errors::kSuccess) {
        message = check.message;
        return check.code;
      }
    }
  }
  return errors::kSuccess;
}

int QV_LMFParameter::CheckSemanticTaskNames() {
  for (const auto& [name, object] : sections_[kSemanticProcessing]) {
    const auto* setting = dynamic_cast<const QV_SemanticSetting*>(object.Get());
    if (setting == nullptr) continue;
    for (const std::string& task : setting->taskSettingNames) {
      if (declaredTaskNames_.count(task) == 0) {
        message =
            "Task name : " + task + " referenced in Semantic Setting : " + name + " is undefined";
        return errors::kNameReferenceInvalid;
      }
    }
  }
  return errors::kSuccess;
}

int QV_LMFParameter::CheckImageSources() {
  const SectionMap& sources = sections_[kImageSources];
  for (const auto& entry : sections_[kLumiflowTemplates]) {
    const auto* flow = dynamic_cast<const QV_LumiflowSetting*>(entry.second.Get());
    if (flow == nullptr || flow->imageSourceName.empty()) continue;
    if (sources.count(flow->imageSourceName) == 0) {
      message = flow->imageSourceName + " is an invalid ImageSource name";
      return errors::kImageSourceNotFound;
    }
  }
  return errors::kSuccess;
}

int QV_LMFParameter::CheckTargetROINames() {
  SectionMap& definitions = sections_[kTargetROIDefs];
  std::set<std::string_view> named;
  // Checked as collected: the first name that is not a definition, in the
  // order of collection, is the one reported.
  const auto collect = [this, &definitions, &named](const std::vector<std::string>& names) {
    for (const std::string& roiName : names) {
      if (named.insert(roiName).second && definitions.count(roiName) == 0) {
        message = roiName + " is an invalid TargetROIDef name.";
        return errors::kNameReferenceInvalid;
      }
    }
    return errors::kSuccess;
  };
  int result = errors::kSuccess;
  for (const auto& entry : sections_[kLumiflowTemplates]) {
    const auto* flow = dynamic_cast<const QV_LumiflowSetting*>(entry.second.Get());
    if (flow != nullptr) result = collect(flow->imageROIProcessingNames);
    if (result != errors::kSuccess) return result;
  }
  for (const auto& entry : sections_[kSemanticProcessing]) {
    const auto* setting = dynamic_cast<const QV_SemanticSetting*>(entry.second.Get());
    if (setting != nullptr && setting->referenceObjectFilter) {
      result = collect(setting->referenceObjectFilter->referenceTargetROIDefNames);
    }
    if (result != errors::kSuccess) return result;
  }
  for (const auto& entry : definitions) {
    const auto* roi = dynamic_cast<const QV_TargetROIDef*>(entry.second.Get());
    if (roi != nullptr && roi->location.referenceObjectFilter) {
      result = collect(roi->location.referenceObjectFilter->referenceTargetROIDefNames);
    }
    if (result != errors::kSuccess) return result;
  }

  // The default definition goes unless something names it or it was read.
  auto found = definitions.find(DefaultTargetROIDefName());
  if (found != definitions.end() && named.count(DefaultTargetROIDefName()) == 0) {
    const auto* roi = dynamic_cast<const QV_TargetROIDef*>(found->second.Get());
    if (roi != nullptr && roi->isPlaceholder) {
      named.clear();  // may hold views into the definition
      definitions.erase(found);
    }
  }
  return errors::kSuccess;
}

int QV_LMFParameter::CheckOutputTasks() {
  const SectionMap& outputTasks = sections_[kOutputTasks];
  if (outputTasks.empty()) return errors::kSuccess;
  // Output task name → the definitions that run it, in name order.
  std::map<std::string_view, std::vector<std::string_view>> runners;
  for (const auto& entry : outputTasks) runners[entry.first];
  for (const auto& [roiName, object] : sections_[kTargetROIDefs]) {
    const auto* roi = dynamic_cast<const QV_TargetROIDef*>(object.Get());
    if (roi == nullptr) continue;
    for (const std::string& task : roi->taskSettingNames) {
      auto runner = runners.find(task);
      if (runner != runners.end() &&
          (runner->second.empty() || runner->second.back() != roiName)) {
        runner->second.push_back(roiName);
      }
    }
  }
  for (const auto& [name, object] : outputTasks) {
    auto* output = dynamic_cast<QV_OutputTaskSetting*>(object.Get());
    if (output == nullptr || output->outputCondition.taskResults.empty()) continue;
    // The same definitions for every result of this task: looked at once.
    const RoiScope runnersScope = ScopeOf(runners[name]);
    std::vector<QV_OutputTaskSetting::TaskResult>& results = output->outputCondition.taskResults;
    for (std::size_t i = 0; i < results.size(); ++i) {
      QV_OutputTaskSetting::TaskResult& taskResult = results[i];
      const std::string referrer = "TaskResult[" + std::to_string(i) + "]";
      ReferenceCheck check = CheckReferences({taskResult.targetROIDefName},
                                             taskResult.taskSettingNames, referrer, false);
      if (check.code == errors::kSuccess) {
        check = ApplyScope(runnersScope, taskResult.backwardReferenceOutput.referenceTaskNames,
                           referrer + ":BackwardReferenceOutput", false);
      }
      if (check.code != errors::kSuccess) {
        message = check.message;
        return check.code;
      }
    }
  }
  return errors::kSuccess;
}

int QV_LMFParameter::CheckSemanticSettingNames() {
  const SectionMap& settings = sections_[kSemanticProcessing];
  for (const auto& entry : sections_[kLumiflowTemplates]) {
    const auto* flow = dynamic_cast<const QV_LumiflowSetting*>(entry.second.Get());
    if (flow == nullptr) continue;
    for (const std::string& settingName : flow->semanticProcessingNames) {
      if (settings.count(settingName) == 0) {
        message = settingName + " is an invalid SemanticSetting name.";
        return errors::kNameReferenceInvalid;
      }
    }
  }
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// Appending

int QV_LMFParameter::AppendFromString(const char* content) {
  if (content == nullptr) return errors::kSuccess;
  return AppendFromText(content);
}

int QV_LMFParameter::AppendFromText(std::string_view content) {
  return Guarded(message, [this, content] {
    Json::Value parsed;
    if (const int result = ParseTemplateObject(content, parsed, message)) return result;
    const std::vector<std::string>& keys = AppendKeys();

    // Everything is checked before anything is merged, so a refused text
    // leaves the stored one as it was.
    for (const std::string& key : keys) {
      const Json::Value* added = FindMember(parsed, key);
      const Json::Value* stored = FindMember(templateJson, key);
      if (added == nullptr || stored == nullptr || !added->isArray() || !stored->isArray()) {
        continue;
      }
      std::set<std::string_view> storedNames;
      for (const Json::Value& element : *stored) {
        std::string_view name;
        if (StringMember(element, "Name", name)) storedNames.insert(name);
      }
      for (const Json::Value& element : *added) {
        if (!element.isObject()) {
          message = key + " append invalid value.";
          return errors::kJsonTypeInvalid;
        }
        std::string_view name;
        if (StringMember(element, "Name", name) && storedNames.count(name) != 0) {
          message = key + "append duplicated name: " + std::string(name);
          return errors::kNameDuplicated;
        }
      }
    }

    for (const std::string& key : keys) {
      Json::Value added;
      if (!parsed.removeMember(key, &added)) continue;
      const Json::Value* stored = FindMember(templateJson, key);
      const bool globalParameterKey = key == "GlobalParameter";
      if (globalParameterKey) {
        // An earlier global parameter wins.
        if (!added.isObject() || (stored != nullptr && !stored->isNull())) continue;
      } else if (!added.isArray()) {
        continue;
      }
      if (!templateJson.isObject()) templateJson = Json::Value(Json::objectValue);
      Json::Value& target = templateJson[key];
      if (globalParameterKey) {
        target = std::move(added);
        continue;
      }
      if (!target.isArray()) target = Json::Value(Json::arrayValue);
      for (Json::Value& element : added) target.append(std::move(element));
    }
    return errors::kSuccess;
  });
}

// ---------------------------------------------------------------------------
// Name queries

const QV_LMFParameter::CachedNames& QV_LMFParameter::CodeSpecificationNames(
    const std::string& templateName) {
  auto cached = referencedCodeSpecifications_.find(templateName);
  if (cached != referencedCodeSpecifications_.end()) return cached->second;

  CachedNames answer;
  const auto* flow = FindSection<QV_LumiflowSetting>(kLumiflowTemplates, templateName);
  std::set<std::string_view> settingsSeen;
  std::set<std::string_view> tasksSeen;
  std::set<std::string_view> namesSeen;
  for (const std::string& settingName : flow->semanticProcessingNames) {
    const auto* setting = FindSection<QV_SemanticSetting>(kSemanticProcessing, settingName);
    if (setting == nullptr || !settingsSeen.insert(settingName).second) continue;
    for (const std::string& taskName : setting->taskSettingNames) {
      const auto* task = FindSection<QV_CodeParserTaskSetting>(kCodeParserTasks, taskName);
      if (task == nullptr || !tasksSeen.insert(taskName).second) continue;
      for (const std::string& specification : task->codeSpecifications) {
        if (namesSeen.insert(specification).second) answer.texts.push_back(specification);
      }
    }
  }
  CachedNames& stored =
      referencedCodeSpecifications_.emplace(templateName, std::move(answer)).first->second;
  stored.pointers.reserve(stored.texts.size());
  for (const std::string& text : stored.texts) stored.pointers.push_back(text.c_str());
  return stored;
}

void QV_LMFParameter::GetReferencedNames(NameList& result, const char* templateName, int kind) {
  result = NameList();
  if (templateName == nullptr || kind != kReferencedCodeSpecifications) {
    // Kind 4 asks what the label recognizer tasks of the template's target
    // ROI definitions refer to; no such task is ever built here, so its
    // answer is always empty.
    return;
  }
  try {
    const std::string name = templateName;
    if (FindSection<QV_LumiflowSetting>(kLumiflowTemplates, name) == nullptr) return;
    const CachedNames& names = CodeSpecificationNames(name);
    result.names = names.pointers.data();
    result.count = static_cast<int>(names.pointers.size());
  } catch (const std::exception&) {
    result = NameList();
  }
}

}  // namespace quorvane
