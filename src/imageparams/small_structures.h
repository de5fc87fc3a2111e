#pragma once

// Small parameter objects that several sections share: the template's global
// parameter, the minimum/maximum range every range of the format is shaped
// like, and the PDF reading mode of an image source. None of them accepts the
// common keys ("Name", "LibraryFileName", "LibraryParameters").

#include <string>

#include "framework/parameter_field_base.h"

namespace quorvane {

// The one "GlobalParameter" object of a template.
class QV_GlobalParameter : public QV_ParameterFieldBase {
 public:
  QV_GlobalParameter();

  QV_MAPPED_CLASS()

  int maxTotalImageDimension;
};

// A minimum/maximum pair whose outer bounds are set by its creator and never
// reach JSON. Range kinds derive from it and change only the type name.
class QVIP_RangeStruct : public QV_ParameterFieldBase {
 public:
  QVIP_RangeStruct(int minValue, int maxValue, int lowerBound, int upperBound);

  QV_MAPPED_CLASS()
  int Validate() override;

  int minValue;
  int maxValue;
  int lowerBound;
  int upperBound;
};

// How PDF pages become images; only rasterising is supported.
class QVIP_PDFReadingModeStruct : public QV_ParameterFieldBase {
 public:
  enum Mode : int { PDFRM_VECTOR = 1, PDFRM_RASTER = 2 };
  enum RasterDataSource : int { RDS_RASTERIZED_PAGES = 0, RDS_EXTRACTED_IMAGES = 1 };

  QVIP_PDFReadingModeStruct();

  QV_MAPPED_CLASS()

  int mode;
  int dpi;
  int rasterDataSource;
};

}  // namespace quorvane
