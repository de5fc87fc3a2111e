// What the case files cannot show: signatures and constructors. Reading and writing are
// covered by tests/imageparams/cases/.

#include "imageparams/image_modes.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(ModeFamilies, Signature) {
  QVIP_BinarizationModeStruct binarization;
  binarization.libraryFileName = "f";
  EXPECT_EQ(binarization.GetSignature(), "[BM_LOCAL_BLOCK][0][0][1][-1][10][-1][8][1][-1][-1][f][]");
  binarization.mode = 3;  // no name: no bracket for it
  EXPECT_EQ(binarization.GetSignature().substr(0, 6), "[0][0]");

  // A family made with a mode takes that mode, and the defaults of its keys.
  const QVIP_BinarizationModeStruct threshold(QVIP_BinarizationModeStruct::BM_THRESHOLD);
  EXPECT_EQ(threshold.mode, QVIP_BinarizationModeStruct::BM_THRESHOLD);
  EXPECT_EQ(threshold.enableFillBinaryVacancy, 1);

  QVIP_TextDetectionModeStruct text;
  EXPECT_EQ(text.GetSignature(), "[TTDM_SKIP][3][1,1000,1][][-1][3][][]");
}

}  // namespace
}  // namespace quorvane
