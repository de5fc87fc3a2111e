#include "legacy/legacy_modes.h"

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>

namespace quorvane {

namespace {

constexpr std::string_view kModeKey = "Mode";

// True for a family whose argument bounds follow the mode (the colour groups
// of region predetection). Such an object has its "Mode" read before the
// other keys, as the current family does, or a legacy object could not give
// the groups its mode allows.
template <class Current>
bool BoundsFollowMode() {
  static const bool follows = [] {
    const auto& arguments = Current::Family().arguments;
    return std::any_of(arguments.begin(), arguments.end(),
                       [](const auto& argument) { return argument.boundsMode != kNoBoundsMode; });
  }();
  return follows;
}

bool Skips(const SkippedKeys& skippedKeys, std::string_view key) {
  return std::find(skippedKeys.begin(), skippedKeys.end(), key) != skippedKeys.end();
}

}  // namespace

template <class Current>
int LegacyModeStructure<Current>::ReadFromJson(const Json::Value& value,
                                               const SkippedKeys& skippedKeys) {
  this->InitFieldTable();
  if (value.isObject()) {
    const FieldReader* modeReader = nullptr;
    if (BoundsFollowMode<Current>() && FindMember(value, kModeKey) &&
        !Skips(skippedKeys, kModeKey)) {
      modeReader = this->fieldTable.Find(kModeKey);
    }
    if (!modeReader) return this->ReadFields(value, skippedKeys, false);
    const FieldReader readMode = *modeReader;  // a reader may register keys again
    const int result = readMode(value);
    if (result != errors::kSuccess) {
      this->errorMessage = this->GetTypeName() + ":" + this->errorMessage;
      return result;
    }
    if (skippedKeys.empty()) {
      static const SkippedKeys onlyMode{std::string(kModeKey)};
      return this->ReadFields(value, onlyMode, false);
    }
    SkippedKeys withMode(skippedKeys);
    withMode.emplace_back(kModeKey);
    return this->ReadFields(value, withMode, false);
  }
  if (value.isString()) {
    const char* begin = nullptr;
    const char* end = nullptr;
    value.getString(&begin, &end);
    const int found = LookupEnumValue(Current::Family().modes,
                                      std::string_view(begin, static_cast<std::size_t>(end - begin)));
    if (found == kEnumNotFound) {
      this->errorMessage = this->GetTypeName() + " error";
      return errors::kJsonValueInvalid;
    }
    this->mode = found;
    return errors::kSuccess;
  }
  if (value.isNull()) return errors::kSuccess;
  this->errorMessage = this->GetTypeName();
  return errors::kJsonTypeInvalid;
}

// ---------------------------------------------------------------------------
// Binarization

void OldBinarizationModeStruct::InitFieldTable() {
  struct Alias {
    const char* key;
    int QVIP_BinarizationModeStruct::*member;
    int minimum;
    int maximum;
  };
  using S = QVIP_BinarizationModeStruct;
  static constexpr Alias kAliases[] = {
      {"ThreshValueCoefficient", &S::thresholdCompensation, -255, 255},
      {"ThresholdValueCoefficient", &S::thresholdCompensation, -255, 255},
      {"ImagePreprocessingModesIndex", &S::grayscaleEnhancementModesIndex, -1, INT_MAX},
  };
  LegacyModeStructure::InitFieldTable();
  for (const Alias& alias : kAliases) {
    RegisterIntField(alias.key, &(this->*alias.member), alias.minimum, alias.maximum);
  }
}

// ---------------------------------------------------------------------------
// Localization

void OldLocalizationModeStruct::InitFieldTable() {
  LegacyModeStructure::InitFieldTable();
  RegisterField(kModeKey, [this](const Json::Value& object) {
    const Json::Value* value = FindMember(object, kModeKey);
    const char* begin = nullptr;
    const char* end = nullptr;
    if (value && value->getString(&begin, &end) &&
        std::string_view(begin, static_cast<std::size_t>(end - begin)) == "LM_AUTO") {
      mode = LM_SKIP;
      return errors::kSuccess;
    }
    return GetEnumValue(object, kModeKey, Family().modes, &mode);
  });
}

// ---------------------------------------------------------------------------

template class LegacyModeStructure<QVIP_BinarizationModeStruct>;
template class LegacyModeStructure<QVIP_ColourConversionModeStruct>;
template class LegacyModeStructure<QVIP_ScaleUpModeStruct>;
template class LegacyModeStructure<QVIP_GrayscaleTransformationModeStruct>;
template class LegacyModeStructure<QVIP_TextureDetectionModeStruct>;
template class LegacyModeStructure<QVIP_RegionPredetectionModeStruct>;
template class LegacyModeStructure<DeblurModeStruct>;
template class LegacyModeStructure<LocalizationModeStruct>;
template class LegacyModeStructure<DPMCodeReadingModeStruct>;
template class LegacyModeStructure<BarcodeColourModeStruct>;
template class LegacyModeStructure<BarcodeComplementModeStruct>;
template class LegacyModeStructure<DeformationResistingModeStruct>;
template class LegacyModeStructure<TextResultOrderModeStruct>;

}  // namespace quorvane
