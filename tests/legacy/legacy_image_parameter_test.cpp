#include "legacy/legacy_image_parameter.h"

#include <gtest/gtest.h>

#include <string>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

struct Outcome {
  int code;
  std::string message;
  Json::Value written;
};

Outcome ReadLegacy(const std::string& text) {
  OldImageParameterReader reader;
  std::string message = "untouched";
  const int code = reader.ReadLegacyJson(ParseJson(text), message);
  reader.WriteToJson(false);
  return {code, message, reader.json};
}

Json::Value FreshWritten() {
  OldImageParameterReader reader;
  reader.WriteToJson(false);
  return reader.json;
}

std::string Normal(const std::string& text) { return Compact(ParseJson(text)); }

// A written grayscale enhancement mode.
std::string Gem(const char* mode, int sensitivity, int sharpenX, int sharpenY, int smoothX,
                int smoothY) {
  return std::string(R"({"Mode":")") + mode + R"(","Sensitivity":)" + std::to_string(sensitivity) +
         R"(,"SharpenBlockSizeX":)" + std::to_string(sharpenX) + R"(,"SharpenBlockSizeY":)" +
         std::to_string(sharpenY) + R"(,"SmoothBlockSizeX":)" + std::to_string(smoothX) +
         R"(,"SmoothBlockSizeY":)" + std::to_string(smoothY) + "}";
}

// A written binarization mode: BM_LOCAL_BLOCK with the defaults but the morphology.
std::string Morphology(const char* operation, const char* shape, int kernelX, int kernelY) {
  return std::string(R"({"Mode":"BM_LOCAL_BLOCK","BlockSizeX":0,"BlockSizeY":0,)") +
         R"("EnableFillBinaryVacancy":1,"GrayscaleEnhancementModesIndex":-1,)" +
         R"("ThresholdCompensation":10,"BinarizationThreshold":-1,"MorphOperation":")" +
         operation + R"(","MorphShape":")" + shape + R"(","MorphOperationKernelSizeX":)" +
         std::to_string(kernelX) + R"(,"MorphOperationKernelSizeY":)" + std::to_string(kernelY) +
         "}";
}

TEST(OldImageParameterReader, StartsWithTextLineDefaults) {
  OldImageParameterReader reader;
  EXPECT_EQ(reader.GetTypeName(), "ImageParameter");
  EXPECT_TRUE(reader.isPlaceholder);
  EXPECT_TRUE(reader.legacyBinarizationModes.empty());
  EXPECT_TRUE(reader.legacyColourConversionModes.empty());
  EXPECT_TRUE(reader.legacyScaleUpModes.empty());
  EXPECT_TRUE(reader.legacyGrayscaleTransformationModes.empty());
  EXPECT_TRUE(reader.legacyTextureDetectionModes.empty());
  EXPECT_TRUE(reader.legacyRegionPredetectionModes.empty());

  QV_ImageParameter current;
  current.WriteToJson(false);
  Json::Value expected = current.json;
  expected["IfEraseTextZone"] = 1;
  expected["TextDetectionMode"]["Mode"] = "TTDM_LINE";
  EXPECT_EQ(Compact(FreshWritten()), Compact(expected));
}

TEST(OldImageParameterReader, NullAndUnknownKeysLeaveTheDefaults) {
  const std::string fresh = Compact(FreshWritten());
  for (const char* text :
       {"null", "{}", R"({"BarcodeFormatIds":["BF_ALL"],"Timeout":100,"DeblurModes":5,)"
                      R"("Bogus":{"a":[1]},"ImagePreprocessingModes":{"Mode":"IPM_GENERAL"}})"}) {
    SCOPED_TRACE(text);
    const Outcome outcome = ReadLegacy(text);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.message, "untouched");
    EXPECT_EQ(Compact(outcome.written), fresh);
  }
}

