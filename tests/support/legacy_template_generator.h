#pragma once

// Random legacy templates drawn from a seed, so that every run sees the same
// ones. Used by the conversion property test and the batch benchmark's corpus.
//
// Two kinds of file:
//   kVaried     any mix of the legacy sections; names that may name nothing;
//               values that convert but a real file would seldom hold; and,
//               rarely, a wrong value, so that some files are refused.
//   kRealistic  shaped like the shipped examples: one image parameter with
//               many modes; format specifications and regions, with an image
//               parameter naming them; or several image parameters. Every
//               name refers to what the file holds, and every file converts.

#include <json/json.h>

#include <initializer_list>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace quorvane::testing {

class LegacyTemplateGenerator {
 public:
  enum class Kind { kVaried, kRealistic };

  LegacyTemplateGenerator(unsigned seed, Kind kind)
      : random_(seed), varied_(kind == Kind::kVaried) {}

  std::string Next() {
    Json::Value root(Json::objectValue);
    if (varied_) {
      AnyMix(root);
    } else {
      ExampleShape(root);
    }
    drewChanges_ = DrawsChanges(root);
    return Text(root);
  }

  // Whether the last file holds a value that its conversion, when it
  // converts, cannot carry over as given: a time limit that is no integer
  // above 0, a name that names nothing, a region no image parameter names
  // or one that takes the whole image's name, two regions or format
  // specifications of one name, a format after "BF2_ALL", a morphology mode
  // beside binarization modes.
  bool DrewChanges() const { return drewChanges_; }

  // One file of `count` image parameters, for how the conversion scales.
  std::string ImageParameters(int count) {
    Json::Value root(Json::objectValue);
    for (int i = 0; i < count; ++i) {
      root["ImageParameterContentArray"].append(ImageParameter());
    }
    return Text(root);
  }

 private:
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  const char* Pick(std::initializer_list<const char*> names) {
    return names.begin()[Between(0, static_cast<int>(names.size()) - 1)];
  }
  // Something a real file would seldom hold, but that converts.
  bool Odd(double p) { return varied_ && Chance(p); }
  // A rare wrong value among valid ones.
  bool Spoil() { return varied_ && Chance(0.02); }

  template <class Make>
  Json::Value ListOf(int least, int most, Make make) {
    Json::Value list(Json::arrayValue);
    const int count = Between(least, most);
    for (int i = 0; i < count; ++i) list.append(make());
    return list;
  }

  Json::Value Names(std::initializer_list<const char*> pool, int least, int most) {
    return ListOf(least, most, [&] { return Json::Value(Pick(pool)); });
  }

  // Up to `most` names drawn from `names` (a JSON array); none from none.
  Json::Value SomeOf(const Json::Value& names, int most) {
    if (names.empty()) return Json::Value(Json::arrayValue);
    const int last = static_cast<int>(names.size()) - 1;
    return ListOf(1, most, [&] { return names[Between(0, last)]; });
  }

