#pragma once

// How the model's messages are put together. A message is built from the
// inside out: the innermost reader leaves a fixed text (the text of its code,
// or one of the texts below), and each level the failure passes through puts
// its own name in front: a type name or a key and ":", an element as its
// key and "[index]". Every level uses these helpers, so no two places spell
// a form differently.

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane {

namespace texts {
// The fixed texts that are not the text of a code.
inline constexpr std::string_view kNotAnObject = "content is not a object";
inline constexpr std::string_view kOutOfRange = " out of range.";
inline constexpr std::string_view kMinAboveMax = "error: min > max.";
inline constexpr std::string_view kBothAxesRotated =
    "AxisType can't be AT_ROTATION_OTHER_AXIS at the same time.";
inline constexpr std::string_view kEdgeIndexInvalid = "EdgeIndex is invalid.";
inline constexpr std::string_view kPointsInvalid = " points are invalid.";
inline constexpr std::string_view kBaseNameInvalid = "has invalid baseName.";
inline constexpr std::string_view kLegacyKeyInvalid = "invalid";
inline constexpr std::string_view kLegacyModeNameInvalid = "error";
inline constexpr std::string_view kLegacyImageParameterNotAnObject =
    "old imageparameter is not an object";
inline constexpr std::string_view kLegacyImageParameterFailed = "old imageParameter read failed";
inline constexpr std::string_view kLegacyTaskFailed = "old barcodeSetting read failed";
inline constexpr std::string_view kLegacyFormatSpecificationFailed = "FormatSpecificationArrayerror";
inline constexpr std::string_view kAlreadyCurrentFormat = "The file is already in the current format.";
inline constexpr std::string_view kNotLegacyTemplate = "The file is not a legacy template.";
inline constexpr std::string_view kLegacyTemplate =
    "The file is a legacy template; convert it with lumiflow-convert.";
inline constexpr std::string_view kNoTemplateSection = "The file has no template section.";
// A failure told by its code alone: this, then the code's text.
inline constexpr std::string_view kCodeOnlyLead = "Error: ";
// What the legacy reader says of text after the template.
inline constexpr std::string_view kExtraAfterValue = "Extra non-whitespace after JSON value.";
// "The text holds more than " + limit + " JSON values."
inline constexpr std::string_view kValueLimitPrefix = "The text holds more than ";
inline constexpr std::string_view kValueLimitSuffix = " JSON values.";
// The names the flat settings record's checks give their failures.
inline constexpr std::string_view kSimplifiedSettingsName = "SimplifiedBarcodeReaderSettings";
inline constexpr std::string_view kExpectedBarcodesCountName =
    "ZQA_BarcodeReaderTaskSetting::ExpectedBarcodesCount";
}  // namespace texts

// How a level's name stands before the text that follows it. Most levels
// use a colon; the others are forms that some messages have always had.
enum class Joint {
  kColon,             // "Key:text"
  kSpacedColon,       // "Key :text"
  kSpacedColonSpace,  // "Key : text"
  kSpace,             // "Key text"
  kNone,              // "Keytext"
};

// `name` + ":" + `text`: a level named by its type name or key; with
// another `joint`, that form in place of the colon.
std::string Prefixed(std::string_view name, std::string_view text, Joint joint = Joint::kColon);
// `name` + ":" + the text of `code`.
std::string CodeMessage(std::string_view name, int code);
// `key` + "[" + `index` + "]": an element of a list.
std::string ElementName(std::string_view key, std::size_t index);
// `key` + "[" + `name` + "]": an entry of a section named by its "Name".
std::string EntryName(std::string_view key, std::string_view name);

// The template document's texts: its reading, reference checks and appending.
namespace texts {
inline constexpr std::string_view kSectionLimitPrefix = "The template holds more than ";
inline constexpr std::string_view kSectionLimitSuffix = " sections.";
inline constexpr std::string_view kLumiflowNameDuplicated = "Lumiflow has duplicated name";
inline constexpr std::string_view kSemanticSettingNameDuplicated =
    "SemanticSettings has duplicated name";
inline constexpr std::string_view kImageSourceNameDuplicated =
    "ImageSourceOption has duplicated name";
inline constexpr std::string_view kCodeParserTaskNameDuplicated =
    "CodeParserTaskSettingOptions has duplicated name";
inline constexpr std::string_view kImageSourceTypeUnsupported =
    ": ImageSoure type is not support yet.";
// "Task name : " + task + " referenced in TargetROIDef : " + name + " is undefined"
inline constexpr std::string_view kUndeclaredTask = "Task name : ";
inline constexpr std::string_view kUndeclaredInTargetROIDef = " referenced in TargetROIDef : ";
inline constexpr std::string_view kUndeclaredInSemanticSetting =
    " referenced in Semantic Setting : ";
// kind + " name:" + name + " referenced in " + referrer + " is undefined"
inline constexpr std::string_view kNamedKind = " name:";
inline constexpr std::string_view kReferencedIn = " referenced in ";
inline constexpr std::string_view kIsUndefined = " is undefined";
inline constexpr std::string_view kRoiKind = "roi";
inline constexpr std::string_view kTaskKind = "task";
inline constexpr std::string_view kImageSourceKind = "image source";
inline constexpr std::string_view kSemanticSettingKind = "semantic setting";
inline constexpr std::string_view kImageParameterKind = "image parameter";
inline constexpr std::string_view kFormatSpecificationKind = "format specification";
inline constexpr std::string_view kSectionKind = "section";
// "ouput task name:" + task + " referenced in " + referrer + " is invalid."
inline constexpr std::string_view kOutputTaskNamed = "ouput task name:";
inline constexpr std::string_view kIsInvalid = " is invalid.";
inline constexpr std::string_view kBackwardReferenceOutput = "BackwardReferenceOutput";
inline constexpr std::string_view kTaskResult = "TaskResult";
inline constexpr std::string_view kImageSourceUnknown = " is an invalid ImageSource name";
inline constexpr std::string_view kTargetROIDefUnknown = " is an invalid TargetROIDef name.";
inline constexpr std::string_view kSemanticSettingUnknown = " is an invalid SemanticSetting name.";
inline constexpr std::string_view kAppendNotAnObject = " append invalid value.";
inline constexpr std::string_view kAppendNameDuplicated = "append duplicated name: ";
}  // namespace texts

}  // namespace quorvane
