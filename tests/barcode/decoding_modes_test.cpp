#include "barcode/decoding_modes.h"

#include <gtest/gtest.h>

#include <string>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

template <class T>
std::string Written(T object) {
  object.WriteToJson(false);
  return Compact(object.json);
}

std::string Normal(const char* text) { return Compact(ParseJson(text)); }

// The outcome of reading a JSON text into a list element of family T.
struct Outcome {
  int code;
  std::string message;
  std::string written;
};

template <class T>
Outcome Read(const char* text) {
  T object;
  const int code = object.ReadFromJson(ParseJson(text), NoSkippedKeys());
  return {code, code ? object.errorMessage : "", Written(object)};
}

// A list element of family T after reading `text`, which must succeed.
template <class T>
T RoundTrip(const std::string& text) {
  T object;
  const int code = object.ReadFromJson(ParseJson(text), NoSkippedKeys());
  if (code != 0) { ADD_FAILURE() << object.errorMessage; }
  return object;
}

constexpr const char* kNestedDefaults =
    R"("GrayscaleEnhancementMode":{"Mode":"GEM_AUTO","Sensitivity":-1,"SharpenBlockSizeX":-1,)"
    R"("SharpenBlockSizeY":-1,"SmoothBlockSizeX":-1,"SmoothBlockSizeY":-1},)"
    R"("BinarizationMode":{"Mode":"BM_LOCAL_BLOCK","BlockSizeX":0,"BlockSizeY":0,)"
    R"("EnableFillBinaryVacancy":1,"GrayscaleEnhancementModesIndex":-1,)"
    R"("ThresholdCompensation":10,"BinarizationThreshold":-1,"MorphOperation":"Close",)"
    R"("MorphShape":"Rectangle","MorphOperationKernelSizeX":-1,"MorphOperationKernelSizeY":-1})";

std::string Deformation(const std::string& modeAndLevel) {
  return Normal(("{" + modeAndLevel + "," + kNestedDefaults + "}").c_str());
}

TEST(DecodingModes, BothDefaultSetsWrittenAtOnce) {
  using L = LocalizationModeStruct;
  const struct {
    const char* label;
    std::string written;
    std::string expected;
  } cases[] = {
      {"localization element", Written(L()),
       Normal(R"({"Mode":"LM_CONNECTED_BLOCKS","ScanStride":0,"ScanDirection":0,)"
              R"("ConfidenceThreshold":60,"IsOneDStacked":0,"ModuleSize":0})")},
      {"localization created", Written(L(L::LM_SCAN_DIRECTLY)),
       Normal(R"({"Mode":"LM_SCAN_DIRECTLY","ScanStride":0,"ScanDirection":0,)"
              R"("ConfidenceThreshold":60,"IsOneDStacked":0,"ModuleSize":0})")},
      {"deblur element", Written(DeblurModeStruct()), Normal(R"({"Mode":"DM_SKIP"})")},
      {"deblur created", Written(DeblurModeStruct(DeblurModeStruct::DM_DEEP_ANALYSIS)),
       Normal(R"({"Mode":"DM_DEEP_ANALYSIS"})")},
      {"DPM element", Written(DPMCodeReadingModeStruct()),
       Normal(R"({"Mode":"DPMCRM_GENERAL","BarcodeFormat":"BF_DATAMATRIX"})")},
      {"DPM created", Written(DPMCodeReadingModeStruct(DPMCodeReadingModeStruct::DPMCRM_SKIP)),
       Normal(R"({"Mode":"DPMCRM_SKIP","BarcodeFormat":"BF_DATAMATRIX"})")},
      {"colour element", Written(BarcodeColourModeStruct()),
       Normal(R"({"Mode":"BICM_DARK_ON_LIGHT","LightReflection":1})")},
      {"colour created", Written(BarcodeColourModeStruct(BarcodeColourModeStruct::BICM_LIGHT_ON_DARK)),
       Normal(R"({"Mode":"BICM_LIGHT_ON_DARK","LightReflection":1})")},
      {"colour created without reflection",
       Written(BarcodeColourModeStruct(BarcodeColourModeStruct::BICM_DARK_ON_DARK, 0)),
       Normal(R"({"Mode":"BICM_DARK_ON_DARK","LightReflection":0})")},
      {"complement element", Written(BarcodeComplementModeStruct()), Normal(R"({"Mode":"BCM_SKIP"})")},
      {"deformation element", Written(DeformationResistingModeStruct()),
       Deformation(R"("Mode":"DRM_GENERAL","Level":5)")},
      {"deformation created",
       Written(DeformationResistingModeStruct(DeformationResistingModeStruct::DRM_SKIP)),
       Deformation(R"("Mode":"DRM_SKIP","Level":5)")},
      {"text order element", Written(TextResultOrderModeStruct()), Normal(R"({"Mode":"TROM_SKIP"})")},
      // A value outside a table takes its first name.
      {"localization 1", Written(L(1)),
       Normal(R"({"Mode":"LM_CONNECTED_BLOCKS","ScanStride":0,"ScanDirection":0,)"
              R"("ConfidenceThreshold":60,"IsOneDStacked":0,"ModuleSize":0})")},
      {"text order 3", Written(TextResultOrderModeStruct(3)), Normal(R"({"Mode":"TROM_CONFIDENCE"})")},
      {"deformation REV", Written(DeformationResistingModeStruct(-2147483647 - 1)),
       Deformation(R"("Mode":"DRM_AUTO","Level":5)")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.written, c.expected);
  }
}

