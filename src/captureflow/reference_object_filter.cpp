#include "captureflow/reference_object_filter.h"

#include "framework/document_base.h"
#include "framework/field_mapping.h"
#include "imageparams/image_modes.h"

namespace quorvane {

namespace {

constexpr EnumEntry kAtomicResultTypes[] = {
    QV_ENUM_ENTRY(ART_TEXT_LINE),     QV_ENUM_ENTRY(ART_BARCODE),
    QV_ENUM_ENTRY(ART_FRAME),         QV_ENUM_ENTRY(ART_TABLE_CELL),
    QV_ENUM_ENTRY(ART_GEOMETRY_LINE), QV_ENUM_ENTRY(ART_CORNER),
    QV_ENUM_ENTRY(ART_COLOUR_REGION),
};

constexpr EnumEntry kRegionStates[] = {{"default", RS_DEFAULT}, {"selected", RS_SELECTED}};

// A number text such as "1-3, 7" into an int list: the integers of one
// bracket-less group; null gives an empty list. A malformed item, or ranges
// expanding beyond the parser's limit, give -10033 with key + ":" + the
// code's text. An int array, as these lists are written, is taken as it is.
template <class S>
class NumberTextField final : public FieldSpec {
 public:
  NumberTextField(const char* key, std::vector<int> S::*member)
      : FieldSpec(key, kNoFlags), member_(member) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    std::vector<int>& member = static_cast<S&>(object).*member_;
    int error = errors::kSuccess;
    const Json::Value* value = FindMember(container, Key());
    if (value && value->isArray()) {
      QVRef<QVVector<int>> numbers = object.GetIntArrayValue(container, Key(), error);
      if (error != errors::kSuccess) return error;
      member = std::move(numbers->items);
      return errors::kSuccess;
    }
    const std::string_view text = object.GetStringValue(container, Key(), error);
    if (error != errors::kSuccess) return error;
    std::vector<int> numbers;
    if (!ParseIntegerGroup(text, numbers)) {
      return object.FailWithKey(Key(), errors::kJsonValueInvalid);
    }
    member = std::move(numbers);
    return errors::kSuccess;
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    json[Json::StaticString(Key())] = IntListJson(static_cast<S&>(object).*member_);
  }
  void Reset(QV_ParameterFieldBase& object) const override {
    (static_cast<S&>(object).*member_).clear();
  }
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter&) const override {
    Json::Value text;
    text["type"] = "string";
    text["description"] = "numbers and ranges such as \"1-3, 7\"";
    Json::Value schema = SchemaWriter::ListOf(SchemaWriter::Integer(INT_MIN, INT_MAX), true);
    schema["anyOf"].append(text);
    return schema;
  }

 private:
  std::vector<int> S::*member_;
};

}  // namespace

EnumTable AtomicResultTypeNames() { return kAtomicResultTypes; }

// ---------------------------------------------------------------------------
// Conditions

const ClassMapping& QVIP_SizeFilteringConditionBase::SizeRangeMapping() {
  using S = QVIP_SizeFilteringConditionBase;
  constexpr int kMax = INT_MAX;
  static const ClassMapping mapping =
      Mapper<S>("")
          .IntList("ImageDimensionRange", &S::imageDimensionRange, {16384, kMax}, {0, 0},
                   {kMax, kMax})
          .IntList("AspectRatioRange", &S::aspectRatioRange, {1, 10000}, {0, 0}, {kMax, kMax})
          .IntList("WidthRange", &S::widthRange, {1, kMax}, {0, 0}, {kMax, kMax})
          .IntList("HeightRange", &S::heightRange, {1, kMax}, {0, 0}, {kMax, kMax})
          .Build();
  return mapping;
}

QVIP_BarcodeFilteringConditionStruct::QVIP_BarcodeFilteringConditionStruct() {
  ApplyDefaults(Mapping(), *this);
}

const ClassMapping& QVIP_BarcodeFilteringConditionStruct::Mapping() {
  using S = QVIP_BarcodeFilteringConditionStruct;
  static const ClassMapping mapping =
      Mapper<S>("BarcodeFilteringCondition")
          .Inline("BarcodeFormatIds", &S::barcodeFormatIds, kKeepsMessage)
          .Text("BarcodeTextRegExPattern", &S::barcodeTextRegExPattern)
          .Enum("RegionState", &S::regionState, RS_DEFAULT, kRegionStates)
          .Build();
  return mapping;
}

