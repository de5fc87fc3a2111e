#include "legacy/legacy_image_parameter.h"

#include <cstring>
#include <iterator>
#include <string_view>

namespace quorvane {

namespace {

using GEM = QVIP_GrayscaleEnhancementModeStruct;
using BM = QVIP_BinarizationModeStruct;

constexpr std::string_view kPreprocessingKey = "ImagePreprocessingModes";

// The grayscale enhancement arguments, in declaration order; a row below
// takes some of them from an object element, by bit position.
struct EnhancementArgument {
  const char* key;
  int GEM::*member;
};
constexpr EnhancementArgument kEnhancementArguments[] = {
    {"Sensitivity", &GEM::sensitivity},
    {"SharpenBlockSizeX", &GEM::sharpenBlockSizeX},
    {"SharpenBlockSizeY", &GEM::sharpenBlockSizeY},
    {"SmoothBlockSizeX", &GEM::smoothBlockSizeX},
    {"SmoothBlockSizeY", &GEM::smoothBlockSizeY},
};
constexpr unsigned kTakesSensitivity = 1u << 0;
constexpr unsigned kTakesSharpenBlock = 1u << 1 | 1u << 2;
constexpr unsigned kTakesSmoothBlock = 1u << 3 | 1u << 4;

// The legacy preprocessing modes that became grayscale enhancement modes.
// Arguments not taken stay at -1; legacy names match exactly.
struct EnhancementRow {
  std::string_view legacyName;
  int mode;
  unsigned taken;
};
constexpr EnhancementRow kEnhancementRows[] = {
    {"IPM_GENERAL", GEM::GEM_GENERAL, 0},
    {"IPM_GRAY_EQUALIZE", GEM::GEM_GRAY_EQUALIZE, kTakesSensitivity},
    {"IPM_GRAY_SMOOTH", GEM::GEM_GRAY_SMOOTH, kTakesSmoothBlock},
    {"IPM_SHARPEN_SMOOTH", GEM::GEM_SHARPEN_SMOOTH, kTakesSharpenBlock | kTakesSmoothBlock},
};

// Morphology became a step of binarization: a BM_LOCAL_BLOCK mode with the
// binarization defaults, the operation and shape (read only when given, as
// names) and the two kernel sizes.
constexpr std::string_view kMorphologyName = "IPM_MORPHOLOGY";
struct MorphologyName {
  const char* key;
  EnumTable (*names)();
  int BM::*member;
};
constexpr MorphologyName kMorphologyNames[] = {
    {"MorphOperation", &BM::MorphOperationNames, &BM::morphOperation},
    {"MorphShape", &BM::MorphShapeNames, &BM::morphShape},
};
constexpr const char* kMorphologyKernelKeys[] = {"MorphOperationKernelSizeX",
                                                 "MorphOperationKernelSizeY"};
constexpr int BM::*kMorphologyKernelMembers[] = {&BM::morphOperationKernelSizeX,
                                                 &BM::morphOperationKernelSizeY};

const EnhancementRow* FindEnhancementRow(std::string_view legacyName) {
  for (const EnhancementRow& row : kEnhancementRows) {
    if (row.legacyName == legacyName) return &row;
  }
  return nullptr;
}

// What an argument of family S becomes when a legacy element leaves it out:
// 0, unless the current format refuses 0 there (a sensitivity counts from
// 1), where a 0 would make a template that no reader accepts; then the
// argument's own default.
template <class S>
int AbsentArgument(const char* key) {
  for (const ModeArgument<S>& argument : S::Family().arguments) {
    if (std::strcmp(argument.key, key) != 0) continue;
    return argument.minimum > 0 || argument.maximum < 0 ? argument.defaultValue : 0;
  }
  return 0;
}

// Whether the current format reads a converted mode back as it stands: its
// arguments were taken from the legacy element unchecked.
template <class S>
bool ReadsBack(S& converted) {
  converted.WriteToJson(false);
  S check(converted.mode);
  return check.ReadFromJson(converted.json, NoSkippedKeys()) == errors::kSuccess;
}

// An argument of a legacy element: absent or null gives `absent`, an
// integer (integral reals included) is taken as it is. Anything else is
// refused.
bool TakeInteger(const Json::Value& element, const char* key, int absent, int& out) {
  const Json::Value* member = FindMember(element, key);
  if (!member || member->isNull()) {
    out = absent;
    return true;
  }
  if (!member->isInt()) return false;
  out = member->asInt();
  return true;
}

// The mode name of a legacy element: the string itself, or an object's
// "Mode" string. False for anything else.
bool PreprocessingModeName(const Json::Value& element, std::string_view& name) {
  const Json::Value* text = element.isObject() ? FindMember(element, "Mode") : &element;
  const char* begin = nullptr;
  const char* end = nullptr;
  if (!text || !text->getString(&begin, &end)) return false;
  name = std::string_view(begin, static_cast<std::size_t>(end - begin));
  return true;
}

}  // namespace

OldImageParameterReader::OldImageParameterReader() { ApplyTextLineDefaults(); }

void OldImageParameterReader::InitFieldTable() {
  QV_ImageParameter::InitFieldTable();
  ForEachLegacyModeList([this](const char* key, auto& legacy, auto& /*current*/) {
    RegisterObjectListField(key, &legacy, false);
  });
}

int OldImageParameterReader::ReadLegacyJson(const Json::Value& value, std::string& message) {
  InitFieldTable();
  if (value.isObject()) {
    for (auto it = value.begin(); it != value.end(); ++it) {
      const char* end = nullptr;
      const char* begin = it.memberName(&end);
      const std::string_view key(begin, static_cast<std::size_t>(end - begin));
      const FieldReader* found = fieldTable.Find(key);
      // The barcode keys of a legacy object, and its preprocessing modes,
      // are not the image parameter's.
      if (!found) continue;
      const FieldReader reader = *found;  // a reader may register keys again
      const int result = reader(value);
      if (result != errors::kSuccess) {
        errorMessage = GetTypeName();
        errorMessage += key;
        errorMessage += " invalid";
        message = errorMessage;
        return result;
      }
    }
    const Json::Value* preprocessing = FindMember(value, kPreprocessingKey);
    if (preprocessing && preprocessing->isArray()) {
      const int result = ConvertImagePreprocessingModes(*preprocessing);
      if (result != errors::kSuccess) {
        message = errorMessage;
        return result;
      }
    }
  } else if (!value.isNull()) {
    errorMessage = GetTypeName() + ":" + errorMessage;
    message = errorMessage;
    return errors::kJsonTypeInvalid;
  }
  // After the preprocessing modes: a legacy binarization list replaces the
  // mode that morphology made.
  ForEachLegacyModeList([](const char* /*key*/, auto& legacy, auto& current) {
    TransferLegacyModes(legacy, current);
  });
  return errors::kSuccess;
}

int OldImageParameterReader::ConvertImagePreprocessingModes(const Json::Value& modes) {
  bool enhancementReplaced = false;
  bool binarizationReplaced = false;
  const auto failArgument = [this](int code) {
    errorMessage = GetTypeName();
    errorMessage += kPreprocessingKey;
    errorMessage += " invalid";
    return code;
  };
  for (const Json::Value& element : modes) {
    std::string_view name;
    if (!PreprocessingModeName(element, name)) continue;
    const bool isObject = element.isObject();

    if (const EnhancementRow* row = FindEnhancementRow(name)) {
      // The converted modes replace the list, whatever it held before.
      if (!enhancementReplaced) {
        grayscaleEnhancementModes.clear();
        enhancementReplaced = true;
      }
      GEM converted(row->mode);
      for (unsigned i = 0; isObject && i < std::size(kEnhancementArguments); ++i) {
        if ((row->taken & (1u << i)) == 0) continue;
        const EnhancementArgument& argument = kEnhancementArguments[i];
        if (!TakeInteger(element, argument.key, AbsentArgument<GEM>(argument.key),
                         converted.*argument.member)) {
          return failArgument(errors::kJsonTypeInvalid);
        }
      }
      if (!ReadsBack(converted)) return failArgument(errors::kJsonValueInvalid);
      grayscaleEnhancementModes.push_back(converted);
    } else if (name == kMorphologyName) {
      if (!binarizationReplaced) {
        binarizationModes.clear();
        binarizationReplaced = true;
      }
      BM converted(1);
      if (isObject) {
        for (const MorphologyName& enumerated : kMorphologyNames) {
          if (!FindMember(element, enumerated.key)) continue;
          const int result = converted.GetEnumValue(element, enumerated.key, enumerated.names(),
                                                    &(converted.*enumerated.member));
          if (result != errors::kSuccess) {
            errorMessage = converted.errorMessage;
            return result;
          }
        }
        for (std::size_t i = 0; i < std::size(kMorphologyKernelKeys); ++i) {
          if (!TakeInteger(element, kMorphologyKernelKeys[i],
                           AbsentArgument<BM>(kMorphologyKernelKeys[i]),
                           converted.*kMorphologyKernelMembers[i])) {
            return failArgument(errors::kJsonTypeInvalid);
          }
        }
      }
      if (!ReadsBack(converted)) return failArgument(errors::kJsonValueInvalid);
      binarizationModes.push_back(converted);
    }
  }
  return errors::kSuccess;
}

}  // namespace quorvane
