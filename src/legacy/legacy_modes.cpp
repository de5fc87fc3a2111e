#include "legacy/legacy_modes.h"

#include <string_view>

#include "imageparams/mode_structure.h"

namespace quorvane {

namespace {

// "Mode" of a legacy localization element: the exact name "LM_AUTO" is the
// older name of LM_SKIP; any other text is read as the current "Mode" is.
int ReadLegacyLocalizationMode(const ConvertedField& field, QV_ParameterFieldBase& object,
                               const Json::Value& container) {
  const Json::Value* value = FindMember(container, field.Key());
  const char* begin = nullptr;
  const char* end = nullptr;
  if (value && value->getString(&begin, &end) &&
      std::string_view(begin, static_cast<std::size_t>(end - begin)) == "LM_AUTO") {
    static_cast<ModeStructureBase&>(object).mode = LocalizationModeStruct::LM_SKIP;
    return errors::kSuccess;
  }
  return field.Current()->Read(object, container);
}

const ClassMapping& LegacyBinarizationMapping() {
  using S = QVIP_BinarizationModeStruct;
  const ClassMapping& current = S::Mapping();
  static const ClassMapping mapping =
      Mapper<S>(current.TypeName())
          .Include(current)
          .OlderName("ThreshValueCoefficient", "ThresholdCompensation")
          .OlderName("ThresholdValueCoefficient", "ThresholdCompensation")
          .OlderName("ImagePreprocessingModesIndex", "GrayscaleEnhancementModesIndex")
          .Build();
  return mapping;
}

const ClassMapping& LegacyLocalizationMapping() {
  using S = LocalizationModeStruct;
  const ClassMapping& current = S::Mapping();
  static const ClassMapping mapping =
      Mapper<S>(current.TypeName())
          .Include(current)
          .RegisterField(std::make_shared<ConvertedField>(*current.Find("Mode"),
                                                          &ReadLegacyLocalizationMode))
          .Build();
  return mapping;
}

int ReadLegacyListElement(QV_ParameterFieldBase& element, const Json::Value& value) {
  return ReadLegacyModeElement(element, value, NoSkippedKeys());
}

}  // namespace

const ClassMapping& LegacyMappingOf(const ClassMapping& current) {
  if (&current == &QVIP_BinarizationModeStruct::Mapping()) return LegacyBinarizationMapping();
  if (&current == &LocalizationModeStruct::Mapping()) return LegacyLocalizationMapping();
  return current;
}

int ReadLegacyModeElement(QV_ParameterFieldBase& element, const Json::Value& value,
                          const SkippedKeys& skippedKeys) {
  const ClassMapping& mapping = LegacyMappingOf(element.GetMapping());
  element.BindForRead(mapping);
  if (value.isObject()) {
    const int result = element.ReadFirstFields(value, skippedKeys);
    if (result != errors::kSuccess) {
      element.PrefixMessage(element.GetTypeName());
      return result;
    }
    return element.ReadFields(value, skippedKeys, false);
  }
  if (value.isString()) {
    const char* begin = nullptr;
    const char* end = nullptr;
    value.getString(&begin, &end);
    const int found =
        LookupEnumValue(mapping.Modes(), std::string_view(begin, static_cast<std::size_t>(end - begin)));
    if (found == kEnumNotFound) {
      element.errorMessage =
          Prefixed(element.GetTypeName(), texts::kLegacyModeNameInvalid, Joint::kSpace);
      return errors::kJsonValueInvalid;
    }
    static_cast<ModeStructureBase&>(element).mode = found;
    return errors::kSuccess;
  }
  if (value.isNull()) return errors::kSuccess;
  element.errorMessage = element.GetTypeName();
  return errors::kJsonTypeInvalid;
}

std::vector<FieldPointer> LegacyModeLists(const ClassMapping& current, const ClassMapping* kept) {
  std::vector<FieldPointer> lists;
  for (const FieldPointer& field : current.Fields()) {
    const ClassMapping* element = field->ElementMapping();
    if (element == nullptr || element->Modes().empty() || element == kept) continue;
    if (FieldPointer legacy = field->WithElementReader(&ReadLegacyListElement, kEmptyKeepsList)) {
      lists.push_back(std::move(legacy));
    }
  }
  return lists;
}

}  // namespace quorvane
