// Random legacy templates (seeded, so every run sees the same ones): each
// that converts must give a template the checker accepts, and converting it
// again must give the same bytes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "driver/template_check.h"
#include "legacy/legacy_reader.h"

namespace quorvane {
namespace {

class LegacyTemplateGenerator {
 public:
  explicit LegacyTemplateGenerator(unsigned seed) : random_(seed) {}

  std::string Next() {
    Json::Value root(Json::objectValue);
    if (Chance(0.3)) root["FormatSpecification"] = Specification();
    if (Chance(0.5))
      root["FormatSpecificationArray"] = ListOf(3, [this] { return Specification(); });
    if (Chance(0.4)) root["RegionDefinition"] = Region();
    if (Chance(0.7)) root["RegionDefinitionArray"] = ListOf(4, [this] { return Region(); });
    if (Chance(0.6)) root["ImageParameter"] = ImageParameter();
    if (Chance(0.6)) {
      root["ImageParameterContentArray"] = ListOf(4, [this] { return ImageParameter(); });
    }
    if (Chance(0.1)) root["Version"] = "3.0";
    Json::StreamWriterBuilder builder;
    const std::string text = Json::writeString(builder, root);
    return Chance(0.3) ? "// generated\n/* legacy */" + text : text;
  }

 private:
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  const char* Pick(std::initializer_list<const char*> names) {
    return names.begin()[Between(0, static_cast<int>(names.size()) - 1)];
  }
  // A rare wrong value among valid ones.
  bool Spoil() { return Chance(0.02); }

  template <class Make>
  Json::Value ListOf(int most, Make make) {
    Json::Value list(Json::arrayValue);
    const int count = Between(0, most);
    for (int i = 0; i < count; ++i) list.append(make());
    return list;
  }

  Json::Value Names(std::initializer_list<const char*> pool, int most) {
    Json::Value list(Json::arrayValue);
    const int count = Between(0, most);
    for (int i = 0; i < count; ++i) list.append(Pick(pool));
    return list;
  }

  Json::Value FormatIds() {
    if (Spoil()) return Json::Value(Pick({"BF_ALL", "5"}));
    Json::Value list =
        Names({"BF_ALL", "BF_DEFAULT", "BF_ONED", "BF_QR_CODE", "bf_pdf417", " BF_DATAMATRIX ",
               "BF_CODE_128", "BF_NULL", "BF_POSTALCODE", "BF_AZTEC", "BF_GS1_DATABAR"},
              3);
    if (Spoil()) list.append("BF_BOGUS");
    return list;
  }

  Json::Value FormatIds2() {
    Json::Value list = Names(
        {"BF2_NULL", "BF2_ALL", "BF2_POSTNET", "BF2_DOTCODE", "BF2_PHARMACODE", "BF2_RM4SCC"}, 2);
    if (Spoil()) list.append("BF2_KIX");
    return list;
  }

  // Bare names and objects of a mode family, or rarely something wrong.
  Json::Value Modes(std::initializer_list<const char*> names) {
    if (Spoil()) return Chance(0.5) ? Json::Value(Json::arrayValue) : Json::Value(5);
    Json::Value list(Json::arrayValue);
    const int count = Between(1, 3);
    for (int i = 0; i < count; ++i) {
      const char* name = Pick(names);
      if (Chance(0.5)) {
        list.append(name);
      } else {
        Json::Value mode(Json::objectValue);
        mode["Mode"] = name;
        list.append(mode);
      }
    }
    if (Spoil()) list.append(Pick({"XM_BOGUS", "LM_AUTO"}));
    return list;
  }

  Json::Value Specification() {
    Json::Value specification(Json::objectValue);
    specification["Name"] = Pick({"fs0", "fs1", "fs2", ""});
    if (Chance(0.7)) specification["BarcodeFormatIds"] = FormatIds();
    if (Chance(0.2)) specification["BarcodeFormatIds_2"] = FormatIds2();
    if (Chance(0.5)) specification["MinResultConfidence"] = Spoil() ? 120 : Between(0, 100);
    if (Chance(0.3))
      specification["BarcodeComplementModes"] = Modes({"BCM_SKIP", "BCM_GENERAL", "BCM_AUTO"});
    if (Chance(0.3)) {
      specification["DeformationResistingModes"] =
          Modes({"DRM_SKIP", "DRM_GENERAL", "DRM_BROAD_WARP"});
    }
    if (Chance(0.2)) specification["MirrorMode"] = Pick({"MM_NORMAL", "mm_both", "MM_MIRROR"});
    if (Chance(0.2)) specification["Unknown"] = 1;
    return specification;
  }

  Json::Value Region() {
    Json::Value region(Json::objectValue);
    if (!Spoil()) region["Name"] = Pick({"r0", "r1", "r2", "r3", "roi_default"});
    const int left = Between(0, 80);
    const int top = Between(0, 80);
    region["Left"] = left;
    region["Top"] = top;
    // Rarely an edge that crosses its opposite one, or a negative one.
    region["Right"] = Chance(0.05) ? Between(0, left) : left + Between(1, 120);
    region["Bottom"] = Spoil() ? -5 : top + Between(1, 120);
    if (Chance(0.5)) region["MeasuredByPercentage"] = Between(0, 1);
    if (Chance(0.5)) region["BarcodeFormatIds"] = FormatIds();
    if (Chance(0.2)) region["BarcodeFormatIds_2"] = FormatIds2();
    if (Chance(0.4)) region["FormatSpecificationNameArray"] = Names({"fs0", "fs1", "fs2"}, 2);
    return region;
  }

