#include "legacy/legacy_reader.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <initializer_list>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "barcode/barcode_reader_task.h"
#include "barcode/format_specification.h"
#include "captureflow/default_names.h"
#include "captureflow/target_roi.h"
#include "framework/field_mapping.h"
#include "framework/json_text_limits.h"
#include "framework/key_accounting.h"
#include "framework/styled_text.h"
#include "imageparams/small_structures.h"
#include "legacy/base_links.h"
#include "legacy/legacy_barcode.h"
#include "legacy/legacy_image_parameter.h"

namespace quorvane {

namespace {

constexpr BarcodeFormatMask kAllFormats = ~BarcodeFormatMask{0};
// The image parameter every converted task decodes with: the defaults of a
// legacy image parameter, scaled down only for very large images.
const QV_ImageParameter& DecodeImageParameter() {
  static const OldImageParameterReader prototype = [] {
    OldImageParameterReader parameter;
    parameter.name = "IP_Decode";
    parameter.scaleDownThreshold = 99999;
    return parameter;
  }();
  return prototype;
}

// Where the text after a root value that ends at `from` stops being blank:
// spaces, line breaks and comments are passed over as the reader passes
// them; `end` when nothing else follows.
const char* SkipBlankAndComments(const char* from, const char* end) {
  const char* at = from;
  while (at != end) {
    const char c = *at;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++at;
    } else if (c == '/' && end - at >= 2 && at[1] == '*') {
      const char* close = std::search(at + 2, end, "*/", "*/" + 2);
      if (close == end) return at;  // unterminated: not a comment
      at = close + 2;
    } else if (c == '/' && end - at >= 2 && at[1] == '/') {
      at = std::find_if(at + 2, end, [](char k) { return k == '\n' || k == '\r'; });
    } else {
      return at;
    }
  }
  return end;
}

// Parses with the permissive reader (comments, any root). The character
// range is parsed, never a stream: the reader's error list must stay valid.
// Nesting beyond the reader's limit throws; that text is the error then. A
// UTF-8 byte-order mark, which editors put before the text, is passed over
// as the current format's reader does. Text after the root value fails the
// parse in the reader's own words, as the current format's reader says it:
// two templates in one file are never read as the first alone. A failure
// gives the code's text and ':' before the reader's own lines.
Failure ParseLegacyText(const char* begin, const char* end, Json::Value& root) {
  if (end - begin >= 3 && std::memcmp(begin, "\xEF\xBB\xBF", 3) == 0) begin += 3;
  Json::Reader reader(Json::Features::all());
  std::string errors;
  try {
    if (!reader.parse(begin, end, root, false)) {
      errors = reader.getFormattedErrorMessages();
    } else {
      const char* extra = SkipBlankAndComments(begin + root.getOffsetLimit(), end);
      if (extra == end) return {};
      Json::Value at;
      at.setOffsetStart(extra - begin);
      at.setOffsetLimit(extra - begin + 1);
      reader.pushError(at, std::string(texts::kExtraAfterValue));
      errors = reader.getFormattedErrorMessages();
    }
  } catch (const std::exception& e) {
    errors = e.what();
  }
  root = Json::Value();
  return Failure::Of(errors::kJsonParseFailed,
                     Prefixed(GetErrorString(errors::kJsonParseFailed), errors));
}

TemplateFormat FormatOfRoot(const Json::Value& root) {
  if (!root.isObject()) return TemplateFormat::OtherJson;
  if (HasLegacyTemplateKey(root)) return TemplateFormat::Legacy;
  return HasTemplateSection(root) ? TemplateFormat::Current : TemplateFormat::OtherJson;
}

// The root keys of a legacy template, in the order they are converted:
// format specifications, regions, image parameters. They tell the two
// formats apart: a file with some of the current ones and none of these would
// convert into an empty default template, which would then replace a good
// output.
constexpr LegacyRootKey kLegacyRootKeys[] = {
    {"FormatSpecification", "FormatSpecificationArray"},
    {"RegionDefinition", "RegionDefinitionArray"},
    {"ImageParameter", "ImageParameterContentArray"},
};

// Writes `section` and moves its output to the end of `array`.
void AppendWritten(Json::Value& array, QV_ParameterFieldBase& section) {
  section.WriteToJson(false);
  array.append(std::move(section.json));
}

// "Timeout" of a legacy image parameter: taken when it is an integer above
// 0; anything else is passed over.
int ReadLegacyTimeout(const ConvertedField& field, QV_ParameterFieldBase& object,
                      const Json::Value& container) {
  const Json::Value* timeout = FindMember(container, field.Key());
  if (timeout == nullptr || timeout->isNull()) return errors::kSuccess;
  int& held = static_cast<QV_LumiflowSetting&>(object).timeout;
  if (timeout->isInt() && timeout->asInt() > 0) {
    held = timeout->asInt();
  } else {
    RecordChange(*timeout, held,
                 timeout->isInt() ? "out of range; the default is written"
                                  : "not an integer; the default is written");
  }
  return errors::kSuccess;
}

// The value that stands for a legacy object in the record of changes: its
// "Name", or the object.
const Json::Value& NameValue(const Json::Value& object) {
  const Json::Value* name = FindMember(object, "Name");
  return name != nullptr ? *name : object;
}

// Of a list the object may give under several keys, the one that was read
// (the later in key order); null when none is an array.
const Json::Value* HeldList(const Json::Value& object, std::initializer_list<const char*> keys) {
  const Json::Value* held = nullptr;
  std::string_view heldKey;
  for (const char* key : keys) {
    const Json::Value* given = FindMember(object, key);
    if (given != nullptr && (held == nullptr || heldKey < key)) {
      held = given;
      heldKey = key;
    }
  }
  return held != nullptr && held->isArray() ? held : nullptr;
}

// Drops from `names` each one that no format specification of the document
// has (it would name nothing in the output), recording it against its entry
// in `given`, the list it was read from.
void DropUnknownSpecificationNames(std::vector<std::string>& names, const Json::Value* given,
                                   const QV_LMFParameter& document) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (document.FindSectionObject(kBarcodeFormatSpecifications, names[i]) != nullptr) {
      if (kept != i) names[kept] = std::move(names[i]);
      ++kept;
    } else if (given != nullptr && i < given->size()) {
      RecordChange((*given)[static_cast<Json::ArrayIndex>(i)], Json::Value(),
                   "names no format specification; dropped");
    }
  }
  names.resize(kept);
}

