#include "barcode/barcode_format.h"

#include <utility>

namespace quorvane {

namespace {

constexpr BarcodeFormatEntry kFormats[] = {
    {"BF_NULL", 0x0},
    {"BF_ALL", 0xFFFFFFFFFFFFFFFFull},
    {"BF_DEFAULT", 0xFE3BFFFFull},
    {"BF_ONED", 0x3007FFull},
    {"BF_GS1_DATABAR", 0x3F800ull},
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
    {"BF_QR_CODE", 0x4000000ull},
    {"BF_DATAMATRIX", 0x8000000ull},
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
    {"BF_POSTALCODE", 0x3F0000000000000ull},
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
    {"BF_PHARMACODE", 0xC00000000ull},
};
static_assert(std::size(kFormats) == 50);

constexpr std::pair<const char*, BarcodeFormatMask> kLegacyFormats2[] = {
    {"BF2_POSTALCODE", 0x03F0000000000000ull},
    {"BF2_NONSTANDARD_BARCODE", 0x0000000100000000ull},
    {"BF2_USPSINTELLIGENTMAIL", 0x0010000000000000ull},
    {"BF2_POSTNET", 0x0020000000000000ull},
    {"BF2_PLANET", 0x0040000000000000ull},
    {"BF2_AUSTRALIANPOST", 0x0080000000000000ull},
    {"BF2_RM4SCC", 0x0100000000000000ull},
    {"BF2_DOTCODE", 0x0000000200000000ull},
    {"BF2_PHARMACODE_ONE_TRACK", 0x0000000400000000ull},
    {"BF2_PHARMACODE_TWO_TRACK", 0x0000000800000000ull},
    {"BF2_PHARMACODE", 0x0000000C00000000ull},
};

constexpr BarcodeFormatMask kLowWord = 0xFFFFFFFFull;

bool IsComposite(BarcodeFormatMask mask) {
  return mask == BF_DEFAULT || mask == BF_ONED || mask == BF_GS1_DATABAR ||
         mask == BF_POSTALCODE || mask == BF_PHARMACODE;
}

bool Covers(BarcodeFormatMask mask, BarcodeFormatMask bits) { return (mask & bits) == bits; }

}  // namespace

std::span<const BarcodeFormatEntry> BarcodeFormatTable() { return kFormats; }

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

Json::Value BarcodeFormatNamesJson(BarcodeFormatMask mask) {
  Json::Value names;  // of static names, held by pointer
  if (mask == BF_ALL) {
    names.append(Json::StaticString("BF_ALL"));
    return names;
  }
  // Composites first, each hiding the single formats it covers.
  BarcodeFormatMask covered = 0;
  const auto appendComposite = [&](const char* name, BarcodeFormatMask bits) {
    names.append(Json::StaticString(name));
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
    names.append(Json::StaticString(entry.name));
  }
  return names;
}

std::optional<BarcodeFormatMask> LookupLegacyFormatName2(std::string_view name) {
  for (const auto& [legacyName, mask] : kLegacyFormats2) {
    if (name == legacyName) return mask;
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// QVIP_BarcodeFormatStruct

const std::string& QVIP_BarcodeFormatStruct::GetTypeName() const {
  static const std::string typeName = "BarcodeFormat";
  return typeName;
}

int QVIP_BarcodeFormatStruct::ReadFromJson(const Json::Value& value,
                                           const SkippedKeys& skippedKeys) {
  InitFieldTable();
  // The structure reads from its owner's object: other keys are the owner's.
  if (value.isObject()) return ReadFields(value, skippedKeys, true);
  return value.isNull() ? errors::kSuccess : errors::kJsonTypeInvalid;
}

void QVIP_BarcodeFormatStruct::InitFieldTable() {
  RegisterField("BarcodeFormatIds", [this](const Json::Value& object) {
    int error = errors::kSuccess;
    const QVRef<QVVector<std::string_view>> names =
        GetStringArrayValue(object, "BarcodeFormatIds", error);
    if (error != errors::kSuccess) return error;
    if (!names) return errors::kSuccess;
    barcodeFormatIds = 0;
    for (std::string_view text : names->items) {
      const BarcodeFormatMask mask = ParseBarcodeFormatName(text);
      if (mask == kBarcodeFormatNotFound) return errors::kJsonValueInvalid;
      barcodeFormatIds |= mask;
    }
    return errors::kSuccess;
  });
}

void QVIP_BarcodeFormatStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["BarcodeFormatIds"_key] = BarcodeFormatNamesJson(barcodeFormatIds);
}

}  // namespace quorvane
