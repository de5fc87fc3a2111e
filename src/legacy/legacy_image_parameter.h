#pragma once

// The image side of a legacy "ImageParameter" object. It is an image
// parameter of the current format that reads the legacy object: every key the
// current image parameter knows is read as such (keys it does not know, such
// as the barcode keys of the legacy object, pass silently), six mode lists
// are read in their legacy form and then moved into the current lists, and the
// legacy "ImagePreprocessingModes" become grayscale enhancement modes and, for
// morphology, a binarization mode. What is left is the current-format part.

#include <json/json.h>

#include <string>
#include <vector>

#include "imageparams/image_parameter.h"
#include "legacy/legacy_modes.h"

namespace quorvane {

class OldImageParameterReader : public QV_ImageParameter {
 public:
  // The image parameter defaults with text line detection and text zone
  // erasing, which a legacy object has unless it says otherwise.
  OldImageParameterReader();
  OldImageParameterReader(const OldImageParameterReader& other) = default;
  OldImageParameterReader& operator=(const OldImageParameterReader& other) = default;
  ~OldImageParameterReader() override = default;

  // The image parameter's table, with the six legacy mode-list keys reading
  // into the legacy lists.
  void InitFieldTable() override;

  // Reads a legacy object (null reads as an empty object). Returns 0 or an
  // error code; on failure `message` receives the message (it may be this
  // object's own errorMessage).
  int ReadLegacyJson(const Json::Value& value, std::string& message);

  std::vector<OldBinarizationModeStruct> legacyBinarizationModes;
  std::vector<OldColourConversionModeStruct> legacyColourConversionModes;
  std::vector<OldScaleUpModeStruct> legacyScaleUpModes;
  std::vector<OldGrayscaleTransformationModeStruct> legacyGrayscaleTransformationModes;
  std::vector<OldTextureDetectionModeStruct> legacyTextureDetectionModes;
  std::vector<OldRegionPredetectionModeStruct> legacyRegionPredetectionModes;

 private:
  // Calls `visit(key, legacyList, currentList)` for each legacy mode list, in
  // the order the lists are moved over.
  template <class Visit>
  void ForEachLegacyModeList(Visit&& visit) {
    visit("BinarizationModes", legacyBinarizationModes, binarizationModes);
    visit("ColourConversionModes", legacyColourConversionModes, colourConversionModes);
    visit("ScaleUpModes", legacyScaleUpModes, scaleUpModes);
    visit("GrayscaleTransformationModes", legacyGrayscaleTransformationModes,
          grayscaleTransformationModes);
    visit("TextureDetectionModes", legacyTextureDetectionModes, textureDetectionModes);
    visit("RegionPredetectionModes", legacyRegionPredetectionModes, regionPredetectionModes);
  }

  // The elements of a legacy "ImagePreprocessingModes" array, in order.
  int ConvertImagePreprocessingModes(const Json::Value& modes);
};

}  // namespace quorvane
