#include "imageparams/image_parameter.h"

#include <gtest/gtest.h>

#include <string>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

int Read(QV_ParameterFieldBase& object, const std::string& text) {
  return object.ReadFromJson(ParseJson(text), NoSkippedKeys());
}

Json::Value Written(QV_ParameterFieldBase& object) {
  object.WriteToJson(false);
  return object.json;
}

const char* const kModeLists[] = {
    "BinarizationModes",        "ColourConversionModes",        "ScaleUpModes",
    "GrayscaleEnhancementModes", "GrayscaleTransformationModes", "TextureDetectionModes",
    "RegionPredetectionModes",
};

TEST(ImageParameter, ConstructorDefaults) {
  QV_ImageParameter parameter;
  EXPECT_TRUE(parameter.isPlaceholder);
  EXPECT_EQ(parameter.GetTypeName(), "ImageParameter");
  const Json::Value written = Written(parameter);
  EXPECT_EQ(written["Name"].asString(), "ip_default");
  EXPECT_EQ(written["ScaleDownThreshold"].asInt(), 2300);
  EXPECT_EQ(written["IfEraseTextZone"].asInt(), 0);
  ASSERT_TRUE(written["BaseImageParameterName"].isString());
  EXPECT_EQ(written["BaseImageParameterName"].asString(), "");
  for (const char* key : kModeLists) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(written[key].isArray());
    EXPECT_EQ(written[key].size(), 1u);
  }
  EXPECT_EQ(written["TextDetectionMode"]["Mode"].asString(), "TTDM_SKIP");
  EXPECT_EQ(written.size(), 12u);  // nothing beyond the keys above
}

TEST(ImageParameter, ReadingOnlyANameKeepsEveryDefault) {
  QV_ImageParameter fresh;
  QV_ImageParameter parameter;
  ASSERT_EQ(Read(parameter, R"({"Name":"ip_a"})"), 0);
  EXPECT_FALSE(parameter.isPlaceholder);
  Json::Value expected = Written(fresh);
  expected["Name"] = "ip_a";
  EXPECT_EQ(Compact(Written(parameter)), Compact(expected));
}

TEST(ImageParameter, EmbeddedTextDetectionModeIsReadInPlace) {
  QV_ImageParameter parameter;
  parameter.textDetectionMode.sensitivity = 7;
  ASSERT_EQ(Read(parameter, R"({"TextDetectionMode":{"Mode":"TTDM_WORD"}})"), 0);
  EXPECT_EQ(parameter.textDetectionMode.mode, QVIP_TextDetectionModeStruct::TTDM_WORD);
  EXPECT_EQ(parameter.textDetectionMode.sensitivity, 7);
  EXPECT_EQ(parameter.textDetectionMode.charHeightRange, (std::vector<int>{1, 1000, 1}));
  ASSERT_EQ(Read(parameter, R"({"TextDetectionMode":null})"), 0);
  EXPECT_EQ(parameter.textDetectionMode.mode, QVIP_TextDetectionModeStruct::TTDM_WORD);
}

TEST(ImageParameter, ModeListsAreReplacedFromListElementDefaults) {
  QV_ImageParameter parameter;
  ASSERT_EQ(Read(parameter, R"({"BinarizationModes":[{},{"Mode":"BM_AUTO"}],
                                "GrayscaleEnhancementModes":[{}],
                                "RegionPredetectionModes":[{"Sensitivity":3}]})"),
            0);
  ASSERT_EQ(parameter.binarizationModes.size(), 2u);
  EXPECT_EQ(parameter.binarizationModes[0].mode, QVIP_BinarizationModeStruct::BM_LOCAL_BLOCK);
  EXPECT_EQ(parameter.binarizationModes[1].mode, QVIP_BinarizationModeStruct::BM_AUTO);
  EXPECT_EQ(parameter.binarizationModes[1].thresholdCompensation, 10);
  ASSERT_EQ(parameter.grayscaleEnhancementModes.size(), 1u);
  EXPECT_EQ(parameter.grayscaleEnhancementModes[0].mode,
            QVIP_GrayscaleEnhancementModeStruct::GEM_AUTO);  // not the constructor's GEM_GENERAL
  EXPECT_EQ(parameter.regionPredetectionModes[0].mode, QVIP_RegionPredetectionModeStruct::RPM_AUTO);
}

