#include "barcode/barcode_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

TEST(ParseBarcodeFormatName, CaseAndSpacesButNotTabs) {
  const struct {
    const char* text;
    BarcodeFormatMask mask;
  } cases[] = {
      {"BF_QR_CODE", 0x4000000},
      {"bf_qr_code ", 0x4000000},
      {"  Bf_All  ", BF_ALL},
      {"BF_NULL", 0},
      {"bf_pharmacode", 0xC00000000},
      {"BF_POSTALCODE", 0x3F0000000000000},
      {"\tBF_QR_CODE", kBarcodeFormatNotFound},
      {"BF_QR_CODE\t", kBarcodeFormatNotFound},
      {"BF_QR_CODE\n", kBarcodeFormatNotFound},
      {"BF_QR CODE", kBarcodeFormatNotFound},
      {"BF_QR_CODES", kBarcodeFormatNotFound},
      {"BF2_POSTNET", kBarcodeFormatNotFound},
      {"", kBarcodeFormatNotFound},
      {"   ", kBarcodeFormatNotFound},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseBarcodeFormatName(c.text), c.mask);
  }
}

TEST(BarcodeFormatTable, EveryNameAndMaskFindEachOther) {
  const auto table = BarcodeFormatTable();
  ASSERT_EQ(table.size(), 50u);
  EXPECT_STREQ(table.front().name, "BF_NULL");
  EXPECT_STREQ(table.back().name, "BF_PHARMACODE");
  for (const BarcodeFormatEntry& entry : table) {
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(ParseBarcodeFormatName(entry.name), entry.mask);
    EXPECT_STREQ(GetBarcodeFormatName(entry.mask), entry.name);
    EXPECT_NE(entry.mask, kBarcodeFormatNotFound);
  }
  // Not an exact match: the null name.
  EXPECT_STREQ(GetBarcodeFormatName(0x3), "BF_NULL");
  EXPECT_STREQ(GetBarcodeFormatName(BF_DEFAULT | 0x40000), "BF_NULL");
}

