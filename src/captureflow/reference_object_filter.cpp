#include "captureflow/reference_object_filter.h"

#include "imageparams/image_modes.h"

namespace quorvane {

namespace {

constexpr EnumEntry kAtomicResultTypes[] = {
    {"ART_TEXT_LINE", ART_TEXT_LINE},
    {"ART_BARCODE", ART_BARCODE},
    {"ART_FRAME", ART_FRAME},
    {"ART_TABLE_CELL", ART_TABLE_CELL},
    {"ART_GEOMETRY_LINE", ART_GEOMETRY_LINE},
    {"ART_CORNER", ART_CORNER},
    {"ART_COLOUR_REGION", ART_COLOUR_REGION},
};

constexpr EnumEntry kRegionStates[] = {{"default", RS_DEFAULT}, {"selected", RS_SELECTED}};

}  // namespace

EnumTable AtomicResultTypeNames() { return kAtomicResultTypes; }
EnumTable RegionStateNames() { return kRegionStates; }

int ReadAtomicResultTypes(QV_ParameterFieldBase& owner, const Json::Value& object,
                          std::string_view key, std::vector<int>& member) {
  int error = errors::kSuccess;
  const QVRef<QVVector<std::string_view>> names = owner.GetStringArrayValue(object, key, error);
  if (error != errors::kSuccess) return error;
  if (!names) return errors::kSuccess;
  std::vector<int> types;
  types.reserve(names->items.size());
  for (std::string_view text : names->items) {
    const int type = LookupEnumValue(kAtomicResultTypes, text);
    if (type == kEnumNotFound) return errors::kJsonValueInvalid;
    types.push_back(type);
  }
  member = std::move(types);
  return errors::kSuccess;
}

Json::Value AtomicResultTypesJson(const std::vector<int>& types) {
  Json::Value names;  // stays null for an empty list
  for (int type : types) names.append(Json::StaticString(EnumName(kAtomicResultTypes, type)));
  return names;
}

// ---------------------------------------------------------------------------
// Shared condition readers

void QVIP_FilteringConditionBase::RegisterNumberTextField(std::string_view key,
                                                          std::vector<int>* member) {
  RegisterField(key, [this, key, member](const Json::Value& object) {
    return ReadNumberText(object, key, *member);
  });
}

int QVIP_FilteringConditionBase::ReadNumberText(const Json::Value& object, std::string_view key,
                                                std::vector<int>& member) {
  // The writer gives these lists as int arrays: take them back as they are.
  const Json::Value* value = FindMember(object, key);
  if (value && value->isArray()) {
    int error = errors::kSuccess;
    QVRef<QVVector<int>> numbers = GetIntArrayValue(object, key, error);
    if (error != errors::kSuccess) return error;
    member = std::move(numbers->items);
    return errors::kSuccess;
  }
  int error = errors::kSuccess;
  const std::string_view text = GetStringValue(object, key, error);
  if (error != errors::kSuccess) return error;
  std::vector<int> numbers;
  if (!ParseIntegerGroup(text, numbers)) return FailWithKey(key, errors::kJsonValueInvalid);
  member = std::move(numbers);
  return errors::kSuccess;
}

void QVIP_FilteringConditionBase::RegisterRegionStateField(int* member) {
  RegisterEnumField("RegionState", member, kRegionStates);
}

void QVIP_SizeFilteringConditionBase::RegisterSizeRangeFields() {
  static const std::vector<std::string> keys = {"ImageDimensionRange", "AspectRatioRange",
                                                "WidthRange", "HeightRange"};
  static const std::vector<std::vector<int>> minimums(4, std::vector<int>{0, 0});
  static const std::vector<std::vector<int>> maximums(4, std::vector<int>{INT_MAX, INT_MAX});
  RegisterIntArrayFields(keys, {&imageDimensionRange, &aspectRatioRange, &widthRange, &heightRange},
                         minimums, maximums);
}

void QVIP_SizeFilteringConditionBase::WriteSizeRanges() {
  WriteIntArrays({"ImageDimensionRange", "AspectRatioRange", "WidthRange", "HeightRange"},
                 {&imageDimensionRange, &aspectRatioRange, &widthRange, &heightRange});
}

// ---------------------------------------------------------------------------
// Barcode condition

const std::string& QVIP_BarcodeFilteringConditionStruct::GetTypeName() const {
  static const std::string typeName = "BarcodeFilteringCondition";
  return typeName;
}

int QVIP_BarcodeFilteringConditionStruct::ReadFromJson(const Json::Value& value,
                                                       const SkippedKeys& skippedKeys) {
  int result = barcodeFormatIds.ReadFromJson(value, skippedKeys);
  if (result != errors::kSuccess) return result;
  static const SkippedKeys formatKeyOnly = {"BarcodeFormatIds"};
  SkippedKeys extended;
  if (!skippedKeys.empty()) {
    extended = skippedKeys;
    extended.push_back(formatKeyOnly.front());
  }
  InitFieldTable();
  if (value.isObject()) {
    result = ReadFields(value, skippedKeys.empty() ? formatKeyOnly : extended, false);
    if (result != errors::kSuccess) return result;
  } else if (!value.isNull()) {
    return errors::kJsonTypeInvalid;
  }
  return Validate();
}

void QVIP_BarcodeFilteringConditionStruct::InitFieldTable() {
  RegisterStringField("BarcodeTextRegExPattern", &barcodeTextRegExPattern);
  RegisterRegionStateField(&regionState);
}

void QVIP_BarcodeFilteringConditionStruct::WriteToJson(bool flag) {
  json = Json::Value();
  json["RegionState"_key] = Json::StaticString(EnumName(kRegionStates, regionState));
  json["BarcodeTextRegExPattern"_key] = barcodeTextRegExPattern;
  barcodeFormatIds.WriteToJson(flag);
  json["BarcodeFormatIds"_key] = MemberOrNull(barcodeFormatIds.json, "BarcodeFormatIds");
}

// ---------------------------------------------------------------------------
// Frame condition

const std::string& QVIP_FrameFilteringConditionStruct::GetTypeName() const {
  static const std::string typeName = "FrameFilteringCondition";
  return typeName;
}

void QVIP_FrameFilteringConditionStruct::InitFieldTable() {
  RegisterSizeRangeFields();
  RegisterRegionStateField(&regionState);
}

void QVIP_FrameFilteringConditionStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["RegionState"_key] = Json::StaticString(EnumName(kRegionStates, regionState));
  WriteSizeRanges();
}

