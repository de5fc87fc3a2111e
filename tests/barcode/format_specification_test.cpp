#include "barcode/format_specification.h"

#include <gtest/gtest.h>

#include <string>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

constexpr const char* kDefaults = R"({
  "Name": "",
  "BarcodeFormatIds": ["BF_DEFAULT"],
  "AllModuleDeviation": 0, "BarcodeZoneMinDistanceToImageBorders": 0,
  "EnableDataMatrixECC000-140": 0, "EnableQRCodeModel1": 0, "FindUnevenModuleBarcode": 1,
  "MinQuietZoneWidth": 4, "MinRatioOfBarcodeZoneWidthToHeight": 0, "MinResultConfidence": 30,
  "RequireStartStopChars": 1, "ReturnPartialBarcodeValue": 1, "VerifyCheckDigit": 0,
  "EnableAddOnCode": 0,
  "AustralianPostEncodingTable": "C", "BarcodeTextRegExPattern": "", "Code128Subset": "",
  "HeadModuleRatio": "", "StandardFormat": "", "TailModuleRatio": "",
  "BaseBarcodeFormatSpecification": "",
  "BarcodeAngleRangeArray": null, "BarcodeBytesLengthRangeArray": null,
  "BarcodeComplementModes": null, "BarcodeHeightRangeArray": null,
  "BarcodeTextLengthRangeArray": null, "BarcodeWidthRangeArray": null,
  "BarcodeZoneBarCountRangeArray": null, "DeformationResistingModes": null,
  "ModuleSizeRangeArray": null,
  "PatchCodeSearchingMargins": {"Top": 20, "Left": 20, "Right": 20, "Bottom": 20,
                                "MeasuredByPercentage": 1},
  "MirrorMode": "MM_NORMAL", "MSICodeCheckDigitCalculation": "MSICCDC_MOD_10",
  "PartitionModes": ["PM_WHOLE_BARCODE", "PM_ALIGNMENT_PARTITION"]
})";

std::string Written(ZQA_BarcodeFormatSpecification& spec) {
  spec.WriteToJson(false);
  return Compact(spec.json);
}

int Read(ZQA_BarcodeFormatSpecification& spec, const std::string& text) {
  return spec.ReadFromJson(ParseJson(text), NoSkippedKeys());
}

// The written defaults with `changes` merged over them.
std::string DefaultsWith(const std::string& changes) {
  Json::Value expected = ParseJson(kDefaults);
  const Json::Value patch = ParseJson(changes);
  for (const std::string& key : patch.getMemberNames()) expected[key] = patch[key];
  return Compact(expected);
}

TEST(FormatSpecification, DefaultsWrittenAtOnce) {
  ZQA_BarcodeFormatSpecification spec;
  EXPECT_EQ(Written(spec), Compact(ParseJson(kDefaults)));
  EXPECT_EQ(spec.json.size(), 34u);
  EXPECT_EQ(spec.GetTypeName(), "BarcodeFormatSpecification");
  EXPECT_EQ(spec.GetBaseName(), "");
  // Null is nothing given.
  EXPECT_EQ(spec.ReadFromJson(Json::Value(), NoSkippedKeys()), 0);
  EXPECT_EQ(Written(spec), Compact(ParseJson(kDefaults)));
}