// Reading "BarcodeFormatIds" into a structure that starts from 0x8 (BF_CODABAR).
TEST(BarcodeFormatStruct, ReadsNameLists) {
  const struct {
    const char* json;
    int code;
    BarcodeFormatMask mask;
    const char* message;
  } cases[] = {
      {R"({"BarcodeFormatIds":["BF_ALL"]})", 0, BF_ALL, ""},
      {R"({"BarcodeFormatIds":["bf_qr_code "]})", 0, 0x4000000, ""},
      {R"({"BarcodeFormatIds":[]})", 0, 0, ""},
      {R"({"BarcodeFormatIds":["BF_ONED","BF_CODE_39","BF_ONED"]})", 0, BF_ONED, ""},
      {R"({"BarcodeFormatIds":null})", 0, 0x8, ""},
      {R"({})", 0, 0x8, ""},
      {R"({"Other":1,"Name":3,"BarcodeFormatIds":["BF_DOTCODE"],"Zed":[]})", 0, 0x200000000, ""},
      // The bits before a bad name stay.
      {R"({"BarcodeFormatIds":["BF_CODE_39","nope","BF_QR_CODE"]})", -10033, 0x1, "BarcodeFormat:"},
      {R"({"BarcodeFormatIds":["BF_CODE_39",""]})", -10033, 0x1, "BarcodeFormat:"},
      {R"({"BarcodeFormatIds":["BF_CODE_39",5]})", -10031, 0x8,
       "BarcodeFormat:BarcodeFormatIds:Json type invalid."},
      {R"({"BarcodeFormatIds":"BF_CODE_39"})", -10031, 0x8,
       "BarcodeFormat:BarcodeFormatIds:Json type invalid."},
      {"null", 0, 0x8, ""},
      {"[]", -10031, 0x8, ""},
      {"\"BF_ALL\"", -10031, 0x8, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    QVIP_BarcodeFormatStruct format(0x8);
    EXPECT_EQ(format.ReadFromJson(ParseJson(c.json), NoSkippedKeys()), c.code);
    EXPECT_EQ(format.barcodeFormatIds, c.mask);
    EXPECT_EQ(format.errorMessage, c.message);
  }
}

// Bits 37 to 51 and 58 to 63 belong to no format.
constexpr BarcodeFormatMask kUnnamedBits = 0xFC0FFFE000000000ull;

TEST(BarcodeFormatStruct, WritesCompositesFirstThenTheRemainingFormats) {
  const struct {
    BarcodeFormatMask mask;
    const char* names;
  } cases[] = {
      {0, "null"},
      {BF_ALL, R"(["BF_ALL"])"},
      {BF_DEFAULT, R"(["BF_DEFAULT"])"},
      {0xFFFFFFFF,
       R"(["BF_DEFAULT","BF_PATCHCODE","BF_CODE_32","BF_TWO_DIGIT_ADD_ON","BF_FIVE_DIGIT_ADD_ON"])"},
      {BF_DEFAULT | 0x100000000, R"(["BF_DEFAULT","BF_NONSTANDARD_BARCODE"])"},
      {BF_DEFAULT | BF_POSTALCODE | BF_PHARMACODE | 0x1000000000,
       R"(["BF_DEFAULT","BF_POSTALCODE","BF_PHARMACODE","BF_MATRIX_25"])"},
      {0x1 | 0x4000000, R"(["BF_CODE_39","BF_QR_CODE"])"},
      {BF_ONED | 0x4000000, R"(["BF_ONED","BF_QR_CODE"])"},
      {BF_ONED | BF_GS1_DATABAR, R"(["BF_ONED","BF_GS1_DATABAR"])"},
      {0x3F000,
       R"(["BF_GS1_DATABAR_TRUNCATED","BF_GS1_DATABAR_STACKED","BF_GS1_DATABAR_STACKED_OMNIDIRECTIONAL",)"
       R"("BF_GS1_DATABAR_EXPANDED","BF_GS1_DATABAR_EXPANDED_STACKED","BF_GS1_DATABAR_LIMITED"])"},
      {0x3F0000C00000000, R"(["BF_POSTALCODE","BF_PHARMACODE"])"},
      {0x1F0000000000000,
       R"(["BF_USPSINTELLIGENTMAIL","BF_POSTNET","BF_PLANET","BF_AUSTRALIANPOST","BF_RM4SCC"])"},
      {0x400000000, R"(["BF_PHARMACODE_ONE_TRACK"])"},
      {0x800000000 | 0x80000, R"(["BF_MICRO_PDF417","BF_PHARMACODE_TWO_TRACK"])"},
      // Every bit but one: no "BF_ALL", no low-word composite but the databar
      // one, and the bits that have no name are dropped.
      {~BarcodeFormatMask{0x1},
       R"(["BF_GS1_DATABAR","BF_POSTALCODE","BF_PHARMACODE","BF_CODE_128","BF_CODE_93",)"
       R"("BF_CODABAR","BF_ITF","BF_EAN_13","BF_EAN_8","BF_UPC_A","BF_UPC_E","BF_INDUSTRIAL_25",)"
       R"("BF_CODE_39_EXTENDED","BF_PATCHCODE","BF_CODE_32","BF_PDF417","BF_QR_CODE",)"
       R"("BF_DATAMATRIX","BF_AZTEC","BF_MAXICODE","BF_MICRO_QR","BF_MICRO_PDF417",)"
       R"("BF_GS1_COMPOSITE","BF_MSI_CODE","BF_CODE_11","BF_TWO_DIGIT_ADD_ON",)"
       R"("BF_FIVE_DIGIT_ADD_ON","BF_MATRIX_25","BF_NONSTANDARD_BARCODE","BF_DOTCODE"])"},
      {0x1000000000000000, "null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.names);
    QVIP_BarcodeFormatStruct format(c.mask);
    format.WriteToJson(false);
    EXPECT_EQ(Compact(format.json), Compact(ParseJson(std::string("{\"BarcodeFormatIds\":") +
                                                      c.names + "}")));
    // What is written reads back as the named bits.
    if ((c.mask & ~kUnnamedBits) != 0) {
      QVIP_BarcodeFormatStruct back(0);
      ASSERT_EQ(back.ReadFromJson(format.json, NoSkippedKeys()), 0);
      EXPECT_EQ(back.barcodeFormatIds & ~kUnnamedBits, c.mask & ~kUnnamedBits);
    }
  }
}

TEST(LegacyFormatNames, ExactNamesOnly) {
  const struct {
    const char* name;
    std::optional<BarcodeFormatMask> mask;
  } cases[] = {
      {"BF2_POSTALCODE", 0x3F0000000000000},
      {"BF2_NONSTANDARD_BARCODE", 0x100000000},
      {"BF2_USPSINTELLIGENTMAIL", 0x10000000000000},
      {"BF2_POSTNET", 0x20000000000000},
      {"BF2_PLANET", 0x40000000000000},
      {"BF2_AUSTRALIANPOST", 0x80000000000000},
      {"BF2_RM4SCC", 0x100000000000000},
      {"BF2_DOTCODE", 0x200000000},
      {"BF2_PHARMACODE_ONE_TRACK", 0x400000000},
      {"BF2_PHARMACODE_TWO_TRACK", 0x800000000},
      {"BF2_PHARMACODE", 0xC00000000},
      // The legacy reader treats these itself.
      {"BF2_NULL", std::nullopt},
      {"BF2_ALL", std::nullopt},
      {"bf2_postnet", std::nullopt},
      {"BF2_POSTNET ", std::nullopt},
      {"BF_POSTNET", std::nullopt},
      {"", std::nullopt},
  };
  BarcodeFormatMask all = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LookupLegacyFormatName2(c.name), c.mask);
    if (c.mask) all |= *c.mask;
  }
  EXPECT_EQ(all, kLegacyFormat2All);
}

}  // namespace
}  // namespace quorvane
