#include "legacy/legacy_image_parameter.h"

#include <climits>
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

// The range of an argument of family `S`, from the family's table.
template <class S>
void ArgumentRange(const char* key, int& minimum, int& maximum) {
  for (const ModeArgument<S>& argument : S::Family().arguments) {
    if (std::string_view(argument.key) == key) {
      minimum = argument.minimum;
      maximum = argument.maximum;
      return;
    }
  }
}

// An argument of a legacy element, held to the range of the current key it
// becomes, so that the converted template reads back: absent or null gives
// 0, or -1 ("not set") where 0 is out of range; an integer (integral reals
// included) must be -1 or within the range. Returns 0 or the error code.
template <class S>
int TakeArgument(const Json::Value& element, const char* key, int& out) {
  int minimum = INT_MIN;
  int maximum = INT_MAX;
  ArgumentRange<S>(key, minimum, maximum);
  const Json::Value* member = FindMember(element, key);
  if (!member || member->isNull()) {
    out = (minimum <= 0 && 0 <= maximum) ? 0 : -1;
    return errors::kSuccess;
  }
  if (!member->isInt()) return errors::kJsonTypeInvalid;
  const int value = member->asInt();
  if (value != -1 && (value < minimum || value > maximum)) return errors::kJsonValueInvalid;
  out = value;
  return errors::kSuccess;
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
        const int result = TakeArgument<GEM>(element, argument.key, converted.*argument.member);
        if (result != errors::kSuccess) return failArgument(result);
      }
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
          const int result = TakeArgument<BM>(element, kMorphologyKernelKeys[i],
                                               converted.*kMorphologyKernelMembers[i]);
          if (result != errors::kSuccess) return failArgument(result);
        }
      }
      binarizationModes.push_back(converted);
    }
  }
  return errors::kSuccess;
}

}  // namespace quorvane