TEST(OldImageParameterReader, CurrentKeysReadAsSuch) {
  const Outcome outcome = ReadLegacy(
      R"({"Name":"IP_1","ScaleDownThreshold":4000,"IfEraseTextZone":0,
          "TextDetectionMode":{"Mode":"TTDM_WORD"},
          "GrayscaleEnhancementModes":[{"Mode":"GEM_GRAY_SMOOTH","SmoothBlockSizeX":3}]})");
  ASSERT_EQ(outcome.code, 0) << outcome.message;
  EXPECT_EQ(outcome.written["Name"].asString(), "IP_1");
  EXPECT_EQ(outcome.written["ScaleDownThreshold"].asInt(), 4000);
  EXPECT_EQ(outcome.written["IfEraseTextZone"].asInt(), 0);
  EXPECT_EQ(outcome.written["TextDetectionMode"]["Mode"].asString(), "TTDM_WORD");
  EXPECT_EQ(Compact(outcome.written["GrayscaleEnhancementModes"]),
            Normal("[" + Gem("GEM_GRAY_SMOOTH", -1, -1, -1, 3, -1) + "]"));
}

TEST(OldImageParameterReader, FailingKeyMessages) {
  const struct {
    const char* json;
    int code;
    const char* message;
  } cases[] = {
      {R"({"ScaleDownThreshold":100})", -10033, "ImageParameterScaleDownThreshold invalid"},
      {R"({"ScaleDownThreshold":100,"IfEraseTextZone":2})", -10033,
       "ImageParameterIfEraseTextZone invalid"},
      {R"({"Name":5})", -10031, "ImageParameterName invalid"},
      {R"({"TextDetectionMode":{"Mode":"TTDM_NONE"}})", -10033,
       "ImageParameterTextDetectionMode invalid"},
      {R"({"BinarizationModes":[]})", -10033, "ImageParameterBinarizationModes invalid"},
      {R"({"BinarizationModes":["BM_NONE"]})", -10033, "ImageParameterBinarizationModes invalid"},
      {R"({"ColourConversionModes":{}})", -10031, "ImageParameterColourConversionModes invalid"},
      {R"({"ScaleUpModes":[5]})", -10031, "ImageParameterScaleUpModes invalid"},
      {R"({"RegionPredetectionModes":["RPM_AUTO",true]})", -10031,
       "ImageParameterRegionPredetectionModes invalid"},
      // Keeps its current reader: no bare names, no empty array.
      {R"({"GrayscaleEnhancementModes":["GEM_AUTO"]})", -10031,
       "ImageParameterGrayscaleEnhancementModes invalid"},
      {R"({"GrayscaleEnhancementModes":[]})", -10033,
       "ImageParameterGrayscaleEnhancementModes invalid"},
      // Not an object.
      {"5", -10031, "ImageParameter:"},
      {"[{}]", -10031, "ImageParameter:"},
      {"true", -10031, "ImageParameter:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    const Outcome outcome = ReadLegacy(c.json);
    EXPECT_EQ(outcome.code, c.code);
    EXPECT_EQ(outcome.message, c.message);
  }
}

TEST(OldImageParameterReader, WrongTypeKeepsTheCurrentMessageAndMayWriteItsOwn) {
  OldImageParameterReader reader;
  ASSERT_EQ(reader.ReadLegacyJson(ParseJson(R"({"IfEraseTextZone":5})"), reader.errorMessage),
            -10033);
  EXPECT_EQ(reader.errorMessage, "ImageParameterIfEraseTextZone invalid");
  std::string message;
  EXPECT_EQ(reader.ReadLegacyJson(ParseJson("7"), message), -10031);
  EXPECT_EQ(message, "ImageParameter:ImageParameterIfEraseTextZone invalid");
  EXPECT_EQ(reader.errorMessage, message);
}

TEST(OldImageParameterReader, ElementMessagesNestUnderAPlainRead) {
  const struct {
    const char* json;
    int code;
    const char* message;
  } cases[] = {
      {R"({"ScaleUpModes":["SUM_AUTO",5]})", -10031, "ImageParameter:ScaleUpModes[1]:ScaleUpMode"},
      {R"({"BinarizationModes":["BM_NONE"]})", -10033,
       "ImageParameter:BinarizationModes[0]:BinarizationMode error"},
      {R"({"BinarizationModes":[{"ThreshValueCoefficient":300}]})", -10033,
       "ImageParameter:BinarizationModes[0]:BinarizationMode:ThreshValueCoefficient: out of "
       "range."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    OldImageParameterReader reader;
    EXPECT_EQ(reader.ReadFromJson(ParseJson(c.json), NoSkippedKeys()), c.code);
    EXPECT_EQ(reader.errorMessage, c.message);
  }
}

// Each legacy list reads bare names and objects and ends as the current list
// that the equivalent current-format objects give.
TEST(OldImageParameterReader, LegacyListsMoveIntoTheCurrentLists) {
  const struct {
    const char* key;
    const char* legacy;
    const char* current;
  } cases[] = {
      {"BinarizationModes",
       R"(["BM_LOCAL_BLOCK","bm_skip",{"Mode":"BM_AUTO","ThreshValueCoefficient":12},null])",
       R"([{"Mode":"BM_LOCAL_BLOCK"},{"Mode":"BM_SKIP"},
           {"Mode":"BM_AUTO","ThresholdCompensation":12},{}])"},
      {"ColourConversionModes", R"(["CICM_HSV",{"ReferChannel":"S_CHANNEL"}])",
       R"([{"Mode":"CICM_HSV"},{"ReferChannel":"S_CHANNEL"}])"},
      {"ScaleUpModes", R"([" SUM_SKIP "])", R"([{"Mode":"SUM_SKIP"}])"},
      {"GrayscaleTransformationModes", R"(["GTM_INVERTED","GTM_ORIGINAL"])",
       R"([{"Mode":"GTM_INVERTED"},{"Mode":"GTM_ORIGINAL"}])"},
      {"TextureDetectionModes", R"([{"Sensitivity":3},"TDM_SKIP"])",
       R"([{"Sensitivity":3},{"Mode":"TDM_SKIP"}])"},
      {"RegionPredetectionModes",
       R"(["RPM_GENERAL",{"Mode":"RPM_GENERAL_HSV_CONTRAST","ForeAndBackgroundColours":"[300,-1,360]"}])",
       R"([{"Mode":"RPM_GENERAL"},
           {"Mode":"RPM_GENERAL_HSV_CONTRAST","ForeAndBackgroundColours":"[300,-1,360]"}])"},
  };
  const Json::Value fresh = FreshWritten();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    QV_ImageParameter current;
    ASSERT_EQ(current.ReadFromJson(ParseJson(std::string("{\"") + c.key + "\":" + c.current + "}"),
                                   NoSkippedKeys()),
              0)
        << current.errorMessage;
    current.WriteToJson(false);

    OldImageParameterReader reader;
    std::string message;
    ASSERT_EQ(reader.ReadLegacyJson(
                  ParseJson(std::string("{\"") + c.key + "\":" + c.legacy + "}"), message),
              0)
        << message;
    reader.WriteToJson(false);
    for (const std::string& key : fresh.getMemberNames()) {
      SCOPED_TRACE(key);
      const Json::Value& expected = key == c.key ? current.json[key] : fresh[key];
      EXPECT_EQ(Compact(reader.json[key]), Compact(expected));
    }

    // Null leaves the list.
    const Outcome outcome = ReadLegacy(std::string("{\"") + c.key + "\":null}");
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(Compact(outcome.written), Compact(fresh));
  }
}

