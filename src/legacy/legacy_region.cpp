#include "legacy/legacy_region.h"

#include <algorithm>
#include <climits>
#include <unordered_set>
#include <utility>

#include "captureflow/target_roi.h"
#include "framework/field_mapping.h"
#include "framework/key_accounting.h"

namespace quorvane {

namespace {

constexpr std::size_t kSectionUnits = ConversionBudget::kSectionUnits;

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

}  // namespace

// ---------------------------------------------------------------------------
// Region definition

OldRegionDefinition::OldRegionDefinition() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& OldRegionDefinition::Mapping() {
  using S = OldRegionDefinition;
  // Edges are not checked against each other here.
  static const ClassMapping mapping =
      Mapper<S>("RegionDefinition")
          .RegisterCommonFields()
          .Inline("BarcodeFormatIds", &S::legacyBarcodeFormat)
          .TextList("FormatSpecificationNameArray", &S::formatSpecificationNames, kEmptyAllowed)
          .Int("Bottom", &S::bottom, 100, 0, INT_MAX)
          .Int("Left", &S::left, 0, 0, INT_MAX)
          .Int("Right", &S::right, 100, 0, INT_MAX)
          .Int("Top", &S::top, 0, 0, INT_MAX)
          .Int("MeasuredByPercentage", &S::measuredByPercentage, 1, 0, 1)
          .Build();
  return mapping;
}

int OldRegionDefinition::ReadLegacyJson(const Json::Value& value) {
  return ReadLegacyObject(*this, value);
}

// ---------------------------------------------------------------------------
// Conversion

RegionIndex::RegionIndex(const std::vector<OldRegionDefinition>& regions) {
  byName_.reserve(regions.size());
  for (const OldRegionDefinition& region : regions) byName_.emplace(region.legacyName, &region);
}

const Json::Value& RegionValue(const OldRegionDefinition& region) {
  static const Json::Value none;
  if (region.source == nullptr) return none;
  const Json::Value* name = FindMember(*region.source, "Name");
  return name != nullptr ? *name : *region.source;
}

const OldRegionDefinition* RegionIndex::Find(std::string_view name) const {
  auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

Failure ConvertRegionDefinitions(RegionConversion& conversion) {
  const OldBarcodeReaderTaskSetting& task = conversion.task;
  QV_LMFParameter& document = conversion.document;
  // A name listed again adds itself to the flow once more and changes
  // nothing else: its definition and task already stand.
  std::unordered_set<std::string_view> converted;
  for (std::size_t i = 0; i < task.regionDefinitionNames.size(); ++i) {
    const OldRegionDefinition* region = conversion.regions.Find(task.regionDefinitionNames[i]);
    if (!region) {
      if (conversion.regionNames != nullptr && i < conversion.regionNames->size()) {
        RecordChange((*conversion.regionNames)[static_cast<Json::ArrayIndex>(i)], Json::Value(),
                     "names no region; dropped");
      }
      continue;
    }
    const std::string& regionName = region->name;
    // No section of the current format may go without a name.
    if (regionName.empty()) {
      return Failure::Of(errors::kJsonValueInvalid, GetErrorString(errors::kJsonValueInvalid))
          .Within("Name")
          .Within(region->GetTypeName());
    }
    conversion.flow.imageROIProcessingNames.push_back(regionName);
    if (!converted.insert(regionName).second) continue;

    // Image parameters that share a region share its definition, so that no
    // task of theirs loses its region. No region takes the whole image's name.
    QV_TargetROIDef* roi = document.FindSection<QV_TargetROIDef>(kTargetROIDefs, regionName);
    if (!roi) {
      if (!conversion.budget.Spend(kSectionUnits)) return BudgetSpent();
      auto created = MakeRef<QV_TargetROIDef>();
      created->name = regionName;
      QVIP_LocationOffsetStruct& offset = created->location.offset;
      if (SetLocation(*region, offset) != errors::kSuccess) {
        return Failure::Of(errors::kJsonValueInvalid, offset.errorMessage).Within(regionName);
      }
      roi = created.Get();
      document.SetSectionObject(kTargetROIDefs, regionName, std::move(created));
    }

    const std::size_t comparisons =
        1 + task.formatSpecificationNames.size() + region->formatSpecificationNames.size();
    if (!conversion.budget.Spend(comparisons)) return BudgetSpent();
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
    if (!conversion.budget.Spend(copied)) return BudgetSpent();
    // Only the current-format part of the task is copied: it is all that is written.
    auto derived = MakeRef<ZQA_BarcodeReaderTaskSetting>(
        static_cast<const ZQA_BarcodeReaderTaskSetting&>(task));
    derived->name = taskName;
    derived->barcodeFormat.barcodeFormatIds = regionFormats;
    if (!region->formatSpecificationNames.empty()) {
      derived->formatSpecificationNames = region->formatSpecificationNames;
    }
    document.AddTask(kBarcodeReaderTasks, kBarcodeReaderTask, std::move(derived));
    // A name that no task had before: no definition lists it yet.
    roi->taskSettingNames.push_back(std::move(taskName));
  }
  return {};
}

}  // namespace quorvane
