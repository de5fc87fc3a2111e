#pragma once

// Barcode formats: a 64-bit mask with one bit per format, written in JSON as
// a list of "BF_" names, with named composites for groups of bits.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/field_mapping.h"
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

// The format names, read as ParseBarcodeFormatName reads them (the values
// are positions in the table, not masks).
EnumTable BarcodeFormatNames();

// The name of the first entry whose mask equals `mask` exactly; "BF_NULL"
// when there is none.
const char* GetBarcodeFormatName(BarcodeFormatMask mask);

// The shortest list of names that the writing rules give for `mask`, as a
// JSON array; ["BF_NULL"] for a mask without any named format, which reads
// back as 0.
Json::Value BarcodeFormatNamesJson(BarcodeFormatMask mask);
// The same names, in the same order.
std::vector<const char*> BarcodeFormatNameList(BarcodeFormatMask mask);

// Legacy templates kept some formats in a second list of "BF2_" names. The
// mask of such a name (exact, case-sensitive); nothing for "BF2_NULL",
// "BF2_ALL" and unknown names, which the legacy reader treats itself.
std::optional<BarcodeFormatMask> LookupLegacyFormatName2(std::string_view name);
// The OR of every "BF2_" mask: what "BF2_ALL" stands for.
BarcodeFormatMask LegacyFormat2AllMask();

// A list of format names into a mask: each name (as ParseBarcodeFormatName
// reads it) adds its bits to an empty mask, "BF_ALL" those of `allMask`; an
// unknown name fails with -10033 and no text of its own; null leaves the
// mask. Written as BarcodeFormatNamesJson gives it.
template <class S>
class FormatMaskField final : public FieldSpec {
 public:
  FormatMaskField(const char* key, BarcodeFormatMask S::*member, BarcodeFormatMask defaultMask,
                  BarcodeFormatMask allMask = BF_ALL)
      : FieldSpec(key, kNoFlags), member_(member), default_(defaultMask), allMask_(allMask) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    BarcodeFormatMask& mask = static_cast<S&>(object).*member_;
    return field_kinds::WithNames(
        object, container, Key(), [&](const std::vector<std::string_view>& names) {
          mask = BF_NULL;
          for (std::string_view text : names) {
            const BarcodeFormatMask bits = ParseBarcodeFormatName(text);
            if (bits == kBarcodeFormatNotFound) return errors::kJsonValueInvalid;
            mask |= bits == BF_ALL ? allMask_ : bits;
          }
          return errors::kSuccess;
        });
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    json[Json::StaticString(Key())] = BarcodeFormatNamesJson(static_cast<S&>(object).*member_);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool) const override {
    const std::vector<const char*> names = BarcodeFormatNameList(static_cast<S&>(object).*member_);
    text.QuotedKey(KeyText());
    text.BeginArray(names.size());
    for (const char* name : names) text.String(name);
    text.EndArray();
  }
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter&) const override {
    return SchemaWriter::ListOf(SchemaWriter::Names(BarcodeFormatNames()), true);
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    static_cast<S&>(object).*member_ = default_;
  }

 private:
  BarcodeFormatMask S::*member_;
  BarcodeFormatMask default_;
  BarcodeFormatMask allMask_;
};

// Holds a format mask and reads "BarcodeFormatIds" from its owner's object,
// ignoring every other key of it.
class QVIP_BarcodeFormatStruct : public QV_ParameterFieldBase {
 public:
  // No formats; owners that start with some say so in their mappings.
  QVIP_BarcodeFormatStruct() { ApplyDefaults(Mapping(), *this); }
  explicit QVIP_BarcodeFormatStruct(BarcodeFormatMask mask) : barcodeFormatIds(mask) {}

  QV_MAPPED_CLASS()

  BarcodeFormatMask barcodeFormatIds;
};

}  // namespace quorvane
