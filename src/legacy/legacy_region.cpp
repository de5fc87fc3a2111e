#include "legacy/legacy_region.h"

#include <algorithm>
#include <climits>
#include <unordered_set>
#include <utility>

#include "captureflow/default_names.h"
#include "captureflow/target_roi.h"

namespace quorvane {

namespace {

constexpr std::size_t kSectionUnits = ConversionBudget::kSectionUnits;

struct EdgeField {
  const char* key;
  int OldRegionDefinition::*member;
  int maximum;  // every minimum is 0
};
constexpr EdgeField kIntFields[] = {
    {"Bottom", &OldRegionDefinition::bottom, INT_MAX},
    {"Left", &OldRegionDefinition::left, INT_MAX},
    {"Right", &OldRegionDefinition::right, INT_MAX},
    {"Top", &OldRegionDefinition::top, INT_MAX},
    {"MeasuredByPercentage", &OldRegionDefinition::measuredByPercentage, 1},
};

// The region's rectangle as the four corners of a location, clockwise from
// the top left, validated the way a location read from a template is: the
// units follow "MeasuredByPercentage" and the corners must turn the default
// way.
int SetLocation(const OldRegionDefinition& region, QVIP_LocationOffsetStruct& offset) {
  offset.measuredByPercentage = region.measuredByPercentage;
  const auto place = [](QVIP_LocationOffsetStruct::Point& point, int x, int y) {
    point[0] = x;
    point[1] = y;
  };
  place(offset.firstPoint, region.left, region.top);
  place(offset.secondPoint, region.right, region.top);
  place(offset.thirdPoint, region.right, region.bottom);
  place(offset.fourthPoint, region.left, region.bottom);
  offset.MarkUnitsNotGiven();
  return offset.Validate();
}

// Whether the region reads otherwise than the task: other formats, or
// format specification names that are not the task's (in any order).
bool NeedsOwnTask(const OldRegionDefinition& region, const OldBarcodeReaderTaskSetting& task) {
  if (region.legacyBarcodeFormat.barcodeFormatIds != task.barcodeFormat.barcodeFormatIds) {
    return true;
  }
  const std::vector<std::string>& regionNames = region.formatSpecificationNames;
  const std::vector<std::string>& taskNames = task.formatSpecificationNames;
  if (regionNames.size() != taskNames.size()) return true;
  if (taskNames.empty()) return false;
  const std::unordered_set<std::string_view> names(regionNames.begin(), regionNames.end());
  return std::any_of(taskNames.begin(), taskNames.end(),
                     [&names](const std::string& name) { return names.count(name) == 0; });
}

int TooComplex(std::string& errorMessage) {
  errorMessage.clear();
  return errors::kTemplateComplex;
}

// What one element of a mode list writes, by the list's key: the element of
// its family with every argument (the deformation family also writes its
// two nested modes). The elements of any other list cost kElementUnits.
constexpr struct {
  std::string_view key;
  std::size_t units;
} kModeElementUnits[] = {
    {"BarcodeColourModes", 3},
    {"BarcodeComplementModes", 2},
    {"BinarizationModes", 12},
    {"ColourConversionModes", 6},
    {"DPMCodeReadingModes", 3},
    {"DeblurModes", 2},
    {"DeformationResistingModes", 22},
    {"GrayscaleEnhancementModes", 7},
    {"GrayscaleTransformationModes", 2},
    {"ImagePreprocessingModes", 12},  // a grayscale enhancement or binarization mode
    {"LocalizationModes", 7},
    {"RegionPredetectionModes", 13},
    {"ScaleUpModes", 7},
    {"TextResultOrderModes", 2},
    {"TextureDetectionModes", 3},
};

std::size_t ElementUnits(std::string_view listKey) {
  for (const auto& entry : kModeElementUnits) {
    if (entry.key == listKey) return entry.units;
  }
  return ConversionBudget::kElementUnits;
}

}  // namespace

std::size_t ConversionBudget::UnitsOf(const Json::Value& value) {
  std::size_t units = 0;
  // Each value with what an element costs if it is a list.
  std::vector<std::pair<const Json::Value*, std::size_t>> pending = {{&value, kElementUnits}};
  while (!pending.empty()) {
    const auto [current, elementUnits] = pending.back();
    pending.pop_back();
    ++units;  // the value itself
    if (current->isArray()) {
      // Each element counts one unit of its own when it is visited.
      units += current->size() * (elementUnits - 1);
      for (const Json::Value& child : *current) pending.emplace_back(&child, kElementUnits);
    } else if (current->isObject()) {
      for (auto member = current->begin(); member != current->end(); ++member) {
        std::size_t memberElementUnits = kElementUnits;
        if (member->isArray()) {
          const char* end = nullptr;
          const char* begin = member.memberName(&end);
          memberElementUnits = ElementUnits(std::string_view(begin, end - begin));
        }
        pending.emplace_back(&*member, memberElementUnits);
      }
    }
  }
  return units;
}

// ---------------------------------------------------------------------------
// Region definition

const std::string& OldRegionDefinition::GetTypeName() const {
  static const std::string typeName = "RegionDefinition";
  return typeName;
}

void OldRegionDefinition::InitFieldTable() {
  RegisterCommonFields();
  RegisterStringArrayField("FormatSpecificationNameArray", &formatSpecificationNames, true);
  for (const EdgeField& field : kIntFields) {
    RegisterIntField(field.key, &(this->*field.member), 0, field.maximum);
  }
}

int OldRegionDefinition::ReadLegacyJson(const Json::Value& value, std::string& message) {
  const int result = ReadLegacyObject(*this, legacyBarcodeFormat, value);
  if (result != errors::kSuccess) message = errorMessage;
  return result;
}

// ---------------------------------------------------------------------------
// Conversion

RegionIndex::RegionIndex(const std::vector<OldRegionDefinition>& regions) {
  byName_.reserve(regions.size());
  for (const OldRegionDefinition& region : regions) byName_.emplace(region.name, &region);
}

const OldRegionDefinition* RegionIndex::Find(std::string_view name) const {
  auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

int ConvertRegionDefinitions(RegionConversion& conversion, std::string& errorMessage) {
  const OldBarcodeReaderTaskSetting& task = conversion.task;
  QV_LMFParameter& document = conversion.document;
  // A name listed again adds itself to the flow once more and changes
  // nothing else: its definition and task already stand.
  std::unordered_set<std::string_view> converted;
  for (const std::string& regionName : task.regionDefinitionNames) {
    const OldRegionDefinition* region = conversion.regions.Find(regionName);
    if (!region) continue;
    // No section of the current format may go without a name.
    if (regionName.empty()) {
      errorMessage = region->GetTypeName() + ":Name:" + GetErrorString(errors::kJsonValueInvalid);
      return errors::kJsonValueInvalid;
    }
    conversion.flow.imageROIProcessingNames.push_back(regionName);
    if (!converted.insert(regionName).second) continue;

    // Image parameters that share a region share its definition, so that no
    // task of theirs loses its region.
    QV_TargetROIDef* roi = nullptr;
    if (regionName != DefaultTargetROIDefName()) {
      roi = document.FindSection<QV_TargetROIDef>(kTargetROIDefs, regionName);
    }
    if (!roi) {
      if (!conversion.budget.Spend(kSectionUnits)) return TooComplex(errorMessage);
      auto created = MakeRef<QV_TargetROIDef>();
      created->name = regionName;
      QVIP_LocationOffsetStruct& offset = created->location.offset;
      if (SetLocation(*region, offset) != errors::kSuccess) {
        errorMessage = regionName + ":" + offset.errorMessage;
        return errors::kJsonValueInvalid;
      }
      roi = created.Get();
      document.SetSectionObject(kTargetROIDefs, regionName, std::move(created));
    }

    const std::size_t comparisons =
        1 + task.formatSpecificationNames.size() + region->formatSpecificationNames.size();
    if (!conversion.budget.Spend(comparisons)) return TooComplex(errorMessage);
    if (!NeedsOwnTask(*region, task)) continue;

    const BarcodeFormatMask regionFormats = region->legacyBarcodeFormat.barcodeFormatIds;
    conversion.remainingFormats &= ~regionFormats;
    std::string taskName = regionName + "_" + task.name;
    if (document.FindSection<QV_ParameterFieldBase>(kBarcodeReaderTasks, taskName)) {
      roi->AddTaskSettingName(taskName);
      continue;
    }
    const std::size_t copied =
        kSectionUnits + conversion.taskCopyCost + region->formatSpecificationNames.size();
    if (!conversion.budget.Spend(copied)) return TooComplex(errorMessage);
    // Only the current-format part of the task is copied: it is all that is written.
    auto derived = MakeRef<ZQA_BarcodeReaderTaskSetting>(
        static_cast<const ZQA_BarcodeReaderTaskSetting&>(task));
    derived->name = taskName;
    derived->barcodeFormat.barcodeFormatIds = regionFormats;
    if (!region->formatSpecificationNames.empty()) {
      derived->formatSpecificationNames = region->formatSpecificationNames;
    }
    document.SetSectionObject(kBarcodeReaderTasks, taskName, std::move(derived));
    document.taskNameKinds[taskName] = kBarcodeReaderTask;
    // A name that no task had before: no definition lists it yet.
    roi->taskSettingNames.push_back(std::move(taskName));
  }
  return errors::kSuccess;
}

}  // namespace quorvane
