#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "captureflow/flow_sections.h"
#include "captureflow/target_roi.h"
#include "framework/document_test_support.h"
#include "framework/template_document.h"

namespace quorvane {
namespace {

using testing::ExpectReads;

using StringList = std::vector<std::string>;

// Tasks b1, b2 (barcode) and o, o2 (output); R1 runs b1 and o, R2 runs b2
// and b1. `more` is spliced in before the closing brace.
std::string WithTasks(const std::string& more) {
  return R"({"BarcodeReaderTaskSettingOptions": [{"Name": "b1"}, {"Name": "b2"}],
      "TargetROIDefOptions": [{"Name": "R1", "TaskSettingNameArray": ["b1", "o"]},
                              {"Name": "R2", "TaskSettingNameArray": ["b2", "b1"]}])" +
         more + "}";
}

// An output task "o" with the given task results, and "o2".
std::string WithResults(const std::string& results) {
  return WithTasks(R"(, "OutputTaskSettingOptions": [{"Name": "o2"},
      {"Name": "o", "OutputCondition": {"TaskResultArray": [)" +
                   results + "]}}]");
}

std::string WithFilter(const std::string& filter) {
  return R"({"BarcodeReaderTaskSettingOptions": [{"Name": "b1"}, {"Name": "b2"}],
      "OutputTaskSettingOptions": [{"Name": "o"}],
      "TargetROIDefOptions": [{"Name": "R1", "TaskSettingNameArray": ["b1", "o"]},
                              {"Name": "R2", "TaskSettingNameArray": ["b2", "b1"]},
                              {"Name": "D", "Location": {"ReferenceObjectFilter": )" +
         filter + "}}]}";
}

TEST(TemplateReferences, FailuresCarryTheirMessages) {
  const std::string cases[][3] = {
      {R"({"TargetROIDefOptions": [{"Name": "r", "TaskSettingNameArray": ["T1"]}]})", "-10037",
       "Task name : T1 referenced in TargetROIDef : r is undefined"},
      // Default task names are known but not declared.
      {R"({"TargetROIDefOptions": [{"Name": "r", "TaskSettingNameArray": ["zqa_task_default"]}]})",
       "-10037", "Task name : zqa_task_default referenced in TargetROIDef : r is undefined"},
      {WithFilter(R"({"ReferenceTargetROIDefNameArray": ["R9"]})"), "-10037",
       "roi name:R9 referenced in TargetROIDef:D is undefined"},
      {WithFilter(R"({"ReferenceTargetROIDefNameArray": ["R1"], "ReferenceTaskNameArray": ["b2"]})"),
       "-10037", "task name:b2 referenced in TargetROIDef:D is undefined"},
      // Definitions are looked at before the tasks that should run on them.
      {WithFilter(R"({"ReferenceTargetROIDefNameArray": ["R1", "R9"],
                      "ReferenceTaskNameArray": ["b2"]})"),
       "-10037", "roi name:R9 referenced in TargetROIDef:D is undefined"},
      {WithTasks(R"(, "OutputTaskSettingOptions": [{"Name": "o"}],
          "SemanticProcessingOptions": [{"Name": "S", "TaskSettingNameArray": ["x"]}])"),
       "-10037", "Task name : x referenced in Semantic Setting : S is undefined"},
      {R"({"LumiflowTemplates": [{"Name": "a", "ImageSource": "camera"}]})", "-10063",
       "camera is an invalid ImageSource name"},
      {R"({"LumiflowTemplates": [{"Name": "a", "ImageROIProcessingNameArray": ["nope"]}]})",
       "-10037", "nope is an invalid TargetROIDef name."},
      {WithTasks(R"(, "OutputTaskSettingOptions": [{"Name": "o"}],
          "SemanticProcessingOptions": [{"Name": "S", "TaskSettingNameArray": ["b1"],
          "ReferenceObjectFilter": {"ReferenceTargetROIDefNameArray": ["R1", "q"]}}])"),
       "-10037", "q is an invalid TargetROIDef name."},
      {R"({"LumiflowTemplates": [{"Name": "a", "SemanticProcessingNameArray": ["s9"]}]})",
       "-10037", "s9 is an invalid SemanticSetting name."},
      {WithResults(R"({"TargetROIDefName": "R1", "TaskSettingNameArray": ["b1", "o2"]})"),
       "-10037", "ouput task name:o2 referenced in TaskResult[0] is invalid."},
      {WithResults(R"({"TargetROIDefName": "R1"}, {"TargetROIDefName": "R9"})"), "-10037",
       "roi name:R9 referenced in TaskResult[1] is undefined"},
      {WithResults(R"({"TargetROIDefName": "R1", "TaskSettingNameArray": ["b2"]})"), "-10037",
       "task name:b2 referenced in TaskResult[0] is undefined"},
      {WithResults(R"({"TargetROIDefName": "R2",
          "BackwardReferenceOutput": {"ReferenceTaskNameArray": ["b2"]}})"),
       "-10037", "task name:b2 referenced in TaskResult[0]:BackwardReferenceOutput is undefined"},
      {WithResults(R"({"TargetROIDefName": "R2",
          "BackwardReferenceOutput": {"ReferenceTaskNameArray": ["o"]}})"),
       "-10037", "ouput task name:o referenced in TaskResult[0]:BackwardReferenceOutput is invalid."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    QV_LMFParameter document;
    EXPECT_EQ(document.ReadFromString(c[0].c_str()), std::stoi(c[1]));
    EXPECT_EQ(document.message, c[2]);
  }
  // No definition runs "o2": a given backward task list has nothing to match.
  QV_LMFParameter document;
  const std::string text = WithTasks(R"(, "OutputTaskSettingOptions": [{"Name": "o"},
      {"Name": "o2", "OutputCondition": {"TaskResultArray": [{"TargetROIDefName": "R1",
        "BackwardReferenceOutput": {"ReferenceTaskNameArray": ["b1"]}}]}}])");
  EXPECT_EQ(document.ReadFromString(text.c_str()), -10037);
  EXPECT_EQ(document.message,
            "task name:b1 referenced in TaskResult[0]:BackwardReferenceOutput is undefined");
}

TEST(TemplateReferences, ChecksRunInTheirOrder) {
  ExpectReads({
      // Image sources, then target ROI names, then output tasks, then
      // semantic setting names.
      {R"({"LumiflowTemplates": [{"Name": "a", "ImageSource": "cam",
           "ImageROIProcessingNameArray": ["nope"]}]})",
       -10063, "cam is an invalid ImageSource name"},
      {R"({"LumiflowTemplates": [{"Name": "a", "SemanticProcessingNameArray": ["s9"],
           "ImageROIProcessingNameArray": ["nope"]}]})",
       -10037, "nope is an invalid TargetROIDef name."},
      {R"({"LumiflowTemplates": [{"Name": "a", "SemanticProcessingNameArray": ["s9"]}],
           "OutputTaskSettingOptions": [{"Name": "o", "OutputCondition":
             {"TaskResultArray": [{"TargetROIDefName": "R9"}]}}]})",
       -10037, "roi name:R9 referenced in TaskResult[0] is undefined"},
      // Definitions in name order, each with its tasks before its filter.
      {R"({"TargetROIDefOptions": [
           {"Name": "b", "TaskSettingNameArray": ["x"]},
           {"Name": "a", "TaskSettingNameArray": ["y"], "Location": {"ReferenceObjectFilter":
             {"ReferenceTargetROIDefNameArray": ["R9"]}}}]})",
       -10037, "Task name : y referenced in TargetROIDef : a is undefined"},
      // Template names in name order, then semantic filters, then definitions.
      {R"({"LumiflowTemplates": [{"Name": "b", "ImageROIProcessingNameArray": ["x1"]},
                                 {"Name": "a", "ImageROIProcessingNameArray": ["x2"]}]})",
       -10037, "x2 is an invalid TargetROIDef name."},
      {R"({"BarcodeReaderTaskSettingOptions": [{"Name": "t"}],
           "LumiflowTemplates": [{"Name": "a", "ImageROIProcessingNameArray": ["x1"]}],
           "SemanticProcessingOptions": [{"Name": "s", "TaskSettingNameArray": ["t"],
             "ReferenceObjectFilter": {"ReferenceTargetROIDefNameArray": ["x2"]}}]})",
       -10037, "x1 is an invalid TargetROIDef name."},
  });
}

