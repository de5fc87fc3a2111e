#include "framework/template_document.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <memory>
#include <string>
#include <vector>

#include "captureflow/flow_sections.h"
#include "captureflow/lumiflow_setting.h"
#include "driver/temp_tree.h"
#include "framework/document_test_support.h"
#include "imageparams/image_parameter.h"
#include "imageparams/small_structures.h"
#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ExpectReads;
using testing::Names;
using testing::ParseJson;

using StringList = std::vector<std::string>;

// What the JSON reader itself says about `text`.
std::string ParserErrors(const std::string& text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value ignored;
  std::string errors;
  reader->parse(text.data(), text.data() + text.size(), &ignored, &errors);
  return errors;
}

// Task names exist once a text was read.
void ExpectOnlyDefaults(const QV_LMFParameter& document, bool textRead) {
  EXPECT_EQ(Names(document, kLumiflowTemplates), StringList{"Default"});
  EXPECT_EQ(Names(document, kImageParameters), StringList{"ip_default"});
  EXPECT_EQ(Names(document, kTargetROIDefs), StringList{"roi_default"});
  for (int kind : {1, 2, 5, 6, 7, 8, 9, 10, 11, 12}) {
    EXPECT_TRUE(document.GetSectionMap(kind).empty()) << kind;
  }
  ASSERT_TRUE(document.globalParameter);
  EXPECT_EQ(document.globalParameter->name, "gp_default");
  EXPECT_EQ(document.firstTemplateName, "Default");
  const std::map<std::string, int, std::less<>> defaults{
      {"zqa_task_default", 1}, {"zqe_task_default", 0}, {"zqi_task_default", 2}};
  EXPECT_EQ(document.taskNameKinds, textRead ? defaults : decltype(defaults)());
}

TEST(TemplateDocument, ANewDocumentAndAnEmptyTextHoldOnlyTheDefaults) {
  QV_LMFParameter document;
  EXPECT_TRUE(document.templateJson.isNull());
  EXPECT_EQ(document.message, "Successful.");
  ExpectOnlyDefaults(document, false);

  EXPECT_EQ(document.ReadFromString("{}"), 0);
  EXPECT_EQ(document.message, "Successful.");
  ExpectOnlyDefaults(document, true);
}

TEST(TemplateDocument, ReadFailuresCarryTheirMessages) {
  const std::string deep = std::string(1500, '[') + std::string(1500, ']');
  QV_LMFParameter document;
  EXPECT_EQ(document.ReadFromString("{\"a\":"), -10030);
  EXPECT_EQ(document.message, ParserErrors("{\"a\":"));
  EXPECT_FALSE(document.message.empty());
  EXPECT_EQ(document.ReadFromString(deep.c_str()), -10030);
  EXPECT_NE(document.message.find("stackLimit"), std::string::npos) << document.message;

  ExpectReads({
      {"[]", -10033, "content is not a object"},
      {"5", -10033, "content is not a object"},
      {R"({"GlobalParameter": []})", -10031, "GlobalParameter"},
      {R"({"ImageParameterOptions": 1})", -10031, "ImageParameterOptions"},
      {R"({"LumiflowTemplates": {}})", -10031, "LumiflowTemplates"},
      {R"({"TargetROIDefOptions": "x"})", -10031, "TargetROIDefOptions"},
      {R"({"SemanticProcessingOptions": true})", -10031, "SemanticProcessingOptions"},
      {R"({"ImageSourceOptions": {}})", -10031, "ImageSourceOptions"},
      {R"({"BarcodeReaderTaskSettingOptions": [{"Name": "T"}],
           "OutputTaskSettingOptions": [{"Name": "T"}]})",
       -10035, "OutputTaskSettingOptions:T"},
      {R"({"CodeParserTaskSettingOptions": [{"Name": "c"}, {"Name": "c"}]})", -10035,
       "CodeParserTaskSettingOptions:c"},
      {R"({"LabelRecognizerTaskSettingOptions": {}})", -10031,
       "LabelRecognizerTaskSettingOptions:Json type invalid."},
      {R"({"OutputTaskSettingOptions": 3})", -10031,
       "OutputTaskSettingOptions:Json type invalid."},
      {R"({"LumiflowTemplates": [{"Name": "a"}, {"Name": "a"}]})", -10035,
       "Lumiflow has duplicated name"},
      {R"({"SemanticProcessingOptions": [{"Name": "s"}, 7, {"Name": "s"}]})", -10035,
       "SemanticSettings has duplicated name"},
      {R"({"ImageSourceOptions": [{"Name": "s"}, {"Name": "s"}]})", -10035,
       "ImageSourceOption has duplicated name"},
      {R"({"LumiflowTemplates": [{"Name": "a"}, 1]})", -10031, "Lumiflow[1]:Json type invalid."},
      {R"({"SemanticProcessingOptions": [[]]})", -10031,
       "SemanticProcessing[0]:Json type invalid."},
      {R"({"ImageSourceOptions": [null]})", -10031, "ImageSourceOption[0]:Json type invalid."},
      {R"({"CodeParserTaskSettingOptions": ["c"]})", -10031,
       "CodeParserTaskSettingOptions[0]:Json type invalid."},
      {R"({"OutputTaskSettingOptions": [{}, 2]})", -10031,
       "OutputTaskSettingOptions[1]:Json type invalid."},
      {R"({"LumiflowTemplates": [{"Name": 5}]})", -10031, "Lumiflow[0]:Json type invalid."},
      {R"({"LumiflowTemplates": [{"Name": "a", "Timeout": "x"}]})", -10031,
       "LumiflowSetting:Timeout:Json type invalid."},
      {R"({"GlobalParameter": {"Other": 1}})", -10032, "GlobalParameter:Other:Json key invalid."},
      {R"({"ImageSourceOptions": [{"Name": "s", "Type": "IST_CAMERA_ENHANCER"}]})", -10033,
       "IST_CAMERA_ENHANCER: ImageSoure type is not support yet."},
      {R"({"ImageSourceOptions": [{"Name": "s", "Type": "floppy"}]})", -10033,
       "floppy: ImageSoure type is not support yet."},
      {R"({"ImageSourceOptions": [{"Name": "s"}]})", -10031,
       "ImageSourceOption:Type:Json type invalid."},
      {R"({"ImageSourceOptions": [{"Name": "s", "Type": 0}]})", -10031,
       "ImageSourceOption:Type:Json type invalid."},
  });
}

