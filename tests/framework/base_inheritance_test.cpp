#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "captureflow/target_roi.h"
#include "framework/document_test_support.h"
#include "framework/template_document.h"
#include "imageparams/image_parameter.h"

namespace quorvane {
namespace {

using testing::ExpectReads;
using testing::Names;

using StringList = std::vector<std::string>;

int Threshold(const QV_LMFParameter& document, const char* name) {
  const auto* parameter = document.FindSection<QV_ImageParameter>(kImageParameters, name);
  return parameter != nullptr ? parameter->scaleDownThreshold : -1;
}

TEST(BaseInheritance, AnEntryStartsFromItsBaseAndOverridesWhatItNames) {
  QV_LMFParameter document;
  ASSERT_EQ(document.ReadFromString(R"({"ImageParameterOptions": [
      {"Name": "a", "BaseImageParameterName": "b", "IfEraseTextZone": 1},
      {"Name": "b", "ScaleDownThreshold": 1000, "BaseImageParameterName": ""},
      {"Name": "c", "BaseImageParameterName": null}]})"),
            0)
      << document.message;
  EXPECT_EQ(Names(document, kImageParameters), (StringList{"a", "b", "c", "ip_default"}));
  const auto* a = document.FindSection<QV_ImageParameter>(kImageParameters, "a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->name, "a");
  EXPECT_EQ(a->scaleDownThreshold, 1000);
  EXPECT_EQ(a->ifEraseTextZone, 1);
  EXPECT_EQ(a->baseImageParameterName, "b");
  EXPECT_FALSE(a->isPlaceholder);
  EXPECT_EQ(document.FindSection<QV_ImageParameter>(kImageParameters, "b")->ifEraseTextZone, 0);
  EXPECT_EQ(Threshold(document, "c"), 2300);
}

TEST(BaseInheritance, BasesAreTakenFromTheCollectionAsItIsWhenNeeded) {
  QV_LMFParameter document;
  // In name order: "a" needs "m", which starts from the default of the
  // cleared document; "ip_default" is read next; "m" is read again in its
  // own turn, now from the new "ip_default". "z" also sees the new one.
  ASSERT_EQ(document.ReadFromString(R"({"ImageParameterOptions": [
      {"Name": "z", "BaseImageParameterName": "ip_default"},
      {"Name": "m", "BaseImageParameterName": "ip_default"},
      {"Name": "ip_default", "ScaleDownThreshold": 700},
      {"Name": "a", "BaseImageParameterName": "m"}]})"),
            0)
      << document.message;
  EXPECT_EQ(Threshold(document, "a"), 2300);
  EXPECT_EQ(Threshold(document, "ip_default"), 700);
  EXPECT_EQ(Threshold(document, "m"), 700);
  EXPECT_EQ(Threshold(document, "z"), 700);
}

TEST(BaseInheritance, TargetROIDefinitionsInheritTheSameWay) {
  QV_LMFParameter document;
  ASSERT_EQ(document.ReadFromString(R"({
      "BarcodeReaderTaskSettingOptions": [{"Name": "t"}],
      "TargetROIDefOptions": [
        {"Name": "child", "BaseTargetROIDefName": "parent", "PauseFlag": 1},
        {"Name": "parent", "TaskSettingNameArray": ["t"]},
        {"Name": "whole", "BaseTargetROIDefName": "roi_default"}]})"),
            0)
      << document.message;
  const auto* child = document.FindSection<QV_TargetROIDef>(kTargetROIDefs, "child");
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->taskSettingNames, StringList{"t"});
  EXPECT_EQ(child->pauseFlag, 1);
  EXPECT_TRUE(document.FindSection<QV_TargetROIDef>(kTargetROIDefs, "whole")->taskSettingNames
                  .empty());
}

