#include "barcode/format_specification.h"

#include <climits>
#include <utility>

namespace quorvane {

// ---------------------------------------------------------------------------
// Patch code searching margins

namespace {

using Margins = PatchCodeSearchingMarginStruct;

struct MarginKey {
  const char* key;
  int Margins::*member;
};

// In the order the margins are validated.
constexpr MarginKey kMarginKeys[] = {
    {"Top", &Margins::top},
    {"Left", &Margins::left},
    {"Right", &Margins::right},
    {"Bottom", &Margins::bottom},
};

constexpr int kPercentageMarginLimit = 50;

}  // namespace

const std::string& PatchCodeSearchingMarginStruct::GetTypeName() const {
  static const std::string typeName = "PatchCodeSearchingMargin";
  return typeName;
}

void PatchCodeSearchingMarginStruct::InitFieldTable() {
  RegisterCommonFields();
  for (const MarginKey& margin : kMarginKeys) {
    RegisterIntField(margin.key, &(this->*margin.member), 0, INT_MAX);
  }
  RegisterIntField("MeasuredByPercentage", &measuredByPercentage, 0, 1);
}

void PatchCodeSearchingMarginStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  for (const MarginKey& margin : kMarginKeys) json[Json::StaticString(margin.key)] = this->*margin.member;
  json["MeasuredByPercentage"_key] = measuredByPercentage;
}