TEST(ImageParameter, EmptyOrNullListLeavesTheList) {
  for (const char* key : kModeLists) {
    SCOPED_TRACE(key);
    QV_ImageParameter parameter;
    const std::string fresh = Compact(Written(parameter));
    EXPECT_EQ(Read(parameter, std::string(R"({")") + key + R"(":null})"), 0);
    EXPECT_EQ(Read(parameter, std::string(R"({")") + key + R"(":[]})"), -10033);
    EXPECT_EQ(parameter.errorMessage,
              std::string("ImageParameter:") + key + ":Json value invalid or value out of range.");
    EXPECT_EQ(Compact(Written(parameter)), fresh);
    EXPECT_EQ(Read(parameter, std::string(R"({")") + key + R"(":{}})"), -10031);
    EXPECT_EQ(parameter.errorMessage, std::string("ImageParameter:") + key + ":Json type invalid.");
  }
}

TEST(ImageParameter, NestedMessages) {
  const struct {
    const char* json;
    int code;
    const char* message;
  } cases[] = {
      {R"({"BinarizationModes":[{"BlockSizeX":1001}]})", -10033,
       "ImageParameter:BinarizationModes[0]:BinarizationMode:BlockSizeX: out of range."},
      {R"({"ColourConversionModes":[{},{"ReferChannel":"X"}]})", -10033,
       "ImageParameter:ColourConversionModes[1]:ColourConversionMode:ReferChannel:"
       "Json value invalid or value out of range."},
      {R"({"ScaleUpModes":[{"TargetModuleSize":134217728}]})", -10033,
       "ImageParameter:ScaleUpModes[0]:ScaleUpMode:TargetModuleSize: out of range."},
      {R"({"GrayscaleEnhancementModes":[{"Sensitivity":0}]})", -10033,
       "ImageParameter:GrayscaleEnhancementModes[0]:GrayscaleEnhancementMode:Sensitivity: out of range."},
      {R"({"GrayscaleTransformationModes":[{"Sensitivity":1}]})", -10032,
       "ImageParameter:GrayscaleTransformationModes[0]:GrayscaleTransformationMode:Sensitivity:"
       "Json key invalid."},
      {R"({"TextureDetectionModes":[{"Mode":"TDM_NONE"}]})", -10033,
       "ImageParameter:TextureDetectionModes[0]:TextureDetectionMode:Mode:"
       "Json value invalid or value out of range."},
      {R"({"RegionPredetectionModes":[{"Mode":"bogus"}]})", -10033,
       "ImageParameter:RegionPredetectionModes[0]:Mode:Json value invalid or value out of range."},
      {R"({"RegionPredetectionModes":[{"AspectRatioRange":"[0,1]"}]})", -10033,
       "ImageParameter:RegionPredetectionModes[0]:RegionPredetectionMode:"},
      {R"({"BinarizationModes":[5]})", -10031, "ImageParameter:BinarizationModes[0]:"},
      {R"({"TextDetectionMode":{"CharHeightRange":[20,10,1]}})", -10033,
       "ImageParameter:TextDetectionMode CharHeightRange error: min > max."},
      {R"({"TextDetectionMode":{"Sensitivity":10}})", -10033,
       "ImageParameter:TextDetectionMode:Sensitivity: out of range."},
      {R"({"TextDetectionMode":[]})", -10031, "ImageParameter:"},
      {R"({"ScaleDownThreshold":511})", -10033, "ImageParameter:ScaleDownThreshold: out of range."},
      {R"({"IfEraseTextZone":2})", -10033, "ImageParameter:IfEraseTextZone: out of range."},
      {R"({"BaseImageParameterName":5})", -10031,
       "ImageParameter:BaseImageParameterName:Json type invalid."},
      {R"({"Foo":1})", -10032, "ImageParameter:Foo:Json key invalid."},
      // Keys are read in byte order: the first bad one is reported.
      {R"({"ScaleDownThreshold":1,"IfEraseTextZone":5})", -10033,
       "ImageParameter:IfEraseTextZone: out of range."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    QV_ImageParameter parameter;
    EXPECT_EQ(Read(parameter, c.json), c.code);
    EXPECT_EQ(parameter.errorMessage, c.message);
  }
}

TEST(ImageParameter, ScalarRanges) {
  const struct {
    const char* json;
    int code;
    int scaleDownThreshold;
    int ifEraseTextZone;
  } cases[] = {
      {R"({"ScaleDownThreshold":512})", 0, 512, 0},
      {R"({"ScaleDownThreshold":2147483647})", 0, 2147483647, 0},
      {R"({"ScaleDownThreshold":-1})", 0, -1, 0},
      {R"({"ScaleDownThreshold":null})", 0, -1, 0},
      {R"({"ScaleDownThreshold":511})", -10033, 2300, 0},
      {R"({"IfEraseTextZone":1})", 0, 2300, 1},
      {R"({"IfEraseTextZone":-1})", 0, 2300, -1},
      {R"({"IfEraseTextZone":true})", -10031, 2300, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    QV_ImageParameter parameter;
    EXPECT_EQ(Read(parameter, c.json), c.code);
    EXPECT_EQ(parameter.scaleDownThreshold, c.scaleDownThreshold);
    EXPECT_EQ(parameter.ifEraseTextZone, c.ifEraseTextZone);
  }
}

TEST(ImageParameter, TextLineDefaultsOnlyBeforeTheFirstRead) {
  QV_ImageParameter fresh;
  fresh.textDetectionMode.sensitivity = 8;
  fresh.ApplyTextLineDefaults();
  EXPECT_EQ(fresh.textDetectionMode.mode, QVIP_TextDetectionModeStruct::TTDM_LINE);
  EXPECT_EQ(fresh.textDetectionMode.direction, QVIP_TextDetectionModeStruct::UNKNOWN);
  EXPECT_EQ(fresh.textDetectionMode.sensitivity, 3);
  EXPECT_EQ(fresh.ifEraseTextZone, 1);
  // The replaced embedded object still reads through its own readers.
  ASSERT_EQ(Read(fresh, R"({"TextDetectionMode":{"Sensitivity":4}})"), 0);
  EXPECT_EQ(fresh.textDetectionMode.sensitivity, 4);

  QV_ImageParameter read;
  ASSERT_EQ(Read(read, "null"), 0);
  read.ApplyTextLineDefaults();
  EXPECT_EQ(read.textDetectionMode.mode, QVIP_TextDetectionModeStruct::TTDM_SKIP);
  EXPECT_EQ(read.ifEraseTextZone, 0);
}

TEST(ImageParameter, DefaultNamesAndBaseName) {
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(0), "ip_zqeDefault");
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(1), "ip_default");
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(2), "ip_zqiDefault");
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(7), "ip_default");
  EXPECT_EQ(QV_ImageParameter::GetDefaultImageParameterName(-1), "ip_default");
  QV_ImageParameter parameter;
  EXPECT_EQ(parameter.GetBaseName(), "");
  ASSERT_EQ(Read(parameter, R"({"BaseImageParameterName":"ip_base"})"), 0);
  EXPECT_EQ(parameter.GetBaseName(), "ip_base");
}

const char* const kFullImageParameter = R"({
  "Name": "ip_full", "BaseImageParameterName": "ip_default", "LibraryFileName": "",
  "LibraryParameters": "", "ScaleDownThreshold": 1024, "IfEraseTextZone": 1,
  "BinarizationModes": [{"Mode": "BM_THRESHOLD", "BinarizationThreshold": 100},
                        {"Mode": "BM_SKIP", "MorphShape": "Cross"}],
  "ColourConversionModes": [{"Mode": "CICM_HSV", "ReferChannel": "S_CHANNEL"}],
  "ScaleUpModes": [{"Mode": "SUM_NEAREST_NEIGHBOUR_INTERPOLATION", "TargetModuleSize": 6}],
  "GrayscaleEnhancementModes": [{"Mode": "GEM_GRAY_SMOOTH", "SmoothBlockSizeX": 3}],
  "GrayscaleTransformationModes": [{"Mode": "GTM_INVERTED"}, {"Mode": "GTM_ORIGINAL"}],
  "TextureDetectionModes": [{"Mode": "TDM_SKIP"}],
  "RegionPredetectionModes": [{"Mode": "RPM_GENERAL_HSV_CONTRAST",
                               "ForeAndBackgroundColours": "[10,-1,20][30,40,50]",
                               "RelativeRegions": "[0,0,50,50,1]", "ImageParameterName": "ip_x"},
                              {"Mode": "RPM_GENERAL_RGB_CONTRAST",
                               "ForeAndBackgroundColours": "[255,0,0]"}],
  "TextDetectionMode": {"Mode": "TTDM_LINE", "StringLengthRange": [2, 8], "Direction": "VERTICAL"}
})";