TEST(DecodingModes, ReadingRangesNamesAndMessages) {
  const std::string localizationLines =
      Normal(R"({"Mode":"LM_LINES","ScanStride":0,"ScanDirection":0,)"
             R"("ConfidenceThreshold":60,"IsOneDStacked":0,"ModuleSize":0})");
  const char* const kInvalid = "Json value invalid or value out of range.";
  const struct {
    const char* label;
    Outcome outcome;
    int code;
    std::string message;  // for a failure; else what is written, when given
  } cases[] = {
      {"LM lines", Read<LocalizationModeStruct>(R"({"Mode":"LM_LINES"})"), 0, localizationLines},
      {"LM spaced lower case", Read<LocalizationModeStruct>(R"({"Mode":" lm_lines "})"), 0,
       localizationLines},
      {"LM name accepted, not written",
       Read<LocalizationModeStruct>(R"({"Mode":"LM_LINES","Name":"n","LibraryFileName":"f"})"), 0,
       localizationLines},
      {"LM confidence 100",
       Read<LocalizationModeStruct>(R"({"ConfidenceThreshold":100,"ScanDirection":2,"IsOneDStacked":1})"),
       0, ""},
      {"LM confidence 101", Read<LocalizationModeStruct>(R"({"ConfidenceThreshold":101})"), -10033,
       "LocalizationMode:ConfidenceThreshold: out of range."},
      {"LM direction 3", Read<LocalizationModeStruct>(R"({"ScanDirection":3})"), -10033,
       "LocalizationMode:ScanDirection: out of range."},
      {"LM stacked 2", Read<LocalizationModeStruct>(R"({"IsOneDStacked":2})"), -10033,
       "LocalizationMode:IsOneDStacked: out of range."},
      {"LM stride -1", Read<LocalizationModeStruct>(R"({"ScanStride":-1,"ModuleSize":2147483647})"), 0,
       Normal(R"({"Mode":"LM_CONNECTED_BLOCKS","ScanStride":-1,"ScanDirection":0,)"
              R"("ConfidenceThreshold":60,"IsOneDStacked":0,"ModuleSize":2147483647})")},
      {"LM stride -2", Read<LocalizationModeStruct>(R"({"ScanStride":-2})"), -10033,
       "LocalizationMode:ScanStride: out of range."},
      {"LM no REV", Read<LocalizationModeStruct>(R"({"Mode":"LM_REV"})"), -10033,
       std::string("LocalizationMode:Mode:") + kInvalid},
      {"LM mode number", Read<LocalizationModeStruct>(R"({"Mode":8})"), -10031,
       "LocalizationMode:Mode:Json type invalid."},
      {"LM unknown key", Read<LocalizationModeStruct>(R"({"Level":1})"), -10032,
       "LocalizationMode:Level:Json key invalid."},
      {"deblur", Read<DeblurModeStruct>(R"({"Mode":"dm_sharpening_smoothing"})"), 0,
       Normal(R"({"Mode":"DM_SHARPENING_SMOOTHING"})")},
      {"deblur has no arguments", Read<DeblurModeStruct>(R"({"ScanStride":1})"), -10032,
       "DeblurMode:ScanStride:Json key invalid."},
      {"complement", Read<BarcodeComplementModeStruct>(R"({"Mode":"BCM_GENERAL"})"), 0,
       Normal(R"({"Mode":"BCM_GENERAL"})")},
      {"complement has no REV", Read<BarcodeComplementModeStruct>(R"({"Mode":"BCM_REV"})"), -10033,
       std::string("BarcodeComplementMode:Mode:") + kInvalid},
      {"text order", Read<TextResultOrderModeStruct>(R"({"Mode":"TROM_FORMAT"})"), 0,
       Normal(R"({"Mode":"TROM_FORMAT"})")},
      {"text order empty name", Read<TextResultOrderModeStruct>(R"({"Mode":""})"), -10033,
       std::string("TextResultOrderMode:Mode:") + kInvalid},
      {"DPM empty object", Read<DPMCodeReadingModeStruct>("{}"), 0,
       Normal(R"({"Mode":"DPMCRM_GENERAL","BarcodeFormat":"BF_DATAMATRIX"})")},
      {"DPM QR", Read<DPMCodeReadingModeStruct>(R"({"Mode":"DPMCRM_AUTO","BarcodeFormat":"BF_QR_CODE"})"),
       0, Normal(R"({"Mode":"DPMCRM_AUTO","BarcodeFormat":"BF_QR_CODE"})")},
      // The format is taken exactly as written; the reader's message carries
      // the type name, and the field walk puts it in front once more.
      {"DPM lower case", Read<DPMCodeReadingModeStruct>(R"({"BarcodeFormat":"bf_qr_code"})"), -10033,
       std::string("DPMCodeReadingMode:DPMCodeReadingMode:") + kInvalid},
      {"DPM spaced", Read<DPMCodeReadingModeStruct>(R"({"BarcodeFormat":"BF_QR_CODE "})"), -10033,
       std::string("DPMCodeReadingMode:DPMCodeReadingMode:") + kInvalid},
      {"DPM other format", Read<DPMCodeReadingModeStruct>(R"({"BarcodeFormat":"BF_AZTEC"})"), -10033,
       std::string("DPMCodeReadingMode:DPMCodeReadingMode:") + kInvalid},
      {"DPM empty", Read<DPMCodeReadingModeStruct>(R"({"BarcodeFormat":""})"), -10033,
       std::string("DPMCodeReadingMode:DPMCodeReadingMode:") + kInvalid},
      {"DPM null", Read<DPMCodeReadingModeStruct>(R"({"BarcodeFormat":null})"), -10033,
       std::string("DPMCodeReadingMode:DPMCodeReadingMode:") + kInvalid},
      {"DPM list", Read<DPMCodeReadingModeStruct>(R"({"BarcodeFormat":["BF_QR_CODE"]})"), -10031,
       "DPMCodeReadingMode:BarcodeFormat:Json type invalid."},
      {"colour empty object", Read<BarcodeColourModeStruct>("{}"), 0,
       Normal(R"({"Mode":"BICM_DARK_ON_LIGHT","LightReflection":1})")},
      {"colour reflection 2", Read<BarcodeColourModeStruct>(R"({"LightReflection":2})"), -10033,
       "BarcodeColourMode:LightReflection: out of range."},
      {"deformation broad warp", Read<DeformationResistingModeStruct>(R"({"Mode":"DRM_BROAD_WARP"})"), 0,
       Deformation(R"("Mode":"DRM_BROAD_WARP","Level":5)")},
      {"deformation level 9", Read<DeformationResistingModeStruct>(R"({"Level":9})"), 0,
       Deformation(R"("Mode":"DRM_GENERAL","Level":9)")},
      {"deformation level 0", Read<DeformationResistingModeStruct>(R"({"Level":0})"), -10033,
       "DeformationResistingModeStruct:Level: out of range."},
      {"deformation level 10", Read<DeformationResistingModeStruct>(R"({"Level":10})"), -10033,
       "DeformationResistingModeStruct:Level: out of range."},
      {"deformation nested range",
       Read<DeformationResistingModeStruct>(R"({"BinarizationMode":{"BlockSizeX":2000}})"), -10033,
       "DeformationResistingModeStruct:BinarizationMode:BlockSizeX: out of range."},
      {"deformation nested key",
       Read<DeformationResistingModeStruct>(R"({"GrayscaleEnhancementMode":{"Level":1}})"), -10032,
       "DeformationResistingModeStruct:GrayscaleEnhancementMode:Level:Json key invalid."},
      {"deformation nested type", Read<DeformationResistingModeStruct>(R"({"BinarizationMode":3})"),
       -10031, "DeformationResistingModeStruct:"},
      {"deformation nested null", Read<DeformationResistingModeStruct>(R"({"BinarizationMode":null})"),
       0, Deformation(R"("Mode":"DRM_GENERAL","Level":5)")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.outcome.code, c.code);
    if (c.code) {
      EXPECT_EQ(c.outcome.message, c.message);
    } else if (!c.message.empty()) {
      EXPECT_EQ(c.outcome.written, c.message);
    }
  }
}