TEST(OldImageParameterReader, PreprocessingModes) {
  const std::string general = "[" + Gem("GEM_GENERAL", -1, -1, -1, -1, -1) + "]";
  const struct {
    const char* modes;
    std::string enhancement;   // empty: the default list stays
    std::string binarization;  // likewise
  } cases[] = {
      {R"(["IPM_GENERAL"])", general, ""},
      {R"([{"Mode":"IPM_GENERAL","Sensitivity":7,"SmoothBlockSizeX":3}])", general, ""},
      {R"(["IPM_GRAY_EQUALIZE"])", "[" + Gem("GEM_GRAY_EQUALIZE", -1, -1, -1, -1, -1) + "]", ""},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":7,"SmoothBlockSizeX":3}])",
       "[" + Gem("GEM_GRAY_EQUALIZE", 7, -1, -1, -1, -1) + "]", ""},
      // An absent sensitivity cannot be 0, which the current format refuses.
      {R"([{"Mode":"IPM_GRAY_EQUALIZE"}])",
       "[" + Gem("GEM_GRAY_EQUALIZE", -1, -1, -1, -1, -1) + "]", ""},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":null}])",
       "[" + Gem("GEM_GRAY_EQUALIZE", -1, -1, -1, -1, -1) + "]", ""},
      // Integral reals are integers.
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":9.0}])",
       "[" + Gem("GEM_GRAY_EQUALIZE", 9, -1, -1, -1, -1) + "]", ""},
      {R"([{"Mode":"IPM_GRAY_SMOOTH","SmoothBlockSizeX":3,"Sensitivity":5,"SharpenBlockSizeX":4}])",
       "[" + Gem("GEM_GRAY_SMOOTH", -1, -1, -1, 3, 0) + "]", ""},
      {R"(["IPM_SHARPEN_SMOOTH"])", "[" + Gem("GEM_SHARPEN_SMOOTH", -1, -1, -1, -1, -1) + "]", ""},
      {R"([{"Mode":"IPM_SHARPEN_SMOOTH","SmoothBlockSizeX":3,"SmoothBlockSizeY":3,
             "SharpenBlockSizeX":5,"SharpenBlockSizeY":5,"Sensitivity":2}])",
       "[" + Gem("GEM_SHARPEN_SMOOTH", -1, 5, 5, 3, 3) + "]", ""},
      {R"([{"Mode":"IPM_SHARPEN_SMOOTH"}])", "[" + Gem("GEM_SHARPEN_SMOOTH", -1, 0, 0, 0, 0) + "]",
       ""},
      {R"(["IPM_MORPHOLOGY"])", "", "[" + Morphology("Close", "Rectangle", -1, -1) + "]"},
      {R"([{"Mode":"IPM_MORPHOLOGY","MorphOperation":"Erode","MorphOperationKernelSizeX":3}])", "",
       "[" + Morphology("Erode", "Rectangle", 3, 0) + "]"},
      {R"([{"Mode":"IPM_MORPHOLOGY","MorphShape":" ellipse ","MorphOperationKernelSizeY":1000,
             "BlockSizeX":7}])",
       "", "[" + Morphology("Close", "Ellipse", 0, 1000) + "]"},
      // Nothing for other names, other case, other types.
      {R"(["IPM_AUTO","IPM_SKIP","ipm_general"," IPM_GENERAL","IPM_MORPHOLOGY "])", "", ""},
      {R"([5,true,null,[["IPM_GENERAL"]],{},{"Mode":5},{"Mode":"ipm_morphology"},{"mode":"IPM_GENERAL"}])",
       "", ""},
      {R"("IPM_GENERAL")", "", ""},
      {R"({"Mode":"IPM_GENERAL"})", "", ""},
      {"null", "", ""},
      // Several elements, in order, each list emptied once.
      {R"(["IPM_GENERAL","IPM_AUTO",{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":3},
          "IPM_MORPHOLOGY",{"Mode":"IPM_MORPHOLOGY","MorphOperation":"open"}])",
       "[" + Gem("GEM_GENERAL", -1, -1, -1, -1, -1) + "," +
           Gem("GEM_GRAY_EQUALIZE", 3, -1, -1, -1, -1) + "]",
       "[" + Morphology("Close", "Rectangle", -1, -1) + "," +
           Morphology("Open", "Rectangle", 0, 0) + "]"},
  };
  const Json::Value fresh = FreshWritten();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.modes);
    const Outcome outcome =
        ReadLegacy(std::string(R"({"ImagePreprocessingModes":)") + c.modes + "}");
    ASSERT_EQ(outcome.code, 0) << outcome.message;
    Json::Value expected = fresh;
    if (!c.enhancement.empty()) expected["GrayscaleEnhancementModes"] = ParseJson(c.enhancement);
    if (!c.binarization.empty()) expected["BinarizationModes"] = ParseJson(c.binarization);
    EXPECT_EQ(Compact(outcome.written), Compact(expected));
  }
}