// The first of "roi_default_1", "roi_default_2", ... that no region uses.
std::string FreeWholeImageName(const std::vector<OldRegionDefinition>& regions) {
  std::set<std::string_view> used;
  for (const OldRegionDefinition& region : regions) used.insert(region.legacyName);
  for (std::size_t n = 1;; ++n) {
    std::string name = DefaultTargetROIDefName() + "_" + std::to_string(n);
    if (used.count(name) == 0) return name;
  }
}

}  // namespace

std::span<const LegacyRootKey> LegacyRootKeys() { return kLegacyRootKeys; }

TemplateFormat FormatOfText(std::string_view text) {
  try {
    if (ExceedsJsonValueLimit(text)) return TemplateFormat::NotJson;
    Json::Value root;
    const char* begin = text.empty() ? "" : text.data();
    if (ParseLegacyText(begin, begin + text.size(), root)) return TemplateFormat::NotJson;
    return FormatOfRoot(root);
  } catch (const std::bad_alloc&) {
    // What cannot be looked at is no earlier output.
    return TemplateFormat::NotJson;
  }
}

bool HasLegacyTemplateKey(const Json::Value& root) {
  for (const LegacyRootKey& keys : kLegacyRootKeys) {
    if (FindMember(root, keys.single) != nullptr || FindMember(root, keys.array) != nullptr) {
      return true;
    }
  }
  return false;
}

const ClassMapping& OldLumiflowSetting::Mapping() {
  static const ClassMapping mapping =
      Mapper<OldLumiflowSetting>(QV_LumiflowSetting::Mapping().TypeName())
          .IgnoringUnknownKeys()
          .RegisterField(std::make_shared<ConvertedField>("Timeout", &ReadLegacyTimeout))
          .Build();
  return mapping;
}

int ZQA_OldParameterReader::ReadOldTemplate(const char* text, std::string& errorMessage) {
  const Failure failure = ReadTemplate(text);
  if (failure) errorMessage = failure.Detail();
  return failure.code;
}

