#include "imageparams/small_structures.h"

#include <climits>

namespace quorvane {

// ---------------------------------------------------------------------------
// Global parameter

QV_GlobalParameter::QV_GlobalParameter() {
  static const std::string defaultName = "gp_default";
  name = defaultName;
}

const std::string& QV_GlobalParameter::GetTypeName() const {
  static const std::string typeName = "GlobalParameter";
  return typeName;
}

void QV_GlobalParameter::InitFieldTable() {
  RegisterIntField("MaxTotalImageDimension", &maxTotalImageDimension, 0, INT_MAX);
}

void QV_GlobalParameter::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["MaxTotalImageDimension"_key] = maxTotalImageDimension;
}

// ---------------------------------------------------------------------------
// Range

QVIP_RangeStruct::QVIP_RangeStruct(int minValue, int maxValue, int lowerBound, int upperBound)
    : minValue(minValue), maxValue(maxValue), lowerBound(lowerBound), upperBound(upperBound) {}

const std::string& QVIP_RangeStruct::GetTypeName() const {
  static const std::string typeName = "Range";
  return typeName;
}

void QVIP_RangeStruct::InitFieldTable() {
  // The bounds are this object's own, so they are bound afresh on every read.
  RegisterIntField("MinValue", &minValue, lowerBound, upperBound);
  RegisterIntField("MaxValue", &maxValue, lowerBound, upperBound);
}

void QVIP_RangeStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["MinValue"_key] = minValue;
  json["MaxValue"_key] = maxValue;
}

int QVIP_RangeStruct::Validate() {
  if (minValue > maxValue) {
    errorMessage = GetTypeName() + " error: min > max.";
    return errors::kJsonValueInvalid;
  }
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// PDF reading mode

namespace {

constexpr EnumEntry kPdfReadingModes[] = {{"PDFRM_VECTOR", 1}, {"PDFRM_RASTER", 2}};
constexpr EnumEntry kRasterDataSources[] = {{"RDS_RASTERIZED_PAGES", 0},
                                            {"RDS_EXTRACTED_IMAGES", 1}};

}  // namespace

const std::string& QVIP_PDFReadingModeStruct::GetTypeName() const {
  static const std::string typeName = "PDFReadingMode";
  return typeName;
}

void QVIP_PDFReadingModeStruct::InitFieldTable() {
  RegisterField("Mode", [this](const Json::Value& object) {
    const int result = GetEnumValue(object, "Mode", kPdfReadingModes, &mode);
    if (result != errors::kSuccess) return result;
    // Vector reading is named by the format but not supported.
    return mode == PDFRM_VECTOR ? errors::kJsonValueInvalid : errors::kSuccess;
  });
  RegisterEnumField("RasterDataSource", &rasterDataSource, kRasterDataSources);
  RegisterField("DPI", [this](const Json::Value& object) {
    int error = errors::kSuccess;
    const int value = GetIntValue(object, "DPI", error);
    if (error != errors::kSuccess) return error;
    if (value != 0 && (value < 100 || value > 3000)) return errors::kJsonValueInvalid;
    dpi = value;
    return errors::kSuccess;
  });
}

void QVIP_PDFReadingModeStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["Mode"_key] = Json::StaticString(EnumName(kPdfReadingModes, mode));
  json["RasterDataSource"_key] = Json::StaticString(EnumName(kRasterDataSources, rasterDataSource));
  json["DPI"_key] = dpi;
}

}  // namespace quorvane