int PatchCodeSearchingMarginStruct::Validate() {
  // The integer reader lets -1 through; it is no margin, so it fails here.
  const int limit = measuredByPercentage != 0 ? kPercentageMarginLimit : INT_MAX;
  for (const MarginKey& margin : kMarginKeys) {
    const int value = this->*margin.member;
    if (value < 0 || value > limit) {
      errorMessage = std::string(margin.key) + " : out of range.";
      return errors::kJsonValueInvalid;
    }
  }
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// Format specification

namespace {

using Spec = ZQA_BarcodeFormatSpecification;

struct IntKey {
  const char* key;
  int Spec::*member;
  int defaultValue;
  int maximum;  // every minimum is 0
};

// In reading and writing order.
constexpr IntKey kIntKeys[] = {
    {"AllModuleDeviation", &Spec::allModuleDeviation, 0, INT_MAX},
    {"BarcodeZoneMinDistanceToImageBorders", &Spec::barcodeZoneMinDistanceToImageBorders, 0,
     INT_MAX},
    {"EnableDataMatrixECC000-140", &Spec::enableDataMatrixECC000_140, 0, 1},
    {"EnableQRCodeModel1", &Spec::enableQRCodeModel1, 0, 1},
    {"FindUnevenModuleBarcode", &Spec::findUnevenModuleBarcode, 1, 1},
    {"MinQuietZoneWidth", &Spec::minQuietZoneWidth, 4, INT_MAX},
    {"MinRatioOfBarcodeZoneWidthToHeight", &Spec::minRatioOfBarcodeZoneWidthToHeight, 0, 10000},
    {"MinResultConfidence", &Spec::minResultConfidence, 30, 100},
    {"RequireStartStopChars", &Spec::requireStartStopChars, 1, 1},
    {"ReturnPartialBarcodeValue", &Spec::returnPartialBarcodeValue, 1, 1},
    {"VerifyCheckDigit", &Spec::verifyCheckDigit, 0, 1},
    {"EnableAddOnCode", &Spec::enableAddOnCode, 0, 1},
};

struct StringKey {
  const char* key;
  std::string Spec::*member;
  const char* defaultValue;
};

// In reading and writing order; the texts are stored as given, unchecked.
constexpr StringKey kStringKeys[] = {
    {"AustralianPostEncodingTable", &Spec::australianPostEncodingTable, "C"},
    {"BarcodeTextRegExPattern", &Spec::barcodeTextRegExPattern, ""},
    {"Code128Subset", &Spec::code128Subset, ""},
    {"HeadModuleRatio", &Spec::headModuleRatio, ""},
    {"StandardFormat", &Spec::standardFormat, ""},
    {"TailModuleRatio", &Spec::tailModuleRatio, ""},
    {"BaseBarcodeFormatSpecification", &Spec::baseBarcodeFormatSpecification, ""},
};

constexpr EnumEntry kMirrorModes[] = {{"MM_NORMAL", 1}, {"MM_MIRROR", 2}, {"MM_BOTH", 4}};
constexpr EnumEntry kMsiCheckDigitCalculations[] = {
    {"MSICCDC_NO_CHECK_DIGIT", 1}, {"MSICCDC_MOD_10", 2},     {"MSICCDC_MOD_11", 4},
    {"MSICCDC_MOD_1110", 8},       {"MSICCDC_MOD_1010", 0x10},
};
constexpr EnumEntry kPartitionModes[] = {{"PM_WHOLE_BARCODE", 1}, {"PM_ALIGNMENT_PARTITION", 2}};

constexpr const char* kPartitionModesKey = "PartitionModes";

}  // namespace

ZQA_BarcodeFormatSpecification::ZQA_BarcodeFormatSpecification() {
  for (const IntKey& field : kIntKeys) this->*field.member = field.defaultValue;
  for (const StringKey& field : kStringKeys) this->*field.member = field.defaultValue;
}

template <class Visit>
void ZQA_BarcodeFormatSpecification::ForEachList(Visit&& visit) {
  visit("BarcodeAngleRangeArray", barcodeAngleRangeArray);
  visit("BarcodeBytesLengthRangeArray", barcodeBytesLengthRangeArray);
  visit("BarcodeComplementModes", barcodeComplementModes);
  visit("BarcodeHeightRangeArray", barcodeHeightRangeArray);
  visit("BarcodeTextLengthRangeArray", barcodeTextLengthRangeArray);
  visit("BarcodeWidthRangeArray", barcodeWidthRangeArray);
  visit("BarcodeZoneBarCountRangeArray", barcodeZoneBarCountRangeArray);
  visit("DeformationResistingModes", deformationResistingModes);
  visit("ModuleSizeRangeArray", moduleSizeRangeArray);
}

const std::string& ZQA_BarcodeFormatSpecification::GetTypeName() const {
  static const std::string typeName = "BarcodeFormatSpecification";
  return typeName;
}

const std::string& ZQA_BarcodeFormatSpecification::GetBaseName() const {
  return baseBarcodeFormatSpecification;
}

void ZQA_BarcodeFormatSpecification::InitFieldTable() {
  RegisterCommonFields();
  for (const IntKey& field : kIntKeys) {
    RegisterIntField(field.key, &(this->*field.member), 0, field.maximum);
  }
  for (const StringKey& field : kStringKeys) RegisterStringField(field.key, &(this->*field.member));
  // Every list here may be emptied by an empty array.
  ForEachList([this](const char* key, auto& list) { RegisterObjectListField(key, &list, true); });
  RegisterEnumField("MirrorMode", &mirrorMode, kMirrorModes);
  RegisterEnumField("MSICodeCheckDigitCalculation", &msiCodeCheckDigitCalculation,
                    kMsiCheckDigitCalculations);
  RegisterField(kPartitionModesKey, [this](const Json::Value& object) {
    int error = errors::kSuccess;
    const QVRef<QVVector<std::string_view>> names =
        GetStringArrayValue(object, kPartitionModesKey, error);
    if (error != errors::kSuccess) return error;
    // Null: nothing given, the list stays.
    if (!names) return errors::kSuccess;
    if (names->items.empty()) {
      errorMessage = std::string(kPartitionModesKey) + GetErrorString(errors::kJsonValueInvalid);
      return errors::kJsonValueInvalid;
    }
    std::vector<int> read;
    read.reserve(names->items.size());
    for (std::string_view text : names->items) {
      const int value = LookupEnumValue(kPartitionModes, text);
      if (value == kEnumNotFound) {
        errorMessage = std::string(kPartitionModesKey) + " : out of range.";
        return errors::kJsonValueInvalid;
      }
      read.push_back(value);
    }
    partitionModes = std::move(read);
    return errors::kSuccess;
  });
  RegisterEmbeddedField("PatchCodeSearchingMargins", &patchCodeSearchingMargins);
}

int ZQA_BarcodeFormatSpecification::ReadFromJson(const Json::Value& value,
                                                 const SkippedKeys& skippedKeys) {
  const int result = barcodeFormatIds.ReadFromJson(value, skippedKeys);
  if (result != errors::kSuccess) {
    errorMessage = barcodeFormatIds.errorMessage;
    return result;
  }
  SkippedKeys skipped;
  skipped.reserve(skippedKeys.size() + 1);
  skipped.assign(skippedKeys.begin(), skippedKeys.end());
  skipped.emplace_back("BarcodeFormatIds");
  return QV_ParameterFieldBase::ReadFromJson(value, skipped);
}

void ZQA_BarcodeFormatSpecification::WriteToJson(bool flag) {
  QV_ParameterFieldBase::WriteToJson(flag);
  barcodeFormatIds.WriteToJson(flag);
  json["BarcodeFormatIds"_key] = std::move(barcodeFormatIds.json["BarcodeFormatIds"]);
  for (const IntKey& field : kIntKeys) json[Json::StaticString(field.key)] = this->*field.member;
  for (const StringKey& field : kStringKeys) json[Json::StaticString(field.key)] = this->*field.member;
  ForEachList([this, flag](const char* key, auto& list) { WriteObjectList(key, list, flag); });
  WriteChild("PatchCodeSearchingMargins", patchCodeSearchingMargins, flag);
  json["MirrorMode"_key] = Json::StaticString(EnumName(kMirrorModes, mirrorMode));
  json["MSICodeCheckDigitCalculation"_key] =
      Json::StaticString(EnumName(kMsiCheckDigitCalculations, msiCodeCheckDigitCalculation));
  Json::Value partitionNames;  // null when empty
  for (int value : partitionModes) partitionNames.append(Json::StaticString(EnumName(kPartitionModes, value)));
  json[Json::StaticString(kPartitionModesKey)] = std::move(partitionNames);
}

}  // namespace quorvane
