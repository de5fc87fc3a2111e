#include "imageparams/small_structures.h"

#include <climits>

#include "framework/field_mapping.h"

namespace quorvane {

// ---------------------------------------------------------------------------
// Global parameter

QV_GlobalParameter::QV_GlobalParameter() {
  static const std::string defaultName = "gp_default";
  name = defaultName;
  ApplyDefaults(Mapping(), *this);
}

const ClassMapping& QV_GlobalParameter::Mapping() {
  using S = QV_GlobalParameter;
  static const ClassMapping mapping =
      Mapper<S>("GlobalParameter")
          .Int("MaxTotalImageDimension", &S::maxTotalImageDimension, 0, 0, INT_MAX)
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Range

QVIP_RangeStruct::QVIP_RangeStruct(int minValue, int maxValue, int lowerBound, int upperBound)
    : minValue(minValue), maxValue(maxValue), lowerBound(lowerBound), upperBound(upperBound) {}

const ClassMapping& QVIP_RangeStruct::Mapping() {
  using S = QVIP_RangeStruct;
  // The bounds are the object's own.
  static const ClassMapping mapping =
      Mapper<S>("Range")
          .Int("MinValue", &S::minValue, &S::lowerBound, &S::upperBound)
          .Int("MaxValue", &S::maxValue, &S::lowerBound, &S::upperBound)
          .Build();
  return mapping;
}

int QVIP_RangeStruct::Validate() {
  if (minValue > maxValue) return FailValidation(errors::kJsonValueInvalid, texts::kMinAboveMax);
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// PDF reading mode

namespace {

using enum QVIP_PDFReadingModeStruct::Mode;
using enum QVIP_PDFReadingModeStruct::RasterDataSource;
constexpr EnumEntry kPdfReadingModes[] = {QV_ENUM_ENTRY(PDFRM_VECTOR), QV_ENUM_ENTRY(PDFRM_RASTER)};
constexpr EnumEntry kRasterDataSources[] = {QV_ENUM_ENTRY(RDS_RASTERIZED_PAGES),
                                            QV_ENUM_ENTRY(RDS_EXTRACTED_IMAGES)};

}  // namespace

QVIP_PDFReadingModeStruct::QVIP_PDFReadingModeStruct() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QVIP_PDFReadingModeStruct::Mapping() {
  using S = QVIP_PDFReadingModeStruct;
  static const ClassMapping mapping =
      Mapper<S>("PDFReadingMode")
          // Vector reading is named by the format but not supported.
          .Enum("Mode", &S::mode, PDFRM_RASTER, kPdfReadingModes, kNoFlags,
                {.refused = PDFRM_VECTOR})
          .Enum("RasterDataSource", &S::rasterDataSource, RDS_RASTERIZED_PAGES,
                kRasterDataSources)
          // 0: each page at its own resolution.
          .Int("DPI", &S::dpi, 300, 100, 3000, kNoFlags, {.zeroNotSet = true})
          .Build();
  return mapping;
}

}  // namespace quorvane
