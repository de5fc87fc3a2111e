#include "imageparams/image_modes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "imageparams/image_parameter.h"
#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

// A family element behind its base class, its mode reachable.
struct Element {
  std::unique_ptr<QV_ParameterFieldBase> object;
  int* mode;

  int Read(const std::string& text) { return object->ReadFromJson(ParseJson(text), NoSkippedKeys()); }
  Json::Value Written() {
    object->WriteToJson(false);
    return object->json;
  }
};

template <class S>
Element Make() {
  auto element = std::make_unique<S>();
  int* mode = &element->mode;
  return {std::move(element), mode};
}

Json::Value WrittenImageParameter() {
  QV_ImageParameter parameter;
  parameter.WriteToJson(false);
  return parameter.json;
}

// ---------------------------------------------------------------------------
// Defaults and enumerations of every family.

struct FamilyCase {
  const char* typeName;
  Element (*make)();
  const char* listKey;          // nullptr: embedded as "TextDetectionMode"
  const char* elementJson;      // what a JSON list element starts from
  const char* constructorJson;  // the image parameter's constructor element
  std::vector<std::pair<const char*, int>> modes;  // table order
};

const std::vector<FamilyCase>& Families() {
  static const std::vector<FamilyCase> families = {
      {"BinarizationMode", Make<QVIP_BinarizationModeStruct>, "BinarizationModes",
       R"({"Mode":"BM_LOCAL_BLOCK","BlockSizeX":0,"BlockSizeY":0,"EnableFillBinaryVacancy":1,
           "GrayscaleEnhancementModesIndex":-1,"ThresholdCompensation":10,
           "BinarizationThreshold":-1,"MorphOperation":"Close","MorphShape":"Rectangle",
           "MorphOperationKernelSizeX":-1,"MorphOperationKernelSizeY":-1})",
       nullptr,
       {{"BM_AUTO", 1}, {"BM_LOCAL_BLOCK", 2}, {"BM_THRESHOLD", 4}, {"BM_REV", INT_MIN},
        {"BM_SKIP", 0}}},
      {"ColourConversionMode", Make<QVIP_ColourConversionModeStruct>, "ColourConversionModes",
       R"({"Mode":"CICM_GENERAL","ReferChannel":"H_CHANNEL","BlueChannelWeight":-1,
           "GreenChannelWeight":-1,"RedChannelWeight":-1})",
       nullptr, {{"CICM_SKIP", 0}, {"CICM_GENERAL", 1}, {"CICM_HSV", 2}}},
      {"ScaleUpMode", Make<QVIP_ScaleUpModeStruct>, "ScaleUpModes",
       R"({"Mode":"SUM_AUTO","AcuteAngleWithXThreshold":-1,"ModuleSizeThreshold":0,
           "TargetModuleSize":0,"LetterHeightThreshold":0,"TargetLetterHeight":0})",
       nullptr,
       {{"SUM_SKIP", 0}, {"SUM_AUTO", 1}, {"SUM_LINEAR_INTERPOLATION", 2},
        {"SUM_NEAREST_NEIGHBOUR_INTERPOLATION", 4}}},
      {"GrayscaleEnhancementMode", Make<QVIP_GrayscaleEnhancementModeStruct>,
       "GrayscaleEnhancementModes",
       R"({"Mode":"GEM_AUTO","Sensitivity":-1,"SharpenBlockSizeX":-1,"SharpenBlockSizeY":-1,
           "SmoothBlockSizeX":-1,"SmoothBlockSizeY":-1})",
       R"({"Mode":"GEM_GENERAL","Sensitivity":-1,"SharpenBlockSizeX":-1,"SharpenBlockSizeY":-1,
           "SmoothBlockSizeX":-1,"SmoothBlockSizeY":-1})",
       {{"GEM_AUTO", 1}, {"GEM_GENERAL", 2}, {"GEM_GRAY_EQUALIZE", 4}, {"GEM_GRAY_SMOOTH", 8},
        {"GEM_SHARPEN_SMOOTH", 16}, {"GEM_REV", INT_MIN}, {"GEM_SKIP", 0}}},
      {"GrayscaleTransformationMode", Make<QVIP_GrayscaleTransformationModeStruct>,
       "GrayscaleTransformationModes", R"({"Mode":"GTM_AUTO"})", R"({"Mode":"GTM_ORIGINAL"})",
       {{"GTM_INVERTED", 1}, {"GTM_ORIGINAL", 2}, {"GTM_AUTO", 4}, {"GTM_REV", INT_MIN},
        {"GTM_SKIP", 0}}},
      {"TextureDetectionMode", Make<QVIP_TextureDetectionModeStruct>, "TextureDetectionModes",
       R"({"Mode":"TDM_AUTO","Sensitivity":5})",
       R"({"Mode":"TDM_GENERAL_WIDTH_CONCENTRATION","Sensitivity":5})",
       {{"TDM_AUTO", 1}, {"TDM_GENERAL_WIDTH_CONCENTRATION", 2}, {"TDM_REV", INT_MIN},
        {"TDM_SKIP", 0}}},
      {"RegionPredetectionMode", Make<QVIP_RegionPredetectionModeStruct>,
       "RegionPredetectionModes",
       R"({"Mode":"RPM_AUTO","Sensitivity":1,"MinImageDimension":262144,
           "SpatialIndexBlockSize":5,"RelativeRegions":"[]","ForeAndBackgroundColours":"[]",
           "AspectRatioRange":"[]","HeightRange":"[]","WidthRange":"[]",
           "FindAccurateBoundary":0,"MeasuredByPercentage":1,"ImageParameterName":""})",
       R"({"Mode":"RPM_GENERAL","Sensitivity":1,"MinImageDimension":262144,
           "SpatialIndexBlockSize":5,"RelativeRegions":"[]","ForeAndBackgroundColours":"[]",
           "AspectRatioRange":"[]","HeightRange":"[]","WidthRange":"[]",
           "FindAccurateBoundary":0,"MeasuredByPercentage":1,"ImageParameterName":""})",
       {{"RPM_AUTO", 1}, {"RPM_GENERAL", 2}, {"RPM_GENERAL_RGB_CONTRAST", 4},
        {"RPM_GENERAL_GRAY_CONTRAST", 8}, {"RPM_GENERAL_HSV_CONTRAST", 16},
        {"RPM_MANUAL_SPECIFICATION", 32}, {"RPM_REV", INT_MIN}, {"RPM_SKIP", 0}}},
      {"TextDetectionMode", Make<QVIP_TextDetectionModeStruct>, nullptr,
       R"({"Mode":"TTDM_SKIP","Direction":"UNKNOWN","CharHeightRange":[1,1000,1],
           "StringLengthRange":null,"MaxSpacingInALine":-1,"Sensitivity":3})",
       nullptr, {{"TTDM_SKIP", 0}, {"TTDM_WORD", 1}, {"TTDM_LINE", 2}, {"TTDM_LAYOUT", 3}}},
  };
  return families;
}

