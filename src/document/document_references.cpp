#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "captureflow/default_names.h"
#include "captureflow/flow_sections.h"
#include "captureflow/lumiflow_setting.h"
#include "captureflow/target_roi.h"
#include "document/document_internal.h"
#include "document/template_document.h"
#include "framework/messages.h"

namespace quorvane {

namespace {

using document_internal::CodeFailure;
using document_internal::UndefinedName;

// Names (and reference lists) looked at or filled in by the reference checks
// of one read. Filling empty task lists copies whole name lists, so a text of
// a few megabytes could otherwise ask for billions of names; no real template
// comes near this.
constexpr std::size_t kReferenceWorkLimit = std::size_t{1} << 22;

}  // namespace

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

// ---------------------------------------------------------------------------
// Reference checks

template <class Names>
QV_LMFParameter::RoiScope QV_LMFParameter::ScopeOf(const Names& roiNames) {
  RoiScope scope;
  std::set<std::string_view> seen;
  for (const auto& roiName : roiNames) {
    const std::string_view name = roiName;
    if (!seen.insert(name).second) continue;
    const QV_TargetROIDef* roi = targetROIDefs.Find(name);
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

Failure QV_LMFParameter::ApplyScope(const RoiScope& scope, std::vector<std::string>& taskNames,
                                    const std::string& referrer, bool outputTasksAllowed) {
  const auto isOutputTask = [this](std::string_view task) {
    auto kind = taskNameKinds.find(task);
    return kind != taskNameKinds.end() && kind->second == kOutputTask;
  };
  if (scope.tooComplex) return CodeFailure(referrer, errors::kTemplateComplex);
  const auto undefinedRoi = [&scope, &referrer] {
    return Failure::Of(errors::kNameReferenceInvalid,
                       UndefinedName(texts::kRoiKind, scope.undefinedName, referrer));
  };
  if (taskNames.empty()) {
    if (scope.hasUndefined) return undefinedRoi();
    std::vector<std::string> collected;
    for (std::string_view task : scope.tasks) {
      if (outputTasksAllowed || !isOutputTask(task)) collected.emplace_back(task);
    }
    referenceWork_ += collected.size();
    if (referenceWork_ > kReferenceWorkLimit) {
      return CodeFailure(referrer, errors::kTemplateComplex);
    }
    taskNames = std::move(collected);
    return {};
  }
  // Given tasks are tested against each definition as it is met, so an
  // output task is refused as soon as one definition has been found.
  if (scope.definedCount > 0 && !outputTasksAllowed) {
    for (const std::string& task : taskNames) {
      if (isOutputTask(task)) {
        return Failure::Of(errors::kNameReferenceInvalid,
                           std::string(texts::kOutputTaskNamed) + task +
                               std::string(texts::kReferencedIn) + referrer +
                               std::string(texts::kIsInvalid));
      }
    }
  }
  if (scope.hasUndefined) return undefinedRoi();
  for (const std::string& task : taskNames) {
    if (scope.taskSet.count(task) == 0) {
      return Failure::Of(errors::kNameReferenceInvalid,
                         UndefinedName(texts::kTaskKind, task, referrer));
    }
  }
  return {};
}

Failure QV_LMFParameter::CheckReferences(
    const std::vector<std::string>& roiNames, std::vector<std::string>& taskNames,
    const std::string& referrer, bool outputTasksAllowed) {
  return ApplyScope(ScopeOf(roiNames), taskNames, referrer, outputTasksAllowed);
}

Failure QV_LMFParameter::CheckTargetROIDefs() {
  for (const auto& [name, roi] : targetROIDefs) {
    if (Failure failure =
            CheckDeclaredTasks(roi->taskSettingNames, texts::kUndeclaredInTargetROIDef, name)) {
      return failure;
    }
    if (std::optional<QV_ReferenceObjectFilter>& filter = roi->location.referenceObjectFilter) {
      if (Failure failure =
              CheckReferences(filter->referenceTargetROIDefNames, filter->referenceTaskNames,
                              Prefixed(roi->GetTypeName(), name), true)) {
        return failure;
      }
    }
  }
  return {};
}

Failure QV_LMFParameter::CheckSemanticTaskNames() {
  for (const auto& [name, setting] : semanticSettings) {
    if (Failure failure = CheckDeclaredTasks(setting->taskSettingNames,
                                             texts::kUndeclaredInSemanticSetting, name)) {
      return failure;
    }
  }
  return {};
}

Failure QV_LMFParameter::CheckDeclaredTasks(const std::vector<std::string>& tasks,
                                            std::string_view referredIn, const std::string& name) {
  for (const std::string& task : tasks) {
    if (declaredTaskNames_.count(task) == 0) {
      return Failure::Of(errors::kNameReferenceInvalid,
                         std::string(texts::kUndeclaredTask) + task + std::string(referredIn) +
                             name + std::string(texts::kIsUndefined));
    }
  }
  return {};
}

Failure QV_LMFParameter::CheckImageSources() {
  for (const auto& [name, flow] : lumiflowTemplates) {
    if (flow->imageSourceName.empty()) continue;
    if (!imageSources.Contains(flow->imageSourceName)) {
      return Failure::Of(errors::kImageSourceNotFound,
                         flow->imageSourceName + std::string(texts::kImageSourceUnknown));
    }
  }
  return {};
}

Failure QV_LMFParameter::CheckTargetROINames() {
  std::set<std::string_view> named;
  // Checked as collected: the first name that is not a definition, in the
  // order of collection, is the one reported.
  const auto collect = [this, &named](const std::vector<std::string>& names) {
    for (const std::string& roiName : names) {
      if (named.insert(roiName).second && !targetROIDefs.Contains(roiName)) {
        return Failure::Of(errors::kNameReferenceInvalid,
                           roiName + std::string(texts::kTargetROIDefUnknown));
      }
    }
    return Failure();
  };
  for (const auto& [name, flow] : lumiflowTemplates) {
    if (Failure failure = collect(flow->imageROIProcessingNames)) return failure;
  }
  for (const auto& [name, setting] : semanticSettings) {
    if (!setting->referenceObjectFilter) continue;
    if (Failure failure = collect(setting->referenceObjectFilter->referenceTargetROIDefNames)) {
      return failure;
    }
  }
  for (const auto& [name, roi] : targetROIDefs) {
    if (!roi->location.referenceObjectFilter) continue;
    const QV_ReferenceObjectFilter& filter = *roi->location.referenceObjectFilter;
    if (Failure failure = collect(filter.referenceTargetROIDefNames)) return failure;
  }

  // The default definition goes unless something names it or it was read.
  const QV_TargetROIDef* whole = targetROIDefs.Find(DefaultTargetROIDefName());
  if (whole != nullptr && whole->isPlaceholder && named.count(DefaultTargetROIDefName()) == 0) {
    named.clear();  // may hold views into the definition
    targetROIDefs.Erase(DefaultTargetROIDefName());
  }
  return {};
}

Failure QV_LMFParameter::CheckOutputTasks() {
  if (outputTasks.Empty()) return {};
  // Output task name → the definitions that run it, in name order.
  std::map<std::string_view, std::vector<std::string_view>> runners;
  for (const auto& entry : outputTasks) runners[entry.first];
  for (const auto& [roiName, roi] : targetROIDefs) {
    for (const std::string& task : roi->taskSettingNames) {
      auto runner = runners.find(task);
      if (runner != runners.end() &&
          (runner->second.empty() || runner->second.back() != roiName)) {
        runner->second.push_back(roiName);
      }
    }
  }
  for (const auto& [name, output] : outputTasks) {
    if (output->outputCondition.taskResults.empty()) continue;
    // The same definitions for every result of this task: looked at once.
    const RoiScope runnersScope = ScopeOf(runners[name]);
    std::vector<QV_OutputTaskSetting::TaskResult>& results = output->outputCondition.taskResults;
    for (std::size_t i = 0; i < results.size(); ++i) {
      QV_OutputTaskSetting::TaskResult& taskResult = results[i];
      const std::string referrer = ElementName(texts::kTaskResult, i);
      Failure failure = CheckReferences({taskResult.targetROIDefName},
                                        taskResult.taskSettingNames, referrer, false);
      if (!failure) {
        failure = ApplyScope(runnersScope, taskResult.backwardReferenceOutput.referenceTaskNames,
                             Prefixed(referrer, texts::kBackwardReferenceOutput), false);
      }
      if (failure) return failure;
    }
  }
  return {};
}

Failure QV_LMFParameter::CheckSemanticSettingNames() {
  for (const auto& [name, flow] : lumiflowTemplates) {
    for (const std::string& settingName : flow->semanticProcessingNames) {
      if (!semanticSettings.Contains(settingName)) {
        return Failure::Of(errors::kNameReferenceInvalid,
                           settingName + std::string(texts::kSemanticSettingUnknown));
      }
    }
  }
  return {};
}

// ---------------------------------------------------------------------------
// Name queries

const QV_LMFParameter::CachedNames& QV_LMFParameter::CodeSpecificationNames(
    const std::string& templateName) {
  auto cached = referencedCodeSpecifications_.find(templateName);
  if (cached != referencedCodeSpecifications_.end()) return cached->second;

  CachedNames answer;
  const QV_LumiflowSetting* flow = lumiflowTemplates.Find(templateName);
  std::set<std::string_view> settingsSeen;
  std::set<std::string_view> tasksSeen;
  std::set<std::string_view> namesSeen;
  for (const std::string& settingName : flow->semanticProcessingNames) {
    const QV_SemanticSetting* setting = semanticSettings.Find(settingName);
    if (setting == nullptr || !settingsSeen.insert(settingName).second) continue;
    for (const std::string& taskName : setting->taskSettingNames) {
      const QV_CodeParserTaskSetting* task = codeParserTasks.Find(taskName);
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
    if (!lumiflowTemplates.Contains(name)) return;
    const CachedNames& names = CodeSpecificationNames(name);
    result.names = names.pointers.data();
    result.count = static_cast<int>(names.pointers.size());
  } catch (const std::exception&) {
    result = NameList();
  }
}

}  // namespace quorvane