// ---------------------------------------------------------------------------
// Table cell condition

const std::string& QVIP_TableCellFilteringConditionStruct::GetTypeName() const {
  static const std::string typeName = "TableCellFilteringCondition";
  return typeName;
}

void QVIP_TableCellFilteringConditionStruct::InitFieldTable() {
  RegisterNumberTextField("RowNumbers", &rowNumbers);
  RegisterNumberTextField("ColNumbers", &colNumbers);
  RegisterRegionStateField(&regionState);
}

void QVIP_TableCellFilteringConditionStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["RegionState"_key] = Json::StaticString(EnumName(kRegionStates, regionState));
  WriteIntArrays({"RowNumbers", "ColNumbers"}, {&rowNumbers, &colNumbers});
}

// ---------------------------------------------------------------------------
// Text line condition

const std::string& QVIP_TextLineFilteringConditionStruct::GetTypeName() const {
  static const std::string typeName = "TextLineFilteringCondition";
  return typeName;
}

void QVIP_TextLineFilteringConditionStruct::InitFieldTable() {
  RegisterNumberTextField("LineNumbers", &lineNumbers);
  RegisterStringField("LineStringRegExPattern", &lineStringRegExPattern);
  RegisterRegionStateField(&regionState);
}

void QVIP_TextLineFilteringConditionStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["RegionState"_key] = Json::StaticString(EnumName(kRegionStates, regionState));
  json["LineStringRegExPattern"_key] = lineStringRegExPattern;
  WriteIntArrays({"LineNumbers"}, {&lineNumbers});
}

// ---------------------------------------------------------------------------
// Colour region condition

const std::string& QVIP_ColourRegionFilteringConditionStruct::GetTypeName() const {
  static const std::string typeName = "ColourRegionFilteringCondition";
  return typeName;
}

void QVIP_ColourRegionFilteringConditionStruct::InitFieldTable() {
  RegisterEnumField("RegionPredetectionMode", &regionPredetectionMode,
                    RegionPredetectionModeNames());
  RegisterSizeRangeFields();
}

void QVIP_ColourRegionFilteringConditionStruct::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["RegionPredetectionMode"_key] = Json::StaticString(EnumName(RegionPredetectionModeNames(), regionPredetectionMode));
  WriteSizeRanges();
}

