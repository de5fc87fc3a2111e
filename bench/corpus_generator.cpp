// Writes a corpus of legacy templates for the batch benchmark: files shaped
// like the shipped examples (one image parameter with many modes; regions
// with format specifications; several image parameters with second-word
// formats), with names, numbers and lists drawn from a seeded generator so
// that every run sees the same corpus. Every file converts.
//
//   lumiflow-bench-corpus DIRECTORY COUNT [SEED]
//       COUNT files in nested folders DIRECTORY/site-NN/line-N/, each file
//       name unique (the converter writes all outputs into one directory).
//   lumiflow-bench-corpus --image-parameters K FILE
//       one file holding K image parameters, for the scaling measurement.

#include <json/json.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <random>
#include <string>

namespace {

class CorpusGenerator {
 public:
  explicit CorpusGenerator(unsigned seed) : random_(seed) {}

  std::string Next() {
    Json::Value root(Json::objectValue);
    switch (Between(0, 2)) {
      case 0:
        root["ImageParameter"] = ImageParameter({}, {});
        break;
      case 1:
        LabelWithRegions(root);
        break;
      default: {
        Json::Value list(Json::arrayValue);
        const int count = Between(2, 4);
        for (int i = 0; i < count; ++i) list.append(ImageParameter({}, {}));
        root["ImageParameterContentArray"] = list;
      }
    }
    return Text(root);
  }

  // One file of `count` image parameters, each like the first example.
  std::string Large(int count) {
    Json::Value root(Json::objectValue);
    Json::Value list(Json::arrayValue);
    for (int i = 0; i < count; ++i) list.append(ImageParameter({}, {}));
    root["ImageParameterContentArray"] = list;
    return Text(root);
  }

 private:
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  const char* Pick(std::initializer_list<const char*> names) {
    return names.begin()[Between(0, static_cast<int>(names.size()) - 1)];
  }

  std::string Text(const Json::Value& root) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "    ";
    std::string text = Json::writeString(builder, root);
    if (Chance(0.6)) text = "// Templates of line " + std::to_string(Between(1, 40)) + "\n" + text;
    return text + "\n";
  }

  Json::Value Names(std::initializer_list<const char*> pool, int least, int most) {
    Json::Value list(Json::arrayValue);
    const int count = Between(least, most);
    for (int i = 0; i < count; ++i) list.append(Pick(pool));
    return list;
  }

  Json::Value FormatIds() {
    return Names({"BF_ONED", "BF_QR_CODE", "BF_DATAMATRIX", "BF_CODE_128", "BF_EAN_13",
                  "BF_PDF417", "BF_AZTEC", "BF_CODE_39", "BF_GS1_DATABAR", "BF_ALL"},
                 1, 3);
  }

  // Bare names and objects of a mode family.
  Json::Value Modes(std::initializer_list<const char*> names) {
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
    return list;
  }

  Json::Value Specification(const std::string& name) {
    Json::Value specification(Json::objectValue);
    specification["Name"] = name;
    specification["BarcodeFormatIds"] = FormatIds();
    if (Chance(0.6)) specification["MinResultConfidence"] = Between(0, 100);
    if (Chance(0.4)) specification["BarcodeTextRegExPattern"] = "^SHP[0-9]{8}$";
    if (Chance(0.4)) {
      Json::Value range(Json::objectValue);
      range["MinValue"] = Between(1, 10);
      range["MaxValue"] = Between(11, 40);
      specification["BarcodeTextLengthRangeArray"].append(range);
    }
    if (Chance(0.4)) specification["MinQuietZoneWidth"] = Between(0, 20);
    if (Chance(0.3)) {
      Json::Value range(Json::objectValue);
      range["MinValue"] = Between(1, 5);
      range["MaxValue"] = Between(6, 60);
      specification["ModuleSizeRangeArray"].append(range);
    }
    if (Chance(0.3))
      specification["BarcodeComplementModes"] = Modes({"BCM_SKIP", "BCM_GENERAL"});
    if (Chance(0.3))
      specification["DeformationResistingModes"] = Modes({"DRM_SKIP", "DRM_GENERAL"});
    return specification;
  }

