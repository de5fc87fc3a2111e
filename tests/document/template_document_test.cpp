// What the document case files cannot say: texts too long to write out,
// preset files, and name queries.

#include "document/template_document.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "captureflow/target_roi.h"
#include "driver/temp_tree.h"
#include "imageparams/small_structures.h"

namespace quorvane {
namespace {

using StringList = std::vector<std::string>;

StringList Names(const QV_LMFParameter& document, int kind) {
  StringList names;
  for (const auto& entry : document.GetSectionMap(kind)) names.push_back(entry.first);
  return names;
}

TEST(TemplateDocument, PresetFilesOfTheCurrentDirectoryAreMerged) {
  testing::TempTree tree;
  tree.WriteFile("ZQA-PresetTemplates.json", R"({
      "GlobalParameter": {"MaxTotalImageDimension": 5},
      "ImageParameterOptions": [{"Name": "ip_a"}],
      "BarcodeReaderTaskSettingOptions": [{"Name": "zqa_task"}]})");
  tree.WriteFile("ZQE-PresetTemplates.json", "{ not json");  // skipped without harm
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
    // A text of the same names appended later collides with the presets.
    EXPECT_EQ(document.AppendFromString(R"({"ImageParameterOptions": [{"Name": "ip_i"}]})"),
              errors::kNameDuplicated);
  }
  QV_LMFParameter::ReloadPresetTemplates();
  QV_LMFParameter without;
  EXPECT_TRUE(without.templateJson.isNull());
  EXPECT_EQ(Names(without, kImageParameters), StringList{"ip_default"});
}

TEST(TemplateDocument, CodeSpecificationsOfATemplateComeOnceEach) {
  QV_LMFParameter document;
  ASSERT_EQ(document.ReadFromString(R"({
    "LumiflowTemplates": [
      {"Name": "flow", "SemanticProcessingNameArray": ["s1", "s2", "s1"]}, {"Name": "bare"}],
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
    return StringList(list.names, list.names + list.count);
  };
  EXPECT_EQ(names("flow", 32), (StringList{"AAMVA", "MRZ", "GS1"}));
  for (const char* templateName : {"bare", "none", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(names(templateName, 32), StringList{});
  }
  EXPECT_EQ(names("flow", 4), StringList{});  // another kind of names
  // The answer is kept: the same strings come back.
  basic_structures::LMFParameterBase::NameList first, second;
  document.GetReferencedNames(first, "flow", 32);
  document.GetReferencedNames(second, "flow", 32);
  EXPECT_EQ(first.names, second.names);
}

// ---------------------------------------------------------------------------
// Work that must not follow the size of the input

// Target ROI definitions n100000, n100001, ... (sorting in chain order),
// each naming the next as its base; the last names `lastBase`.
std::string Chain(int length, const std::string& lastBase) {
  std::string text = R"({"TargetROIDefOptions": [)";
  for (int i = 100000; i < 100000 + length; ++i) {
    text += (i > 100000 ? ",{\"Name\":\"n" : "{\"Name\":\"n") + std::to_string(i) +
            "\",\"BaseTargetROIDefName\":\"" +
            (i + 1 < 100000 + length ? "n" + std::to_string(i + 1) : lastBase) + "\"}";
  }
  return text + "]}";
}

TEST(TemplateDocument, LongChainsOfBasesAreReadOrRefusedWithoutDeepCalls) {
  // As long as the section limit lets a chain be: far deeper than a call stack.
  constexpr int kLength = 60000;
  const auto start = std::chrono::steady_clock::now();
  QV_LMFParameter document;
  std::string text = Chain(kLength, "roi_default");
  // The far end of the chain carries a value all the others inherit.
  text.insert(text.size() - 3, ",\"PauseFlag\":1");
  ASSERT_EQ(document.ReadFromString(text.c_str()), 0) << document.message;
  // "roi_default" stays: the default template runs it.
  EXPECT_EQ(document.GetSectionMap(kTargetROIDefs).size(), kLength + 1u);
  const auto* first = document.FindSection<QV_TargetROIDef>(kTargetROIDefs, "n100000");
  EXPECT_TRUE(first != nullptr && first->pauseFlag == 1);
  EXPECT_EQ(document.ReadFromString(Chain(kLength, "n150000").c_str()), errors::kJsonValueInvalid);
  EXPECT_EQ(document.message, "TargetROIDefOptions has invalid baseName.");
  // A chain that ends in a name nothing defines fails at its far end.
  EXPECT_EQ(document.ReadFromString(Chain(kLength, "missing").c_str()), errors::kJsonValueInvalid);
  EXPECT_EQ(document.message, "missing:Json value invalid or value out of range.");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

// An image parameter "big" with `member`, and `copies` entries that start from it.
std::string SharedBase(const std::string& member, int copies) {
  std::string text = R"({"ImageParameterOptions":[{"Name":"big",)" + member + "}";
  for (int i = 0; i < copies; ++i) {
    text += ",{\"Name\":\"c" + std::to_string(100 + i) + "\",\"BaseImageParameterName\":\"big\"}";
  }
  return text + "]}";
}

TEST(TemplateDocument, CopiesOfBasesAreBounded) {
  std::string modes = R"("BinarizationModes":[{"Mode":"BM_LOCAL_BLOCK"})";
  for (int i = 1; i < 10000; ++i) modes += R"(,{"Mode":"BM_LOCAL_BLOCK"})";
  modes += "]";
  const struct {
    const char* label;
    std::string text;
    int code;
  } cases[] = {
      // Each copy takes the 10,000 modes; 60 of them go beyond any real template.
      {"mode structures", SharedBase(modes, 60), errors::kTemplateComplex},
      {"fewer copies", SharedBase(modes, 40), errors::kSuccess},
      // A single value, but a long one.
      {"a long string",
       SharedBase("\"LibraryParameters\":\"" + std::string(2 << 20, 'x') + "\"", 60),
       errors::kTemplateComplex},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const auto start = std::chrono::steady_clock::now();
    QV_LMFParameter document;
    EXPECT_EQ(document.ReadFromText(c.text), c.code) << document.message.substr(0, 200);
    if (c.code != errors::kSuccess) {
      // Refused at the copy that goes beyond: the name of the entry and the text.
      EXPECT_EQ(document.message.rfind("ImageParameterOptions[c1", 0), 0u) << document.message;
      EXPECT_NE(document.message.find("]:The template is complex."), std::string::npos);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  }
}

TEST(TemplateDocument, ReferenceWorkIsBounded) {
  // 1,100 definitions each copy the 2,000 tasks of "big" into their filter:
  // over four million names, far beyond any real template.
  std::string tasks, names;
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
  const auto start = std::chrono::steady_clock::now();
  QV_LMFParameter document;
  EXPECT_EQ(document.ReadFromString((text + "]}").c_str()), errors::kTemplateComplex);
  EXPECT_EQ(document.message.rfind("TargetROIDef:f1", 0), 0u) << document.message;
  EXPECT_NE(document.message.find(":The template is complex."), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  // A thousand of them stay within bounds.
  text.erase(text.find(",{\"Name\":\"f11000\""));
  EXPECT_EQ(document.ReadFromString((text + "]}").c_str()), 0) << document.message;
}

}  // namespace
}  // namespace quorvane