Failure ZQA_OldParameterReader::ReadTemplate(const char* text) {
  document.Clear();
  imageParameterCount = 0;
  lumiflowSettings.clear();
  notCarriedOver.clear();
  changes.clear();
  record = ConversionRecord();
  format = TemplateFormat::NotJson;
  // Refused before parsing: the parse alone could take gigabytes.
  if (text != nullptr && ExceedsJsonValueLimit(text)) {
    return Failure::Of(errors::kTemplateComplex, JsonValueLimitMessage());
  }
  Json::Value root;
  const char* begin = text != nullptr ? text : "";
  if (Failure failure = ParseLegacyText(begin, begin + std::strlen(begin), root)) return failure;
  if (!collectNotCarriedOver) return ReadParsedTemplate(root);
  KeyAccounting accounting;
  Failure failure;
  {
    const ScopedKeyAccounting scope(accounting);
    failure = ReadParsedTemplate(root);
  }
  if (!failure) {
    notCarriedOver = accounting.Unconsumed(root);
    changes = accounting.Changes(root);
  }
  return failure;
}

Failure ZQA_OldParameterReader::ReadParsedTemplate(const Json::Value& root) {
  format = FormatOfRoot(root);
  if (!root.isObject()) return Failure::Of(errors::kJsonValueInvalid, texts::kNotAnObject);
  // Only a legacy template is converted: anything else would come out as a
  // default template and replace what it was.
  if (format != TemplateFormat::Legacy) {
    return Failure::Of(errors::kJsonTypeInvalid, format == TemplateFormat::Current
                                                     ? texts::kAlreadyCurrentFormat
                                                     : texts::kNotLegacyTemplate);
  }
  const auto& [formatSpecifications, regionDefinitions, imageParameters] = kLegacyRootKeys;

  const auto eachGiven = [&root](const LegacyRootKey& keys, auto&& read) {
    if (const Json::Value* single = FindMember(root, keys.single)) {
      ConsumeMember(root, keys.single);
      if (Failure failure = read(*single)) return failure;
    }
    // An array key of another type is passed over.
    if (const Json::Value* array = FindMember(root, keys.array); array && array->isArray()) {
      ConsumeMember(root, keys.array);
      for (const Json::Value& element : *array) {
        if (Failure failure = read(element)) return failure;
      }
    }
    return Failure();
  };

  // Spent on what each legacy entry may make, before it is read.
  ConversionBudget budget;
  const auto spendOn = [&budget](std::size_t made, const Json::Value& value) {
    return budget.Spend(made + ConversionBudget::UnitsOf(value));
  };

  // The legacy object of each format specification held, by name: a later
  // one of the same name replaces it.
  std::unordered_map<std::string, const Json::Value*> specificationSources;
  Failure failure = eachGiven(
      formatSpecifications,
      [this, &spendOn, &specificationSources](const Json::Value& value) {
        if (!spendOn(ConversionBudget::kSectionUnits, value)) return BudgetSpent();
        OldFormatSpecification specification;
        const int read = specification.ReadLegacyJson(value);
        if (read != errors::kSuccess) {
          return Failure::Of(read, texts::kLegacyFormatSpecificationFailed);
        }
        const auto [held, isNew] = specificationSources.try_emplace(specification.name, &value);
        if (!isNew) {
          RecordChange(NameValue(*held->second), Json::Value(),
                       "a later format specification has this name; dropped");
          held->second = &value;
        }
        record.formatSpecifications.push_back(specification.name);
        document.SetSectionObject(kBarcodeFormatSpecifications, specification.name,
                         MakeRef<ZQA_BarcodeFormatSpecification>(
                             static_cast<const ZQA_BarcodeFormatSpecification&>(specification)));
        return Failure();
      });
  if (failure) return failure;
  // A base that names no format specification of the file, or leads back
  // to where it started, would fail every reader of the output.
  const auto& specifications = document.formatSpecifications;
  std::vector<ZQA_BarcodeFormatSpecification*> inOrder;
  std::vector<std::string_view> namesInOrder;
  inOrder.reserve(specifications.Size());
  namesInOrder.reserve(specifications.Size());
  std::unordered_map<std::string_view, int> indexOf;
  for (const auto& [name, section] : specifications) {
    indexOf.emplace(name, static_cast<int>(inOrder.size()));
    inOrder.push_back(section.Get());
    namesInOrder.push_back(name);
  }
  std::vector<int> baseOf;
  baseOf.reserve(inOrder.size());
  for (const ZQA_BarcodeFormatSpecification* specification : inOrder) {
    const std::string& base = specification->baseBarcodeFormatSpecification;
    const auto found = indexOf.find(base);
    baseOf.push_back(base.empty() ? kNoBase : found == indexOf.end() ? kMissingBase : found->second);
  }
  const std::vector<BaseLink> links = JudgeBaseLinks(baseOf);
  for (std::size_t i = 0; i < inOrder.size(); ++i) {
    if (links[i] == BaseLink::kKept) continue;
    inOrder[i]->baseBarcodeFormatSpecification.clear();
    const auto source = specificationSources.find(std::string(namesInOrder[i]));
    const Json::Value* given = source == specificationSources.end()
                                   ? nullptr
                                   : FindMember(*source->second, "BaseBarcodeFormatSpecification");
    if (given != nullptr) {
      RecordChange(*given, Json::Value(),
                   links[i] == BaseLink::kNamesNothing ? "names no format specification; dropped"
                                                       : "leads back to itself; dropped");
    }
  }

  // Kept aside: each image parameter converts the regions it names.
  std::vector<OldRegionDefinition> regions;
  failure = eachGiven(regionDefinitions,
                      [this, &regions, &spendOn](const Json::Value& value) {
                       // Kept like a list element until an image parameter names it.
                       if (!spendOn(ConversionBudget::kElementUnits, value)) return BudgetSpent();
                       OldRegionDefinition region;
                       const int read = region.ReadLegacyJson(value);
                       if (read != errors::kSuccess) return Failure::Of(read, region.errorMessage);
                       region.legacyName = region.name;
                       region.source = &value;
                       DropUnknownSpecificationNames(
                           region.formatSpecificationNames,
                           HeldList(value, {"FormatSpecificationNameArray"}), document);
                       regions.push_back(std::move(region));
                       return Failure();
                     });
  if (failure) return failure;
  const RegionIndex regionIndex(regions);
  for (OldRegionDefinition& region : regions) {
    if (regionIndex.Find(region.legacyName) != &region) {
      RecordChange(RegionValue(region), Json::Value(), "a region of this name comes first; ignored");
    } else if (region.legacyName == DefaultTargetROIDefName()) {
      // The whole image has its own target ROI definition of that name.
      region.name = FreeWholeImageName(regions);
      RecordChange(RegionValue(region), region.name,
                   "renamed: the name is taken by the whole-image target ROI");
    }
  }

  document.imageParameters.Clear();
  const QV_ImageParameter& decode = DecodeImageParameter();
  document.SetSectionObject(kImageParameters, decode.name, MakeRef<QV_ImageParameter>(decode));

  failure = eachGiven(imageParameters, [&](const Json::Value& value) {
    if (!spendOn(ConversionBudget::kImageParameterUnits, value)) return BudgetSpent();
    return ConvertImageParameter(value, regionIndex, budget);
  });
  if (failure) return failure;

  document.lumiflowTemplates.Clear();
  for (const OldLumiflowSetting& flow : lumiflowSettings) {
    document.SetSectionObject(kLumiflowTemplates, flow.name, MakeRef<QV_LumiflowSetting>(flow));
  }
  std::set<std::string_view> applied;
  for (const ConversionRecord::ImageParameter& made : record.imageParameters) {
    applied.insert(made.regions.begin(), made.regions.end());
  }
  for (const OldRegionDefinition& region : regions) {
    ConversionRecord::Region& made = record.regions.emplace_back();
    made.name = region.legacyName;
    const auto* roi = document.FindSection<QV_TargetROIDef>(kTargetROIDefs, region.name);
    if (roi != nullptr && applied.count(region.name) != 0) {
      made.targetROIDef = roi->name;
      made.tasks = roi->taskSettingNames;
    } else if (regionIndex.Find(region.legacyName) == &region) {
      RecordChange(RegionValue(region), Json::Value(), "no image parameter names the region; dropped");
    }
  }
  return {};
}