TEST(OldImageParameterReader, PreprocessingModesAndTheCurrentLists) {
  const struct {
    const char* json;
    std::string enhancement;
    std::string binarization;
  } cases[] = {
      // The converted modes replace a list read from the same object.
      {R"({"GrayscaleEnhancementModes":[{"Mode":"GEM_AUTO"},{"Mode":"GEM_SKIP"}],
           "ImagePreprocessingModes":["IPM_GRAY_SMOOTH"]})",
       "[" + Gem("GEM_GRAY_SMOOTH", -1, -1, -1, -1, -1) + "]", ""},
      // With nothing converted, the list read stays.
      {R"({"GrayscaleEnhancementModes":[{"Mode":"GEM_SKIP"}],
           "ImagePreprocessingModes":["IPM_AUTO","IPM_MORPHOLOGY"]})",
       "[" + Gem("GEM_SKIP", -1, -1, -1, -1, -1) + "]",
       "[" + Morphology("Close", "Rectangle", -1, -1) + "]"},
      // A legacy binarization list replaces the mode morphology made.
      {R"({"BinarizationModes":["BM_THRESHOLD"],
           "ImagePreprocessingModes":[{"Mode":"IPM_MORPHOLOGY","MorphOperation":"Erode"}]})",
       "",
       R"([{"Mode":"BM_THRESHOLD","BlockSizeX":0,"BlockSizeY":0,"EnableFillBinaryVacancy":1,
            "GrayscaleEnhancementModesIndex":-1,"ThresholdCompensation":10,
            "BinarizationThreshold":-1,"MorphOperation":"Close","MorphShape":"Rectangle",
            "MorphOperationKernelSizeX":-1,"MorphOperationKernelSizeY":-1}])"},
      {R"({"BinarizationModes":null,"ImagePreprocessingModes":["IPM_MORPHOLOGY"]})", "",
       "[" + Morphology("Close", "Rectangle", -1, -1) + "]"},
  };
  const Json::Value fresh = FreshWritten();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    const Outcome outcome = ReadLegacy(c.json);
    ASSERT_EQ(outcome.code, 0) << outcome.message;
    const std::string enhancement =
        c.enhancement.empty() ? Compact(fresh["GrayscaleEnhancementModes"]) : Normal(c.enhancement);
    const std::string binarization =
        c.binarization.empty() ? Compact(fresh["BinarizationModes"]) : Normal(c.binarization);
    EXPECT_EQ(Compact(outcome.written["GrayscaleEnhancementModes"]), enhancement);
    EXPECT_EQ(Compact(outcome.written["BinarizationModes"]), binarization);
  }
}