  Json::Value Region(const std::string& name, const Json::Value& specificationNames) {
    Json::Value region(Json::objectValue);
    region["Name"] = name;
    const bool percent = Chance(0.6);
    const int left = Between(0, 50);
    const int top = Between(0, 50);
    region["Left"] = left;
    region["Top"] = top;
    region["Right"] = percent ? Between(left + 1, 100) : left + Between(100, 1500);
    region["Bottom"] = percent ? Between(top + 1, 100) : top + Between(100, 1500);
    region["MeasuredByPercentage"] = percent ? 1 : 0;
    if (Chance(0.7)) region["BarcodeFormatIds"] = FormatIds();
    if (Chance(0.5) && !specificationNames.empty()) {
      Json::Value names(Json::arrayValue);
      names.append(specificationNames[Between(0, specificationNames.size() - 1)]);
      region["FormatSpecificationNameArray"] = names;
    }
    return region;
  }

  // Format specifications, regions, and one image parameter naming them.
  void LabelWithRegions(Json::Value& root) {
    Json::Value specificationNames(Json::arrayValue);
    Json::Value specifications(Json::arrayValue);
    const int specificationCount = Between(1, 3);
    for (int i = 0; i < specificationCount; ++i) {
      const std::string name = "FS_" + std::to_string(i) + "_" + std::to_string(Between(0, 99));
      specificationNames.append(name);
      specifications.append(Specification(name));
    }
    root["FormatSpecificationArray"] = specifications;
    Json::Value regionNames(Json::arrayValue);
    Json::Value regions(Json::arrayValue);
    const int regionCount = Between(1, 3);
    for (int i = 0; i < regionCount; ++i) {
      const std::string name = Pick({"AddressBlock", "QRCorner", "Footer", "Stamp"}) +
                               std::string("_") + std::to_string(i);
      regionNames.append(name);
      regions.append(Region(name, specificationNames));
    }
    if (Chance(0.5)) {
      root["RegionDefinition"] = regions[0];
      regions.removeIndex(0, nullptr);
    }
    if (!regions.empty()) root["RegionDefinitionArray"] = regions;
    root["ImageParameter"] = ImageParameter(regionNames, specificationNames);
  }