QVIP_FrameFilteringConditionStruct::QVIP_FrameFilteringConditionStruct() {
  ApplyDefaults(Mapping(), *this);
}

const ClassMapping& QVIP_FrameFilteringConditionStruct::Mapping() {
  using S = QVIP_FrameFilteringConditionStruct;
  static const ClassMapping mapping =
      Mapper<S>("FrameFilteringCondition")
          .Include(SizeRangeMapping())
          .Enum("RegionState", &S::regionState, RS_DEFAULT, kRegionStates)
          .Build();
  return mapping;
}

QVIP_TableCellFilteringConditionStruct::QVIP_TableCellFilteringConditionStruct() {
  ApplyDefaults(Mapping(), *this);
}

const ClassMapping& QVIP_TableCellFilteringConditionStruct::Mapping() {
  using S = QVIP_TableCellFilteringConditionStruct;
  static const ClassMapping mapping =
      Mapper<S>("TableCellFilteringCondition")
          .RegisterField(std::make_shared<NumberTextField<S>>("RowNumbers", &S::rowNumbers))
          .RegisterField(std::make_shared<NumberTextField<S>>("ColNumbers", &S::colNumbers))
          .Enum("RegionState", &S::regionState, RS_DEFAULT, kRegionStates)
          .Build();
  return mapping;
}

QVIP_TextLineFilteringConditionStruct::QVIP_TextLineFilteringConditionStruct() {
  ApplyDefaults(Mapping(), *this);
}

const ClassMapping& QVIP_TextLineFilteringConditionStruct::Mapping() {
  using S = QVIP_TextLineFilteringConditionStruct;
  static const ClassMapping mapping =
      Mapper<S>("TextLineFilteringCondition")
          .RegisterField(std::make_shared<NumberTextField<S>>("LineNumbers", &S::lineNumbers))
          .Text("LineStringRegExPattern", &S::lineStringRegExPattern)
          .Enum("RegionState", &S::regionState, RS_DEFAULT, kRegionStates)
          .Build();
  return mapping;
}

QVIP_ColourRegionFilteringConditionStruct::QVIP_ColourRegionFilteringConditionStruct() {
  ApplyDefaults(Mapping(), *this);
}

const ClassMapping& QVIP_ColourRegionFilteringConditionStruct::Mapping() {
  using S = QVIP_ColourRegionFilteringConditionStruct;
  using RPM = QVIP_RegionPredetectionModeStruct;
  static const ClassMapping mapping =
      Mapper<S>("ColourRegionFilteringCondition")
          .Enum("RegionPredetectionMode", &S::regionPredetectionMode, RPM::RPM_SKIP,
                RPM::Mapping().Modes())
          .Include(SizeRangeMapping())
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Filter

QV_ReferenceObjectFilter::QV_ReferenceObjectFilter() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QV_ReferenceObjectFilter::Mapping() {
  using S = QV_ReferenceObjectFilter;
  constexpr unsigned kCondition = kMadeWhenNull | kKeepsMessage;
  static const ClassMapping mapping =
      Mapper<S>("ReferenceObjectFilter")
          .TextList("ReferenceTargetROIDefNameArray", &S::referenceTargetROIDefNames)
          .RefersTo(kTargetROIDefs)
          .TextList("ReferenceTaskNameArray", &S::referenceTaskNames)
          .RefersTo(kAnyTask)
          // An empty array empties the list; a name not in the table fails
          // with no text of its own.
          .NameList("AtomicResultTypeArray", &S::atomicResultTypes,
                    {ART_TEXT_LINE, ART_BARCODE, ART_TABLE_CELL, ART_FRAME}, kAtomicResultTypes)
          .OptionalObject("BarcodeFilteringCondition", &S::barcodeFilteringCondition, kCondition)
          .OptionalObject("FrameFilteringCondition", &S::frameFilteringCondition, kCondition)
          .OptionalObject("TableCellFilteringCondition", &S::tableCellFilteringCondition,
                          kCondition)
          .OptionalObject("TextLineFilteringCondition", &S::textLineFilteringCondition,
                          kCondition)
          .OptionalObject("ColourRegionFilteringCondition", &S::colourRegionFilteringCondition,
                          kCondition)
          .Build();
  return mapping;
}

}  // namespace quorvane
