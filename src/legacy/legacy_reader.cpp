#include "legacy/legacy_reader.h"

#include <cstring>
#include <exception>
#include <new>
#include <utility>

#include "barcode/barcode_reader_task.h"
#include "barcode/format_specification.h"
#include "captureflow/default_names.h"
#include "captureflow/target_roi.h"
#include "framework/json_text_limits.h"
#include "imageparams/small_structures.h"
#include "legacy/legacy_barcode.h"
#include "legacy/legacy_image_parameter.h"

namespace quorvane {

namespace {

constexpr int kOutOfMemory = -10001;
constexpr BarcodeFormatMask kAllFormats = ~BarcodeFormatMask{0};
// The image parameter every converted task decodes with: the defaults of a
// legacy image parameter, scaled down only for very large images.
const QV_ImageParameter& DecodeImageParameter() {
  static const OldImageParameterReader prototype = [] {
    OldImageParameterReader parameter;
    parameter.name = "IP_Decode";
    parameter.scaleDownThreshold = 99999;
    return parameter;
  }();
  return prototype;
}

// Parses with the permissive reader (comments, any root). The character
// range is parsed, never a stream: the reader's error list must stay valid.
// Nesting beyond the reader's limit throws; that text is the error then. A
// UTF-8 byte-order mark, which editors put before the text, is passed over
// as the current format's reader does.
bool ParseLegacyText(const char* text, Json::Value& root, std::string& errors) {
  const char* begin = text != nullptr ? text : "";
  if (std::strncmp(begin, "\xEF\xBB\xBF", 3) == 0) begin += 3;
  const char* end = begin + std::strlen(begin);
  Json::Reader reader(Json::Features::all());
  try {
    if (reader.parse(begin, end, root, false)) return true;
    errors = reader.getFormattedErrorMessages();
  } catch (const std::exception& e) {
    errors = e.what();
  }
  return false;
}

// The root keys that tell the two formats apart. A file with some of the
// current ones and none of the legacy ones would convert into an empty
// default template, which would then replace a good output.
constexpr const char* kLegacyRootKeys[] = {"ImageParameter", "ImageParameterContentArray",
                                           "FormatSpecification", "FormatSpecificationArray",
                                           "RegionDefinition", "RegionDefinitionArray"};
constexpr const char* kCurrentRootKeys[] = {
    "LumiflowTemplates", "ImageParameterOptions", "TargetROIDefOptions",
    "BarcodeReaderTaskSettingOptions", "BarcodeFormatSpecificationOptions", "GlobalParameter"};

template <std::size_t N>
bool HasAnyMember(const Json::Value& root, const char* const (&keys)[N]) {
  for (const char* key : keys) {
    if (FindMember(root, key) != nullptr) return true;
  }
  return false;
}

// The end of a read whose budget is spent: the code's own text says it.
int TooComplex(std::string& errorMessage) {
  errorMessage.clear();
  return errors::kTemplateComplex;
}

// Writes `section` and moves its output to the end of `array`.
void AppendWritten(Json::Value& array, QV_ParameterFieldBase& section) {
  section.WriteToJson(false);
  array.append(std::move(section.json));
}

}  // namespace

int ZQA_OldParameterReader::ReadOldTemplate(const char* text, std::string& errorMessage) {
  try {
    Clear();
    imageParameterCount = 0;
    lumiflowSettings.clear();
    // Refused before parsing: the parse alone could take gigabytes.
    if (text != nullptr && ExceedsJsonValueLimit(text)) {
      errorMessage = JsonValueLimitMessage();
      return errors::kTemplateComplex;
    }
    Json::Value root;
    std::string parseErrors;
    if (!ParseLegacyText(text, root, parseErrors)) {
      errorMessage = GetErrorString(errors::kJsonParseFailed);
      errorMessage += ':';
      errorMessage += parseErrors;
      return errors::kJsonParseFailed;
    }
    return ReadParsedTemplate(root, errorMessage);
  } catch (const std::bad_alloc&) {
    errorMessage = GetErrorString(kOutOfMemory);
    return kOutOfMemory;
  } catch (const std::exception& e) {
    errorMessage = e.what();
    return errors::kUnknown;
  }
}

int ZQA_OldParameterReader::ReadParsedTemplate(const Json::Value& root, std::string& errorMessage) {
  if (!root.isObject()) {
    errorMessage = "content is not a object";
    return errors::kJsonValueInvalid;
  }
  if (!HasAnyMember(root, kLegacyRootKeys) && HasAnyMember(root, kCurrentRootKeys)) {
    errorMessage = "The file is already in the current format.";
    return errors::kJsonTypeInvalid;
  }

  const auto eachGiven = [&root](const char* singleKey, const char* arrayKey, auto&& read) {
    if (const Json::Value* single = FindMember(root, singleKey)) {
      const int result = read(*single);
      if (result != errors::kSuccess) return result;
    }
    // An array key of another type is passed over.
    if (const Json::Value* array = FindMember(root, arrayKey); array && array->isArray()) {
      for (const Json::Value& element : *array) {
        const int result = read(element);
        if (result != errors::kSuccess) return result;
      }
    }
    return errors::kSuccess;
  };

  // Spent on what each legacy entry may make, before it is read.
  ConversionBudget budget;
  const auto spendOn = [&budget](std::size_t made, const Json::Value& value) {
    return budget.Spend(made + ConversionBudget::UnitsOf(value));
  };

  int result = eachGiven(
      "FormatSpecification", "FormatSpecificationArray",
      [this, &errorMessage, &spendOn](const Json::Value& value) {
        if (!spendOn(ConversionBudget::kSectionUnits, value)) return TooComplex(errorMessage);
        OldFormatSpecification specification;
        const int read = specification.ReadLegacyJson(value, errorMessage);
        if (read != errors::kSuccess) {
          errorMessage = "FormatSpecificationArray";
          errorMessage += "error";
          return read;
        }
        SetSectionObject(kBarcodeFormatSpecifications, specification.name,
                         MakeRef<ZQA_BarcodeFormatSpecification>(
                             static_cast<const ZQA_BarcodeFormatSpecification&>(specification)));
        return errors::kSuccess;
      });
  if (result != errors::kSuccess) return result;

  // Kept aside: each image parameter converts the regions it names.
  std::vector<OldRegionDefinition> regions;
  result = eachGiven("RegionDefinition", "RegionDefinitionArray",
                     [&regions, &errorMessage, &spendOn](const Json::Value& value) {
                       // Kept like a list element until an image parameter names it.
                       if (!spendOn(ConversionBudget::kElementUnits, value)) {
                         return TooComplex(errorMessage);
                       }
                       OldRegionDefinition region;
                       const int read = region.ReadLegacyJson(value, errorMessage);
                       if (read == errors::kSuccess) regions.push_back(std::move(region));
                       return read;
                     });
  if (result != errors::kSuccess) return result;
  const RegionIndex regionIndex(regions);

  SectionMap& imageParameters = GetSectionMap(kImageParameters);
  imageParameters.clear();
  const QV_ImageParameter& decode = DecodeImageParameter();
  SetSectionObject(kImageParameters, decode.name, MakeRef<QV_ImageParameter>(decode));

  result = eachGiven("ImageParameter", "ImageParameterContentArray",
                     [&](const Json::Value& value) {
                       if (!spendOn(ConversionBudget::kImageParameterUnits, value)) {
                         return TooComplex(errorMessage);
                       }
                       return ConvertImageParameter(value, errorMessage, regionIndex, budget);
                     });
  if (result != errors::kSuccess) return result;

  GetSectionMap(kLumiflowTemplates).clear();
  for (const OldLumiflowSetting& flow : lumiflowSettings) {
    SetSectionObject(kLumiflowTemplates, flow.name, MakeRef<QV_LumiflowSetting>(flow));
  }
  return errors::kSuccess;
}

int ZQA_OldParameterReader::ConvertImageParameter(const Json::Value& value,
                                                  std::string& errorMessage,
                                                  const RegionIndex& regions,
                                                  ConversionBudget& budget) {
  if (!value.isObject()) {
    errorMessage = "old imageparameter is not an object";
    return errors::kJsonTypeInvalid;
  }
  const std::string number = std::to_string(++imageParameterCount);
  const std::string imageParameterName = "IP_" + number;

  OldImageParameterReader image;
  int result = image.ReadLegacyJson(value, errorMessage);
  if (result != errors::kSuccess) {
    errorMessage = "old imageParameter read failed : " + errorMessage;
    return result;
  }
  auto imageParameter = MakeRef<QV_ImageParameter>(static_cast<const QV_ImageParameter&>(image));
  imageParameter->name = imageParameterName;
  // The converted parameter is written whole; a base name could only name a
  // legacy object, which a reader of the new template would fail to find.
  imageParameter->baseImageParameterName.clear();
  SetSectionObject(kImageParameters, imageParameterName, std::move(imageParameter));

  OldBarcodeReaderTaskSetting task;
  result = task.ReadLegacyJson(value, errorMessage);
  if (result != errors::kSuccess) {
    errorMessage = "old barcodeSetting read failed : " + errorMessage;
    return result;
  }
  task.name = "BR_" + number;

  // Localization works on this image parameter; decoding on the shared one.
  if (task.sectionImageParameters.empty()) task.FillDefaultSectionImageParameters();
  for (QVIP_SectionImageParameterStruct& entry : task.sectionImageParameters) {
    if (entry.section == ST_REGION_PREDETECTION || entry.section == ST_BARCODE_LOCALIZATION) {
      entry.imageParameterName = imageParameterName;
    } else if (entry.section == ST_BARCODE_DECODING) {
      entry.imageParameterName = DecodeImageParameter().name;
    }
  }

  OldLumiflowSetting flow;
  flow.imageROIProcessingNames.clear();
  RegionConversion conversion{*this, task, task.CopyUnits(), flow, regions, budget};
  result = ConvertRegionDefinitions(conversion, errorMessage);
  if (result != errors::kSuccess) return result;

  // The whole image reads the task's formats that no region took. When the
  // regions took all of them, the whole image has nothing left to read.
  const BarcodeFormatMask remaining = conversion.remainingFormats;
  const bool regionsTookFormats = remaining != kAllFormats;
  const BarcodeFormatMask wholeImageFormats = task.barcodeFormat.barcodeFormatIds & remaining;
  if (!regionsTookFormats || wholeImageFormats != BF_NULL) {
    auto* wholeImage = FindSection<QV_TargetROIDef>(kTargetROIDefs, DefaultTargetROIDefName());
    if (!wholeImage) return errors::kNullPointer;
    // Each image parameter's task name is new.
    wholeImage->taskSettingNames.push_back(task.name);
    flow.imageROIProcessingNames.push_back(DefaultTargetROIDefName());
    task.barcodeFormat.barcodeFormatIds = wholeImageFormats;
    SetSectionObject(kBarcodeReaderTasks, task.name,
                     MakeRef<ZQA_BarcodeReaderTaskSetting>(
                         static_cast<const ZQA_BarcodeReaderTaskSetting&>(task)));
    taskNameKinds[task.name] = kBarcodeReaderTask;
  }

  if (const Json::Value* timeout = FindMember(value, "Timeout");
      timeout && timeout->isInt() && timeout->asInt() > 0) {
    flow.timeout = timeout->asInt();
  }
  flow.name += "_" + number;
  lumiflowSettings.push_back(std::move(flow));
  return errors::kSuccess;
}

void ZQA_OldParameterReader::OutputNewTemplate(std::string& text) {
  Json::Value root;
  // One array per collection, in name order; left out when empty.
  const auto writeCollection = [this, &root](const char* key, int kind) {
    Json::Value array;
    for (auto& entry : GetSectionMap(kind)) AppendWritten(array, *entry.second);
    if (kind == kBarcodeFormatSpecifications) {
      for (const QVRef<QV_ParameterFieldBase>& unnamed : unnamedFormatSpecifications) {
        if (unnamed) AppendWritten(array, *unnamed);
      }
    }
    if (!array.isNull()) root[key] = std::move(array);
  };
  writeCollection("LumiflowTemplates", kLumiflowTemplates);
  writeCollection("BarcodeFormatSpecificationOptions", kBarcodeFormatSpecifications);
  writeCollection("BarcodeReaderTaskSettingOptions", kBarcodeReaderTasks);
  if (globalParameter) {
    globalParameter->WriteToJson(false);
    root["GlobalParameter"] = std::move(globalParameter->json);
  }
  writeCollection("ImageParameterOptions", kImageParameters);
  writeCollection("TargetROIDefOptions", kTargetROIDefs);
  text = root.toStyledString();
}

}  // namespace quorvane