TEST(ModeFamilies, ListElementAndConstructorElementDefaults) {
  const Json::Value parameter = WrittenImageParameter();
  for (const FamilyCase& family : Families()) {
    SCOPED_TRACE(family.typeName);
    Element element = family.make();
    EXPECT_EQ(element.object->GetTypeName(), family.typeName);
    // Reading an empty object or null keeps the defaults; the write has every key.
    EXPECT_EQ(element.Read("{}"), 0);
    EXPECT_EQ(element.Read("null"), 0);
    EXPECT_EQ(Compact(element.Written()), Compact(ParseJson(family.elementJson)));

    const Json::Value& constructed =
        family.listKey ? parameter[family.listKey][0] : parameter["TextDetectionMode"];
    if (family.listKey) { EXPECT_EQ(parameter[family.listKey].size(), 1u); }
    const char* expected = family.constructorJson ? family.constructorJson : family.elementJson;
    EXPECT_EQ(Compact(constructed), Compact(ParseJson(expected)));
  }
}

TEST(ModeFamilies, ModeNamesInTableOrder) {
  for (const FamilyCase& family : Families()) {
    SCOPED_TRACE(family.typeName);
    for (const auto& [name, value] : family.modes) {
      SCOPED_TRACE(name);
      Element element = family.make();
      std::string lower = name;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      ASSERT_EQ(element.Read(R"({"Mode":"  )" + lower + R"( "})"), 0);
      EXPECT_EQ(*element.mode, value);
      EXPECT_EQ(element.Written()["Mode"].asString(), name);
    }
    // A value outside the table is written as the table's first name.
    Element element = family.make();
    *element.mode = 12345;
    EXPECT_EQ(element.Written()["Mode"].asString(), family.modes.front().first);

    // A name outside the table, and a name that is not a string.
    Element refused = family.make();
    const int before = *refused.mode;
    // The region predetection mode reads "Mode" before its other keys, outside
    // the type-name prefix.
    const std::string prefix =
        std::string(family.typeName) == "RegionPredetectionMode" ? "" : family.typeName + std::string(":");
    EXPECT_EQ(refused.Read(R"({"Mode":"XXX_REV2"})"), -10033);
    EXPECT_EQ(refused.object->errorMessage, prefix + "Mode:Json value invalid or value out of range.");
    EXPECT_EQ(*refused.mode, before);
    EXPECT_EQ(refused.Read(R"({"Mode":""})"), -10033);
    EXPECT_EQ(refused.Read(R"({"Mode":4})"), -10031);
    EXPECT_EQ(refused.object->errorMessage, prefix + "Mode:Json type invalid.");
  }
}