  Json::Value ImageParameter() {
    if (Spoil()) return Json::Value("not an object");
    Json::Value image(Json::objectValue);
    image["Name"] = "legacy";
    if (Chance(0.6)) image["BarcodeFormatIds"] = FormatIds();
    if (Chance(0.2)) image["BarcodeFormatIds_2"] = FormatIds2();
    if (Chance(0.7)) {
      image["RegionDefinitionNameArray"] =
          Names({"r0", "r1", "r2", "r3", "roi_default", "", "nowhere"}, 4);
    }
    if (Chance(0.5)) image["FormatSpecificationNameArray"] = Names({"fs0", "fs1", "fs2"}, 2);
    if (Chance(0.3)) {
      image["TerminatePhase"] = Spoil()
                                    ? "TP_NEVER"
                                    : Pick({"TP_REGION_PREDETECTED", "TP_IMAGE_PREPROCESSED",
                                            "TP_IMAGE_BINARIZED", "TP_BARCODE_LOCALIZED",
                                            "tp_barcode_type_determined", "TP_BARCODE_RECOGNIZED"});
    }
    if (Chance(0.3)) image["MaxAlgorithmThreadCount"] = Spoil() ? 257 : Between(1, 256);
    if (Chance(0.5)) image["Timeout"] = Chance(0.8) ? Json::Value(Between(-10, 5000)) : "750";
    if (Chance(0.3)) image["ScaleDownThreshold"] = Spoil() ? 100 : Between(512, 5000);
    if (Chance(0.3)) image["ExpectedBarcodesCount"] = Between(0, 10);
    if (Chance(0.3))
      image["DeblurModes"] = Modes({"DM_SKIP", "DM_DIRECT_BINARIZATION", "DM_SHARPENING"});
    if (Chance(0.3)) {
      image["LocalizationModes"] = Modes({"LM_CONNECTED_BLOCKS", "LM_SCAN_DIRECTLY", "lm_lines"});
    }
    if (Chance(0.2))
      image["BarcodeColourModes"] = Modes({"BICM_DARK_ON_LIGHT", "BICM_LIGHT_ON_DARK"});
    if (Chance(0.2)) image["TextResultOrderModes"] = Modes({"TROM_CONFIDENCE", "TROM_FORMAT"});
    if (Chance(0.3))
      image["BinarizationModes"] = Modes({"BM_LOCAL_BLOCK", "BM_THRESHOLD", "BM_SKIP"});
    if (Chance(0.2)) {
      image["GrayscaleTransformationModes"] = Modes({"GTM_ORIGINAL", "GTM_INVERTED"});
    }
    if (Chance(0.3)) {
      Json::Value modes(Json::arrayValue);
      modes.append(Pick({"IPM_GENERAL", "IPM_AUTO", "IPM_GRAY_SMOOTH"}));
      Json::Value morphology(Json::objectValue);
      morphology["Mode"] = "IPM_MORPHOLOGY";
      morphology["MorphOperation"] = Pick({"Erode", "dilate", "Close"});
      morphology["MorphOperationKernelSizeX"] = Between(0, 9);
      modes.append(morphology);
      image["ImagePreprocessingModes"] = modes;
    }
    return image;
  }

  std::mt19937 random_;
};

std::string Convert(const std::string& text, int& code, std::string& message) {
  ZQA_OldParameterReader reader;
  code = reader.ReadOldTemplate(text.c_str(), message);
  std::string output;
  if (code == 0) reader.OutputNewTemplate(output);
  return output;
}

TEST(LegacyConversionProperty, ConvertedTemplatesPassTheCheckerAndRepeat) {
  char directory[] = "/tmp/lumiflow-legacy-XXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  const std::string path = std::string(directory) + "/converted.json";
  LegacyTemplateGenerator generator(20240611u);
  int converted = 0;
  int refused = 0;
  for (int i = 0; i < 300; ++i) {
    const std::string text = generator.Next();
    SCOPED_TRACE(text);
    int code = 0;
    std::string message;
    const std::string output = Convert(text, code, message);
    if (code != 0) {
      ++refused;
      EXPECT_FALSE(message.empty()) << code;
      continue;
    }
    ++converted;
    std::ofstream(path, std::ios::binary) << output;
    bool passed = false;
    const std::string report = CheckTemplateFile(path, passed);
    EXPECT_TRUE(passed) << report << "\n" << output;
    // An empty list would be written as null, which reads back as
    // "roi_default": each flow must name what it runs.
    Json::Value written;
    ASSERT_TRUE(Json::Reader().parse(output, written));
    for (const Json::Value& flow : written["LumiflowTemplates"]) {
      EXPECT_TRUE(flow["ImageROIProcessingNameArray"].isArray()) << flow;
    }

    int again = 0;
    EXPECT_EQ(Convert(text, again, message), output);
  }
  std::remove(path.c_str());
  rmdir(directory);
  // Both outcomes must be well represented, or the property says little.
  EXPECT_GT(converted, 100);
  EXPECT_GT(refused, 20);
}

}  // namespace
}  // namespace quorvane