TEST(TemplateDocument, SectionsAreReadInTheirOwnOrderNotTheKeyOrder) {
  ExpectReads({
      // Semantic settings come before image sources.
      {R"({"ImageSourceOptions": [1], "SemanticProcessingOptions": [1]})", -10031,
       "SemanticProcessing[0]:Json type invalid."},
      // Target ROI definitions and their checks come before semantic settings.
      {R"({"SemanticProcessingOptions": [1],
           "TargetROIDefOptions": [{"Name": "r", "TaskSettingNameArray": ["t"]}]})",
       -10037, "Task name : t referenced in TargetROIDef : r is undefined"},
      // Templates come before code parser tasks.
      {R"({"CodeParserTaskSettingOptions": [1], "LumiflowTemplates": [1]})", -10031,
       "Lumiflow[0]:Json type invalid."},
      {R"({"OutputTaskSettingOptions": [1], "CodeParserTaskSettingOptions": [1]})", -10031,
       "CodeParserTaskSettingOptions[0]:Json type invalid."},
      // Task names are collected before any section is read.
      {R"({"GlobalParameter": 1, "OutputTaskSettingOptions": {}})", -10031,
       "OutputTaskSettingOptions:Json type invalid."},
      {R"({"ImageParameterOptions": 1, "GlobalParameter": 1})", -10031, "GlobalParameter"},
  });
}

