#include "legacy/legacy_modes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

// A legacy element behind its base class, its mode reachable, and the list
// element of its current family for comparison.
struct Element {
  std::unique_ptr<QV_ParameterFieldBase> object;
  int* mode;
  std::unique_ptr<QV_ParameterFieldBase> current;

  int Read(const std::string& text) {
    return object->ReadFromJson(ParseJson(text), NoSkippedKeys());
  }
  Json::Value Written() {
    object->WriteToJson(false);
    return object->json;
  }
  Json::Value CurrentWritten() {
    current->WriteToJson(false);
    return current->json;
  }
};

template <class Old, class Current>
Element Make() {
  auto element = std::make_unique<Old>();
  int* mode = &element->mode;
  return {std::move(element), mode, std::make_unique<Current>()};
}

struct FamilyCase {
  const char* typeName;
  Element (*make)();
  const char* mode;  // a mode other than the list element's
  int value;
  const char* arguments;  // members of an object, written back as given
};

const std::vector<FamilyCase>& Families() {
  static const std::vector<FamilyCase> families = {
      {"BinarizationMode", Make<OldBinarizationModeStruct, QVIP_BinarizationModeStruct>,
       "BM_THRESHOLD", 4, R"("BlockSizeX":5,"MorphShape":"Cross")"},
      {"ColourConversionMode",
       Make<OldColourConversionModeStruct, QVIP_ColourConversionModeStruct>, "CICM_HSV", 2,
       R"("ReferChannel":"V_CHANNEL")"},
      {"ScaleUpMode", Make<OldScaleUpModeStruct, QVIP_ScaleUpModeStruct>,
       "SUM_LINEAR_INTERPOLATION", 2, R"("TargetModuleSize":7)"},
      {"GrayscaleTransformationMode",
       Make<OldGrayscaleTransformationModeStruct, QVIP_GrayscaleTransformationModeStruct>,
       "GTM_INVERTED", 1, ""},
      {"TextureDetectionMode",
       Make<OldTextureDetectionModeStruct, QVIP_TextureDetectionModeStruct>, "TDM_SKIP", 0,
       R"("Sensitivity":9)"},
      // Hue bounds apply only under the HSV mode, which sorts after the groups.
      {"RegionPredetectionMode",
       Make<OldRegionPredetectionModeStruct, QVIP_RegionPredetectionModeStruct>,
       "RPM_GENERAL_HSV_CONTRAST", 16, R"("ForeAndBackgroundColours":"[300,-1,360]")"},
      {"DeblurMode", Make<OldDeblurModeStruct, DeblurModeStruct>, "DM_SMOOTHING", 8, ""},
      {"LocalizationMode", Make<OldLocalizationModeStruct, LocalizationModeStruct>, "LM_LINES",
       8, R"("ScanDirection":2)"},
      {"DPMCodeReadingMode", Make<OldDPMCodeReadingModeStruct, DPMCodeReadingModeStruct>,
       "DPMCRM_AUTO", 1, R"("BarcodeFormat":"BF_QR_CODE")"},
      {"BarcodeColourMode", Make<OldBarcodeColourModeStruct, BarcodeColourModeStruct>,
       "BICM_LIGHT_ON_DARK", 2, R"("LightReflection":0)"},
      {"BarcodeComplementMode",
       Make<OldBarcodeComplementModeStruct, BarcodeComplementModeStruct>, "BCM_GENERAL", 2, ""},
      {"DeformationResistingModeStruct",
       Make<OldDeformationResistingModeStruct, DeformationResistingModeStruct>,
       "DRM_BROAD_WARP", 4, R"("Level":9)"},
      {"TextResultOrderMode", Make<OldTextResultOrderModeStruct, TextResultOrderModeStruct>,
       "TROM_POSITION", 2, ""},
  };
  return families;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(LegacyModes, SameTypeNameAndDefaultsAsTheCurrentFamily) {
  for (const FamilyCase& family : Families()) {
    SCOPED_TRACE(family.typeName);
    Element element = family.make();
    EXPECT_EQ(element.object->GetTypeName(), family.typeName);
    EXPECT_EQ(Compact(element.Written()), Compact(element.CurrentWritten()));
  }
}

TEST(LegacyModes, BareNameSetsOnlyTheModeAndNullNothing) {
  for (const FamilyCase& family : Families()) {
    SCOPED_TRACE(family.typeName);
    Element element = family.make();
    Json::Value expected = element.CurrentWritten();
    expected["Mode"] = family.mode;
    // Matched as any enumerated name: case and surrounding spaces do not matter.
    ASSERT_EQ(element.Read("\" " + Lower(family.mode) + " \""), 0) << element.object->errorMessage;
    EXPECT_EQ(*element.mode, family.value);
    EXPECT_EQ(Compact(element.Written()), Compact(expected));
    EXPECT_EQ(element.Read("null"), 0);  // changes nothing
    EXPECT_EQ(Compact(element.Written()), Compact(expected));
  }
}

TEST(LegacyModes, ObjectReadsModeAndArguments) {
  for (const FamilyCase& family : Families()) {
    SCOPED_TRACE(family.typeName);
    Element element = family.make();
    const std::string members = std::string(R"("Mode":")") + family.mode + "\"" +
                                (*family.arguments ? "," : "") + family.arguments;
    Json::Value expected = element.CurrentWritten();
    const Json::Value given = ParseJson("{" + members + "}");
    for (const std::string& key : given.getMemberNames()) expected[key] = given[key];
    ASSERT_EQ(element.Read("{" + members + "}"), 0) << element.object->errorMessage;
    EXPECT_EQ(*element.mode, family.value);
    EXPECT_EQ(Compact(element.Written()), Compact(expected));
  }
}

TEST(LegacyModes, RefusedValues) {
  const struct {
    const char* json;
    int code;
    const char* messageAfterTypeName;  // nullptr: no message of its own
  } cases[] = {
      {R"("XX_NONE")", -10033, " error"},
      {R"("")", -10033, " error"},
      {"5", -10031, ""},
      {"true", -10031, ""},
      {R"(["BM_SKIP"])", -10031, ""},
      {R"({"Bogus":1})", -10032, ":Bogus:Json key invalid."},
      {R"({"Mode":"XX_NONE"})", -10033, ":Mode:Json value invalid or value out of range."},
      {R"({"Mode":3})", -10031, ":Mode:Json type invalid."},
  };
  for (const FamilyCase& family : Families()) {
    SCOPED_TRACE(family.typeName);
    for (const auto& c : cases) {
      SCOPED_TRACE(c.json);
      Element element = family.make();
      const int before = *element.mode;
      EXPECT_EQ(element.Read(c.json), c.code);
      EXPECT_EQ(element.object->errorMessage, family.typeName + std::string(c.messageAfterTypeName));
      EXPECT_EQ(*element.mode, before);
    }
  }
}

TEST(LegacyModes, RegionPredetectionColourBoundsFollowTheModeGivenInTheSameObject) {
  const struct {
    const char* json;
    int code;
    const char* message;
  } cases[] = {
      // A bad group has no message of its own.
      {R"({"ForeAndBackgroundColours":"[300,-1,360]","Mode":"RPM_GENERAL"})", -10033,
       "RegionPredetectionMode:"},
      {R"({"ForeAndBackgroundColours":"[300,-1,360]"})", -10033, "RegionPredetectionMode:"},
      {R"({"ForeAndBackgroundColours":"[200,0,255]","Mode":"RPM_GENERAL"})", 0, ""},
      {R"({"ForeAndBackgroundColours":"[200,0,255]","Mode":"RPM_NONE"})", -10033,
       "RegionPredetectionMode:Mode:Json value invalid or value out of range."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    OldRegionPredetectionModeStruct element;
    EXPECT_EQ(element.ReadFromJson(ParseJson(c.json), NoSkippedKeys()), c.code);
    EXPECT_EQ(element.errorMessage, c.message);
  }
  // A skipped "Mode" stays unread.
  OldRegionPredetectionModeStruct element;
  const SkippedKeys skipMode{"Mode"};
  EXPECT_EQ(element.ReadFromJson(ParseJson(R"({"Mode":"RPM_SKIP","Sensitivity":4})"), skipMode),
            0);
  EXPECT_EQ(element.mode, QVIP_RegionPredetectionModeStruct::RPM_AUTO);
  EXPECT_EQ(element.sensitivity, 4);
}

TEST(LegacyModes, BinarizationOlderKeysAndWhichWins) {
  const struct {
    const char* json;
    int code;
    int thresholdCompensation;
    int grayscaleEnhancementModesIndex;
    const char* message;
  } cases[] = {
      {R"({"ThreshValueCoefficient":12})", 0, 12, -1, ""},
      {R"({"ThresholdValueCoefficient":-255})", 0, -255, -1, ""},
      {R"({"ThreshValueCoefficient":-1})", 0, -1, -1, ""},
      {R"({"ImagePreprocessingModesIndex":4})", 0, 10, 4, ""},
      // Key order: ThreshValueCoefficient < ThresholdCompensation < ThresholdValueCoefficient.
      {R"({"ThresholdCompensation":2,"ThreshValueCoefficient":1})", 0, 2, -1, ""},
      {R"({"ThresholdCompensation":2,"ThresholdValueCoefficient":3})", 0, 3, -1, ""},
      {R"({"ThresholdValueCoefficient":3,"ThreshValueCoefficient":1,"ThresholdCompensation":2})",
       0, 3, -1, ""},
      {R"({"ImagePreprocessingModesIndex":4,"GrayscaleEnhancementModesIndex":1})", 0, 10, 4, ""},
      {R"({"ThreshValueCoefficient":300})", -10033, 10, -1,
       "BinarizationMode:ThreshValueCoefficient: out of range."},
      {R"({"ThresholdValueCoefficient":-256})", -10033, 10, -1,
       "BinarizationMode:ThresholdValueCoefficient: out of range."},
      {R"({"ImagePreprocessingModesIndex":-2})", -10033, 10, -1,
       "BinarizationMode:ImagePreprocessingModesIndex: out of range."},
      {R"({"ThreshValueCoefficient":"12"})", -10031, 10, -1,
       "BinarizationMode:ThreshValueCoefficient:Json type invalid."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    OldBinarizationModeStruct element;
    EXPECT_EQ(element.ReadFromJson(ParseJson(c.json), NoSkippedKeys()), c.code);
    if (c.code == 0) {
      EXPECT_EQ(element.thresholdCompensation, c.thresholdCompensation);
      EXPECT_EQ(element.grayscaleEnhancementModesIndex, c.grayscaleEnhancementModesIndex);
    } else {
      EXPECT_EQ(element.errorMessage, c.message);
    }
  }
  // The older keys are never written.
  OldBinarizationModeStruct element;
  ASSERT_EQ(element.ReadFromJson(ParseJson(R"({"ThreshValueCoefficient":12})"), NoSkippedKeys()),
            0);
  element.WriteToJson(false);
  EXPECT_FALSE(element.json.isMember("ThreshValueCoefficient"));
  EXPECT_EQ(element.json["ThresholdCompensation"].asInt(), 12);
}

TEST(LegacyModes, LocalizationAutoOnlyInsideAnObject) {
  const struct {
    const char* json;
    int code;
    int mode;
    const char* message;
  } cases[] = {
      {R"({"Mode":"LM_AUTO"})", 0, LocalizationModeStruct::LM_SKIP, ""},
      {R"({"Mode":"LM_AUTO","ScanStride":3})", 0, LocalizationModeStruct::LM_SKIP, ""},
      {R"({"Mode":" lm_lines "})", 0, LocalizationModeStruct::LM_LINES, ""},
      // Exactly so: any other spelling goes to the enumeration, which lacks it.
      {R"({"Mode":"lm_auto"})", -10033, LocalizationModeStruct::LM_CONNECTED_BLOCKS,
       "LocalizationMode:Mode:Json value invalid or value out of range."},
      {R"({"Mode":"LM_AUTO "})", -10033, LocalizationModeStruct::LM_CONNECTED_BLOCKS,
       "LocalizationMode:Mode:Json value invalid or value out of range."},
      {R"({"Mode":["LM_AUTO"]})", -10031, LocalizationModeStruct::LM_CONNECTED_BLOCKS,
       "LocalizationMode:Mode:Json type invalid."},
      {R"("LM_AUTO")", -10033, LocalizationModeStruct::LM_CONNECTED_BLOCKS,
       "LocalizationMode error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    OldLocalizationModeStruct element;
    EXPECT_EQ(element.ReadFromJson(ParseJson(c.json), NoSkippedKeys()), c.code);
    EXPECT_EQ(element.mode, c.mode);
    EXPECT_EQ(element.errorMessage, c.message);
  }
}

TEST(LegacyModes, TransferTakesTheCurrentFormatPart) {
  std::vector<DeformationResistingModeStruct> current{DeformationResistingModeStruct(0x1)};
  TransferLegacyModes(std::vector<OldDeformationResistingModeStruct>{}, current);
  ASSERT_EQ(current.size(), 1u);
  EXPECT_EQ(current[0].mode, DeformationResistingModeStruct::DRM_AUTO);

  std::vector<OldDeformationResistingModeStruct> legacy(2);
  ASSERT_EQ(legacy[1].ReadFromJson(
                ParseJson(R"({"Mode":"DRM_DEWRINKLE","Level":2,"BinarizationMode":{"BlockSizeX":9}})"),
                NoSkippedKeys()),
            0);
  TransferLegacyModes(legacy, current);
  ASSERT_EQ(current.size(), 2u);
  EXPECT_EQ(current[0].mode, DeformationResistingModeStruct::DRM_GENERAL);
  EXPECT_EQ(current[1].mode, DeformationResistingModeStruct::DRM_DEWRINKLE);
  EXPECT_EQ(current[1].level, 2);
  EXPECT_EQ(current[1].binarizationMode.blockSizeX, 9);
  legacy[1].WriteToJson(false);
  current[1].WriteToJson(false);
  EXPECT_EQ(Compact(current[1].json), Compact(legacy[1].json));
}

}  // namespace
}  // namespace quorvane