  Json::Value ImageParameter(const Json::Value& regionNames, const Json::Value& specifications) {
    Json::Value image(Json::objectValue);
    image["Name"] = Pick({"Dock door labels", "Letters", "Blister packs", "Shipping label"});
    if (Chance(0.3)) image["Description"] = "Pallet labels scanned at the dock doors";
    image["BarcodeFormatIds"] = FormatIds();
    if (Chance(0.3)) {
      image["BarcodeFormatIds_2"] =
          Names({"BF2_POSTALCODE", "BF2_PHARMACODE", "BF2_DOTCODE", "BF2_NULL"}, 1, 2);
    }
    if (!regionNames.empty()) image["RegionDefinitionNameArray"] = regionNames;
    if (!specifications.empty()) image["FormatSpecificationNameArray"] = specifications;
    if (Chance(0.5)) image["ExpectedBarcodesCount"] = Between(0, 10);
    if (Chance(0.7)) image["Timeout"] = Between(100, 10000);
    if (Chance(0.4)) image["MaxAlgorithmThreadCount"] = Between(1, 4);
    if (Chance(0.4)) image["ScaleDownThreshold"] = Between(512, 5000);
    if (Chance(0.3)) {
      image["TerminatePhase"] = Pick({"TP_IMAGE_BINARIZED", "TP_BARCODE_LOCALIZED",
                                      "TP_BARCODE_RECOGNIZED"});
    }
    if (Chance(0.5)) {
      image["DeblurModes"] = Modes({"DM_DIRECT_BINARIZATION", "DM_THRESHOLD_BINARIZATION",
                                    "DM_DEEP_ANALYSIS", "DM_BASED_ON_LOC_BIN", "DM_SHARPENING"});
    }
    if (Chance(0.5)) {
      Json::Value modes = Modes({"LM_CONNECTED_BLOCKS", "LM_SCAN_DIRECTLY", "LM_STATISTICS"});
      if (Chance(0.5)) {
        Json::Value lines(Json::objectValue);
        lines["Mode"] = "LM_LINES";
        lines["ConfidenceThreshold"] = Between(0, 100);
        modes.append(lines);
      }
      image["LocalizationModes"] = modes;
    }
    if (Chance(0.4)) {
      Json::Value block(Json::objectValue);
      block["Mode"] = "BM_LOCAL_BLOCK";
      block["BlockSizeX"] = Between(0, 20);
      block["BlockSizeY"] = Between(0, 20);
      block["ThreshValueCoefficient"] = Between(0, 20);
      Json::Value modes(Json::arrayValue);
      modes.append(block);
      image["BinarizationModes"] = modes;
    }
    if (Chance(0.4)) image["GrayscaleTransformationModes"] = Modes({"GTM_ORIGINAL", "GTM_INVERTED"});
    if (Chance(0.3)) image["TextResultOrderModes"] = Modes({"TROM_CONFIDENCE", "TROM_POSITION"});
    if (Chance(0.2)) {
      Json::Value dpm(Json::objectValue);
      dpm["Mode"] = "DPMCRM_GENERAL";
      dpm["BarcodeFormat"] = "BF_DATAMATRIX";
      image["DPMCodeReadingModes"].append(dpm);
    }
    if (Chance(0.2)) image["BarcodeComplementModes"] = Modes({"BCM_GENERAL", "BCM_SKIP"});
    if (Chance(0.5)) {
      Json::Value modes(Json::arrayValue);
      switch (Between(0, 3)) {
        case 0:
          modes.append("IPM_GENERAL");
          break;
        case 1: {
          Json::Value equalize(Json::objectValue);
          equalize["Mode"] = "IPM_GRAY_EQUALIZE";
          equalize["Sensitivity"] = Between(1, 9);
          modes.append(equalize);
          break;
        }
        case 2: {
          Json::Value sharpen(Json::objectValue);
          sharpen["Mode"] = "IPM_SHARPEN_SMOOTH";
          sharpen["SmoothBlockSizeX"] = Between(3, 9);
          sharpen["SmoothBlockSizeY"] = Between(3, 9);
          sharpen["SharpenBlockSizeX"] = Between(3, 9);
          sharpen["SharpenBlockSizeY"] = Between(3, 9);
          modes.append(sharpen);
          break;
        }
        default: {
          Json::Value morphology(Json::objectValue);
          morphology["Mode"] = "IPM_MORPHOLOGY";
          morphology["MorphOperation"] = Pick({"Erode", "Dilate", "Open", "Close"});
          morphology["MorphOperationKernelSizeX"] = Between(3, 9);
          morphology["MorphOperationKernelSizeY"] = Between(3, 9);
          modes.append(morphology);
        }
      }
      image["ImagePreprocessingModes"] = modes;
    }
    return image;
  }

  std::mt19937 random_;
};

bool WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

int Usage() {
  std::cerr << "usage: lumiflow-bench-corpus DIRECTORY COUNT [SEED]\n"
               "       lumiflow-bench-corpus --image-parameters K FILE\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--image-parameters") {
    const int count = std::atoi(argv[2]);
    if (count < 1) return Usage();
    CorpusGenerator generator(7u);
    return WriteText(argv[3], generator.Large(count)) ? 0 : 1;
  }
  if (argc != 3 && argc != 4) return Usage();
  const std::filesystem::path directory = argv[1];
  const int count = std::atoi(argv[2]);
  const unsigned seed = argc == 4 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1u;
  if (count < 1) return Usage();
  CorpusGenerator generator(seed);
  for (int i = 0; i < count; ++i) {
    // 25 files a folder, 4 folders a site.
    char folder[64];
    std::snprintf(folder, sizeof folder, "site-%02d/line-%d", i / 100, (i / 25) % 4);
    const std::filesystem::path path = directory / folder;
    std::filesystem::create_directories(path);
    char name[32];
    std::snprintf(name, sizeof name, "template-%05d.json", i);
    if (!WriteText(path / name, generator.Next())) {
      std::cerr << "cannot write " << (path / name) << "\n";
      return 1;
    }
  }
  return 0;
}
