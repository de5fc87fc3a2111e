#include "barcode/barcode_reader_task.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "framework/document_base.h"
#include "framework/field_mapping.h"

namespace quorvane {

namespace {

constexpr SectionType kBarcodeSections[] = {
    ST_REGION_PREDETECTION,
    ST_BARCODE_LOCALIZATION,
    ST_BARCODE_DECODING,
};

constexpr std::size_t kPatternCapacity =
    sizeof(SimplifiedBarcodeReaderSettings::barcodeTextRegExPattern);

// The record's slots from a mode list: slot i holds the mode of element i,
// 0 past the end of the list; elements past the last slot are left out.
template <class T, std::size_t N>
void FillSlots(std::int32_t (&slots)[N], const std::vector<T>& list) {
  for (std::size_t i = 0; i < N; ++i) slots[i] = i < list.size() ? list[i].mode : 0;
}

// A mode list from the record's slots. Where slot i repeats the mode of the
// element already at i, that element stays with its arguments; any other
// non-zero slot adds a new element of that mode with the constructor's
// arguments; a 0 slot adds nothing.
template <class T, std::size_t N>
void RebuildFromSlots(std::vector<T>& list, const std::int32_t (&slots)[N]) {
  std::vector<T> rebuilt;
  rebuilt.reserve(N);
  for (std::size_t i = 0; i < N; ++i) {
    if (i < list.size() && list[i].mode == slots[i]) {
      rebuilt.push_back(list[i]);
    } else if (slots[i] != 0) {
      rebuilt.emplace_back(slots[i]);
    }
  }
  list = std::move(rebuilt);
}

// Copies `message` into the caller's buffer, always ending with a zero byte.
void CopyToErrorBuffer(const std::string& message, char* buffer, int length) {
  if (!buffer || length < 1) return;
  const std::size_t capacity = static_cast<std::size_t>(length);
  std::memset(buffer, 0, capacity);
  std::memcpy(buffer, message.data(), std::min(message.size(), capacity - 1));
}

// A value of the flat settings record out of its key's range.
std::string OutOfRangeMessage(std::string_view name, Joint joint) {
  return Prefixed(name, GetErrorString(errors::kParameterValueInvalid), joint);
}

// The keys that the flat settings record sets, with their defaults and bounds.
const IntSpec& MaxThreadsKey() { return QV_TaskSettingBase::Mapping().IntKey("MaxThreadsInOneTask"); }
const IntSpec& ExpectedCountKey() {
  return ZQA_BarcodeReaderTaskSetting::Mapping().IntKey("ExpectedBarcodesCount");
}
const IntSpec& ConfidenceKey() {
  return ZQA_BarcodeFormatSpecification::Mapping().IntKey("MinResultConfidence");
}
const IntSpec& ScaleDownKey() { return QV_ImageParameter::Mapping().IntKey("ScaleDownThreshold"); }

}  // namespace

ZQA_BarcodeReaderTaskSetting::ZQA_BarcodeReaderTaskSetting() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& ZQA_BarcodeReaderTaskSetting::Mapping() {
  using S = ZQA_BarcodeReaderTaskSetting;
  using LM = LocalizationModeStruct;
  using TROM = TextResultOrderModeStruct;
  // Whether an empty mode list is accepted is a property of its key.
  static const ClassMapping mapping =
      Mapper<S>("BarcodeReaderTaskSetting")
          .Include(QV_TaskSettingBase::Mapping())
          .RegisterCommonFields("zqa_task_default")
          .Inline("BarcodeFormatIds", &S::barcodeFormat, kNoFlags,
                  QVIP_BarcodeFormatStruct(BF_DEFAULT))
          .Note("The barcode formats to look for, as \"BF_\" names")
          .ObjectList("DeblurModes", &S::deblurModes, kEmptyAllowed)
          .ObjectList("LocalizationModes", &S::localizationModes, kNoFlags,
                      {LM(LM::LM_CONNECTED_BLOCKS), LM(LM::LM_SCAN_DIRECTLY),
                       LM(LM::LM_STATISTICS), LM(LM::LM_LINES)})
          .ObjectList("DPMCodeReadingModes", &S::dpmCodeReadingModes, kNoFlags,
                      {DPMCodeReadingModeStruct(DPMCodeReadingModeStruct::DPMCRM_SKIP)})
          .ObjectList("BarcodeColourModes", &S::barcodeColourModes, kEmptyAllowed)
          .ObjectList("BarcodeComplementModes", &S::barcodeComplementModes, kNoFlags,
                      {BarcodeComplementModeStruct(BarcodeComplementModeStruct::BCM_SKIP)})
          .ObjectList("DeformationResistingModes", &S::deformationResistingModes, kNoFlags,
                      {DeformationResistingModeStruct(DeformationResistingModeStruct::DRM_SKIP)})
          .ObjectList("TextResultOrderModes", &S::textResultOrderModes, kNoFlags,
                      {TROM(TROM::TROM_CONFIDENCE), TROM(TROM::TROM_POSITION),
                       TROM(TROM::TROM_FORMAT)})
          // The writer adds the names of the specifications the task holds.
          .TextList("BarcodeFormatSpecificationNameArray", &S::formatSpecificationNames,
                    kWrittenWhenNotEmpty, {}, &S::GetFormatSpecificationNames)
          .RefersTo(kBarcodeFormatSpecifications)
          .Note("The format specifications that refine decoding, by name")
          .Text("BaseBarcodeReaderTaskSettingName", &S::baseName)
          .Note("The task this one inherits the keys it leaves out from")
          .Int("ExpectedBarcodesCount", &S::expectedBarcodesCount, 0, 0, INT_MAX)
          .Note("How many barcodes are expected")
          .Int("ReturnBarcodeZoneClarity", &S::returnBarcodeZoneClarity, 0, 0, 1)
          .Build();
  return mapping;
}

std::vector<SectionType>& ZQA_BarcodeReaderTaskSetting::GetSections() {
  if (sections.empty()) sections.assign(std::begin(kBarcodeSections), std::end(kBarcodeSections));
  return sections;
}

const std::vector<std::string>& ZQA_BarcodeReaderTaskSetting::GetFormatSpecificationNames() {
  formatSpecificationNameList = formatSpecificationNames;
  if (heldFormatSpecifications.empty()) return formatSpecificationNameList;
  // The masks of the named specifications the document knows.
  std::vector<BarcodeFormatMask> namedMasks;
  if (ownerDocument) {
    for (const std::string& specName : formatSpecificationNames) {
      if (const ZQA_BarcodeFormatSpecification* found =
              ownerDocument->FindSection<ZQA_BarcodeFormatSpecification>(
                  kBarcodeFormatSpecifications, specName)) {
        namedMasks.push_back(found->barcodeFormatIds.barcodeFormatIds);
      }
    }
  }
  for (const QVRef<ZQA_BarcodeFormatSpecification>& held : heldFormatSpecifications) {
    if (!held) continue;
    const BarcodeFormatMask mask = held->barcodeFormatIds.barcodeFormatIds;
    const bool covered =
        std::any_of(namedMasks.begin(), namedMasks.end(),
                    [mask](BarcodeFormatMask named) { return (named & mask) == mask; });
    if (!covered) formatSpecificationNameList.push_back(held->name);
  }
  return formatSpecificationNameList;
}

std::vector<QVRef<ZQA_BarcodeFormatSpecification>>&
ZQA_BarcodeReaderTaskSetting::GetFormatSpecifications() {
  if (!resolvedFormatSpecifications.empty() || !ownerDocument) {
    return resolvedFormatSpecifications;
  }
  for (const std::string& specName : GetFormatSpecificationNames()) {
    if (ZQA_BarcodeFormatSpecification* found =
            ownerDocument->FindSection<ZQA_BarcodeFormatSpecification>(kBarcodeFormatSpecifications,
                                                                       specName)) {
      resolvedFormatSpecifications.emplace_back(found);
      continue;
    }
    for (const QVRef<ZQA_BarcodeFormatSpecification>& held : heldFormatSpecifications) {
      if (held && held->name == specName) {
        resolvedFormatSpecifications.push_back(held);
        break;
      }
    }
  }
  return resolvedFormatSpecifications;
}

int ZQA_BarcodeReaderTaskSetting::GetSimplifiedSettings(SimplifiedBarcodeReaderSettings* settings) {
  if (!settings) return errors::kNullPointer;
  settings->barcodeFormatIds = barcodeFormat.barcodeFormatIds;
  settings->expectedBarcodesCount = expectedBarcodesCount;
  const QVRef<QV_ImageParameter> imageParameter = GetSingleImageParameter();
  if (!imageParameter) return errors::kTemplateComplex;

  FillSlots(settings->grayscaleTransformationModes, imageParameter->grayscaleTransformationModes);
  FillSlots(settings->grayscaleEnhancementModes, imageParameter->grayscaleEnhancementModes);
  FillSlots(settings->localizationModes, localizationModes);
  FillSlots(settings->deblurModes, deblurModes);

  settings->minResultConfidence = ConfidenceKey().Default();
  settings->minBarcodeTextLength = 0;
  std::memset(settings->barcodeTextRegExPattern, 0, kPatternCapacity);
  const std::vector<QVRef<ZQA_BarcodeFormatSpecification>>& specifications =
      GetFormatSpecifications();
  if (!specifications.empty() && specifications.front()) {
    const ZQA_BarcodeFormatSpecification& first = *specifications.front();
    settings->minResultConfidence = first.minResultConfidence;
    if (!first.barcodeTextLengthRangeArray.empty()) {
      settings->minBarcodeTextLength = first.barcodeTextLengthRangeArray.front().minValue;
    }
    // Cut so that the field always ends with a zero byte.
    const std::string& pattern = first.barcodeTextRegExPattern;
    std::memcpy(settings->barcodeTextRegExPattern, pattern.data(),
                std::min(pattern.size(), kPatternCapacity - 1));
  }

  settings->maxThreadsInOneTask = maxThreadsInOneTask;
  settings->scaleDownThreshold = imageParameter->scaleDownThreshold;
  return errors::kSuccess;
}

int ZQA_BarcodeReaderTaskSetting::UpdateWithSimplifiedSettings(
    const SimplifiedBarcodeReaderSettings* settings, char* errorBuffer, int errorBufferLength) {
  if (!settings) {
    CopyToErrorBuffer(Prefixed(texts::kSimplifiedSettingsName,
                               GetErrorString(errors::kNullPointer), Joint::kSpace),
                      errorBuffer, errorBufferLength);
    return errors::kNullPointer;
  }
  barcodeFormat.barcodeFormatIds = settings->barcodeFormatIds;
  if (!ExpectedCountKey().InRange(settings->expectedBarcodesCount)) {
    errorMessage = OutOfRangeMessage(texts::kExpectedBarcodesCountName, Joint::kColon);
    CopyToErrorBuffer(errorMessage, errorBuffer, errorBufferLength);
    return errors::kParameterValueInvalid;
  }
  expectedBarcodesCount = settings->expectedBarcodesCount;

  const QVRef<QV_ImageParameter> imageParameter = GetSingleImageParameter();
  if (!imageParameter) return errors::kTemplateComplex;
  RebuildFromSlots(imageParameter->grayscaleEnhancementModes, settings->grayscaleEnhancementModes);
  RebuildFromSlots(imageParameter->grayscaleTransformationModes,
                   settings->grayscaleTransformationModes);
  RebuildFromSlots(localizationModes, settings->localizationModes);
  RebuildFromSlots(deblurModes, settings->deblurModes);

  if (!MaxThreadsKey().InRange(settings->maxThreadsInOneTask)) {
    errorMessage = OutOfRangeMessage(MaxThreadsKey().Key(), Joint::kSpacedColon);
    CopyToErrorBuffer(errorMessage, errorBuffer, errorBufferLength);
    return errors::kParameterValueInvalid;
  }
  maxThreadsInOneTask = settings->maxThreadsInOneTask;

  const int result = UpdateFormatSpecifications(*settings);
  if (result != errors::kSuccess) return result;

  if (!ScaleDownKey().InRange(settings->scaleDownThreshold)) {
    imageParameter->errorMessage = OutOfRangeMessage(ScaleDownKey().Key(), Joint::kSpacedColon);
    CopyToErrorBuffer(imageParameter->errorMessage, errorBuffer, errorBufferLength);
    return errors::kParameterValueInvalid;
  }
  imageParameter->scaleDownThreshold = settings->scaleDownThreshold;
  return errors::kSuccess;
}

int ZQA_BarcodeReaderTaskSetting::UpdateFormatSpecifications(
    const SimplifiedBarcodeReaderSettings& settings) {
  const std::size_t patternLength = strnlen(settings.barcodeTextRegExPattern, kPatternCapacity);
  const int minLength = settings.minBarcodeTextLength;
  for (const QVRef<ZQA_BarcodeFormatSpecification>& reference : GetFormatSpecifications()) {
    if (!reference) continue;
    ZQA_BarcodeFormatSpecification& specification = *reference;
    // Out of range would make a specification that its own reading refuses.
    if (!ConfidenceKey().InRange(settings.minResultConfidence)) {
      return errors::kParameterValueInvalid;
    }
    specification.minResultConfidence = settings.minResultConfidence;
    if (minLength < 0) return errors::kParameterValueInvalid;
    // A minimum above a maximum would make a range that its own reading
    // refuses; such a specification keeps its ranges.
    std::vector<BarcodeTextLengthRange>& ranges = specification.barcodeTextLengthRangeArray;
    const bool fits = std::all_of(
        ranges.begin(), ranges.end(),
        [minLength](const BarcodeTextLengthRange& range) { return minLength <= range.maxValue; });
    if (!fits) return errors::kParameterValueInvalid;
    if (ranges.empty()) ranges.emplace_back();  // 0 to 2147483647
    for (BarcodeTextLengthRange& range : ranges) range.minValue = minLength;
    specification.barcodeTextRegExPattern.assign(settings.barcodeTextRegExPattern, patternLength);
  }
  return errors::kSuccess;
}

}  // namespace quorvane
