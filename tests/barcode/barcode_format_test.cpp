// What the case files cannot show: the name look-ups, and masks set in code
// written by the composite rules. Reading names is covered by
// tests/barcode/cases/barcode_format.json.

#include "barcode/barcode_format.h"

#include <gtest/gtest.h>

#include <string>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

// Each name of the table reads as its mask and is the name of that mask.
TEST(BarcodeFormatNames, EveryNameIsItsMasksName) {
  for (const BarcodeFormatEntry& entry : BarcodeFormatTable()) {
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(ParseBarcodeFormatName(entry.name), entry.mask);
    EXPECT_STREQ(GetBarcodeFormatName(entry.mask), entry.name);
  }
  // Not an exact match: the null name.
  EXPECT_STREQ(GetBarcodeFormatName(BF_DEFAULT | 0x40000), "BF_NULL");
}

// Masks that only code can make: bits that have no name (37 to 51, 58 to 63)
// are dropped, and every bit but one is no "BF_ALL" nor a low-word composite
// but the databar one. The other writing rules are in cases/barcode_format.json.
TEST(BarcodeFormatStruct, WritesOnlyNamedBits) {
  constexpr BarcodeFormatMask kUnnamedBits = 0xFC0FFFE000000000ull;
  QVIP_BarcodeFormatStruct format(~BarcodeFormatMask{0x1});
  format.WriteToJson(false);
  EXPECT_EQ(Compact(format.json["BarcodeFormatIds"]), Compact(ParseJson(
      R"(["BF_GS1_DATABAR","BF_POSTALCODE","BF_PHARMACODE","BF_CODE_128","BF_CODE_93",)"
      R"("BF_CODABAR","BF_ITF","BF_EAN_13","BF_EAN_8","BF_UPC_A","BF_UPC_E","BF_INDUSTRIAL_25",)"
      R"("BF_CODE_39_EXTENDED","BF_PATCHCODE","BF_CODE_32","BF_PDF417","BF_QR_CODE",)"
      R"("BF_DATAMATRIX","BF_AZTEC","BF_MAXICODE","BF_MICRO_QR","BF_MICRO_PDF417",)"
      R"("BF_GS1_COMPOSITE","BF_MSI_CODE","BF_CODE_11","BF_TWO_DIGIT_ADD_ON",)"
      R"("BF_FIVE_DIGIT_ADD_ON","BF_MATRIX_25","BF_NONSTANDARD_BARCODE","BF_DOTCODE"])")));
  // What is written reads back as the named bits.
  QVIP_BarcodeFormatStruct back(0);
  ASSERT_EQ(back.ReadFromJson(format.json, NoSkippedKeys()), 0);
  EXPECT_EQ(back.barcodeFormatIds, ~BarcodeFormatMask{0x1} & ~kUnnamedBits);

  // Nothing named is the null format, not null (the owner's default).
  QVIP_BarcodeFormatStruct unnamed(0x1000000000000000);
  unnamed.WriteToJson(false);
  EXPECT_EQ(Compact(unnamed.json["BarcodeFormatIds"]), R"(["BF_NULL"])");
}

// What is written reads back as the same mask, into an owner whose own
// formats are the default ones: each mask of the table, no formats
// ("BF_NULL") among them.
TEST(BarcodeFormatStruct, EveryTableMaskReadsBackAsWritten) {
  for (const BarcodeFormatEntry& entry : BarcodeFormatTable()) {
    SCOPED_TRACE(entry.name);
    QVIP_BarcodeFormatStruct written(entry.mask);
    written.WriteToJson(false);
    QVIP_BarcodeFormatStruct back(BF_DEFAULT);
    ASSERT_EQ(back.ReadFromJson(written.json, NoSkippedKeys()), 0);
    EXPECT_EQ(back.barcodeFormatIds, entry.mask) << Compact(written.json);
  }
}

}  // namespace
}  // namespace quorvane