  std::string Text(const Json::Value& root) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = Odd(0.5) ? "\t" : "    ";
    std::string text = Json::writeString(builder, root) + "\n";
    if (Chance(0.5)) text = "// Templates of line " + std::to_string(Between(1, 40)) + "\n" + text;
    if (Odd(0.2)) text = "/* legacy */" + text;
    return text;
  }

  // Sections in any number and order, names drawn from small pools.
  void AnyMix(Json::Value& root) {
    const auto specification = [this] { return Specification(Pick({"fs0", "fs1", "fs2", ""})); };
    const Json::Value specificationNames = Names({"fs0", "fs1", "fs2"}, 3, 3);
    const auto region = [&] {
      return Region(Pick({"r0", "r1", "r2", "r3", "roi_default"}), specificationNames);
    };
    const auto image = [this] {
      return ImageParameter(
          Chance(0.7) ? Names({"r0", "r1", "r2", "r3", "roi_default", "", "nowhere"}, 0, 4)
                      : Json::Value(),
          Chance(0.5) ? Names({"fs0", "fs1", "fs2"}, 0, 2) : Json::Value());
    };
    if (Chance(0.3)) root["FormatSpecification"] = specification();
    if (Chance(0.5)) root["FormatSpecificationArray"] = ListOf(0, 3, specification);
    if (Chance(0.4)) root["RegionDefinition"] = region();
    if (Chance(0.7)) root["RegionDefinitionArray"] = ListOf(0, 4, region);
    if (Chance(0.6)) root["ImageParameter"] = image();
    if (Chance(0.6)) root["ImageParameterContentArray"] = ListOf(0, 4, image);
    if (Chance(0.1)) root["Version"] = "3.0";
  }

  void ExampleShape(Json::Value& root) {
    const int shape = Between(0, 2);
    if (shape == 0) root["ImageParameter"] = ImageParameter();
    if (shape == 1) LabelWithRegions(root);
    if (shape == 2) {
      root["ImageParameterContentArray"] = ListOf(2, 4, [this] { return ImageParameter(); });
    }
  }

  // Format specifications, regions, and one image parameter naming them.
  void LabelWithRegions(Json::Value& root) {
    Json::Value specificationNames(Json::arrayValue);
    const int specificationCount = Between(1, 3);
    for (int i = 0; i < specificationCount; ++i) {
      const std::string name = "FS_" + std::to_string(i) + "_" + std::to_string(Between(0, 99));
      specificationNames.append(name);
      root["FormatSpecificationArray"].append(Specification(name));
    }
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

  Json::Value FormatIds() {
    if (Spoil()) return Json::Value(Pick({"BF_ALL", "5"}));
    Json::Value list = Odd(0.5) ? Names({"BF_ALL", "BF_DEFAULT", "bf_pdf417", " BF_DATAMATRIX ",
                                         "BF_NULL", "BF_POSTALCODE", "BF_GS1_DATABAR"},
                                        0, 3)
                                : Names({"BF_ONED", "BF_QR_CODE", "BF_DATAMATRIX", "BF_CODE_128",
                                         "BF_EAN_13", "BF_PDF417", "BF_AZTEC", "BF_CODE_39",
                                         "BF_GS1_DATABAR", "BF_ALL"},
                                        1, 3);
    if (Spoil()) list.append("BF_BOGUS");
    return list;
  }

  Json::Value FormatIds2() {
    Json::Value list = Names({"BF2_NULL", "BF2_ALL", "BF2_POSTALCODE", "BF2_POSTNET", "BF2_DOTCODE",
                              "BF2_PHARMACODE", "BF2_RM4SCC"},
                             varied_ ? 0 : 1, 2);
    if (Spoil()) list.append("BF2_KIX");
    return list;
  }

  // With probability `p`, `object[key]` gets modes of the family `names`.
  void MaybeModes(Json::Value& object, const char* key, double p,
                  std::initializer_list<const char*> names) {
    if (Chance(p)) object[key] = Modes(names);
  }

  // Bare names and objects of a mode family, or rarely something wrong.
  Json::Value Modes(std::initializer_list<const char*> names) {
    if (Spoil()) return Chance(0.5) ? Json::Value(Json::arrayValue) : Json::Value(5);
    Json::Value list = ListOf(1, 3, [&] {
      const char* name = Pick(names);
      if (Chance(0.5)) return Json::Value(name);
      Json::Value mode(Json::objectValue);
      mode["Mode"] = name;
      return mode;
    });
    if (Spoil()) list.append(Pick({"XM_BOGUS", "LM_AUTO"}));
    return list;
  }

  Json::Value Range(int lowest, int highest) {
    Json::Value range(Json::objectValue);
    range["MinValue"] = Between(lowest, (lowest + highest) / 2);
    range["MaxValue"] = Between((lowest + highest) / 2 + 1, highest);
    return range;
  }

  Json::Value Specification(const std::string& name) {
    Json::Value specification(Json::objectValue);
    specification["Name"] = name;
    if (Chance(0.8)) specification["BarcodeFormatIds"] = FormatIds();
    if (Chance(0.2)) specification["BarcodeFormatIds_2"] = FormatIds2();
    if (Chance(0.5)) specification["MinResultConfidence"] = Spoil() ? 120 : Between(0, 100);
    if (Chance(0.4)) specification["BarcodeTextRegExPattern"] = "^SHP[0-9]{8}$";
    if (Chance(0.4)) specification["BarcodeTextLengthRangeArray"].append(Range(1, 40));
    if (Chance(0.4)) specification["MinQuietZoneWidth"] = Between(0, 20);
    if (Chance(0.3)) specification["ModuleSizeRangeArray"].append(Range(1, 60));
    MaybeModes(specification, "BarcodeComplementModes", 0.3,
               {"BCM_SKIP", "BCM_GENERAL", "BCM_AUTO"});
    MaybeModes(specification, "DeformationResistingModes", 0.3,
               {"DRM_SKIP", "DRM_GENERAL", "DRM_BROAD_WARP"});
    if (Chance(0.2)) specification["MirrorMode"] = Pick({"MM_NORMAL", "mm_both", "MM_MIRROR"});
    if (Odd(0.2)) specification["Unknown"] = 1;
    return specification;
  }

  // A region in percent or in pixels, naming some of `specificationNames`.
  Json::Value Region(const std::string& name, const Json::Value& specificationNames) {
    Json::Value region(Json::objectValue);
    if (!Spoil()) region["Name"] = name;
    const bool percent = Chance(0.6);
    const int left = Between(0, 50);
    const int top = Between(0, 50);
    region["Left"] = left;
    region["Top"] = top;
    // Rarely an edge that crosses its opposite one, or a negative one.
    region["Right"] = Odd(0.05)   ? Between(0, left)
                      : percent ? Between(left + 1, 100)
                                : left + Between(100, 1500);
    region["Bottom"] = Spoil() ? -5 : percent ? Between(top + 1, 100) : top + Between(100, 1500);
    // Percent is a region's default unit.
    if (!percent || Chance(0.7)) region["MeasuredByPercentage"] = percent ? 1 : 0;
    if (Chance(0.6)) region["BarcodeFormatIds"] = FormatIds();
    if (Chance(0.2)) region["BarcodeFormatIds_2"] = FormatIds2();
    if (Chance(0.5)) region["FormatSpecificationNameArray"] = SomeOf(specificationNames, 2);
    return region;
  }

  // An image parameter naming the regions and format specifications given
  // (none when null).
  Json::Value ImageParameter(const Json::Value& regionNames = Json::Value(),
                             const Json::Value& specificationNames = Json::Value()) {
    if (Spoil()) return Json::Value("not an object");
    Json::Value image(Json::objectValue);
    image["Name"] =
        Pick({"Dock door labels", "Letters", "Blister packs", "Shipping label", "legacy"});
    if (Chance(0.3)) image["Description"] = "Pallet labels scanned at the dock doors";
    if (Chance(0.8)) image["BarcodeFormatIds"] = FormatIds();
    if (Chance(0.3)) image["BarcodeFormatIds_2"] = FormatIds2();
    if (!regionNames.isNull()) image["RegionDefinitionNameArray"] = regionNames;
    if (!specificationNames.isNull()) image["FormatSpecificationNameArray"] = specificationNames;
    if (Chance(0.4)) image["ExpectedBarcodesCount"] = Between(0, 10);
    // A time limit that is no integer above 0 is passed over.
    if (Chance(0.6)) {
      image["Timeout"] = !Odd(0.2)   ? Json::Value(Between(100, 10000))
                         : Chance(0.5) ? Json::Value("750")
                                       : Json::Value(Between(-10, 0));
    }
    if (Chance(0.4)) image["MaxAlgorithmThreadCount"] = Spoil() ? 257 : Between(1, 8);
    if (Chance(0.4)) image["ScaleDownThreshold"] = Spoil() ? 100 : Between(512, 5000);
    if (Chance(0.3)) {
      image["TerminatePhase"] = Spoil() ? "TP_NEVER"
                                        : Pick({"TP_REGION_PREDETECTED", "TP_IMAGE_PREPROCESSED",
                                                "TP_IMAGE_BINARIZED", "TP_BARCODE_LOCALIZED",
                                                "tp_barcode_type_determined",
                                                "TP_BARCODE_RECOGNIZED"});
    }
    MaybeModes(image, "DeblurModes", 0.5,
               {"DM_SKIP", "DM_DIRECT_BINARIZATION", "DM_THRESHOLD_BINARIZATION",
                "DM_DEEP_ANALYSIS", "DM_BASED_ON_LOC_BIN", "DM_SHARPENING"});
    if (Chance(0.5)) {
      Json::Value modes =
          Modes({"LM_CONNECTED_BLOCKS", "LM_SCAN_DIRECTLY", "LM_STATISTICS", "lm_lines"});
      if (Chance(0.5) && modes.isArray()) {
        Json::Value lines(Json::objectValue);
        lines["Mode"] = "LM_LINES";
        lines["ConfidenceThreshold"] = Between(0, 100);
        modes.append(lines);
      }
      image["LocalizationModes"] = modes;
    }
    if (Chance(0.4)) image["BinarizationModes"] = BinarizationModes();
    MaybeModes(image, "BarcodeColourModes", 0.2, {"BICM_DARK_ON_LIGHT", "BICM_LIGHT_ON_DARK"});
    MaybeModes(image, "GrayscaleTransformationModes", 0.3, {"GTM_ORIGINAL", "GTM_INVERTED"});
    MaybeModes(image, "TextResultOrderModes", 0.3,
               {"TROM_CONFIDENCE", "TROM_POSITION", "TROM_FORMAT"});
    if (Chance(0.2)) {
      Json::Value dpm(Json::objectValue);
      dpm["Mode"] = "DPMCRM_GENERAL";
      dpm["BarcodeFormat"] = "BF_DATAMATRIX";
      image["DPMCodeReadingModes"].append(dpm);
    }
    MaybeModes(image, "BarcodeComplementModes", 0.2, {"BCM_GENERAL", "BCM_SKIP"});
    if (Chance(0.5)) {
      image["ImagePreprocessingModes"] = ListOf(1, 2, [this] { return PreprocessingMode(); });
    }
    return image;
  }

  Json::Value BinarizationModes() {
    if (Chance(0.5)) return Modes({"BM_LOCAL_BLOCK", "BM_THRESHOLD", "BM_SKIP"});
    Json::Value block(Json::objectValue);
    block["Mode"] = "BM_LOCAL_BLOCK";
    for (const char* key : {"BlockSizeX", "BlockSizeY", "ThreshValueCoefficient"}) {
      block[key] = Between(0, 20);
    }
    Json::Value modes(Json::arrayValue);
    modes.append(block);
    return modes;
  }

  // A legacy preprocessing mode, which becomes an enhancement or a
  // binarization mode.
  Json::Value PreprocessingMode() {
    Json::Value mode(Json::objectValue);
    switch (Between(0, 3)) {
      case 0:
        return Json::Value(Pick({"IPM_GENERAL", "IPM_GRAY_SMOOTH", "IPM_MORPHOLOGY"}));
      case 1:
        mode["Mode"] = "IPM_GRAY_EQUALIZE";
        mode["Sensitivity"] = Between(1, 9);
        return mode;
      case 2:
        mode["Mode"] = "IPM_SHARPEN_SMOOTH";
        for (const char* key :
             {"SmoothBlockSizeX", "SmoothBlockSizeY", "SharpenBlockSizeX", "SharpenBlockSizeY"}) {
          mode[key] = Between(3, 9);
        }
        return mode;
      default:
        mode["Mode"] = "IPM_MORPHOLOGY";
        mode["MorphOperation"] = Pick({"Erode", "dilate", "Open", "Close"});
        mode["MorphOperationKernelSizeX"] = Between(0, 9);
        if (Chance(0.5)) mode["MorphOperationKernelSizeY"] = Between(3, 9);
        return mode;
    }
  }

  // The single object of `keys` and the objects of its array, in the order
  // the conversion takes them.
  static std::vector<const Json::Value*> Objects(const Json::Value& root, const char* single,
                                                 const char* array) {
    std::vector<const Json::Value*> objects;
    if (root.isMember(single)) objects.push_back(&root[single]);
    if (root[array].isArray()) {
      for (const Json::Value& element : root[array]) objects.push_back(&element);
    }
    return objects;
  }

  static bool FormatAfterAll(const Json::Value& object) {
    const Json::Value& list = object["BarcodeFormatIds_2"];
    if (!list.isArray()) return false;
    for (Json::ArrayIndex i = 0; i + 1 < list.size(); ++i) {
      if (list[i] == "BF2_ALL") return true;
    }
    return false;
  }

  static bool NamesMissing(const Json::Value& names, const std::set<std::string>& known) {
    if (!names.isArray()) return false;
    for (const Json::Value& name : names) {
      if (name.isString() && known.count(name.asString()) == 0) return true;
    }
    return false;
  }

  static bool DrawsChanges(const Json::Value& root) {
    const auto nameOf = [](const Json::Value* object) {
      return object->isObject() && (*object)["Name"].isString() ? (*object)["Name"].asString()
                                                                 : std::string();
    };
    std::set<std::string> specifications;
    for (const Json::Value* specification :
         Objects(root, "FormatSpecification", "FormatSpecificationArray")) {
      if (!specifications.insert(nameOf(specification)).second) return true;
      if (FormatAfterAll(*specification)) return true;
    }
    std::set<std::string> regions;
    for (const Json::Value* region : Objects(root, "RegionDefinition", "RegionDefinitionArray")) {
      const std::string name = nameOf(region);
      if (!regions.insert(name).second || name == "roi_default") return true;
      if (FormatAfterAll(*region)) return true;
      if (NamesMissing((*region)["FormatSpecificationNameArray"], specifications)) return true;
    }
    std::set<std::string> named;
    for (const Json::Value* image :
         Objects(root, "ImageParameter", "ImageParameterContentArray")) {
      if (!image->isObject()) continue;
      const Json::Value& timeout = (*image)["Timeout"];
      if (!timeout.isNull() && !(timeout.isInt() && timeout.asInt() > 0)) return true;
      if (FormatAfterAll(*image)) return true;
      if (NamesMissing((*image)["RegionDefinitionNameArray"], regions)) return true;
      if (NamesMissing((*image)["FormatSpecificationNameArray"], specifications)) return true;
      for (const Json::Value& name : (*image)["RegionDefinitionNameArray"]) {
        if (name.isString()) named.insert(name.asString());
      }
      const Json::Value& binarization = (*image)["BinarizationModes"];
      for (const Json::Value& mode : (*image)["ImagePreprocessingModes"]) {
        const Json::Value& name = mode.isObject() ? mode["Mode"] : mode;
        if (name == "IPM_MORPHOLOGY" && binarization.isArray() && !binarization.empty()) {
          return true;
        }
      }
    }
    for (const std::string& region : regions) {
      if (named.count(region) == 0) return true;
    }
    return false;
  }

  std::mt19937 random_;
  bool varied_;
  bool drewChanges_ = false;
};

}  // namespace quorvane::testing
