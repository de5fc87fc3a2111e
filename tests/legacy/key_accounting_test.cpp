// Which keys of a template no reader took: the paths the converter lists as
// not carried over from a legacy template, and those the checker lists as
// not read in a current-format one.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/template_check.h"
#include "legacy/legacy_reader.h"

namespace quorvane {
namespace {

using Paths = std::vector<std::string>;

Paths NotCarriedOver(const char* legacyText) {
  ZQA_OldParameterReader reader;
  reader.collectNotCarriedOver = true;
  std::string message;
  EXPECT_EQ(reader.ReadOldTemplate(legacyText, message), 0) << message;
  return reader.notCarriedOver;
}

Paths NotRead(const char* currentText) {
  Paths notRead;
  const Failure check = CheckTemplateText(currentText, &notRead);
  EXPECT_FALSE(check) << check.text;
  return notRead;
}

TEST(KeyAccounting, PathsOfTheKeysNoReaderTook) {
  const struct {
    const char* what;
    Paths (*account)(const char*);
    const char* text;
    Paths paths;
  } cases[] = {
      // Legacy templates
      {"every key used", &NotCarriedOver, R"({
         "FormatSpecification": {"Name": "fs", "BarcodeFormatIds": ["BF_ALL"],
           "MinResultConfidence": 40, "DeformationResistingModes": [{"Mode": "DRM_SKIP"}]},
         "RegionDefinition": {"Name": "r", "Left": 0, "Top": 0, "Right": 50, "Bottom": 50,
           "MeasuredByPercentage": 1, "BarcodeFormatIds": ["BF_QR_CODE"],
           "BarcodeFormatIds_2": ["BF2_NULL"], "FormatSpecificationNameArray": ["fs"]},
         "ImageParameter": {"Name": "a", "Timeout": "750", "TerminatePhase": "TP_IMAGE_BINARIZED",
           "MaxAlgorithmThreadCount": 2, "RegionDefinitionNameArray": ["r", "nowhere"],
           "BinarizationModes": [{"Mode": "BM_LOCAL_BLOCK", "ThreshValueCoefficient": 3}],
           "ImagePreprocessingModes": [{"Mode": "IPM_GRAY_EQUALIZE", "Sensitivity": 5}]}})",
       {}},
      {"top level", &NotCarriedOver,
       R"({"Comment": "x", "Version": "3.0", "ImageParameter": {"Name": "a"}})",
       {"Comment", "Version"}},
      {"inside the second image parameter", &NotCarriedOver,
       R"({"ImageParameterContentArray": [{"Name": "a"}, {"Name": "b", "Timoeut": 5}]})",
       {"ImageParameterContentArray[1].Timoeut"}},
      {"keys the current format dropped", &NotCarriedOver,
       R"({"ImageParameter": {"Name": "a", "Description": "d", "DeblurLevel": 5}})",
       {"ImageParameter.DeblurLevel", "ImageParameter.Description"}},
      {"inside a region, named or not", &NotCarriedOver,
       R"({"RegionDefinitionArray": [{"Name": "r", "Lefft": 1}, {"Name": "s", "Topp": 1}],
           "ImageParameter": {"Name": "a", "RegionDefinitionNameArray": ["r"]}})",
       {"RegionDefinitionArray[0].Lefft", "RegionDefinitionArray[1].Topp"}},
      {"inside a format specification", &NotCarriedOver,
       R"({"FormatSpecificationArray": [{"Name": "fs", "MirrorMod": "MM_BOTH"}]})",
       {"FormatSpecificationArray[0].MirrorMod"}},
      {"members a preprocessing mode does not take", &NotCarriedOver,
       R"({"ImageParameter": {"Name": "a", "ImagePreprocessingModes": [
           {"Mode": "IPM_GENERAL", "Sensitivity": 3}, "IPM_GENERAL",
           {"Mode": "IPM_MORPHOLOGY", "MorphOperation": "Erode", "SmoothBlockSizeX": 2}]}})",
       {"ImageParameter.ImagePreprocessingModes[0].Sensitivity",
        "ImageParameter.ImagePreprocessingModes[2].SmoothBlockSizeX"}},
      {"a preprocessing mode the conversion leaves behind", &NotCarriedOver,
       R"({"ImageParameter": {"Name": "a", "ImagePreprocessingModes": [
           {"Mode": "IPM_AUTO", "Sensitivity": 3}, {"Mode": "IPM_GRAY_EQUALIZE"}]}})",
       {"ImageParameter.ImagePreprocessingModes[0].Mode",
        "ImageParameter.ImagePreprocessingModes[0].Sensitivity"}},
      {"a specification list that is no array is passed over whole", &NotCarriedOver,
       R"({"FormatSpecificationArray": {"Name": "fs", "MirrorMode": "MM_BOTH"}})",
       {"FormatSpecificationArray"}},
      {"several depths, in key order", &NotCarriedOver,
       R"({"Zed": 1, "ImageParameterContentArray": [{"Name": "a", "Odd": {"Deep": 1}}],
           "Alpha": [1]})",
       {"Alpha", "ImageParameterContentArray[0].Odd", "Zed"}},

      // Current-format templates
      {"every key read", &NotRead, R"({
         "GlobalParameter": {"MaxTotalImageDimension": 0},
         "LumiflowTemplates": [{"Name": "f", "ImageROIProcessingNameArray": ["r"]}],
         "TargetROIDefOptions": [{"Name": "r", "TaskSettingNameArray": ["t"]}],
         "BarcodeReaderTaskSettingOptions": [{"Name": "t", "ExpectedBarcodesCount": 2}],
         "ImageParameterOptions": [{"Name": "i", "ScaleDownThreshold": 3000}]})",
       {}},
      {"a comment and a misspelled section", &NotRead,
       R"({"Comment": "x", "LumiflowTemplate": [{"Name": "a"}],
           "LumiflowTemplates": [{"Name": "f"}]})",
       {"Comment", "LumiflowTemplate"}},
      {"sections scanned only for names, and sections not read", &NotRead,
       R"({"LabelRecognizerTaskSettingOptions": [{"Name": "l", "Odd": {"Deep": 1}}],
           "TextLineSpecificationOptions": [{"Name": "t"}]})",
       {"LabelRecognizerTaskSettingOptions[0].Name", "LabelRecognizerTaskSettingOptions[0].Odd",
        "TextLineSpecificationOptions"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.account(c.text), c.paths);
  }
}

TEST(KeyAccounting, OnlyWhenAskedAndOnlyAfterASuccessfulRead) {
  ZQA_OldParameterReader reader;
  std::string message;
  ASSERT_EQ(reader.ReadOldTemplate(R"({"Comment": 1, "RegionDefinitionArray": []})", message), 0);
  EXPECT_TRUE(reader.notCarriedOver.empty());
  reader.collectNotCarriedOver = true;
  ASSERT_EQ(reader.ReadOldTemplate(R"({"Comment": 1, "RegionDefinitionArray": []})", message), 0);
  EXPECT_EQ(reader.notCarriedOver, Paths{"Comment"});
  ASSERT_NE(reader.ReadOldTemplate(R"({"Comment": 1, "ImageParameter": 5})", message), 0);
  EXPECT_TRUE(reader.notCarriedOver.empty()) << "a failed read leaves no list of an earlier one";
}

}  // namespace
}  // namespace quorvane
