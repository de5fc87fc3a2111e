#pragma once

// The mode structures of the legacy template format. Each is its current
// family with the same members, defaults, type name and writer; only reading
// differs: a legacy list may name a mode by its bare name instead of an
// object, and two families accept older keys. A legacy element is-a current
// element, so its current-format part is taken by copying it into a list of
// the current family (TransferLegacyModes).

#include <json/json.h>

#include <type_traits>
#include <vector>

#include "barcode/decoding_modes.h"
#include "framework/parameter_field_base.h"
#include "imageparams/image_modes.h"

namespace quorvane {

// The legacy reading of a mode structure of family `Current`:
// - an object is read field by field with the family's table, unknown keys
//   refused, and not validated;
// - a string is a bare mode name of the family's enumeration (matched as
//   every enumerated name is); the arguments keep their defaults; an unknown
//   name fails with -10033 and the type name followed by " error";
// - null changes nothing;
// - any other type fails with -10031 and the type name as the message.
template <class Current>
class LegacyModeStructure : public Current {
 public:
  using Current::Current;

  int ReadFromJson(const Json::Value& value, const SkippedKeys& skippedKeys) override;
};

// Also accepts the older names of two arguments: "ThreshValueCoefficient" and
// "ThresholdValueCoefficient" for "ThresholdCompensation", and
// "ImagePreprocessingModesIndex" for "GrayscaleEnhancementModesIndex". When an
// object holds a key and its older name, the later in key order wins.
class OldBinarizationModeStruct : public LegacyModeStructure<QVIP_BinarizationModeStruct> {
 public:
  using LegacyModeStructure::LegacyModeStructure;

  void InitFieldTable() override;
};

// An object's "Mode" may be "LM_AUTO" (exactly so), an older name that now
// means LM_SKIP. The bare name "LM_AUTO" is not in the enumeration and fails.
class OldLocalizationModeStruct : public LegacyModeStructure<LocalizationModeStruct> {
 public:
  using LegacyModeStructure::LegacyModeStructure;

  void InitFieldTable() override;
};

using OldColourConversionModeStruct = LegacyModeStructure<QVIP_ColourConversionModeStruct>;
using OldScaleUpModeStruct = LegacyModeStructure<QVIP_ScaleUpModeStruct>;
using OldGrayscaleTransformationModeStruct =
    LegacyModeStructure<QVIP_GrayscaleTransformationModeStruct>;
using OldTextureDetectionModeStruct = LegacyModeStructure<QVIP_TextureDetectionModeStruct>;
using OldRegionPredetectionModeStruct = LegacyModeStructure<QVIP_RegionPredetectionModeStruct>;
using OldDeblurModeStruct = LegacyModeStructure<DeblurModeStruct>;
using OldDPMCodeReadingModeStruct = LegacyModeStructure<DPMCodeReadingModeStruct>;
using OldBarcodeColourModeStruct = LegacyModeStructure<BarcodeColourModeStruct>;
using OldBarcodeComplementModeStruct = LegacyModeStructure<BarcodeComplementModeStruct>;
using OldDeformationResistingModeStruct = LegacyModeStructure<DeformationResistingModeStruct>;
using OldTextResultOrderModeStruct = LegacyModeStructure<TextResultOrderModeStruct>;

// A non-empty legacy list replaces `current` with the current-format part of
// each of its elements, in order; an empty one leaves `current` as it is.
template <class Old, class Current>
void TransferLegacyModes(const std::vector<Old>& legacy, std::vector<Current>& current) {
  static_assert(std::is_base_of_v<Current, Old>, "a legacy element is-a current element");
  if (legacy.empty()) return;
  current.assign(legacy.begin(), legacy.end());
}

extern template class LegacyModeStructure<QVIP_BinarizationModeStruct>;
extern template class LegacyModeStructure<QVIP_ColourConversionModeStruct>;
extern template class LegacyModeStructure<QVIP_ScaleUpModeStruct>;
extern template class LegacyModeStructure<QVIP_GrayscaleTransformationModeStruct>;
extern template class LegacyModeStructure<QVIP_TextureDetectionModeStruct>;
extern template class LegacyModeStructure<QVIP_RegionPredetectionModeStruct>;
extern template class LegacyModeStructure<DeblurModeStruct>;
extern template class LegacyModeStructure<LocalizationModeStruct>;
extern template class LegacyModeStructure<DPMCodeReadingModeStruct>;
extern template class LegacyModeStructure<BarcodeColourModeStruct>;
extern template class LegacyModeStructure<BarcodeComplementModeStruct>;
extern template class LegacyModeStructure<DeformationResistingModeStruct>;
extern template class LegacyModeStructure<TextResultOrderModeStruct>;

}  // namespace quorvane