TEST(TemplateReferences, EmptyTaskListsAreFilledFromTheDefinitions) {
  QV_LMFParameter document;
  const std::string text = WithTasks(R"(,
      "OutputTaskSettingOptions": [{"Name": "o", "OutputCondition": {"TaskResultArray": [
        {"TargetROIDefName": "R1"},
        {"TargetROIDefName": "R2", "TaskSettingNameArray": ["b2"],
         "BackwardReferenceOutput": {"ReferenceTaskNameArray": ["b1"]}}]}}],
      "TargetROIDefOptions": [
        {"Name": "R1", "TaskSettingNameArray": ["b1", "o"]},
        {"Name": "R2", "TaskSettingNameArray": ["b2", "b1"]},
        {"Name": "D", "Location": {"ReferenceObjectFilter":
          {"ReferenceTargetROIDefNameArray": ["R1", "R2", "R1"]}}},
        {"Name": "E", "Location": {"ReferenceObjectFilter":
          {"ReferenceTargetROIDefNameArray": ["R2"], "ReferenceTaskNameArray": ["b1"]}}}])");
  ASSERT_EQ(document.ReadFromString(text.c_str()), 0) << document.message;
  const auto filter = [&document](const char* name) {
    return document.FindSection<QV_TargetROIDef>(kTargetROIDefs, name)
        ->location.referenceObjectFilter->referenceTaskNames;
  };
  // Output tasks are kept where they are allowed.
  EXPECT_EQ(filter("D"), (StringList{"b1", "o", "b2"}));
  EXPECT_EQ(filter("E"), StringList{"b1"});
  const auto& results = document.FindSection<QV_OutputTaskSetting>(kOutputTasks, "o")
                            ->outputCondition.taskResults;
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].taskSettingNames, StringList{"b1"});
  // Only R1 runs "o"; its output task is left out.
  EXPECT_EQ(results[0].backwardReferenceOutput.referenceTaskNames, StringList{"b1"});
  EXPECT_EQ(results[1].taskSettingNames, StringList{"b2"});
  EXPECT_EQ(results[1].backwardReferenceOutput.referenceTaskNames, StringList{"b1"});
}