Failure ZQA_OldParameterReader::ConvertImageParameter(const Json::Value& value,
                                                      const RegionIndex& regions,
                                                      ConversionBudget& budget) {
  if (!value.isObject()) {
    return Failure::Of(errors::kJsonTypeInvalid, texts::kLegacyImageParameterNotAnObject);
  }
  const std::string number = std::to_string(++imageParameterCount);
  const std::string imageParameterName = "IP_" + number;

  OldImageParameterReader image;
  if (const int result = image.ReadLegacyJson(value)) {
    return Failure::Of(result, Prefixed(texts::kLegacyImageParameterFailed, image.errorMessage,
                                        Joint::kSpacedColonSpace));
  }
  auto imageParameter = MakeRef<QV_ImageParameter>(static_cast<const QV_ImageParameter&>(image));
  imageParameter->name = imageParameterName;
  // The converted parameter is written whole; a base name could only name a
  // legacy object, which a reader of the new template would fail to find.
  if (!imageParameter->baseImageParameterName.empty()) {
    imageParameter->baseImageParameterName.clear();
    RecordChange(*FindMember(value, "BaseImageParameterName"), Json::Value(),
                 "names a legacy image parameter; dropped");
  }
  document.SetSectionObject(kImageParameters, imageParameterName, std::move(imageParameter));

  OldBarcodeReaderTaskSetting task;
  if (const int result = task.ReadLegacyJson(value)) {
    return Failure::Of(result, Prefixed(texts::kLegacyTaskFailed, task.errorMessage,
                                        Joint::kSpacedColonSpace));
  }
  task.name = "BR_" + number;
  // Like the image parameter's, a base could only name a legacy object.
  if (!task.baseName.empty()) {
    task.baseName.clear();
    RecordChange(*FindMember(value, "BaseBarcodeReaderTaskSettingName"), Json::Value(),
                 "names a legacy task; dropped");
  }
  DropUnknownSpecificationNames(
      task.formatSpecificationNames,
      HeldList(value, {"BarcodeFormatSpecificationNameArray", "FormatSpecificationNameArray"}),
      document);

  // Localization works on this image parameter; decoding on the shared one.
  const Json::Value* givenSections = FindMember(value, "SectionImageParameterArray");
  if (task.sectionImageParameters.empty()) task.FillDefaultSectionImageParameters();
  for (std::size_t i = 0; i < task.sectionImageParameters.size(); ++i) {
    QVIP_SectionImageParameterStruct& entry = task.sectionImageParameters[i];
    std::string named;
    if (entry.section == ST_REGION_PREDETECTION || entry.section == ST_BARCODE_LOCALIZATION) {
      named = imageParameterName;
    } else if (entry.section == ST_BARCODE_DECODING) {
      named = DecodeImageParameter().name;
    } else {
      continue;
    }
    // A name the legacy object gave names a legacy image parameter.
    if (givenSections != nullptr && givenSections->isArray() && i < givenSections->size()) {
      const Json::Value* given =
          FindMember((*givenSections)[static_cast<Json::ArrayIndex>(i)], "ImageParameterName");
      if (given != nullptr && given->isString() && given->asString() != named) {
        RecordChange(*given, named, "names a legacy image parameter; replaced");
      }
    }
    entry.imageParameterName = std::move(named);
  }

  OldLumiflowSetting flow;
  flow.imageROIProcessingNames.clear();
  flow.ReadFromJson(value, NoSkippedKeys());
  const Json::Value* regionNames = FindMember(value, "RegionDefinitionNameArray");
  RegionConversion conversion{document,
                              task,
                              regionNames != nullptr && regionNames->isArray() ? regionNames : nullptr,
                              task.CopyUnits(),
                              flow,
                              regions,
                              budget};
  if (Failure failure = ConvertRegionDefinitions(conversion)) return failure;

  // The whole image reads the task's formats that no region took. When the
  // regions took all of them, the whole image has nothing left to read.
  const BarcodeFormatMask remaining = conversion.remainingFormats;
  const bool regionsTookFormats = remaining != kAllFormats;
  const BarcodeFormatMask wholeImageFormats = task.barcodeFormat.barcodeFormatIds & remaining;
  if (!regionsTookFormats || wholeImageFormats != BF_NULL) {
    auto* wholeImage =
        document.FindSection<QV_TargetROIDef>(kTargetROIDefs, DefaultTargetROIDefName());
    if (!wholeImage) return Failure::OfCode(errors::kNullPointer);
    // Each image parameter's task name is new.
    wholeImage->taskSettingNames.push_back(task.name);
    flow.imageROIProcessingNames.push_back(DefaultTargetROIDefName());
    task.barcodeFormat.barcodeFormatIds = wholeImageFormats;
    document.AddTask(kBarcodeReaderTasks, kBarcodeReaderTask,
                     MakeRef<ZQA_BarcodeReaderTaskSetting>(
                         static_cast<const ZQA_BarcodeReaderTaskSetting&>(task)));
  }

  flow.name += "_" + number;
  ConversionRecord::ImageParameter& made = record.imageParameters.emplace_back();
  if (const Json::Value* legacyName = FindMember(value, "Name"); legacyName && legacyName->isString()) {
    made.legacyName = legacyName->asString();
  }
  made.position = imageParameterCount;
  made.imageParameter = imageParameterName;
  if (document.FindSectionObject(kBarcodeReaderTasks, task.name) != nullptr) made.task = task.name;
  made.captureFlowTemplate = flow.name;
  for (const std::string& regionName : task.regionDefinitionNames) {
    if (const OldRegionDefinition* region = regions.Find(regionName)) {
      made.regions.push_back(region->name);
    }
  }
  lumiflowSettings.push_back(std::move(flow));
  return {};
}