TEST(DecodingModes, NestedObjectsAreReadInPlace) {
  DeformationResistingModeStruct mode;
  mode.binarizationMode.blockSizeX = 7;
  ASSERT_EQ(mode.ReadFromJson(ParseJson(R"({
      "GrayscaleEnhancementMode": {"Mode": "GEM_GENERAL", "Sensitivity": 3},
      "BinarizationMode": {"Mode": "BM_THRESHOLD"}})"),
                              NoSkippedKeys()),
            0);
  EXPECT_EQ(mode.grayscaleEnhancementMode.mode, QVIP_GrayscaleEnhancementModeStruct::GEM_GENERAL);
  EXPECT_EQ(mode.grayscaleEnhancementMode.sensitivity, 3);
  EXPECT_EQ(mode.grayscaleEnhancementMode.smoothBlockSizeX, -1);
  EXPECT_EQ(mode.binarizationMode.mode, QVIP_BinarizationModeStruct::BM_THRESHOLD);
  EXPECT_EQ(mode.binarizationMode.blockSizeX, 7) << "keys not named keep their values";
}

TEST(DecodingModes, WriteThenReadGivesTheSameJson) {
  const struct {
    const char* label;
    std::string (*roundTrip)(const std::string&);
    const char* json;
  } cases[] = {
      {"localization",
       [](const std::string& t) { return Written(RoundTrip<LocalizationModeStruct>(t)); },
       R"({"Mode":"LM_STATISTICS_POSTAL_CODE","ScanStride":4,"ScanDirection":2,)"
       R"("ConfidenceThreshold":0,"IsOneDStacked":1,"ModuleSize":-1})"},
      {"deblur", [](const std::string& t) { return Written(RoundTrip<DeblurModeStruct>(t)); },
       R"({"Mode":"DM_BASED_ON_LOC_BIN"})"},
      {"DPM", [](const std::string& t) { return Written(RoundTrip<DPMCodeReadingModeStruct>(t)); },
       R"({"Mode":"DPMCRM_SKIP","BarcodeFormat":"BF_QR_CODE"})"},
      {"colour", [](const std::string& t) { return Written(RoundTrip<BarcodeColourModeStruct>(t)); },
       R"({"Mode":"BICM_DARK_ON_LIGHT_DARK_SURROUNDING","LightReflection":0})"},
      {"complement",
       [](const std::string& t) { return Written(RoundTrip<BarcodeComplementModeStruct>(t)); },
       R"({"Mode":"BCM_AUTO"})"},
      {"deformation",
       [](const std::string& t) { return Written(RoundTrip<DeformationResistingModeStruct>(t)); },
       R"({"Mode":"DRM_DEWRINKLE","Level":1,)"
       R"("GrayscaleEnhancementMode":{"Mode":"GEM_SHARPEN_SMOOTH","Sensitivity":9,)"
       R"("SharpenBlockSizeX":3,"SharpenBlockSizeY":0,"SmoothBlockSizeX":1000,"SmoothBlockSizeY":5},)"
       R"("BinarizationMode":{"Mode":"BM_REV","BlockSizeX":1000,"BlockSizeY":3,)"
       R"("EnableFillBinaryVacancy":0,"GrayscaleEnhancementModesIndex":2,)"
       R"("ThresholdCompensation":-255,"BinarizationThreshold":255,"MorphOperation":"Erode",)"
       R"("MorphShape":"Ellipse","MorphOperationKernelSizeX":1000,"MorphOperationKernelSizeY":0}})"},
      {"text order",
       [](const std::string& t) { return Written(RoundTrip<TextResultOrderModeStruct>(t)); },
       R"({"Mode":"TROM_POSITION"})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string once = c.roundTrip(c.json);
    EXPECT_EQ(once, Normal(c.json));
    EXPECT_EQ(c.roundTrip(once), once);
  }
}

TEST(DecodingModes, ACopyReadsIntoItselfOnly) {
  DeformationResistingModeStruct original;
  ASSERT_EQ(original.ReadFromJson(ParseJson(R"({"Level":2})"), NoSkippedKeys()), 0);
  DeformationResistingModeStruct copy(original);
  ASSERT_EQ(copy.ReadFromJson(ParseJson(R"({"Level":3,"BinarizationMode":{"BlockSizeX":4}})"),
                              NoSkippedKeys()),
            0);
  copy = DeformationResistingModeStruct(original);
  ASSERT_EQ(copy.ReadFromJson(ParseJson(R"({"Level":4,"BinarizationMode":{"BlockSizeY":5}})"),
                              NoSkippedKeys()),
            0);
  EXPECT_EQ(original.level, 2);
  EXPECT_EQ(original.binarizationMode.blockSizeX, 0);
  EXPECT_EQ(original.binarizationMode.blockSizeY, 0);
  EXPECT_EQ(copy.level, 4);
  EXPECT_EQ(copy.binarizationMode.blockSizeY, 5);
}

}  // namespace
}  // namespace quorvane