TEST(TemplateDocument, AFullTemplateFillsEveryCollection) {
  QV_LMFParameter document;
  ASSERT_EQ(document.ReadFromString(R"({
    "GlobalParameter": {"MaxTotalImageDimension": 77},
    "LumiflowTemplates": [
      {"Name": "second", "ImageSource": "files", "ImageROIProcessingNameArray": ["r"],
       "SemanticProcessingNameArray": ["s"]},
      {"Name": "first"}],
    "TargetROIDefOptions": [{"Name": "r", "TaskSettingNameArray": ["bt"]}],
    "ImageParameterOptions": [{"Name": "ip"}],
    "SemanticProcessingOptions": [{"Name": "s", "TaskSettingNameArray": ["cp"]}, {}],
    "ImageSourceOptions": [{"Name": "files", "Type": "ist_directory_fetcher "},
                           {"Type": "IST_DIRECTORY_FETCHER"}],
    "BarcodeReaderTaskSettingOptions": [{"Name": "bt"}, {"NoName": 1}],
    "CodeParserTaskSettingOptions": [{"Name": "cp", "CodeSpecifications": ["x"]}],
    "OutputTaskSettingOptions": [{"Name": "o"}, {}, {}]})"),
            0)
      << document.message;
  EXPECT_EQ(document.message, "Successful.");
  EXPECT_EQ(document.firstTemplateName, "second");
  EXPECT_EQ(document.globalParameter->maxTotalImageDimension, 77);
  // The default template is gone; "first" runs the default definition.
  EXPECT_EQ(Names(document, kLumiflowTemplates), (StringList{"first", "second"}));
  EXPECT_EQ(Names(document, kTargetROIDefs), (StringList{"r", "roi_default"}));
  EXPECT_EQ(Names(document, kImageParameters), (StringList{"ip", "ip_default"}));
  EXPECT_EQ(Names(document, kSemanticProcessing), (StringList{"s", "semantic_default"}));
  EXPECT_EQ(Names(document, kImageSources), (StringList{"fetcher_default", "files"}));
  EXPECT_EQ(Names(document, kCodeParserTasks), StringList{"cp"});
  // Output tasks without a name share the empty name.
  EXPECT_EQ(Names(document, kOutputTasks), (StringList{"", "o"}));
  EXPECT_TRUE(document.GetSectionMap(kBarcodeReaderTasks).empty());
  const std::map<std::string, int, std::less<>> kinds{{"bt", 1},
                                                     {"cp", 3},
                                                     {"o", 4},
                                                     {"zqa_task_default", 1},
                                                     {"zqe_task_default", 0},
                                                     {"zqi_task_default", 2}};
  EXPECT_EQ(document.taskNameKinds, kinds);
  EXPECT_NE(document.FindSection<QV_DirectoryFetcherSetting>(kImageSources, "files"), nullptr);
  EXPECT_EQ(document.GetSectionMap(99).size(), 0u);
}

TEST(TemplateDocument, TheDefaultTemplateGivesWayOnlyToTemplatesOfAGivenText) {
  struct Case {
    const char* text;
    StringList templates;
    StringList definitions;
  };
  const Case cases[] = {
      // No templates in the text: the default stays, and so does the
      // definition it names.
      {R"({"ImageParameterOptions": []})", {"Default"}, {"roi_default"}},
      {R"({"LumiflowTemplates": [{"Name": "a", "ImageROIProcessingNameArray": ["r"]}],
           "TargetROIDefOptions": [{"Name": "r"}]})",
       {"a"},
       {"r"}},
      // A template read under the default name stays.
      {R"({"LumiflowTemplates": [{"Name": "Default", "Timeout": 5}]})", {"Default"},
       {"roi_default"}},
      // An empty array still replaces the default template.
      {R"({"LumiflowTemplates": []})", {}, {}},
      // A filter naming the default definition keeps it.
      {R"({"LumiflowTemplates": [{"Name": "a", "ImageROIProcessingNameArray": ["r"]}],
           "TargetROIDefOptions": [{"Name": "r", "Location": {"ReferenceObjectFilter":
              {"ReferenceTargetROIDefNameArray": ["roi_default"]}}}]})",
       {"a"},
       {"r", "roi_default"}},
      // A definition read under the default name stays although unnamed.
      {R"({"LumiflowTemplates": [{"Name": "a", "ImageROIProcessingNameArray": ["r"]}],
           "TargetROIDefOptions": [{"Name": "r"}, {"Name": "roi_default"}]})",
       {"a"},
       {"r", "roi_default"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    QV_LMFParameter document;
    ASSERT_EQ(document.ReadFromString(c.text), 0) << document.message;
    EXPECT_EQ(Names(document, kLumiflowTemplates), c.templates);
    EXPECT_EQ(Names(document, kTargetROIDefs), c.definitions);
  }
}

TEST(TemplateDocument, AFailedReadKeepsTheDefaultsAndWhatWasReadBefore) {
  QV_LMFParameter document;
  ASSERT_EQ(document.ReadFromString(R"({"LumiflowTemplates": [{"Name": "a"}]})"), 0);
  EXPECT_EQ(document.ReadFromString(R"({"ImageParameterOptions": [{"Name": "p"}],
      "LumiflowTemplates": [{"Name": "b"}, 4]})"),
            -10031);
  EXPECT_EQ(Names(document, kImageParameters), (StringList{"ip_default", "p"}));
  EXPECT_EQ(Names(document, kLumiflowTemplates), (StringList{"Default", "b"}));
  EXPECT_EQ(document.firstTemplateName, "b");
  // A parse failure keeps the text read before; a null read reads it again.
  EXPECT_EQ(document.ReadFromString("{"), -10030);
  EXPECT_EQ(document.ReadFromString(nullptr), -10031);
  EXPECT_EQ(document.message, "Lumiflow[1]:Json type invalid.");
}

// ---------------------------------------------------------------------------
// Appending