TEST(FormatSpecification, IntegerEdges) {
  const struct {
    const char* key;
    int maximum;
  } cases[] = {
      {"AllModuleDeviation", 2147483647},
      {"BarcodeZoneMinDistanceToImageBorders", 2147483647},
      {"EnableDataMatrixECC000-140", 1},
      {"EnableQRCodeModel1", 1},
      {"FindUnevenModuleBarcode", 1},
      {"MinQuietZoneWidth", 2147483647},
      {"MinRatioOfBarcodeZoneWidthToHeight", 10000},
      {"MinResultConfidence", 100},
      {"RequireStartStopChars", 1},
      {"ReturnPartialBarcodeValue", 1},
      {"VerifyCheckDigit", 1},
      {"EnableAddOnCode", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    const std::string key = std::string("\"") + c.key + "\":";
    for (const int value : {0, c.maximum, -1}) {
      ZQA_BarcodeFormatSpecification spec;
      const std::string given = "{" + key + std::to_string(value) + "}";
      EXPECT_EQ(Read(spec, given), 0);
      EXPECT_EQ(Written(spec), DefaultsWith(given));
    }
    for (const long long value : {-2LL, c.maximum + 1LL}) {
      if (value > 2147483647) continue;
      ZQA_BarcodeFormatSpecification spec;
      EXPECT_EQ(Read(spec, "{" + key + std::to_string(value) + "}"), -10033);
      EXPECT_EQ(spec.errorMessage, std::string("BarcodeFormatSpecification:") + c.key +
                                       ": out of range.");
      EXPECT_EQ(Written(spec), Compact(ParseJson(kDefaults)));
    }
  }
}

TEST(FormatSpecification, RangeKindsStartValuesBoundsAndMessages) {
  const struct {
    const char* key;
    const char* typeName;
    int minValue, maxValue, lowerBound, upperBound;
  } cases[] = {
      {"BarcodeAngleRangeArray", "BarcodeAngleRange", 0, 360, 0, 360},
      {"BarcodeBytesLengthRangeArray", "BarcodeBytesLengthRange", 0, 2147483647, 0, 2147483647},
      {"BarcodeHeightRangeArray", "BarcodeHeightRange", 0, 2147483647, 0, 2147483647},
      {"BarcodeTextLengthRangeArray", "BarcodeTextLengthRange", 0, 2147483647, 0, 2147483647},
      {"BarcodeWidthRangeArray", "BarcodeWidthRange", 0, 2147483647, 0, 2147483647},
      {"BarcodeZoneBarCountRangeArray", "BarcodeZoneBarCountRange", 1, 128, 1, 2147483647},
      {"ModuleSizeRangeArray", "ModuleSizeRange", 3, 20, 1, 2147483647},
  };
  const auto range = [](int minValue, int maxValue) {
    return "{\"MinValue\":" + std::to_string(minValue) + ",\"MaxValue\":" +
           std::to_string(maxValue) + "}";
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    const std::string key = std::string("\"") + c.key + "\":";
    const std::string prefix = std::string("BarcodeFormatSpecification:") + c.key + "[0]:";
    ZQA_BarcodeFormatSpecification spec;

    // An empty element starts from the kind's values; both bounds are accepted.
    ASSERT_EQ(Read(spec, "{" + key + "[{}," + range(c.lowerBound, c.upperBound) + "]}"), 0);
    EXPECT_EQ(Written(spec), DefaultsWith("{" + key + "[" + range(c.minValue, c.maxValue) + "," +
                                          range(c.lowerBound, c.upperBound) + "]}"));

    // Past a bound, and min above max; the list stays as it was.
    if (c.upperBound < 2147483647) {
      EXPECT_EQ(Read(spec, "{" + key + "[{\"MaxValue\":" + std::to_string(c.upperBound + 1) + "}]}"),
                -10033);
      EXPECT_EQ(spec.errorMessage, prefix + c.typeName + ":MaxValue: out of range.");
    }
    if (c.lowerBound > 0) {
      EXPECT_EQ(Read(spec, "{" + key + "[{\"MinValue\":" + std::to_string(c.lowerBound - 1) + "}]}"),
                -10033);
      EXPECT_EQ(spec.errorMessage, prefix + c.typeName + ":MinValue: out of range.");
    }
    EXPECT_EQ(Read(spec, "{" + key + "[" + range(c.lowerBound + 10, c.lowerBound + 5) + "]}"),
              -10033);
    EXPECT_EQ(spec.errorMessage, prefix + c.typeName + " error: min > max.");

    // The failures left the list; so does null; an empty array empties it.
    ASSERT_EQ(Read(spec, "{" + key + "null}"), 0);
    EXPECT_EQ(Written(spec), DefaultsWith("{" + key + "[" + range(c.minValue, c.maxValue) + "," +
                                          range(c.lowerBound, c.upperBound) + "]}"));
    ASSERT_EQ(Read(spec, "{" + key + "[]}"), 0);
    EXPECT_EQ(Written(spec), Compact(ParseJson(kDefaults)));
  }
  // -1 passes the integer reader and is only then compared.
  ZQA_BarcodeFormatSpecification spec;
  EXPECT_EQ(Read(spec, R"({"BarcodeAngleRangeArray":[{"MinValue":-1}]})"), 0);
  EXPECT_EQ(Read(spec, R"({"BarcodeZoneBarCountRangeArray":[{"MaxValue":1000}]})"), 0);
  EXPECT_EQ(spec.barcodeZoneBarCountRangeArray.at(0).minValue, 1);
  EXPECT_EQ(spec.barcodeAngleRangeArray.at(0).minValue, -1);
  EXPECT_EQ(Read(spec, R"({"ModuleSizeRangeArray":[{"MaxValue":-1}]})"), -10033);
  EXPECT_EQ(spec.errorMessage,
            "BarcodeFormatSpecification:ModuleSizeRangeArray[0]:ModuleSizeRange error: min > max.");
  EXPECT_EQ(Read(spec, R"({"ModuleSizeRangeArray":[{"Name":"x"}]})"), -10032);
}

TEST(FormatSpecification, ModeListsAcceptEmptyArrays) {
  ZQA_BarcodeFormatSpecification spec;
  ASSERT_EQ(Read(spec, R"({"BarcodeComplementModes":[{"Mode":"BCM_AUTO"},{}],
                           "DeformationResistingModes":[{"Mode":"DRM_SKIP","Level":7}]})"),
            0);
  ASSERT_EQ(spec.barcodeComplementModes.size(), 2u);
  EXPECT_EQ(spec.barcodeComplementModes[1].mode, BarcodeComplementModeStruct::BCM_SKIP);
  ASSERT_EQ(spec.deformationResistingModes.size(), 1u);
  EXPECT_EQ(spec.deformationResistingModes[0].level, 7);

  EXPECT_EQ(Read(spec, R"({"DeformationResistingModes":[{}, {"Level":0}]})"), -10033);
  EXPECT_EQ(spec.errorMessage,
            "BarcodeFormatSpecification:DeformationResistingModes[1]:"
            "DeformationResistingModeStruct:Level: out of range.");
  EXPECT_EQ(spec.deformationResistingModes.size(), 1u);

  ASSERT_EQ(Read(spec, R"({"BarcodeComplementModes":[],"DeformationResistingModes":[]})"), 0);
  EXPECT_EQ(Written(spec), Compact(ParseJson(kDefaults)));
}