TEST(TemplateReferences, ReferenceWorkIsBounded) {
  // 1,100 definitions each copy the 2,000 tasks of "big" into their filter:
  // over four million names, far beyond any real template.
  std::string tasks;
  std::string names;
  for (int i = 0; i < 2000; ++i) {
    const std::string name = "\"t" + std::to_string(i) + "\"";
    tasks += (i > 0 ? ",{\"Name\":" : "{\"Name\":") + name + "}";
    names += (i > 0 ? "," : "") + name;
  }
  std::string text = "{\"BarcodeReaderTaskSettingOptions\":[" + tasks +
                     "],\"TargetROIDefOptions\":[{\"Name\":\"big\",\"TaskSettingNameArray\":[" +
                     names + "]}";
  for (int i = 0; i < 1100; ++i) {
    text += ",{\"Name\":\"f" + std::to_string(10000 + i) +
            "\",\"Location\":{\"ReferenceObjectFilter\":{\"ReferenceTargetROIDefNameArray\":"
            "[\"big\"]}}}";
  }
  text += "]}";
  const auto start = std::chrono::steady_clock::now();
  QV_LMFParameter document;
  EXPECT_EQ(document.ReadFromString(text.c_str()), -10061);
  EXPECT_EQ(document.message.rfind("TargetROIDef:f1", 0), 0u) << document.message;
  EXPECT_NE(document.message.find(":The template is complex."), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

  // A thousand of them stay within bounds.
  text.erase(text.find(",{\"Name\":\"f11000\""), std::string::npos);
  EXPECT_EQ(document.ReadFromString((text + "]}").c_str()), 0) << document.message;
}

}  // namespace
}  // namespace quorvane