TEST(TemplateDocumentAppend, RefusalsLeaveTheStoredTextAsItWas) {
  const std::string deep = "{\"LumiflowTemplates\":" + std::string(1200, '[');
  struct Case {
    std::string text;
    int code;
    std::string message;  // "*": the JSON reader's own list
  };
  const Case cases[] = {
      {R"({"ImageParameterOptions": [{"Name": "b"}, {"Name": "a"}]})", -10035,
       "ImageParameterOptionsappend duplicated name: a"},
      {R"({"LumiflowTemplates": [{"Name": "x"}, 3]})", -10031,
       "LumiflowTemplates append invalid value."},
      // Checked before anything is merged: the first key's elements do not
      // get in either.
      {R"({"ImageSourceOptions": [{"Name": "new"}], "OutputTaskSettingOptions": [{"Name": "o"}]})",
       -10035, "OutputTaskSettingOptionsappend duplicated name: o"},
      {"[1]", -10033, "content is not a object"},
      {"{\"LumiflowTemplates\": [", -10030, "*"},
      {deep, -10030, "Exceeded stackLimit in readValue()."},
  };
  const std::string stored = R"({"ImageParameterOptions": [{"Name": "a"}, {"NoName": 1}],
      "LumiflowTemplates": [{"Name": "t"}], "ImageSourceOptions": [],
      "OutputTaskSettingOptions": [{"Name": "o"}]})";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 100));
    QV_LMFParameter document;
    ASSERT_EQ(document.AppendFromString(stored.c_str()), 0);
    const std::string before = Compact(document.templateJson);
    EXPECT_EQ(document.AppendFromString(c.text.c_str()), c.code);
    EXPECT_EQ(document.message, c.message == "*" ? ParserErrors(c.text) : c.message);
    EXPECT_EQ(Compact(document.templateJson), before);
  }
}

TEST(TemplateDocumentAppend, MergesArraysAndKeepsTheFirstGlobalParameter) {
  QV_LMFParameter document;
  EXPECT_EQ(document.AppendFromString(nullptr), 0);
  EXPECT_EQ(document.AppendFromString(R"({"Unknown": [{"Name": "x"}], "Other": 1})"), 0);
  EXPECT_TRUE(document.templateJson.isNull());

  ASSERT_EQ(document.AppendFromString(R"({"GlobalParameter": {"MaxTotalImageDimension": 1},
      "ImageParameterOptions": [{"Name": "a"}], "OutputTaskSettingOptions": [{}],
      "LumiflowTemplates": [{"Name": "one"}]})"),
            0);
  // Elements without a name never collide; a key whose value is no array is
  // not merged, and neither is a second global parameter.
  ASSERT_EQ(document.AppendFromString(R"({"GlobalParameter": {"MaxTotalImageDimension": 2},
      "ImageParameterOptions": [{"Name": "b"}], "OutputTaskSettingOptions": [{}],
      "LumiflowTemplates": [{"Name": "two"}], "TargetROIDefOptions": {"Name": "ignored"}})"),
            0);
  EXPECT_EQ(Compact(document.templateJson),
            Compact(ParseJson(R"({"GlobalParameter": {"MaxTotalImageDimension": 1},
      "ImageParameterOptions": [{"Name": "a"}, {"Name": "b"}],
      "OutputTaskSettingOptions": [{}, {}],
      "LumiflowTemplates": [{"Name": "one"}, {"Name": "two"}]})")));

  // Appending changes no collection until the merged text is read.
  EXPECT_EQ(Names(document, kLumiflowTemplates), StringList{"Default"});
  ASSERT_EQ(document.ReadFromString(nullptr), 0) << document.message;
  EXPECT_EQ(document.globalParameter->maxTotalImageDimension, 1);
  EXPECT_EQ(Names(document, kImageParameters), (StringList{"a", "b", "ip_default"}));
  // Read from stored text, the default template stays beside the others.
  EXPECT_EQ(Names(document, kLumiflowTemplates), (StringList{"Default", "one", "two"}));
  EXPECT_EQ(document.firstTemplateName, "one");
}

TEST(TemplateDocumentAppend, AStoredValueThatIsNoArrayIsReplaced) {
  QV_LMFParameter document;
  // The read fails, but the text is kept.
  ASSERT_EQ(document.ReadFromString(R"({"LumiflowTemplates": 5, "ImageSourceOptions": null})"),
            -10031);
  ASSERT_EQ(document.AppendFromString(R"({"LumiflowTemplates": [{"Name": "a"}],
      "ImageSourceOptions": [{"Name": "s", "Type": "IST_DIRECTORY_FETCHER"}]})"),
            0);
  EXPECT_EQ(Compact(document.templateJson["LumiflowTemplates"]), R"([{"Name":"a"}])");
  EXPECT_EQ(document.templateJson["ImageSourceOptions"].size(), 1u);
  EXPECT_EQ(document.ReadFromString(nullptr), 0) << document.message;
}