// ---------------------------------------------------------------------------
// Filter

QV_ReferenceObjectFilter::QV_ReferenceObjectFilter(const QV_ReferenceObjectFilter& other)
    : QV_ParameterFieldBase(other),
      referenceTargetROIDefNames(other.referenceTargetROIDefNames),
      referenceTaskNames(other.referenceTaskNames),
      atomicResultTypes(other.atomicResultTypes),
      barcodeFilteringCondition(CopyHeld(other.barcodeFilteringCondition)),
      frameFilteringCondition(CopyHeld(other.frameFilteringCondition)),
      tableCellFilteringCondition(CopyHeld(other.tableCellFilteringCondition)),
      textLineFilteringCondition(CopyHeld(other.textLineFilteringCondition)),
      colourRegionFilteringCondition(CopyHeld(other.colourRegionFilteringCondition)) {}

QV_ReferenceObjectFilter& QV_ReferenceObjectFilter::operator=(
    const QV_ReferenceObjectFilter& other) {
  if (this != &other) {
    QV_ParameterFieldBase::operator=(other);
    referenceTargetROIDefNames = other.referenceTargetROIDefNames;
    referenceTaskNames = other.referenceTaskNames;
    atomicResultTypes = other.atomicResultTypes;
    barcodeFilteringCondition = CopyHeld(other.barcodeFilteringCondition);
    frameFilteringCondition = CopyHeld(other.frameFilteringCondition);
    tableCellFilteringCondition = CopyHeld(other.tableCellFilteringCondition);
    textLineFilteringCondition = CopyHeld(other.textLineFilteringCondition);
    colourRegionFilteringCondition = CopyHeld(other.colourRegionFilteringCondition);
  }
  return *this;
}

const std::string& QV_ReferenceObjectFilter::GetTypeName() const {
  static const std::string typeName = "ReferenceObjectFilter";
  return typeName;
}

// A condition keeps its failure text to itself: the filter's message keeps
// its previous text behind the filter's prefix.
template <class T>
void QV_ReferenceObjectFilter::RegisterConditionField(std::string_view key, QVRef<T>* condition) {
  RegisterField(key, [key, condition](const Json::Value& object) {
    if (!*condition) *condition = MakeRef<T>();
    return (*condition)->ReadFromJson(MemberOrNull(object, key), NoSkippedKeys());
  });
}

void QV_ReferenceObjectFilter::InitFieldTable() {
  RegisterStringArrayField("ReferenceTargetROIDefNameArray", &referenceTargetROIDefNames, false);
  RegisterStringArrayField("ReferenceTaskNameArray", &referenceTaskNames, false);
  RegisterField("AtomicResultTypeArray", [this](const Json::Value& object) {
    return ReadAtomicResultTypes(*this, object, "AtomicResultTypeArray", atomicResultTypes);
  });
  RegisterConditionField("BarcodeFilteringCondition", &barcodeFilteringCondition);
  RegisterConditionField("FrameFilteringCondition", &frameFilteringCondition);
  RegisterConditionField("TableCellFilteringCondition", &tableCellFilteringCondition);
  RegisterConditionField("TextLineFilteringCondition", &textLineFilteringCondition);
  RegisterConditionField("ColourRegionFilteringCondition", &colourRegionFilteringCondition);
}

template <class T>
void QV_ReferenceObjectFilter::WriteCondition(const char* key, const QVRef<T>& condition,
                                              bool flag) {
  if (condition) WriteChild(key, *condition, flag);
}

void QV_ReferenceObjectFilter::WriteToJson(bool flag) {
  json = Json::Value();
  json["ReferenceTargetROIDefNameArray"_key] = StringListJson(referenceTargetROIDefNames);
  json["ReferenceTaskNameArray"_key] = StringListJson(referenceTaskNames);
  json["AtomicResultTypeArray"_key] = AtomicResultTypesJson(atomicResultTypes);
  WriteCondition("BarcodeFilteringCondition", barcodeFilteringCondition, flag);
  WriteCondition("FrameFilteringCondition", frameFilteringCondition, flag);
  WriteCondition("TableCellFilteringCondition", tableCellFilteringCondition, flag);
  WriteCondition("TextLineFilteringCondition", textLineFilteringCondition, flag);
  WriteCondition("ColourRegionFilteringCondition", colourRegionFilteringCondition, flag);
}

}  // namespace quorvane
