#pragma once

// The base of every task setting: the ordered sections (processing stages) a
// job runs, the image parameter each section uses, where the job starts and
// where it may stop, and how many threads it may use. Also the two small
// structures a task owns and the section and stage vocabularies.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/document_base.h"
#include "framework/enum_table.h"
#include "framework/failure.h"
#include "framework/object_base.h"
#include "framework/parameter_field_base.h"
#include "imageparams/image_parameter.h"

namespace quorvane {

enum SectionType : int {
  ST_NULL = 0,
  ST_REGION_PREDETECTION = 1,
  ST_BARCODE_LOCALIZATION = 2,
  ST_BARCODE_DECODING = 3,
  ST_TEXT_LINE_LOCALIZATION = 4,
  ST_TEXT_LINE_RECOGNITION = 5,
  ST_DOCUMENT_DETECTION = 6,
  ST_DOCUMENT_NORMALIZATION = 7,
};

// Intermediate results a section may stop after. Held as 64 bits; every
// defined value fits in 32.
enum StageType : std::uint64_t {
  IRUT_NULL = 0x0,
  IRUT_COLOUR_IMAGE = 0x1,
  IRUT_SCALED_DOWN_COLOUR_IMAGE = 0x2,
  IRUT_GRAYSCALE_IMAGE = 0x4,
  IRUT_TRANSFORMED_GRAYSCALE_IMAGE = 0x8,
  IRUT_ENHANCED_GRAYSCALE_IMAGE = 0x10,
  IRUT_PREDETECTED_REGIONS = 0x20,
  IRUT_BINARY_IMAGE = 0x40,
  IRUT_TEXTURE_DETECTION_RESULT = 0x80,
  IRUT_TEXTURE_REMOVED_GRAYSCALE_IMAGE = 0x100,
  IRUT_TEXTURE_REMOVED_BINARY_IMAGE = 0x200,
  IRUT_CONTOURS = 0x400,
  IRUT_LINE_SEGMENTS = 0x800,
  IRUT_TEXT_ZONES = 0x1000,
  IRUT_TEXT_REMOVED_BINARY_IMAGE = 0x2000,
  IRUT_CANDIDATE_BARCODE_ZONES = 0x4000,
  IRUT_LOCALIZED_BARCODES = 0x8000,
  IRUT_SCALED_UP_BARCODE_IMAGE = 0x10000,
  IRUT_DEFORMATION_RESISTED_BARCODE_IMAGE = 0x20000,
  IRUT_COMPLEMENTED_BARCODE_IMAGE = 0x40000,
  IRUT_DECODED_BARCODES = 0x80000,
  IRUT_LONG_LINES = 0x100000,
  IRUT_CORNERS = 0x200000,
  IRUT_CANDIDATE_QUAD_EDGES = 0x400000,
  IRUT_DETECTED_QUADS = 0x800000,
  IRUT_LOCALIZED_TEXT_LINES = 0x1000000,
  IRUT_RECOGNIZED_TEXT_LINES = 0x2000000,
  IRUT_NORMALIZED_IMAGES = 0x4000000,
  IRUT_SHORT_LINES = 0x8000000,
};

// Whether `stage` may end `section` (IRUT_NULL ends any section; ST_NULL
// takes no other stage). Stages compare whole: no combination of bits fits.
bool IsStageAllowedInSection(int section, std::uint64_t stage);

// Where a task may stop, type name "TerminateSetting". Accepts no common keys.
class QVIP_TerminateSettingStruct : public QV_ParameterFieldBase {
 public:
  QVIP_TerminateSettingStruct();

  QV_MAPPED_CLASS()

  SectionType section;
  // A StageType value; 64 bits so that code may hold any mask in it.
  std::uint64_t stage;
};

// Which image parameter a section uses, type name "SectionImageParameter".
// Accepts no common keys.
class QVIP_SectionImageParameterStruct : public QV_ParameterFieldBase {
 public:
  QVIP_SectionImageParameterStruct();
  QVIP_SectionImageParameterStruct(SectionType section, std::string imageParameterName,
                                   int continueWhenPartialResultsGenerated = 1);

  QV_MAPPED_CLASS()

  SectionType section;
  std::string imageParameterName;
  int continueWhenPartialResultsGenerated;
};

struct SimplifiedBarcodeReaderSettings;

// Type name "TaskSetting". Abstract: a concrete task gives its sections and
// its flat settings record.
class QV_TaskSettingBase : public QV_ParameterFieldBase {
 public:
  QV_TaskSettingBase();

  QV_MAPPED_CLASS()
  const std::string& GetBaseName() const override;
  // Reads the fields, then adds a default entry for each section without
  // one (also after a failure), then checks the terminate setting, whose
  // failure (-10033) replaces any other result.
  int ReadFromJson(const Json::Value& value, const SkippedKeys& skippedKeys) override;
  // Gives each section its entry first.
  void WriteToJson(bool flag) override;
  void WriteText(StyledText& text, bool flag) override;

  // Slot 8.
  virtual const std::vector<std::string>& GetFormatSpecificationNames();
  // Slot 9: fills `settings` from the task; 0 or an error code.
  virtual int GetSimplifiedSettings(SimplifiedBarcodeReaderSettings* settings) = 0;
  // Slot 10: applies `settings` to the task; a message of a failure goes to
  // `errorBuffer` too, cut to its length.
  virtual int UpdateWithSimplifiedSettings(const SimplifiedBarcodeReaderSettings* settings,
                                           char* errorBuffer, int errorBufferLength) = 0;
  // Slot 11: nothing uses it.
  virtual void* GetReserved();
  // Slot 12: the sections the task runs, in order.
  virtual std::vector<SectionType>& GetSections();

  void SetBaseName(const std::string& text);
  void SetFormatSpecificationNames(const std::vector<std::string>& names);
  void SetSectionImageParameters(const std::vector<QVIP_SectionImageParameterStruct>& entries);

  // Appends, for each section of GetSections() without an entry, one entry
  // naming the task's default image parameter ("ip_zqeDefault" when the
  // task localizes text lines, else "ip_zqiDefault" when it detects
  // documents, else "ip_default"). Existing entries stay as they are.
  void FillDefaultSectionImageParameters();
  // -10033, with type name + ":TerminateSetting:" + the code's text, when
  // the terminate stage cannot end its section; else none.
  Failure CheckTerminateSetting() const;
  // The image parameter that every section names, found in the owner
  // document; null when the sections name several, or there is no document
  // or no such image parameter.
  QVRef<QV_ImageParameter> GetSingleImageParameter();

  SectionType startSection;
  QVIP_TerminateSettingStruct terminateSetting;
  int maxThreadsInOneTask;
  // Not owned; only used to look sections up by name. The converter leaves
  // it null.
  basic_structures::LMFParameterBase* ownerDocument = nullptr;
  std::vector<QVIP_SectionImageParameterStruct> sectionImageParameters;
  std::vector<std::string> formatSpecificationNames;
  std::vector<SectionType> sections;
  std::string baseName;
};

}  // namespace quorvane
