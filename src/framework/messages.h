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
inline constexpr std::string_view kOutOfRange = ": out of range.";
inline constexpr std::string_view kSpacedOutOfRange = " : out of range.";
inline constexpr std::string_view kMinAboveMax = "error: min > max.";
inline constexpr std::string_view kBothAxesRotated =
    "AxisType can't be AT_ROTATION_OTHER_AXIS at the same time.";
inline constexpr std::string_view kEdgeIndexInvalid = "EdgeIndex is invalid.";
inline constexpr std::string_view kPointsInvalid = ": points are invalid.";
inline constexpr std::string_view kBaseNameInvalid = " has invalid baseName.";
inline constexpr std::string_view kLegacyKeyInvalid = " invalid";
inline constexpr std::string_view kLegacyModeNameInvalid = " error";
inline constexpr std::string_view kLegacyImageParameterNotAnObject =
    "old imageparameter is not an object";
inline constexpr std::string_view kLegacyImageParameterFailed = "old imageParameter read failed : ";
inline constexpr std::string_view kLegacyTaskFailed = "old barcodeSetting read failed : ";
inline constexpr std::string_view kLegacyFormatSpecificationFailed = "FormatSpecificationArrayerror";
inline constexpr std::string_view kAlreadyCurrentFormat = "The file is already in the current format.";
inline constexpr std::string_view kNotLegacyTemplate = "The file is not a legacy template.";
inline constexpr std::string_view kLegacyTemplate =
    "The file is a legacy template; convert it with lumiflow-convert.";
inline constexpr std::string_view kNoTemplateSection = "The file has no template section.";
}  // namespace texts

// `name` + ":" + `text`: a level named by its type name or key.
std::string Prefixed(std::string_view name, std::string_view text);
// `name` + ":" + the text of `code`.
std::string CodeMessage(std::string_view name, int code);
// `key` + "[" + `index` + "]": an element of a list.
std::string ElementName(std::string_view key, std::size_t index);
// `key` + "[" + `name` + "]": an entry of a section named by its "Name".
std::string EntryName(std::string_view key, std::string_view name);

}  // namespace quorvane
