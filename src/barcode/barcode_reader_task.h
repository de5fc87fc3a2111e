#pragma once

// The barcode reader task: which formats to look for, how many barcodes are
// expected, the ordered decoding mode lists, the format specifications that
// refine decoding, and a flat settings record that can be filled from the
// task and applied back to it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "barcode/barcode_format.h"
#include "barcode/decoding_modes.h"
#include "barcode/format_specification.h"
#include "barcode/task_setting.h"

namespace quorvane {

// A flat record of fixed layout (420 bytes, no padding) exchanged with a
// reading engine. A mode slot of 0 holds no mode.
#pragma pack(push, 4)
struct SimplifiedBarcodeReaderSettings {
  std::uint64_t barcodeFormatIds;
  std::int32_t expectedBarcodesCount;
  std::int32_t grayscaleTransformationModes[8];
  std::int32_t grayscaleEnhancementModes[8];
  std::int32_t localizationModes[8];
  std::int32_t deblurModes[10];
  std::int32_t minResultConfidence;
  std::int32_t minBarcodeTextLength;
  char barcodeTextRegExPattern[256];
  std::int32_t maxThreadsInOneTask;
  std::int32_t scaleDownThreshold;
};
#pragma pack(pop)

static_assert(std::is_standard_layout_v<SimplifiedBarcodeReaderSettings>);
static_assert(sizeof(SimplifiedBarcodeReaderSettings) == 420);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, barcodeFormatIds) == 0);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, expectedBarcodesCount) == 8);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, grayscaleTransformationModes) == 12);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, grayscaleEnhancementModes) == 44);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, localizationModes) == 76);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, deblurModes) == 108);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, minResultConfidence) == 148);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, minBarcodeTextLength) == 152);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, barcodeTextRegExPattern) == 156);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, maxThreadsInOneTask) == 412);
static_assert(offsetof(SimplifiedBarcodeReaderSettings, scaleDownThreshold) == 416);

// Type name "BarcodeReaderTaskSetting", named "zqa_task_default".
class ZQA_BarcodeReaderTaskSetting : public QV_TaskSettingBase {
 public:
  ZQA_BarcodeReaderTaskSetting();

  // "BarcodeFormatIds" is read by the format structure first; a failure there
  // ends the read before any other key.
  QV_MAPPED_CLASS()
  // The given names, then the name of each held specification that no
  // named one covers.
  const std::vector<std::string>& GetFormatSpecificationNames() override;
  int GetSimplifiedSettings(SimplifiedBarcodeReaderSettings* settings) override;
  int UpdateWithSimplifiedSettings(const SimplifiedBarcodeReaderSettings* settings,
                                   char* errorBuffer, int errorBufferLength) override;
  // Region predetection, barcode localization, barcode decoding.
  std::vector<SectionType>& GetSections() override;

  // The specifications the names resolve to, found once and then kept.
  std::vector<QVRef<ZQA_BarcodeFormatSpecification>>& GetFormatSpecifications();

  int expectedBarcodesCount;
  QVIP_BarcodeFormatStruct barcodeFormat;
  std::vector<DeblurModeStruct> deblurModes;
  std::vector<LocalizationModeStruct> localizationModes;
  std::vector<DPMCodeReadingModeStruct> dpmCodeReadingModes;
  std::vector<BarcodeColourModeStruct> barcodeColourModes;
  std::vector<BarcodeComplementModeStruct> barcodeComplementModes;
  std::vector<DeformationResistingModeStruct> deformationResistingModes;
  int returnBarcodeZoneClarity;
  std::vector<TextResultOrderModeStruct> textResultOrderModes;
  std::vector<QVRef<ZQA_BarcodeFormatSpecification>> resolvedFormatSpecifications;
  // Specifications owned by the task rather than by the document.
  std::vector<QVRef<ZQA_BarcodeFormatSpecification>> heldFormatSpecifications;
  std::vector<std::string> formatSpecificationNameList;

 protected:
  // Applies the record's specification fields to each resolved
  // specification; 0 or -10038.
  int UpdateFormatSpecifications(const SimplifiedBarcodeReaderSettings& settings);
};

}  // namespace quorvane