TEST(FormatSpecification, EnumerationsAndPartitionModes) {
  const char* const kInvalid = "Json value invalid or value out of range.";
  const struct {
    const char* json;
    int code;
    std::string result;  // the message of a failure, else the changes written
  } cases[] = {
      {R"({"MirrorMode":" mm_both "})", 0, R"({"MirrorMode":"MM_BOTH"})"},
      {R"({"MirrorMode":"MM_REV"})", -10033,
       std::string("BarcodeFormatSpecification:MirrorMode:") + kInvalid},
      {R"({"MSICodeCheckDigitCalculation":"MSICCDC_MOD_1010"})", 0,
       R"({"MSICodeCheckDigitCalculation":"MSICCDC_MOD_1010"})"},
      {R"({"MSICodeCheckDigitCalculation":""})", -10033,
       std::string("BarcodeFormatSpecification:MSICodeCheckDigitCalculation:") + kInvalid},
      {R"({"PartitionModes":["PM_ALIGNMENT_PARTITION"]})", 0,
       R"({"PartitionModes":["PM_ALIGNMENT_PARTITION"]})"},
      {R"({"PartitionModes":[" pm_whole_barcode ","PM_WHOLE_BARCODE"]})", 0,
       R"({"PartitionModes":["PM_WHOLE_BARCODE","PM_WHOLE_BARCODE"]})"},
      {R"({"PartitionModes":null})", 0, "{}"},
      {R"({"PartitionModes":[]})", -10033,
       std::string("BarcodeFormatSpecification:PartitionModes") + kInvalid},
      {R"({"PartitionModes":["PM_WHOLE_BARCODE","PM_NONE"]})", -10033,
       "BarcodeFormatSpecification:PartitionModes : out of range."},
      {R"({"PartitionModes":[""]})", -10033,
       "BarcodeFormatSpecification:PartitionModes : out of range."},
      {R"({"PartitionModes":"PM_WHOLE_BARCODE"})", -10031,
       "BarcodeFormatSpecification:PartitionModes:Json type invalid."},
      {R"({"PartitionModes":[1]})", -10031,
       "BarcodeFormatSpecification:PartitionModes:Json type invalid."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    ZQA_BarcodeFormatSpecification spec;
    EXPECT_EQ(Read(spec, c.json), c.code);
    if (c.code) {
      EXPECT_EQ(spec.errorMessage, c.result);
      EXPECT_EQ(Written(spec), Compact(ParseJson(kDefaults)));
    } else {
      EXPECT_EQ(Written(spec), DefaultsWith(c.result));
    }
  }
  // Values outside the tables take their first names.
  ZQA_BarcodeFormatSpecification spec;
  spec.mirrorMode = 3;
  spec.msiCodeCheckDigitCalculation = 0;
  spec.partitionModes = {7};
  EXPECT_EQ(Written(spec), DefaultsWith(R"({"MirrorMode":"MM_NORMAL",
      "MSICodeCheckDigitCalculation":"MSICCDC_NO_CHECK_DIGIT","PartitionModes":["PM_WHOLE_BARCODE"]})"));
  spec.partitionModes.clear();
  EXPECT_NE(Written(spec).find("\"PartitionModes\":null"), std::string::npos);
}

TEST(FormatSpecification, PatchCodeSearchingMargins) {
  const auto margins = [](const char* top, const char* left, const char* right, const char* bottom,
                          const char* percentage) {
    return std::string(R"({"PatchCodeSearchingMargins":{"Top":)") + top + ",\"Left\":" + left +
           ",\"Right\":" + right + ",\"Bottom\":" + bottom + ",\"MeasuredByPercentage\":" +
           percentage + "}}";
  };
  const struct {
    const char* json;
    int code;
    std::string result;
  } cases[] = {
      {R"({"Top":50,"Bottom":0})", 0, margins("50", "20", "20", "0", "1")},
      {R"({"Top":60,"MeasuredByPercentage":0})", 0, margins("60", "20", "20", "20", "0")},
      {R"({"Right":2147483647,"MeasuredByPercentage":0,"Name":"m"})", 0,
       margins("20", "20", "2147483647", "20", "0")},
      {R"({"Top":60})", -10033, "BarcodeFormatSpecification:Top : out of range."},
      // Checked in the order Top, Left, Right, Bottom.
      {R"({"Bottom":51,"Left":51,"Right":51})", -10033,
       "BarcodeFormatSpecification:Left : out of range."},
      {R"({"Bottom":51,"Right":51})", -10033, "BarcodeFormatSpecification:Right : out of range."},
      {R"({"Bottom":-1})", -10033, "BarcodeFormatSpecification:Bottom : out of range."},
      {R"({"Left":-2})", -10033,
       "BarcodeFormatSpecification:PatchCodeSearchingMargin:Left: out of range."},
      {R"({"MeasuredByPercentage":2})", -10033,
       "BarcodeFormatSpecification:PatchCodeSearchingMargin:MeasuredByPercentage: out of range."},
      {R"({"Margin":1})", -10032,
       "BarcodeFormatSpecification:PatchCodeSearchingMargin:Margin:Json key invalid."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    ZQA_BarcodeFormatSpecification spec;
    EXPECT_EQ(Read(spec, std::string(R"({"PatchCodeSearchingMargins":)") + c.json + "}"), c.code);
    if (c.code) {
      EXPECT_EQ(spec.errorMessage, c.result);
    } else {
      EXPECT_EQ(Written(spec), DefaultsWith(c.result));
    }
  }
  ZQA_BarcodeFormatSpecification spec;
  EXPECT_EQ(Read(spec, R"({"PatchCodeSearchingMargins":[]})"), -10031);
  EXPECT_EQ(Read(spec, R"({"PatchCodeSearchingMargins":null})"), 0);
}

TEST(FormatSpecification, FormatIdsAreReadFirstByTheEmbeddedStructure) {
  const struct {
    const char* json;
    int code;
    std::string result;
  } cases[] = {
      {R"({"BarcodeFormatIds":["BF_QR_CODE"," bf_datamatrix"],"MinResultConfidence":50})", 0,
       R"({"BarcodeFormatIds":["BF_QR_CODE","BF_DATAMATRIX"],"MinResultConfidence":50})"},
      {R"({"BarcodeFormatIds":[]})", 0, R"({"BarcodeFormatIds":null})"},
      {R"({"BarcodeFormatIds":null})", 0, "{}"},
      // The format structure's message becomes the owner's, without the owner's prefix,
      // and nothing else is read.
      {R"({"BarcodeFormatIds":["nope"],"MinResultConfidence":50})", -10033, "BarcodeFormat:"},
      {R"({"BarcodeFormatIds":"BF_QR_CODE","Foo":1})", -10031,
       "BarcodeFormat:BarcodeFormatIds:Json type invalid."},
      {R"({"Foo":1})", -10032, "BarcodeFormatSpecification:Foo:Json key invalid."},
      {R"({"AustralianPostEncodingTable":3})", -10031,
       "BarcodeFormatSpecification:AustralianPostEncodingTable:Json type invalid."},
      {"[]", -10031, ""},
      {"\"x\"", -10031, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    ZQA_BarcodeFormatSpecification spec;
    EXPECT_EQ(Read(spec, c.json), c.code);
    if (c.code) {
      EXPECT_EQ(spec.errorMessage, c.result);
      EXPECT_EQ(spec.minResultConfidence, 30);
    } else {
      EXPECT_EQ(Written(spec), DefaultsWith(c.result));
    }
  }
}

TEST(FormatSpecification, SkippedKeysReachTheFormatStructureToo) {
  ZQA_BarcodeFormatSpecification spec;
  const Json::Value value =
      ParseJson(R"({"BarcodeFormatIds":["BF_QR_CODE"],"MinResultConfidence":50,"Foo":1})");
  ASSERT_EQ(spec.ReadFromJson(value, {"BarcodeFormatIds", "MinResultConfidence", "Foo"}), 0);
  EXPECT_EQ(Written(spec), Compact(ParseJson(kDefaults)));
}

constexpr const char* kEverythingChanged = R"({
  "Name": "fs", "BarcodeFormatIds": ["BF_ONED", "BF_PDF417", "BF_POSTNET"],
  "AllModuleDeviation": 2, "BarcodeZoneMinDistanceToImageBorders": 3,
  "EnableDataMatrixECC000-140": 1, "EnableQRCodeModel1": 1, "FindUnevenModuleBarcode": 0,
  "MinQuietZoneWidth": -1, "MinRatioOfBarcodeZoneWidthToHeight": 10000, "MinResultConfidence": 100,
  "RequireStartStopChars": 0, "ReturnPartialBarcodeValue": 0, "VerifyCheckDigit": 1,
  "EnableAddOnCode": 1,
  "AustralianPostEncodingTable": "N", "BarcodeTextRegExPattern": "^[0-9]{4}$",
  "Code128Subset": "B", "HeadModuleRatio": "1311", "StandardFormat": "GS1",
  "TailModuleRatio": "", "BaseBarcodeFormatSpecification": "base",
  "BarcodeAngleRangeArray": [{"MinValue": 10, "MaxValue": 350}, {"MinValue": 0, "MaxValue": 0}],
  "BarcodeBytesLengthRangeArray": [{"MinValue": 1, "MaxValue": 8}],
  "BarcodeComplementModes": [{"Mode": "BCM_GENERAL"}],
  "BarcodeHeightRangeArray": [{"MinValue": 5, "MaxValue": 2147483647}],
  "BarcodeTextLengthRangeArray": [{"MinValue": 4, "MaxValue": 4}],
  "BarcodeWidthRangeArray": [{"MinValue": -1, "MaxValue": 99}],
  "BarcodeZoneBarCountRangeArray": [{"MinValue": 2, "MaxValue": 3}],
  "DeformationResistingModes": [{"Mode": "DRM_LOCAL_REFERENCE", "Level": 9,
    "GrayscaleEnhancementMode": {"Mode": "GEM_SKIP", "Sensitivity": 1, "SharpenBlockSizeX": 2,
      "SharpenBlockSizeY": 3, "SmoothBlockSizeX": 4, "SmoothBlockSizeY": 5},
    "BinarizationMode": {"Mode": "BM_AUTO", "BlockSizeX": 1, "BlockSizeY": 2,
      "EnableFillBinaryVacancy": 0, "GrayscaleEnhancementModesIndex": 0,
      "ThresholdCompensation": 0, "BinarizationThreshold": 128, "MorphOperation": "Open",
      "MorphShape": "Cross", "MorphOperationKernelSizeX": 3, "MorphOperationKernelSizeY": 3}}],
  "ModuleSizeRangeArray": [{"MinValue": 1, "MaxValue": 1}],
  "PatchCodeSearchingMargins": {"Top": 1, "Left": 2, "Right": 3, "Bottom": 4,
                                "MeasuredByPercentage": 0},
  "MirrorMode": "MM_MIRROR", "MSICodeCheckDigitCalculation": "MSICCDC_MOD_1110",
  "PartitionModes": ["PM_ALIGNMENT_PARTITION", "PM_WHOLE_BARCODE"]
})";

TEST(FormatSpecification, WriteThenReadGivesTheSameJson) {
  ZQA_BarcodeFormatSpecification first;
  ASSERT_EQ(Read(first, kEverythingChanged), 0) << first.errorMessage;
  const std::string once = Written(first);
  EXPECT_EQ(once, Compact(ParseJson(kEverythingChanged)));
  EXPECT_EQ(first.GetBaseName(), "base");
  EXPECT_EQ(first.name, "fs");

  ZQA_BarcodeFormatSpecification second;
  ASSERT_EQ(Read(second, once), 0) << second.errorMessage;
  EXPECT_EQ(Written(second), once);
}

TEST(FormatSpecification, ACopyReadsIntoItselfOnly) {
  ZQA_BarcodeFormatSpecification original;
  ASSERT_EQ(Read(original, R"({"MinResultConfidence":40})"), 0);
  ZQA_BarcodeFormatSpecification copy(original);
  ASSERT_EQ(Read(copy, R"({"MinResultConfidence":41,"BarcodeFormatIds":["BF_AZTEC"],
                           "PatchCodeSearchingMargins":{"Top":5},
                           "BarcodeTextLengthRangeArray":[{"MinValue":2}]})"),
            0);
  EXPECT_EQ(original.minResultConfidence, 40);
  EXPECT_EQ(original.barcodeFormatIds.barcodeFormatIds, BF_DEFAULT);
  EXPECT_EQ(original.patchCodeSearchingMargins.top, 20);
  EXPECT_TRUE(original.barcodeTextLengthRangeArray.empty());
  EXPECT_EQ(copy.minResultConfidence, 41);
  EXPECT_EQ(copy.barcodeFormatIds.barcodeFormatIds, 0x10000000u);
  EXPECT_EQ(copy.patchCodeSearchingMargins.top, 5);
  ASSERT_EQ(copy.barcodeTextLengthRangeArray.size(), 1u);
  EXPECT_EQ(copy.barcodeTextLengthRangeArray[0].GetTypeName(), "BarcodeTextLengthRange");
}

}  // namespace
}  // namespace quorvane