TEST(OldImageParameterReader, PreprocessingModeFailures) {
  const std::string invalid = "ImageParameterImagePreprocessingModes invalid";
  const std::string morphOperationValue =
      "MorphOperation:Json value invalid or value out of range.";
  const struct {
    const char* modes;
    int code;
    std::string message;
  } cases[] = {
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":"7"}])", -10031, invalid},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":[7]}])", -10031, invalid},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":true}])", -10031, invalid},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":7.5}])", -10031, invalid},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":1e300}])", -10031, invalid},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":2147483648}])", -10031, invalid},
      {R"(["IPM_GENERAL",{"Mode":"IPM_GRAY_SMOOTH","SmoothBlockSizeY":"3"}])", -10031, invalid},
      {R"([{"Mode":"IPM_SHARPEN_SMOOTH","SharpenBlockSizeX":false}])", -10031, invalid},
      {R"([{"Mode":"IPM_MORPHOLOGY","MorphOperationKernelSizeX":"3"}])", -10031, invalid},
      {R"([{"Mode":"IPM_MORPHOLOGY","MorphOperationKernelSizeY":-2147483649}])", -10031, invalid},
      {R"([{"Mode":"IPM_MORPHOLOGY","MorphOperation":"Squash"}])", -10033, morphOperationValue},
      {R"([{"Mode":"IPM_MORPHOLOGY","MorphOperation":null}])", -10033, morphOperationValue},
      {R"([{"Mode":"IPM_MORPHOLOGY","MorphShape":4}])", -10031, "MorphShape:Json type invalid."},
      {R"([{"Mode":"IPM_MORPHOLOGY","MorphOperation":"Erode","MorphShape":"Ring"}])", -10033,
       "MorphShape:Json value invalid or value out of range."},
      // Values the current format would refuse in the converted template.
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":100}])", -10033, invalid},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":-7.0}])", -10033, invalid},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","Sensitivity":0}])", -10033, invalid},
      {R"([{"Mode":"IPM_SHARPEN_SMOOTH","SharpenBlockSizeY":1001}])", -10033, invalid},
      {R"([{"Mode":"IPM_MORPHOLOGY","MorphOperationKernelSizeY":2000}])", -10033, invalid},
      // Members a row does not take are not looked at.
      {R"([{"Mode":"IPM_GENERAL","Sensitivity":"7","SmoothBlockSizeX":[]}])", 0, "untouched"},
      {R"([{"Mode":"IPM_GRAY_EQUALIZE","SmoothBlockSizeX":"x"}])", 0, "untouched"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.modes);
    const Outcome outcome =
        ReadLegacy(std::string(R"({"ImagePreprocessingModes":)") + c.modes + "}");
    EXPECT_EQ(outcome.code, c.code);
    EXPECT_EQ(outcome.message, c.message);
  }
}

}  // namespace
}  // namespace quorvane
