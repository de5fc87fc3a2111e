#include "barcode/barcode_format.h"

#include <utility>
#include <vector>

#include "framework/field_mapping.h"

namespace quorvane {

namespace {

constexpr BarcodeFormatEntry kFormats[] = {
    {"BF_NULL", BF_NULL},
    {"BF_ALL", BF_ALL},
    {"BF_DEFAULT", BF_DEFAULT},
    {"BF_ONED", BF_ONED},
    {"BF_GS1_DATABAR", BF_GS1_DATABAR},
    {"BF_CODE_39", 0x1ull},
    {"BF_CODE_128", 0x2ull},
    {"BF_CODE_93", 0x4ull},
    {"BF_CODABAR", 0x8ull},
    {"BF_ITF", 0x10ull},
    {"BF_EAN_13", 0x20ull},
    {"BF_EAN_8", 0x40ull},
    {"BF_UPC_A", 0x80ull},
    {"BF_UPC_E", 0x100ull},
    {"BF_INDUSTRIAL_25", 0x200ull},
    {"BF_CODE_39_EXTENDED", 0x400ull},
    {"BF_GS1_DATABAR_OMNIDIRECTIONAL", 0x800ull},
    {"BF_GS1_DATABAR_TRUNCATED", 0x1000ull},
    {"BF_GS1_DATABAR_STACKED", 0x2000ull},
    {"BF_GS1_DATABAR_STACKED_OMNIDIRECTIONAL", 0x4000ull},
    {"BF_GS1_DATABAR_EXPANDED", 0x8000ull},
    {"BF_GS1_DATABAR_EXPANDED_STACKED", 0x10000ull},
    {"BF_GS1_DATABAR_LIMITED", 0x20000ull},
    {"BF_PATCHCODE", 0x40000ull},
    {"BF_CODE_32", 0x1000000ull},
    {"BF_PDF417", 0x2000000ull},
    {"BF_QR_CODE", BF_QR_CODE},
    {"BF_DATAMATRIX", BF_DATAMATRIX},
    {"BF_AZTEC", 0x10000000ull},
    {"BF_MAXICODE", 0x20000000ull},
    {"BF_MICRO_QR", 0x40000000ull},
    {"BF_MICRO_PDF417", 0x80000ull},
    {"BF_GS1_COMPOSITE", 0x80000000ull},
    {"BF_MSI_CODE", 0x100000ull},
    {"BF_CODE_11", 0x200000ull},
    {"BF_TWO_DIGIT_ADD_ON", 0x400000ull},
    {"BF_FIVE_DIGIT_ADD_ON", 0x800000ull},
    {"BF_MATRIX_25", 0x1000000000ull},
    {"BF_POSTALCODE", BF_POSTALCODE},
    {"BF_NONSTANDARD_BARCODE", 0x100000000ull},
    {"BF_USPSINTELLIGENTMAIL", 0x10000000000000ull},
    {"BF_POSTNET", 0x20000000000000ull},
    {"BF_PLANET", 0x40000000000000ull},
    {"BF_AUSTRALIANPOST", 0x80000000000000ull},
    {"BF_RM4SCC", 0x100000000000000ull},
    {"BF_KIX", 0x200000000000000ull},
    {"BF_DOTCODE", 0x200000000ull},
    {"BF_PHARMACODE_ONE_TRACK", 0x400000000ull},
    {"BF_PHARMACODE_TWO_TRACK", 0x800000000ull},
    {"BF_PHARMACODE", BF_PHARMACODE},
};
static_assert(std::size(kFormats) == 50);

// The formats legacy templates kept in a second list, each named there as
// "BF2_" + its name after "BF_".
constexpr std::string_view kLegacyFormats2[] = {
    "POSTALCODE", "NONSTANDARD_BARCODE", "USPSINTELLIGENTMAIL", "POSTNET",
    "PLANET",     "AUSTRALIANPOST",      "RM4SCC",              "DOTCODE",
    "PHARMACODE_ONE_TRACK", "PHARMACODE_TWO_TRACK", "PHARMACODE",
};

constexpr BarcodeFormatMask MaskOfSuffix(std::string_view suffix) {
  for (const BarcodeFormatEntry& entry : kFormats) {
    if (std::string_view(entry.name).substr(3) == suffix) return entry.mask;
  }
  return BF_NULL;
}

constexpr BarcodeFormatMask LegacyFormats2Mask() {
  BarcodeFormatMask all = BF_NULL;
  for (std::string_view suffix : kLegacyFormats2) all |= MaskOfSuffix(suffix);
  return all;
}

constexpr BarcodeFormatMask kLowWord = 0xFFFFFFFFull;

bool IsComposite(BarcodeFormatMask mask) {
  return mask == BF_DEFAULT || mask == BF_ONED || mask == BF_GS1_DATABAR ||
         mask == BF_POSTALCODE || mask == BF_PHARMACODE;
}

bool Covers(BarcodeFormatMask mask, BarcodeFormatMask bits) { return (mask & bits) == bits; }

}  // namespace

std::span<const BarcodeFormatEntry> BarcodeFormatTable() { return kFormats; }

EnumTable BarcodeFormatNames() {
  static const std::vector<EnumEntry> names = [] {
    std::vector<EnumEntry> entries;
    for (const BarcodeFormatEntry& entry : kFormats) {
      entries.push_back({entry.name, static_cast<int>(entries.size())});
    }
    return entries;
  }();
  return names;
}

BarcodeFormatMask ParseBarcodeFormatName(std::string_view text) {
  if (text.empty()) return kBarcodeFormatNotFound;
  const std::string_view wanted = TrimSpaces(text);
  if (wanted.empty()) return kBarcodeFormatNotFound;
  for (const BarcodeFormatEntry& entry : kFormats) {
    if (EqualsIgnoringCase(entry.name, wanted)) return entry.mask;
  }
  return kBarcodeFormatNotFound;
}

const char* GetBarcodeFormatName(BarcodeFormatMask mask) {
  for (const BarcodeFormatEntry& entry : kFormats) {
    if (entry.mask == mask) return entry.name;
  }
  return "BF_NULL";
}

std::vector<const char*> BarcodeFormatNameList(BarcodeFormatMask mask) {
  std::vector<const char*> names;
  if (mask == BF_ALL) return {"BF_ALL"};
  // Composites first, each hiding the single formats it covers.
  BarcodeFormatMask covered = 0;
  const auto appendComposite = [&](const char* name, BarcodeFormatMask bits) {
    names.push_back(name);
    covered |= bits;
  };
  const BarcodeFormatMask low = mask & kLowWord;
  if (Covers(low, BF_DEFAULT)) {
    appendComposite("BF_DEFAULT", BF_DEFAULT);
  } else {
    if (Covers(low, BF_ONED)) appendComposite("BF_ONED", BF_ONED);
    if (Covers(low, BF_GS1_DATABAR)) appendComposite("BF_GS1_DATABAR", BF_GS1_DATABAR);
  }
  if (Covers(mask, BF_POSTALCODE)) appendComposite("BF_POSTALCODE", BF_POSTALCODE);
  if (Covers(mask, BF_PHARMACODE)) appendComposite("BF_PHARMACODE", BF_PHARMACODE);
  for (const BarcodeFormatEntry& entry : kFormats) {
    if (entry.mask == 0 || entry.mask == BF_ALL || IsComposite(entry.mask)) continue;
    if ((entry.mask & covered) != 0 || (entry.mask & mask) == 0) continue;
    names.push_back(entry.name);
  }
  // Null or an empty list would read back as the owner's default formats:
  // a mask of no (named) formats is the null format.
  if (names.empty()) names.push_back("BF_NULL");
  return names;
}

Json::Value BarcodeFormatNamesJson(BarcodeFormatMask mask) {
  Json::Value names;  // of static names, held by pointer
  for (const char* name : BarcodeFormatNameList(mask)) names.append(Json::StaticString(name));
  return names;
}

BarcodeFormatMask LegacyFormat2AllMask() { return LegacyFormats2Mask(); }

std::optional<BarcodeFormatMask> LookupLegacyFormatName2(std::string_view name) {
  constexpr std::string_view kPrefix = "BF2_";
  if (name.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  const std::string_view suffix = name.substr(kPrefix.size());
  for (std::string_view legacy : kLegacyFormats2) {
    if (suffix == legacy) return MaskOfSuffix(suffix);
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// QVIP_BarcodeFormatStruct

const ClassMapping& QVIP_BarcodeFormatStruct::Mapping() {
  using S = QVIP_BarcodeFormatStruct;
  // It reads from its owner's object: the other keys are the owner's.
  static const ClassMapping mapping =
      Mapper<S>("BarcodeFormat")
          .IgnoringUnknownKeys()
          .RegisterField(std::make_shared<FormatMaskField<S>>("BarcodeFormatIds", &S::barcodeFormatIds,
                                                             BF_NULL))
          .Build();
  return mapping;
}

}  // namespace quorvane