TEST(ModeFamilies, ColourConversionHasNoReverseName) {
  Element element = Make<QVIP_ColourConversionModeStruct>();
  EXPECT_EQ(element.Read(R"({"Mode":"CICM_REV"})"), -10033);
}

// Enumerated arguments: names in table order, the first name for any other value.
struct EnumArgumentCase {
  Element (*make)();
  const char* key;
  int& (*member)(QV_ParameterFieldBase& object);
  std::vector<std::pair<const char*, int>> names;
};

TEST(ModeFamilies, EnumeratedArguments) {
  using BM = QVIP_BinarizationModeStruct;
  using CICM = QVIP_ColourConversionModeStruct;
  using TTDM = QVIP_TextDetectionModeStruct;
  const EnumArgumentCase cases[] = {
      {Make<BM>, "MorphOperation",
       [](QV_ParameterFieldBase& o) -> int& { return static_cast<BM&>(o).morphOperation; },
       {{"Erode", 1}, {"Dilate", 2}, {"Open", 4}, {"Close", 8}}},
      {Make<BM>, "MorphShape",
       [](QV_ParameterFieldBase& o) -> int& { return static_cast<BM&>(o).morphShape; },
       {{"Rectangle", 1}, {"Cross", 2}, {"Ellipse", 4}}},
      {Make<CICM>, "ReferChannel",
       [](QV_ParameterFieldBase& o) -> int& { return static_cast<CICM&>(o).referChannel; },
       {{"H_CHANNEL", 1}, {"S_CHANNEL", 2}, {"V_CHANNEL", 4}}},
      {Make<TTDM>, "Direction",
       [](QV_ParameterFieldBase& o) -> int& { return static_cast<TTDM&>(o).direction; },
       {{"HORIZONTAL", 0}, {"VERTICAL", 1}, {"OBLIQUE", 2}, {"UNKNOWN", 3}}},
  };
  for (const EnumArgumentCase& c : cases) {
    SCOPED_TRACE(c.key);
    for (const auto& [name, value] : c.names) {
      SCOPED_TRACE(name);
      Element element = c.make();
      std::string lower = name;
      for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      ASSERT_EQ(element.Read(std::string(R"({")") + c.key + R"(":" )" + lower + R"("})"), 0);
      EXPECT_EQ(c.member(*element.object), value);
      EXPECT_EQ(element.Written()[c.key].asString(), name);
    }
    Element element = c.make();
    c.member(*element.object) = 99;
    EXPECT_EQ(element.Written()[c.key].asString(), c.names.front().first);
    EXPECT_EQ(element.Read(std::string(R"({")") + c.key + R"(":"Nothing"})"), -10033);
    EXPECT_EQ(element.object->errorMessage, element.object->GetTypeName() + ":" + c.key +
                                                 ":Json value invalid or value out of range.");
    EXPECT_EQ(c.member(*element.object), 99);
  }
}

// ---------------------------------------------------------------------------
// Integer ranges, both edges and one step beyond, -1 and null.

struct RangeCase {
  Element (*make)();
  const char* key;
  int minimum;
  int maximum;
};

TEST(ModeFamilies, IntegerArgumentRanges) {
  const RangeCase cases[] = {
      {Make<QVIP_BinarizationModeStruct>, "BlockSizeX", 0, 1000},
      {Make<QVIP_BinarizationModeStruct>, "BlockSizeY", 0, 1000},
      {Make<QVIP_BinarizationModeStruct>, "EnableFillBinaryVacancy", 0, 1},
      {Make<QVIP_BinarizationModeStruct>, "GrayscaleEnhancementModesIndex", -1, INT_MAX},
      {Make<QVIP_BinarizationModeStruct>, "ThresholdCompensation", -255, 255},
      {Make<QVIP_BinarizationModeStruct>, "BinarizationThreshold", -1, 255},
      {Make<QVIP_BinarizationModeStruct>, "MorphOperationKernelSizeX", -1, 1000},
      {Make<QVIP_BinarizationModeStruct>, "MorphOperationKernelSizeY", -1, 1000},
      {Make<QVIP_ColourConversionModeStruct>, "BlueChannelWeight", -1, 1000},
      {Make<QVIP_ColourConversionModeStruct>, "GreenChannelWeight", -1, 1000},
      {Make<QVIP_ColourConversionModeStruct>, "RedChannelWeight", -1, 1000},
      {Make<QVIP_GrayscaleEnhancementModeStruct>, "Sensitivity", 1, 9},
      {Make<QVIP_GrayscaleEnhancementModeStruct>, "SharpenBlockSizeX", 0, 1000},
      {Make<QVIP_GrayscaleEnhancementModeStruct>, "SharpenBlockSizeY", 0, 1000},
      {Make<QVIP_GrayscaleEnhancementModeStruct>, "SmoothBlockSizeX", 0, 1000},
      {Make<QVIP_GrayscaleEnhancementModeStruct>, "SmoothBlockSizeY", 0, 1000},
      {Make<QVIP_TextureDetectionModeStruct>, "Sensitivity", 1, 9},
      {Make<QVIP_ScaleUpModeStruct>, "AcuteAngleWithXThreshold", -1, 90},
      {Make<QVIP_ScaleUpModeStruct>, "ModuleSizeThreshold", 0, INT_MAX},
      {Make<QVIP_ScaleUpModeStruct>, "TargetModuleSize", 0, 134217727},
      {Make<QVIP_ScaleUpModeStruct>, "LetterHeightThreshold", 0, INT_MAX},
      {Make<QVIP_ScaleUpModeStruct>, "TargetLetterHeight", 0, INT_MAX},
      {Make<QVIP_RegionPredetectionModeStruct>, "Sensitivity", 1, 9},
      {Make<QVIP_RegionPredetectionModeStruct>, "MinImageDimension", 16384, INT_MAX},
      {Make<QVIP_RegionPredetectionModeStruct>, "SpatialIndexBlockSize", 1, 32},
      {Make<QVIP_RegionPredetectionModeStruct>, "FindAccurateBoundary", 0, 1},
      {Make<QVIP_RegionPredetectionModeStruct>, "MeasuredByPercentage", 0, 1},
      {Make<QVIP_TextDetectionModeStruct>, "MaxSpacingInALine", 0, INT_MAX},
      {Make<QVIP_TextDetectionModeStruct>, "Sensitivity", 1, 9},
  };
  for (const RangeCase& c : cases) {
    const std::string type = c.make().object->GetTypeName();
    SCOPED_TRACE(type + " " + c.key);
    auto probe = [&](const std::string& value, int code, const std::string& message,
                     const Json::Value& stored) {
      SCOPED_TRACE(value);
      Element element = c.make();
      const std::string fresh = Compact(element.Written());
      EXPECT_EQ(element.Read(std::string(R"({")") + c.key + R"(":)" + value + "}"), code);
      if (code == -10033) {
        EXPECT_EQ(element.object->errorMessage, type + ":" + c.key + message);
        EXPECT_EQ(Compact(element.Written()), fresh);  // nothing changed
      } else if (code != 0) {
        // A wrong type fails, and the integer reader stores -1 on the way.
        EXPECT_EQ(element.object->errorMessage, type + ":" + c.key + message);
        EXPECT_EQ(element.Written()[c.key], -1);
      } else {
        EXPECT_EQ(element.Written()[c.key], stored);
      }
    };
    const long long below = static_cast<long long>(c.minimum) - 1;
    const long long above = static_cast<long long>(c.maximum) + 1;
    probe(std::to_string(c.minimum), 0, "", c.minimum);
    probe(std::to_string(c.maximum), 0, "", c.maximum);
    if (below == -1) {
      probe("-1", 0, "", -1);
    } else {
      probe(std::to_string(below), -10033, ": out of range.", {});
    }
    if (above > INT_MAX) {
      probe(std::to_string(above), -10031, ":Json type invalid.", {});
    } else {
      probe(std::to_string(above), -10033, ": out of range.", {});
    }
    probe("-1", 0, "", -1);
    probe("null", 0, "", -1);
    probe("\"5\"", -10031, ":Json type invalid.", {});
  }
}

TEST(ModeFamilies, ArgumentsAreKeptWhateverTheMode) {
  Element element = Make<QVIP_BinarizationModeStruct>();
  ASSERT_EQ(element.Read(R"({"Mode":"BM_THRESHOLD","BlockSizeX":5,"Name":"n",
                              "LibraryFileName":"f","LibraryParameters":"p"})"),
            0);
  const Json::Value written = element.Written();
  EXPECT_EQ(written["BlockSizeX"].asInt(), 5);
  // A mode structure writes only its mode and arguments.
  EXPECT_FALSE(written.isMember("Name"));
  EXPECT_FALSE(written.isMember("LibraryFileName"));
  EXPECT_EQ(element.Read(R"({"Foo":1})"), -10032);
  EXPECT_EQ(element.object->errorMessage, "BinarizationMode:Foo:Json key invalid.");
}

TEST(ModeFamilies, Signature) {
  QVIP_BinarizationModeStruct binarization;
  binarization.libraryFileName = "f";
  EXPECT_EQ(binarization.GetSignature(), "[BM_LOCAL_BLOCK][0][0][1][-1][10][-1][8][1][-1][-1][f][]");
  binarization.mode = 3;  // no name: no bracket for it
  EXPECT_EQ(binarization.GetSignature().substr(0, 6), "[0][0]");

  QVIP_TextDetectionModeStruct text;
  EXPECT_EQ(text.GetSignature(), "[TTDM_SKIP][3][1,1000,1][][-1][3][][]");
}

// ---------------------------------------------------------------------------
// Round trip: written, read back and written again gives the same JSON.

TEST(ModeFamilies, RoundTrip) {
  const struct {
    Element (*make)();
    const char* json;
  } cases[] = {
      {Make<QVIP_BinarizationModeStruct>,
       R"({"Mode":"BM_THRESHOLD","BlockSizeX":7,"BlockSizeY":9,"EnableFillBinaryVacancy":0,
           "GrayscaleEnhancementModesIndex":2,"ThresholdCompensation":-20,
           "BinarizationThreshold":128,"MorphOperation":"Erode","MorphShape":"Ellipse",
           "MorphOperationKernelSizeX":3,"MorphOperationKernelSizeY":5})"},
      {Make<QVIP_ColourConversionModeStruct>,
       R"({"Mode":"CICM_HSV","ReferChannel":"V_CHANNEL","BlueChannelWeight":10,
           "GreenChannelWeight":20,"RedChannelWeight":1000})"},
      {Make<QVIP_ScaleUpModeStruct>,
       R"({"Mode":"SUM_LINEAR_INTERPOLATION","AcuteAngleWithXThreshold":45,
           "ModuleSizeThreshold":134217728,"TargetModuleSize":134217727,
           "LetterHeightThreshold":12,"TargetLetterHeight":30})"},
      {Make<QVIP_GrayscaleEnhancementModeStruct>,
       R"({"Mode":"GEM_SHARPEN_SMOOTH","Sensitivity":9,"SharpenBlockSizeX":3,
           "SharpenBlockSizeY":4,"SmoothBlockSizeX":5,"SmoothBlockSizeY":6})"},
      {Make<QVIP_GrayscaleTransformationModeStruct>, R"({"Mode":"GTM_REV"})"},
      {Make<QVIP_TextureDetectionModeStruct>, R"({"Mode":"TDM_SKIP","Sensitivity":9})"},
      {Make<QVIP_RegionPredetectionModeStruct>,
       R"({"Mode":"RPM_GENERAL_HSV_CONTRAST","Sensitivity":4,"MinImageDimension":16384,
           "SpatialIndexBlockSize":32,"RelativeRegions":"[-10000,0,100,10000,-1][1,2,3,4,5]",
           "ForeAndBackgroundColours":"[300,-1,360]","AspectRatioRange":"[1,2][3,4][5,10000]",
           "HeightRange":"[1,2147483647]","WidthRange":"[]","FindAccurateBoundary":1,
           "MeasuredByPercentage":0,"ImageParameterName":"ip_x"})"},
      {Make<QVIP_TextDetectionModeStruct>,
       R"({"Mode":"TTDM_LAYOUT","Direction":"OBLIQUE","CharHeightRange":[5,5,0],
           "StringLengthRange":[0,2147483647],"MaxSpacingInALine":0,"Sensitivity":1})"},
  };
  for (const auto& c : cases) {
    Element first = c.make();
    SCOPED_TRACE(first.object->GetTypeName());
    ASSERT_EQ(first.Read(c.json), 0) << first.object->errorMessage;
    const Json::Value written = first.Written();
    EXPECT_EQ(Compact(written), Compact(ParseJson(c.json)));
    Element second = c.make();
    ASSERT_EQ(second.object->ReadFromJson(written, NoSkippedKeys()), 0);
    EXPECT_EQ(Compact(second.Written()), Compact(written));
  }
}