TEST(BaseInheritance, FailuresCarryTheirMessages) {
  ExpectReads({
      {R"({"ImageParameterOptions": [{"Name": "a", "BaseImageParameterName": "b"},
                                     {"Name": "b", "BaseImageParameterName": "a"}]})",
       -10033, "ImageParameterOptions has invalid baseName."},
      // A loop that does not come back to where the walk started.
      {R"({"ImageParameterOptions": [{"Name": "a", "BaseImageParameterName": "b"},
                                     {"Name": "b", "BaseImageParameterName": "c"},
                                     {"Name": "c", "BaseImageParameterName": "b"}]})",
       -10033, "ImageParameterOptions has invalid baseName."},
      {R"({"TargetROIDefOptions": [{"Name": "r", "BaseTargetROIDefName": "r"}]})", -10033,
       "TargetROIDefOptions has invalid baseName."},
      // Loops are refused before anything else is looked at.
      {R"({"TargetROIDefOptions": [1, {"Name": "r", "BaseTargetROIDefName": "r"}]})", -10033,
       "TargetROIDefOptions has invalid baseName."},
      {R"({"TargetROIDefOptions": [{"Name": "a"}, 1]})", -10031,
       "TargetROIDefOptions[1]:Json type invalid."},
      {R"({"TargetROIDefOptions": [{"Name": "a"}, {"PauseFlag": 1}]})", -10034,
       "TargetROIDefOptions[1] Name:The mandatory key \"Name\" is missing."},
      {R"({"ImageParameterOptions": [{"Name": null}]})", -10034,
       "ImageParameterOptions[0] Name:The mandatory key \"Name\" is missing."},
      {R"({"ImageParameterOptions": [{"Name": ["a"]}]})", -10031,
       "ImageParameterOptions[0] Name:Json type invalid."},
      {R"({"ImageParameterOptions": [{"Name": ""}]})", -10033,
       "ImageParameterOptions[0] Name:Json value invalid or value out of range."},
      {R"({"ImageParameterOptions": [{"Name": "a"}, {"Name": "b"}, {"Name": "a"}]})", -10035,
       "ImageParameterOptions[2] Name:The value of the key \"Name\" is duplicated."},
      {R"({"ImageParameterOptions": [{"Name": "a", "BaseImageParameterName": "nowhere"}]})",
       -10033, "nowhere:Json value invalid or value out of range."},
      {R"({"ImageParameterOptions": [{"Name": "a", "BaseImageParameterName": 4}]})", -10031,
       "ImageParameterOptions[a].BaseImageParameterName:Json type invalid."},
      {R"({"TargetROIDefOptions": [{"Name": "a", "BaseTargetROIDefName": {}}]})", -10031,
       "TargetROIDefOptions[a].BaseTargetROIDefName:Json type invalid."},
      // A failing base fails the entry that needs it, with the base's message.
      {R"({"ImageParameterOptions": [{"Name": "a", "BaseImageParameterName": "b"},
                                     {"Name": "b", "ScaleDownThreshold": "x"}]})",
       -10031, "ImageParameter:ScaleDownThreshold:Json type invalid."},
  });
}

// Names that sort in chain order: n0000000, n0000001, ...
std::string ChainName(int i) {
  std::string digits = std::to_string(i);
  return "n" + std::string(7 - digits.size(), '0') + digits;
}

// Each element names the next as its base; the last names `lastBase`.
std::string Chain(int length, const std::string& lastBase) {
  std::string text = R"({"ImageParameterOptions": [)";
  for (int i = 0; i < length; ++i) {
    const std::string base = i + 1 < length ? ChainName(i + 1) : lastBase;
    text += (i > 0 ? ",{\"Name\":\"" : "{\"Name\":\"") + ChainName(i) +
            "\",\"BaseImageParameterName\":\"" + base + "\"}";
  }
  return text + "]}";
}

TEST(BaseInheritance, LongChainsAreReadOrRefusedWithoutDeepCalls) {
  // As long as the section limit allows: far deeper than a call stack goes.
  constexpr int kLength = 60000;
  const auto start = std::chrono::steady_clock::now();
  {
    QV_LMFParameter document;
    std::string text = Chain(kLength, "ip_default");
    // The far end of the chain carries a value all the others inherit.
    text.insert(text.size() - 3, ",\"ScaleDownThreshold\":4321");
    ASSERT_EQ(document.ReadFromString(text.c_str()), 0) << document.message;
    EXPECT_EQ(document.GetSectionMap(kImageParameters).size(), kLength + 1u);
    EXPECT_EQ(Threshold(document, "n0000000"), 4321);
    EXPECT_EQ(Threshold(document, "n0050000"), 4321);
  }
  QV_LMFParameter document;
  EXPECT_EQ(document.ReadFromString(Chain(kLength, ChainName(kLength / 2)).c_str()), -10033);
  EXPECT_EQ(document.message, "ImageParameterOptions has invalid baseName.");
  // A chain that ends in a name nothing defines fails at its far end.
  EXPECT_EQ(document.ReadFromString(Chain(kLength, "missing").c_str()), -10033);
  EXPECT_EQ(document.message, "missing:Json value invalid or value out of range.");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

}  // namespace
}  // namespace quorvane
