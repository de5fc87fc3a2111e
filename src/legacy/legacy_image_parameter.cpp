#include "legacy/legacy_image_parameter.h"

#include <climits>
#include <algorithm>
#include <string_view>

#include "framework/field_mapping.h"
#include "framework/key_accounting.h"
#include "legacy/legacy_modes.h"

namespace quorvane {

namespace {

// The type name and the key run together: "ImageParameterBinarizationModes invalid".
std::string LegacyKeyInvalid(const QV_ParameterFieldBase& image, std::string_view key) {
  return Prefixed(Prefixed(image.GetTypeName(), key, Joint::kNone), texts::kLegacyKeyInvalid,
                  Joint::kSpace);
}

using GEM = QVIP_GrayscaleEnhancementModeStruct;
using BM = QVIP_BinarizationModeStruct;

constexpr const char* kPreprocessingKey = "ImagePreprocessingModes";

// The legacy preprocessing modes that became grayscale enhancement modes,
// with the arguments each takes from an object element; the others stay -1.
// Legacy names match exactly.
struct EnhancementRow {
  std::string_view legacyName;
  int mode;
  const char* taken[4];  // up to the first null
};
const EnhancementRow kEnhancementRows[] = {
    {"IPM_GENERAL", GEM::GEM_GENERAL, {}},
    {"IPM_GRAY_EQUALIZE", GEM::GEM_GRAY_EQUALIZE, {"Sensitivity"}},
    {"IPM_GRAY_SMOOTH", GEM::GEM_GRAY_SMOOTH, {"SmoothBlockSizeX", "SmoothBlockSizeY"}},
    {"IPM_SHARPEN_SMOOTH",
     GEM::GEM_SHARPEN_SMOOTH,
     {"SharpenBlockSizeX", "SharpenBlockSizeY", "SmoothBlockSizeX", "SmoothBlockSizeY"}},
};

// Morphology became a step of binarization: a BM_LOCAL_BLOCK mode with the
// binarization defaults, the operation and shape (read only when given, as
// names) and the two kernel sizes.
constexpr std::string_view kMorphologyName = "IPM_MORPHOLOGY";
constexpr const char* kMorphologyNames[] = {"MorphOperation", "MorphShape"};
constexpr const char* kMorphologyKernels[] = {"MorphOperationKernelSizeX",
                                              "MorphOperationKernelSizeY"};

const EnhancementRow* FindEnhancementRow(std::string_view legacyName) {
  for (const EnhancementRow& row : kEnhancementRows) {
    if (row.legacyName == legacyName) return &row;
  }
  return nullptr;
}

// An argument of a legacy element into the member of `converted` that the
// current key of its family names, held to that key's range so that the
// converted template reads back: absent or null gives 0, or -1 ("not set")
// where 0 is out of range; an integer (integral reals included) must be -1
// or within the range. Returns 0 or the error code.
template <class S>
int TakeArgument(const Json::Value& element, const char* key, S& converted) {
  const auto& field = dynamic_cast<const field_kinds::IntField<S>&>(*S::Mapping().Find(key));
  int& out = converted.*field.Member();
  const Json::Value* member = FindMember(element, key);
  if (!member || member->isNull()) {
    out = (field.Minimum() <= 0 && 0 <= field.Maximum()) ? 0 : -1;
    return errors::kSuccess;
  }
  ConsumeMember(element, key);
  if (!member->isInt()) return errors::kJsonTypeInvalid;
  const int value = member->asInt();
  if (value != -1 && (value < field.Minimum() || value > field.Maximum())) {
    return errors::kJsonValueInvalid;
  }
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

// A legacy preprocessing mode whose argument cannot be converted: the
// key's message, and `code`.
int FailPreprocessing(QV_ParameterFieldBase& image, int code) {
  image.errorMessage = LegacyKeyInvalid(image, kPreprocessingKey);
  return code;
}

// "ImagePreprocessingModes": converted after every other key, so that the
// converted modes replace what "GrayscaleEnhancementModes" gave; a legacy
// "BinarizationModes" list, when given, wins over morphology.
int ReadPreprocessingModes(const ConvertedField& field, QV_ParameterFieldBase& object,
                           const Json::Value& container) {
  const Json::Value* modes = FindMember(container, field.Key());
  if (!modes || !modes->isArray()) return errors::kSuccess;
  auto& image = static_cast<OldImageParameterReader&>(object);
  const Json::Value* binarization = FindMember(container, "BinarizationModes");
  const bool binarizationGiven = binarization && binarization->isArray() && !binarization->empty();
  bool enhancementReplaced = false;
  bool binarizationReplaced = false;
  for (const Json::Value& element : *modes) {
    std::string_view name;
    if (!PreprocessingModeName(element, name)) {
      RecordChange(element, Json::Value(), "not a mode name; dropped");
      continue;
    }
    const bool isObject = element.isObject();
    // A mode the conversion knows carries its name over; others leave it behind.
    const bool converted = FindEnhancementRow(name) != nullptr || name == kMorphologyName;
    if (isObject && converted) ConsumeMember(element, "Mode");
    if (const EnhancementRow* row = FindEnhancementRow(name)) {
      // The converted modes replace the list, whatever it held before.
      if (!enhancementReplaced) {
        image.grayscaleEnhancementModes.clear();
        enhancementReplaced = true;
      }
      GEM converted(row->mode);
      for (const char* key : row->taken) {
        if (!isObject || key == nullptr) break;
        if (const int result = TakeArgument(element, key, converted)) {
          return FailPreprocessing(image, result);
        }
      }
      image.grayscaleEnhancementModes.push_back(converted);
    } else if (name == kMorphologyName) {
      BM converted;
      if (isObject) {
        const ClassMapping& family = BM::Mapping();
        for (const char* key : kMorphologyNames) {
          if (!FindMember(element, key)) continue;
          ConsumeMember(element, key);
          if (const int result = family.Find(key)->Read(converted, element)) {
            image.errorMessage = converted.errorMessage;
            return result;
          }
        }
        for (const char* key : kMorphologyKernels) {
          if (const int result = TakeArgument(element, key, converted)) {
            return FailPreprocessing(image, result);
          }
        }
      }
      if (binarizationGiven) {
        RecordChange(element, Json::Value(), "the binarization modes given win; dropped");
        continue;
      }
      if (!binarizationReplaced) {
        image.binarizationModes.clear();
        binarizationReplaced = true;
      }
      image.binarizationModes.push_back(converted);
    } else {
      RecordChange(element, Json::Value(), "unknown mode name; dropped");
    }
  }
  return errors::kSuccess;
}

}  // namespace

OldImageParameterReader::OldImageParameterReader() { ApplyTextLineDefaults(); }

const ClassMapping& OldImageParameterReader::Mapping() {
  const ClassMapping& current = QV_ImageParameter::Mapping();
  static const ClassMapping mapping = [&current] {
    Mapper<OldImageParameterReader> mapper(current.TypeName());
    mapper.Include(current);
    // The legacy enhancement modes are "ImagePreprocessingModes": that list
    // keeps its current reading.
    for (FieldPointer& list : LegacyModeLists(current, &GEM::Mapping())) {
      mapper.RegisterField(std::move(list));
    }
    // A grayscale enhancement or a binarization mode, whichever writes more.
    const std::size_t units = std::max(GEM::Mapping().WrittenUnits(), BM::Mapping().WrittenUnits());
    return mapper
        .RegisterField(std::make_shared<ConvertedField>(kPreprocessingKey, &ReadPreprocessingModes,
                                                        kNoFlags, units))
        .Build();
  }();
  return mapping;
}

int OldImageParameterReader::ReadLegacyJson(const Json::Value& value) {
  BindForRead(GetMapping());
  if (value.isObject()) {
    // The barcode keys of a legacy object are not the image parameter's.
    // The preprocessing modes are converted after every other key: they
    // replace what those gave.
    static const SkippedKeys kConvertedLast = {kPreprocessingKey};
    std::string_view failedKey;
    if (const int result = ReadFields(value, kConvertedLast, true, failedKey)) {
      errorMessage = LegacyKeyInvalid(*this, failedKey);
      return result;
    }
    ConsumeMember(value, kPreprocessingKey);
    return Mapping().Find(kPreprocessingKey)->Read(*this, value);
  }
  if (!value.isNull()) {
    PrefixMessage(GetTypeName());
    return errors::kJsonTypeInvalid;
  }
  return errors::kSuccess;
}

}  // namespace quorvane
