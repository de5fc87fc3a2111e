#pragma once

// The image side of a legacy "ImageParameter" object. It is an image
// parameter of the current format that reads the legacy object: every key the
// current image parameter knows is read as such (keys it does not know, such
// as the barcode keys of the legacy object, pass silently), six mode lists
// are read in their legacy form, and the legacy "ImagePreprocessingModes"
// become grayscale enhancement modes and, for morphology, a binarization
// mode. What is left is the current-format part.

#include <json/json.h>

#include "imageparams/image_parameter.h"

namespace quorvane {

class OldImageParameterReader : public QV_ImageParameter {
 public:
  // The image parameter defaults with text line detection and text zone
  // erasing, which a legacy object has unless it says otherwise.
  OldImageParameterReader();

  // The image parameter's keys, with the legacy forms of six mode lists
  // (binarization, colour conversion, scale-up, grayscale transformation,
  // texture detection, region predetection; grayscale enhancement keeps its
  // current reader) and "ImagePreprocessingModes", converted after every
  // other key.
  QV_MAPPED_CLASS()

  // Reads a legacy object (null reads as an empty object). Returns 0 or an
  // error code with its message in errorMessage: a key that fails gives
  // "ImageParameter" + key + " invalid".
  int ReadLegacyJson(const Json::Value& value);
};

}  // namespace quorvane
