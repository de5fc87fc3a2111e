#pragma once

// The mode structures of the legacy template format. A legacy element is its
// current family with the same members, defaults, type name and writer; only
// reading differs: a legacy list may name a mode by its bare name instead of
// an object, and two families accept older keys besides their current ones.
// The lists of legacy sections read their elements this way
// (LegacyModeLists), straight into the current lists.

#include <json/json.h>

#include <vector>

#include "barcode/decoding_modes.h"
#include "framework/field_mapping.h"
#include "framework/parameter_field_base.h"
#include "imageparams/image_modes.h"

namespace quorvane {

// The keys a legacy element of a family is read with: its current mapping,
// with the older keys of the family where it has them:
// - binarization also takes "ThreshValueCoefficient" and
//   "ThresholdValueCoefficient" for "ThresholdCompensation", and
//   "ImagePreprocessingModesIndex" for "GrayscaleEnhancementModesIndex" (when
//   an object holds a key and its older name, the later in key order wins);
// - localization takes the "Mode" "LM_AUTO" (exactly so), an older name
//   that now means LM_SKIP.
const ClassMapping& LegacyMappingOf(const ClassMapping& current);

// The legacy reading of a mode structure (`element` is one, of any family):
// - an object is read field by field with LegacyMappingOf its mapping,
//   unknown keys refused, and not validated; a key its family reads first
//   fails with the type-name prefix;
// - a string is a bare mode name of the family's enumeration (matched as
//   every enumerated name is); the arguments keep their defaults; an unknown
//   name fails with -10033 and the type name followed by " error";
// - null changes nothing;
// - any other type fails with -10031 and the type name as the message.
int ReadLegacyModeElement(QV_ParameterFieldBase& element, const Json::Value& value,
                          const SkippedKeys& skippedKeys);

// Every mode list of `current` but one of the family `kept`, read the
// legacy way into the current list: each element as ReadLegacyModeElement
// reads it; an empty array accepted by the current list changes nothing.
std::vector<FieldPointer> LegacyModeLists(const ClassMapping& current,
                                          const ClassMapping* kept = nullptr);

// A mode structure of family `Current` read the legacy way.
template <class Current>
class LegacyModeStructure : public Current {
 public:
  using Current::Current;

  const ClassMapping& GetMapping() const override { return LegacyMappingOf(Current::Mapping()); }
  int ReadFromJson(const Json::Value& value, const SkippedKeys& skippedKeys) override {
    return ReadLegacyModeElement(*this, value, skippedKeys);
  }
};

using OldBinarizationModeStruct = LegacyModeStructure<QVIP_BinarizationModeStruct>;
using OldColourConversionModeStruct = LegacyModeStructure<QVIP_ColourConversionModeStruct>;
using OldScaleUpModeStruct = LegacyModeStructure<QVIP_ScaleUpModeStruct>;
using OldGrayscaleTransformationModeStruct =
    LegacyModeStructure<QVIP_GrayscaleTransformationModeStruct>;
using OldTextureDetectionModeStruct = LegacyModeStructure<QVIP_TextureDetectionModeStruct>;
using OldRegionPredetectionModeStruct = LegacyModeStructure<QVIP_RegionPredetectionModeStruct>;
using OldDeblurModeStruct = LegacyModeStructure<DeblurModeStruct>;
using OldLocalizationModeStruct = LegacyModeStructure<LocalizationModeStruct>;
using OldDPMCodeReadingModeStruct = LegacyModeStructure<DPMCodeReadingModeStruct>;
using OldBarcodeColourModeStruct = LegacyModeStructure<BarcodeColourModeStruct>;
using OldBarcodeComplementModeStruct = LegacyModeStructure<BarcodeComplementModeStruct>;
using OldDeformationResistingModeStruct = LegacyModeStructure<DeformationResistingModeStruct>;
using OldTextResultOrderModeStruct = LegacyModeStructure<TextResultOrderModeStruct>;

}  // namespace quorvane