// ---------------------------------------------------------------------------
// Region predetection: group lists and the mode read first.

TEST(RegionPredetection, GroupLists) {
  const struct {
    const char* mode;  // nullptr: the list-element mode
    const char* key;
    const char* text;  // JSON value
    int code;
    const char* written;  // the list as written back on success
  } cases[] = {
      {"RPM_GENERAL_HSV_CONTRAST", "ForeAndBackgroundColours", R"("[300,-1,360]")", 0, "[300,-1,360]"},
      {"RPM_GENERAL", "ForeAndBackgroundColours", R"("[300,-1,360]")", -10033, nullptr},
      {"rpm_general_hsv_contrast", "ForeAndBackgroundColours", R"("[-1,-1,0][360,360,360]")", 0,
       "[-1,-1,0][360,360,360]"},
      {"RPM_GENERAL_HSV_CONTRAST", "ForeAndBackgroundColours", R"("[-2,0,0]")", -10033, nullptr},
      {"RPM_GENERAL_HSV_CONTRAST", "ForeAndBackgroundColours", R"("[0,0,-1]")", -10033, nullptr},
      {"RPM_GENERAL_HSV_CONTRAST", "ForeAndBackgroundColours", R"("[0,361,0]")", -10033, nullptr},
      {nullptr, "ForeAndBackgroundColours", R"("[0,0,0][255,255,255]")", 0, "[0,0,0][255,255,255]"},
      {nullptr, "ForeAndBackgroundColours", R"("[256,0,0]")", -10033, nullptr},
      {nullptr, "AspectRatioRange", R"("[0,5]")", -10033, nullptr},
      {nullptr, "AspectRatioRange", R"("[1-2]")", 0, "[1,2]"},
      {nullptr, "AspectRatioRange", R"("[1,10000]")", 0, "[1,10000]"},
      {nullptr, "AspectRatioRange", R"("[1,10001]")", -10033, nullptr},
      {nullptr, "AspectRatioRange", R"("[1,2][3,4]")", 0, "[1,2][3,4]"},
      {nullptr, "AspectRatioRange", R"("[ 1 , 2 ][][3,4")", 0, "[1,2]"},
      {nullptr, "AspectRatioRange", R"("[1,2;3,4]")", -10033, nullptr},
      {nullptr, "HeightRange", R"("[1,2147483647]")", 0, "[1,2147483647]"},
      {nullptr, "HeightRange", R"("[0,1]")", -10033, nullptr},
      {nullptr, "WidthRange", R"("[1,0]")", -10033, nullptr},
      {nullptr, "RelativeRegions", R"("[0,0,100,100]")", -10033, nullptr},
      {nullptr, "RelativeRegions", R"("[0,0,100,100,-1]")", 0, "[0,0,100,100,-1]"},
      {nullptr, "RelativeRegions", R"("[0,0,100,100,-2]")", -10033, nullptr},
      {nullptr, "RelativeRegions", R"("[-10000,-10000,10000,10000,2147483647]")", 0,
       "[-10000,-10000,10000,10000,2147483647]"},
      {nullptr, "RelativeRegions", R"("[-10001,0,0,0,0]")", -10033, nullptr},
      {nullptr, "RelativeRegions", R"("")", 0, "[]"},
      {nullptr, "RelativeRegions", "null", 0, "[]"},
      // A range item that would expand without end is refused, not expanded.
      {nullptr, "HeightRange", R"("[1-2000000000]")", -10033, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + c.text + " " + (c.mode ? c.mode : ""));
    QVIP_RegionPredetectionModeStruct element;
    const std::string fresh = (element.WriteToJson(false), Compact(element.json));
    std::string text = std::string(R"({")") + c.key + R"(":)" + c.text;
    if (c.mode) text += std::string(R"(,"Mode":")") + c.mode + "\"";
    EXPECT_EQ(element.ReadFromJson(ParseJson(text + "}"), NoSkippedKeys()), c.code);
    element.WriteToJson(false);
    if (c.code == 0) {
      EXPECT_EQ(element.json[c.key].asString(), c.written);
    } else {
      EXPECT_EQ(element.json[c.key].asString(), "[]");
    }
  }
}

TEST(RegionPredetection, GroupListMessages) {
  QVIP_RegionPredetectionModeStruct element;
  // A bad group sets no message of its own; the level above prefixes as usual.
  EXPECT_EQ(element.ReadFromJson(ParseJson(R"({"HeightRange":"[0,1]"})"), NoSkippedKeys()), -10033);
  EXPECT_EQ(element.errorMessage, "RegionPredetectionMode:");
  QVIP_RegionPredetectionModeStruct other;
  EXPECT_EQ(other.ReadFromJson(ParseJson(R"({"HeightRange":5})"), NoSkippedKeys()), -10031);
  EXPECT_EQ(other.errorMessage, "RegionPredetectionMode:HeightRange:Json type invalid.");
  EXPECT_EQ(other.ReadFromJson(ParseJson(R"({"HeightRange":"[1,x]"})"), NoSkippedKeys()), -10033);
  EXPECT_EQ(other.errorMessage,
            "RegionPredetectionMode:HeightRange:Json value invalid or value out of range.");
  EXPECT_EQ(other.ReadFromJson(ParseJson(R"({"ImageParameterName":1})"), NoSkippedKeys()), -10031);
  EXPECT_EQ(other.ReadFromJson(ParseJson(R"({"Mode":"RPM_SKIP","Foo":1})"), NoSkippedKeys()), -10032);
  EXPECT_EQ(other.errorMessage, "RegionPredetectionMode:Foo:Json key invalid.");
  EXPECT_EQ(other.ReadFromJson(ParseJson("[1]"), NoSkippedKeys()), -10031);
  EXPECT_EQ(other.ReadFromJson(ParseJson(R"("RPM_AUTO")"), NoSkippedKeys()), -10031);
}

TEST(RegionPredetection, ReadingAgainReplacesTheGroups) {
  QVIP_RegionPredetectionModeStruct element;
  const Json::Value value = ParseJson(R"({"WidthRange":"[1,2][3,4]"})");
  ASSERT_EQ(element.ReadFromJson(value, NoSkippedKeys()), 0);
  ASSERT_EQ(element.ReadFromJson(value, NoSkippedKeys()), 0);
  EXPECT_EQ(element.widthRange, (std::vector<std::vector<int>>{{1, 2}, {3, 4}}));
  // Null leaves the list as it is.
  ASSERT_EQ(element.ReadFromJson(ParseJson(R"({"WidthRange":null})"), NoSkippedKeys()), 0);
  EXPECT_EQ(element.widthRange.size(), 2u);
}

// ---------------------------------------------------------------------------
// Text detection: the integer lists and their validation.

TEST(TextDetection, IntegerListsAndValidation) {
  const struct {
    const char* json;
    int code;
    const char* message;
  } cases[] = {
      {R"({"CharHeightRange":[20,10,1]})", -10033, "TextDetectionMode CharHeightRange error: min > max."},
      {R"({"CharHeightRange":[10,10,1]})", 0, ""},
      {R"({"CharHeightRange":[0,2147483647,0]})", 0, ""},
      {R"({"CharHeightRange":[10,20,2]})", -10033, "TextDetectionMode:CharHeightRange: out of range."},
      {R"({"CharHeightRange":[-1,20,1]})", -10033, "TextDetectionMode:CharHeightRange: out of range."},
      {R"({"CharHeightRange":[1,2]})", -10033, "TextDetectionMode:"},
      {R"({"CharHeightRange":[]})", -10033, "TextDetectionMode:"},
      {R"({"CharHeightRange":[1.5,2,1]})", -10031, "TextDetectionMode:CharHeightRange:Json type invalid."},
      {R"({"CharHeightRange":"1,2,3"})", -10031, "TextDetectionMode:CharHeightRange:Json type invalid."},
      {R"({"StringLengthRange":[5]})", -10033, "TextDetectionMode:"},
      {R"({"StringLengthRange":[3,2]})", -10033, "TextDetectionMode StringLengthRange error: min > max."},
      {R"({"StringLengthRange":[0,2147483647]})", 0, ""},
      {R"({"StringLengthRange":[-1,3]})", -10033, "TextDetectionMode:StringLengthRange: out of range."},
      {R"({"StringLengthRange":null})", 0, ""},
      // Both wrong: the character heights are checked first.
      {R"({"CharHeightRange":[2,1,0],"StringLengthRange":[3,2]})", -10033,
       "TextDetectionMode CharHeightRange error: min > max."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    QVIP_TextDetectionModeStruct element;
    EXPECT_EQ(element.ReadFromJson(ParseJson(c.json), NoSkippedKeys()), c.code);
    EXPECT_EQ(element.errorMessage, c.message);
  }
  // The validation also runs on a null value.
  QVIP_TextDetectionModeStruct element;
  element.charHeightRange = {9, 8, 0};
  EXPECT_EQ(element.ReadFromJson(Json::Value(), NoSkippedKeys()), -10033);
}

}  // namespace
}  // namespace quorvane
