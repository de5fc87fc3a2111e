// What the document case files cannot say: the JSON reader's own messages,
// texts too deep or too long to write out, preset files, and name queries.

#include "framework/template_document.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <memory>
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

// What the JSON reader itself says about `text`.
std::string ParserErrors(const std::string& text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value ignored;
  std::string errors;
  reader->parse(text.data(), text.data() + text.size(), &ignored, &errors);
  return errors;
}

TEST(TemplateDocument, TextsThatDoNotParseGiveTheReadersMessage) {
  const std::string stored = R"({"LumiflowTemplates": [{"Name": "t"}]})";
  const std::string deepNesting = std::string(1500, '[') + std::string(1500, ']');
  const std::string deepInside = "{\"LumiflowTemplates\":" + std::string(1200, '[');
  for (const std::string& text : {std::string("{\"a\":"), deepNesting, deepInside}) {
    SCOPED_TRACE(text.substr(0, 30));
    const std::string expected = text.size() < 100 ? ParserErrors(text)
                                                    : "Exceeded stackLimit in readValue().";
    QV_LMFParameter document;
    ASSERT_EQ(document.AppendFromString(stored.c_str()), 0);
    EXPECT_EQ(document.AppendFromString(text.c_str()), errors::kJsonParseFailed);
    EXPECT_EQ(document.message, expected);
    EXPECT_EQ(document.ReadFromString(text.c_str()), errors::kJsonParseFailed);
    EXPECT_EQ(document.message, expected);
    // Neither touched the stored text.
    ASSERT_EQ(document.ReadFromString(nullptr), 0) << document.message;
    EXPECT_EQ(Names(document, kLumiflowTemplates), (StringList{"Default", "t"}));
  }
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
  EXPECT_EQ(names("flow", 4), StringList{});
  EXPECT_EQ(names("flow", 5), StringList{});
  // The answer is kept: the same strings come back.
  basic_structures::LMFParameterBase::NameList first;
  basic_structures::LMFParameterBase::NameList second;
  document.GetReferencedNames(first, "flow", 32);
  document.GetReferencedNames(second, "flow", 32);
  EXPECT_EQ(first.names, second.names);
}

// ---------------------------------------------------------------------------
// Work that must not follow the size of the input

// Target ROI definitions n0000000, n0000001, ... (sorting in chain order),
// each naming the next as its base; the last names `lastBase`.
std::string Chain(int length, const std::string& lastBase) {
  const auto name = [](int i) {
    const std::string digits = std::to_string(i);
    return "n" + std::string(7 - digits.size(), '0') + digits;
  };
  std::string text = R"({"TargetROIDefOptions": [)";
  for (int i = 0; i < length; ++i) {
    text += (i > 0 ? ",{\"Name\":\"" : "{\"Name\":\"") + name(i) +
            "\",\"BaseTargetROIDefName\":\"" + (i + 1 < length ? name(i + 1) : lastBase) + "\"}";
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
  const auto* first = document.FindSection<QV_TargetROIDef>(kTargetROIDefs, "n0000000");
  EXPECT_TRUE(first != nullptr && first->pauseFlag == 1);
  EXPECT_EQ(document.ReadFromString(Chain(kLength, "n0050000").c_str()), errors::kJsonValueInvalid);
  EXPECT_EQ(document.message, "TargetROIDefOptions has invalid baseName.");
  // A chain that ends in a name nothing defines fails at its far end.
  EXPECT_EQ(document.ReadFromString(Chain(kLength, "missing").c_str()), errors::kJsonValueInvalid);
  EXPECT_EQ(document.message, "missing:Json value invalid or value out of range.");
  // A chain of 100,000 is refused before anything is built.
  EXPECT_EQ(document.ReadFromString(Chain(100000, "roi_default").c_str()), errors::kTemplateComplex);
  EXPECT_EQ(document.message, "The template holds more than 65536 sections.");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

// `count` copies of `element`, as a JSON array.
std::string Repeated(const std::string& element, int count) {
  std::string text = "[";
  for (int i = 0; i < count; ++i) text += (i > 0 ? "," : "") + element;
  return text + "]";
}

// An entry "big" with `member`, and `copies` entries that start from it.
std::string SharedBase(const std::string& section, const std::string& baseKey,
                       const std::string& member, int copies) {
  std::string text = "{\"" + section + "\":[{\"Name\":\"big\"," + member + "}";
  for (int i = 0; i < copies; ++i) {
    text += ",{\"Name\":\"c" + std::to_string(100 + i) + "\",\"" + baseKey + "\":\"big\"}";
  }
  return text + "]}";
}

TEST(TemplateDocument, CopiesOfBasesAreBounded) {
  const std::string modes = Repeated(R"({"Mode":"BM_LOCAL_BLOCK"})", 10000);
  const struct {
    const char* label;
    std::string text;
    const char* section;  // null: the text reads
  } cases[] = {
      // Each copy takes the 20,000 names; 60 of them go beyond any real template.
      {"task names",
       SharedBase("TargetROIDefOptions", "BaseTargetROIDefName",
                  "\"TaskSettingNameArray\":" + Repeated("\"t\"", 20000), 60),
       "TargetROIDefOptions"},
      {"mode structures",
       SharedBase("ImageParameterOptions", "BaseImageParameterName",
                  "\"BinarizationModes\":" + modes, 60),
       "ImageParameterOptions"},
      // A single value, but a long one.
      {"a long string",
       SharedBase("ImageParameterOptions", "BaseImageParameterName",
                  "\"LibraryParameters\":\"" + std::string(2 << 20, 'x') + "\"", 60),
       "ImageParameterOptions"},
      {"fewer copies",
       SharedBase("ImageParameterOptions", "BaseImageParameterName",
                  "\"BinarizationModes\":" + modes, 40),
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const auto start = std::chrono::steady_clock::now();
    QV_LMFParameter document;
    const int code = document.ReadFromText(c.text);
    if (c.section == nullptr) {
      EXPECT_EQ(code, errors::kSuccess) << document.message.substr(0, 200);
    } else {
      EXPECT_EQ(code, errors::kTemplateComplex) << document.message.substr(0, 200);
      // Refused at the copy that goes beyond: the name of the entry and the text.
      EXPECT_EQ(document.message.rfind(std::string(c.section) + "[c1", 0), 0u) << document.message;
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