Json::Value ZQA_OldParameterReader::NewTemplateTree() {
  Json::Value root;
  for (const SectionSpec& section : SectionTable()) {
    if (!section.written) continue;
    if (section.collection == kNoCollection) {
      if (QV_GlobalParameter* global = document.globalParameter.Get()) {
        global->WriteToJson(false);
        root[section.key] = std::move(global->json);
      }
      continue;
    }
    // One array per collection, in name order; left out when empty.
    Json::Value array;
    document.VisitCollection(section.collection, [&array](const auto& collection) {
      for (const auto& entry : collection) AppendWritten(array, *entry.second);
    });
    if (section.collection == kBarcodeFormatSpecifications) {
      for (const auto& unnamed : document.unnamedFormatSpecifications) {
        if (unnamed) AppendWritten(array, *unnamed);
      }
    }
    if (!array.isNull()) root[section.key] = std::move(array);
  }
  return root;
}

void ZQA_OldParameterReader::OutputNewTemplate(std::string& text) {
  // The sections a template holds, in the order of their keys, as an object
  // lists its members.
  static const std::vector<const SectionSpec*> sections = [] {
    std::vector<const SectionSpec*> written;
    for (const SectionSpec& section : SectionTable()) {
      if (section.written) written.push_back(&section);
    }
    std::sort(written.begin(), written.end(), [](const SectionSpec* a, const SectionSpec* b) {
      return std::string_view(a->key) < std::string_view(b->key);
    });
    return written;
  }();
  text.clear();
  // Room for a typical template at once, rather than doubling up to it.
  text.reserve(std::size_t{1} << 15);
  StyledText out(text);
  out.BeginObject();
  for (const SectionSpec* section : sections) {
    if (section->collection == kNoCollection) {
      if (QV_GlobalParameter* global = document.globalParameter.Get()) {
        out.Key(section->key);
        global->WriteText(out, false);
      }
      continue;
    }
    // One array per collection, in name order; left out when empty.
    const bool specifications = section->collection == kBarcodeFormatSpecifications;
    std::size_t count = 0;
    document.VisitCollection(section->collection,
                             [&count](const auto& collection) { count = collection.Size(); });
    if (specifications) {
      for (const auto& unnamed : document.unnamedFormatSpecifications) count += unnamed ? 1 : 0;
    }
    if (count == 0) continue;
    out.Key(section->key);
    out.BeginArray(count);
    document.VisitCollection(section->collection, [&out](const auto& collection) {
      for (const auto& entry : collection) entry.second->WriteText(out, false);
    });
    if (specifications) {
      for (const auto& unnamed : document.unnamedFormatSpecifications) {
        if (unnamed) unnamed->WriteText(out, false);
      }
    }
    out.EndArray();
  }
  out.EndObject();
  out.Finish();
}

}  // namespace quorvane
