#pragma once

// Barcode formats: a 64-bit mask with one bit per format, written in JSON as
// a list of "BF_" names, with named composites for groups of bits.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/parameter_field_base.h"

namespace quorvane {

using BarcodeFormatMask = std::uint64_t;

inline constexpr BarcodeFormatMask BF_NULL = 0x0;
inline constexpr BarcodeFormatMask BF_ALL = 0xFFFFFFFFFFFFFFFFull;
inline constexpr BarcodeFormatMask BF_DEFAULT = 0xFE3BFFFFull;
inline constexpr BarcodeFormatMask BF_ONED = 0x3007FFull;
inline constexpr BarcodeFormatMask BF_GS1_DATABAR = 0x3F800ull;
inline constexpr BarcodeFormatMask BF_QR_CODE = 0x4000000ull;
inline constexpr BarcodeFormatMask BF_DATAMATRIX = 0x8000000ull;
inline constexpr BarcodeFormatMask BF_POSTALCODE = 0x3F0000000000000ull;
inline constexpr BarcodeFormatMask BF_PHARMACODE = 0xC00000000ull;

// The result of a failed name look-up (-999 as 64 bits); no format has it.
inline constexpr BarcodeFormatMask kBarcodeFormatNotFound = 0xFFFFFFFFFFFFFC19ull;

struct BarcodeFormatEntry {
  const char* name;
  BarcodeFormatMask mask;
};

// The 50 format names in their fixed order.
std::span<const BarcodeFormatEntry> BarcodeFormatTable();

// The mask of a format name (ASCII case-insensitive, spaces around it
// ignored); kBarcodeFormatNotFound when no name matches.
BarcodeFormatMask ParseBarcodeFormatName(std::string_view text);

// The name of the first entry whose mask equals `mask` exactly; "BF_NULL"
// when there is none.
const char* GetBarcodeFormatName(BarcodeFormatMask mask);

// The shortest list of names that the writing rules give for `mask`: a JSON
// array of names, or null for 0.
Json::Value BarcodeFormatNamesJson(BarcodeFormatMask mask);

// Legacy templates kept some formats in a second list of "BF2_" names. The
// mask of such a name (exact, case-sensitive); nothing for "BF2_NULL",
// "BF2_ALL" and unknown names, which the legacy reader treats itself.
std::optional<BarcodeFormatMask> LookupLegacyFormatName2(std::string_view name);
// The OR of every "BF2_" mask: what "BF2_ALL" stands for.
inline constexpr BarcodeFormatMask kLegacyFormat2All = 0x3F0000F00000000ull;

// Holds a format mask and reads "BarcodeFormatIds" from its owner's object,
// ignoring every other key of it.
class QVIP_BarcodeFormatStruct : public QV_ParameterFieldBase {
 public:
  explicit QVIP_BarcodeFormatStruct(BarcodeFormatMask mask = BF_NULL) : barcodeFormatIds(mask) {}

  const std::string& GetTypeName() const override;
  int ReadFromJson(const Json::Value& value, const SkippedKeys& skippedKeys) override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  BarcodeFormatMask barcodeFormatIds;
};

}  // namespace quorvane