// ---------------------------------------------------------------------------
// Presets

TEST(TemplateDocumentPresets, PresetFilesOfTheCurrentDirectoryAreMerged) {
  testing::TempTree tree;
  tree.WriteFile("ZQA-PresetTemplates.json", R"({
      "GlobalParameter": {"MaxTotalImageDimension": 5},
      "ImageParameterOptions": [{"Name": "ip_a"}],
      "BarcodeReaderTaskSettingOptions": [{"Name": "zqa_task"}]})");
  // Unreadable as JSON: skipped without harm.
  tree.WriteFile("ZQE-PresetTemplates.json", "{ not json");
  tree.WriteFile("ZQI-PresetTemplates.json", R"({
      "GlobalParameter": {"MaxTotalImageDimension": 9},
      "ImageParameterOptions": [{"Name": "ip_i"}],
      "LumiflowTemplates": [{"Name": "preset"}]})");
  {
    testing::WorkingDirectory inside(tree.Root());
    QV_LMFParameter::ReloadPresetTemplates();
    QV_LMFParameter document;
    EXPECT_EQ(document.message, "Successful.");
    EXPECT_EQ(Names(document, kImageParameters), (StringList{"ip_a", "ip_default", "ip_i"}));
    // Read from the merged text: the default template stays.
    EXPECT_EQ(Names(document, kLumiflowTemplates), (StringList{"Default", "preset"}));
    EXPECT_EQ(document.globalParameter->maxTotalImageDimension, 5);
    EXPECT_EQ(document.taskNameKinds.count("zqa_task"), 1u);
    EXPECT_EQ(document.templateJson["ImageParameterOptions"].size(), 2u);

    // A text of the same names appended later collides with the presets.
    EXPECT_EQ(document.AppendFromString(R"({"ImageParameterOptions": [{"Name": "ip_i"}]})"),
              -10035);
  }
  QV_LMFParameter::ReloadPresetTemplates();
  QV_LMFParameter without;
  EXPECT_TRUE(without.templateJson.isNull());
  ExpectOnlyDefaults(without, false);
}

// ---------------------------------------------------------------------------
// Name queries

TEST(TemplateDocumentQueries, CodeSpecificationsOfATemplateComeOnceEach) {
  QV_LMFParameter document;
  ASSERT_EQ(document.ReadFromString(R"({
    "LumiflowTemplates": [
      {"Name": "flow", "SemanticProcessingNameArray": ["s1", "s2", "s1"]},
      {"Name": "bare"}],
    "SemanticProcessingOptions": [
      {"Name": "s1", "TaskSettingNameArray": ["c1", "b"]},
      {"Name": "s2", "TaskSettingNameArray": ["c2", "c1"]}],
    "BarcodeReaderTaskSettingOptions": [{"Name": "b"}],
    "CodeParserTaskSettingOptions": [
      {"Name": "c1", "CodeSpecifications": ["AAMVA", "MRZ"]},
      {"Name": "c2", "CodeSpecifications": ["GS1", "AAMVA"]}]})"),
            0)
      << document.message;
  const auto names = [&document](const char* templateName, int kind) {
    basic_structures::LMFParameterBase::NameList list;
    list.count = 99;
    document.GetReferencedNames(list, templateName, kind);
    StringList result;
    for (int i = 0; i < list.count; ++i) result.push_back(list.names[i]);
    return result;
  };
  EXPECT_EQ(names("flow", 32), (StringList{"AAMVA", "MRZ", "GS1"}));
  EXPECT_EQ(names("bare", 32), StringList{});
  EXPECT_EQ(names("none", 32), StringList{});
  EXPECT_EQ(names(nullptr, 32), StringList{});
  EXPECT_EQ(names("flow", 4), StringList{});
  EXPECT_EQ(names("flow", 5), StringList{});

  // The answer is kept: the same strings come back.
  basic_structures::LMFParameterBase::NameList first;
  basic_structures::LMFParameterBase::NameList second;
  document.GetReferencedNames(first, "flow", 32);
  document.GetReferencedNames(second, "flow", 32);
  EXPECT_EQ(first.names, second.names);
  EXPECT_EQ(first.names[2], second.names[2]);
}

}  // namespace
}  // namespace quorvane