TEST(ImageParameter, RoundTrip) {
  QV_ImageParameter first;
  ASSERT_EQ(Read(first, kFullImageParameter), 0) << first.errorMessage;
  const Json::Value written = Written(first);
  EXPECT_EQ(written["RegionPredetectionModes"][0]["ForeAndBackgroundColours"].asString(),
            "[10,-1,20][30,40,50]");
  QV_ImageParameter second;
  ASSERT_EQ(second.ReadFromJson(written, NoSkippedKeys()), 0) << second.errorMessage;
  EXPECT_EQ(Compact(Written(second)), Compact(written));
  // The constructor object round-trips as well.
  QV_ImageParameter fresh;
  QV_ImageParameter again;
  ASSERT_EQ(again.ReadFromJson(Written(fresh), NoSkippedKeys()), 0);
  EXPECT_EQ(Compact(Written(again)), Compact(Written(fresh)));
}

TEST(ImageParameter, CopyHoldsEverythingAndReadsOnItsOwn) {
  QV_ImageParameter original;
  ASSERT_EQ(Read(original, kFullImageParameter), 0);
  const std::string before = Compact(Written(original));

  QV_ImageParameter copy(original);
  EXPECT_FALSE(copy.isPlaceholder);
  EXPECT_EQ(Compact(Written(copy)), before);
  ASSERT_EQ(Read(copy, R"({"ScaleDownThreshold":4096,"TextDetectionMode":{"Sensitivity":9},
                           "BinarizationModes":[{}]})"),
            0);
  EXPECT_EQ(copy.scaleDownThreshold, 4096);
  EXPECT_EQ(Compact(Written(original)), before);  // the source is untouched

  QV_ImageParameter assigned;
  assigned = original;
  EXPECT_EQ(Compact(Written(assigned)), before);
  EXPECT_TRUE(QV_ImageParameter(QV_ImageParameter()).isPlaceholder);
}

}  // namespace
}  // namespace quorvane
