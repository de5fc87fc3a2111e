// What the case files cannot show: values set in code, and signatures.
// Reading and writing are covered by tests/imageparams/cases/.

#include "imageparams/image_modes.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/parameter_test_support.h"

namespace quorvane {
namespace {

template <class S>
Json::Value WrittenWith(void (*change)(S&)) {
  S element;
  change(element);
  element.WriteToJson(false);
  return element.json;
}

TEST(ModeFamilies, ValuesOutsideATableAreWrittenAsItsFirstName) {
  using BM = QVIP_BinarizationModeStruct;
  using CICM = QVIP_ColourConversionModeStruct;
  using TTDM = QVIP_TextDetectionModeStruct;
  const struct {
    Json::Value written;
    std::vector<std::pair<const char*, const char*>> names;  // key, name written
  } cases[] = {
      {WrittenWith<BM>([](BM& s) { s.mode = 12345, s.morphOperation = 99, s.morphShape = 0; }),
       {{"Mode", "BM_AUTO"}, {"MorphOperation", "Erode"}, {"MorphShape", "Rectangle"}}},
      {WrittenWith<CICM>([](CICM& s) { s.mode = 12345, s.referChannel = 3; }),
       {{"Mode", "CICM_SKIP"}, {"ReferChannel", "H_CHANNEL"}}},
      {WrittenWith<QVIP_ScaleUpModeStruct>([](QVIP_ScaleUpModeStruct& s) { s.mode = 3; }),
       {{"Mode", "SUM_SKIP"}}},
      {WrittenWith<QVIP_GrayscaleEnhancementModeStruct>(
           [](QVIP_GrayscaleEnhancementModeStruct& s) { s.mode = 12345; }),
       {{"Mode", "GEM_AUTO"}}},
      {WrittenWith<QVIP_GrayscaleTransformationModeStruct>(
           [](QVIP_GrayscaleTransformationModeStruct& s) { s.mode = -1; }),
       {{"Mode", "GTM_INVERTED"}}},
      {WrittenWith<QVIP_TextureDetectionModeStruct>(
           [](QVIP_TextureDetectionModeStruct& s) { s.mode = 12345; }),
       {{"Mode", "TDM_AUTO"}}},
      {WrittenWith<QVIP_RegionPredetectionModeStruct>(
           [](QVIP_RegionPredetectionModeStruct& s) { s.mode = 64; }),
       {{"Mode", "RPM_AUTO"}}},
      {WrittenWith<TTDM>([](TTDM& s) { s.mode = 12345, s.direction = 99; }),
       {{"Mode", "TTDM_SKIP"}, {"Direction", "HORIZONTAL"}}},
  };
  for (const auto& c : cases) {
    for (const auto& [key, name] : c.names) {
      SCOPED_TRACE(key);
      EXPECT_EQ(c.written[key].asString(), name);
    }
  }
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

}  // namespace
}  // namespace quorvane
