#include "captureflow/target_roi.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "captureflow/default_names.h"
#include "framework/document_base.h"
#include "framework/field_mapping.h"

namespace quorvane {

namespace {

using Axis = QVIP_LocationOffsetStruct::ReferenceAxis;
using Point = QVIP_LocationOffsetStruct::Point;

using enum Axis::AxisType;
using enum Axis::LengthReference;
using enum QVIP_LocationOffsetStruct::ReferenceObjectType;
constexpr EnumEntry kAxisTypes[] = {QV_ENUM_ENTRY(AT_MIDPOINT_EDGE), QV_ENUM_ENTRY(AT_EDGE),
                                    QV_ENUM_ENTRY(AT_ROTATION_OTHER_AXIS)};
constexpr EnumEntry kLengthReferences[] = {QV_ENUM_ENTRY(LR_X), QV_ENUM_ENTRY(LR_Y)};
constexpr EnumEntry kReferenceObjectTypes[] = {QV_ENUM_ENTRY(ROT_ATOMIC_OBJECT),
                                               QV_ENUM_ENTRY(ROT_WHOLE_IMAGE)};

// One corner: 2 to 4 integers fill the point from the front (units not given
// stay as they are); written whole.
class PointField final : public FieldSpec {
 public:
  PointField(const char* key, Point QVIP_LocationOffsetStruct::*member, Point defaultPoint)
      : FieldSpec(key, kNoFlags), member_(member), default_(defaultPoint) {}

  int Read(QV_ParameterFieldBase& object, const Json::Value& container) const override {
    int error = errors::kSuccess;
    const QVRef<QVVector<int>> values = object.GetIntArrayValue(container, Key(), error);
    if (error != errors::kSuccess) return error;
    if (!values) return errors::kSuccess;
    const std::vector<int>& items = values->items;
    if (items.size() < 2 || items.size() > 4) return errors::kJsonValueInvalid;
    std::copy(items.begin(), items.end(), (Of(object)).begin());
    return errors::kSuccess;
  }
  void Write(QV_ParameterFieldBase& object, Json::Value& json, bool) const override {
    Json::Value& array = json[Json::StaticString(Key())];
    array = Json::Value(Json::arrayValue);
    for (int value : Of(object)) array.append(value);
  }
  void WriteText(QV_ParameterFieldBase& object, StyledText& text, bool) const override {
    const Point& point = Of(object);
    text.QuotedKey(KeyText());
    text.BeginArray(point.size());
    for (int value : point) text.Int(value);
    text.EndArray();
  }
  void Reset(QV_ParameterFieldBase& object) const override { Of(object) = default_; }
  // x and y, and optionally their units (1 percent, 0 pixels).
  Json::Value Describe(const QV_ParameterFieldBase&, SchemaWriter&) const override {
    Json::Value schema = SchemaWriter::ListOf(SchemaWriter::Integer(INT_MIN, INT_MAX), true);
    schema["anyOf"][0]["minItems"] = 2;
    schema["anyOf"][0]["maxItems"] = 4;
    return schema;
  }

 private:
  Point& Of(QV_ParameterFieldBase& object) const {
    return static_cast<QVIP_LocationOffsetStruct&>(object).*member_;
  }

  Point QVIP_LocationOffsetStruct::*member_;
  Point default_;
};

// The y axis starts from the second edge and is measured along y.
Axis YAxis() {
  Axis axis;
  axis.edgeIndex = 1;
  axis.lengthReference = LR_Y;
  return axis;
}

constexpr std::size_t kUnitX = 2;
constexpr std::size_t kUnitY = 3;

// Whether the quadrilateral turns the way the default one does (clockwise on
// an image, whose y axis points down) at every corner, strictly. Coordinates
// are any 32-bit values, so a difference needs 33 bits and a product of two
// of them more than 64.
bool TurnsTheDefaultWay(const std::array<const Point*, 4>& corners) {
  using Wide = __int128;
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const Point& before = *corners[(i + 3) % 4];
    const Point& at = *corners[i];
    const Point& after = *corners[(i + 1) % 4];
    const std::int64_t inX = std::int64_t{at[0]} - before[0];
    const std::int64_t inY = std::int64_t{at[1]} - before[1];
    const std::int64_t outX = std::int64_t{after[0]} - at[0];
    const std::int64_t outY = std::int64_t{after[1]} - at[1];
    if (Wide{inX} * outY - Wide{inY} * outX < 1) return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Reference axis

Axis::ReferenceAxis() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& Axis::Mapping() {
  static const ClassMapping mapping =
      Mapper<Axis>("ReferenceAxis")
          .Enum("AxisType", &Axis::axisType, AT_MIDPOINT_EDGE, kAxisTypes)
          .Int("EdgeIndex", &Axis::edgeIndex, 0, 0, 3)
          .Int("RotationAngle", &Axis::rotationAngle, 90, 1, 179)
          // Exact names only: unlike other enumerations, no case folding or trimming.
          .Enum("LengthReference", &Axis::lengthReference, LR_X, kLengthReferences, kNoFlags,
                {.exact = true})
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Location offset

QVIP_LocationOffsetStruct::QVIP_LocationOffsetStruct() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QVIP_LocationOffsetStruct::Mapping() {
  using S = QVIP_LocationOffsetStruct;
  static const ClassMapping mapping =
      Mapper<S>("LocationOffset")
          .RegisterCommonFields("", kNeverWritten)
          .Enum("ReferenceObjectType", &S::referenceObjectType, ROT_ATOMIC_OBJECT,
                kReferenceObjectTypes)
          .Int("ReferenceObjectOriginIndex", &S::referenceObjectOriginIndex, 0, 0, 3)
          .Int("MeasuredByPercentage", &S::measuredByPercentage, 1, 0, 1)
          .RegisterField(std::make_shared<PointField>("FirstPoint", &S::firstPoint, Point{0, 0, 1, 1}))
          .RegisterField(std::make_shared<PointField>("SecondPoint", &S::secondPoint, Point{100, 0, 1, 1}))
          .RegisterField(std::make_shared<PointField>("ThirdPoint", &S::thirdPoint, Point{100, 100, 1, 1}))
          .RegisterField(std::make_shared<PointField>("FourthPoint", &S::fourthPoint, Point{0, 100, 1, 1}))
          .Object("ReferenceXAxis", &S::referenceXAxis, kNoFlags, Axis())
          .Object("ReferenceYAxis", &S::referenceYAxis, kNoFlags, YAxis())
          .Build();
  return mapping;
}

void QVIP_LocationOffsetStruct::MarkUnitsNotGiven() {
  for (Point* point : Corners()) {
    (*point)[kUnitX] = kUnitNotGiven;
    (*point)[kUnitY] = kUnitNotGiven;
  }
}

void QVIP_LocationOffsetStruct::ResetReadMarks() { MarkUnitsNotGiven(); }

int QVIP_LocationOffsetStruct::Validate() {
  const int xType = referenceXAxis.axisType;
  const int yType = referenceYAxis.axisType;
  if (xType == Axis::AT_ROTATION_OTHER_AXIS && yType == Axis::AT_ROTATION_OTHER_AXIS) {
    errorMessage = texts::kBothAxesRotated;
    return errors::kJsonValueInvalid;
  }
  // Axes placed on edges must lie on adjacent edges. Two midpoint axes are
  // free.
  const bool onEdges =
      (xType == Axis::AT_EDGE && (yType == Axis::AT_EDGE || yType == Axis::AT_MIDPOINT_EDGE)) ||
      (xType == Axis::AT_MIDPOINT_EDGE && yType == Axis::AT_EDGE);
  if (onEdges) {
    const std::int64_t edge = referenceXAxis.edgeIndex;
    const std::int64_t other = referenceYAxis.edgeIndex;
    if (other == edge || other == (edge + 2) % 4) {
      errorMessage = texts::kEdgeIndexInvalid;
      return errors::kJsonValueInvalid;
    }
  }

  std::int64_t unitSum = 0;  // units are any 32-bit values
  for (Point* point : Corners()) {
    for (std::size_t unit : {kUnitX, kUnitY}) {
      if ((*point)[unit] == kUnitNotGiven) (*point)[unit] = measuredByPercentage;
      unitSum += (*point)[unit];
    }
  }
  // Points in mixed units cannot be compared, so only uniform ones are tested.
  if (unitSum == 8 || unitSum == 0) {
    if (!TurnsTheDefaultWay({&firstPoint, &secondPoint, &thirdPoint, &fourthPoint})) {
      errorMessage = Prefixed(GetTypeName(), texts::kPointsInvalid);
      return errors::kJsonValueInvalid;
    }
  }
  return errors::kSuccess;
}

// ---------------------------------------------------------------------------
// Location

const ClassMapping& QV_LocationStruct::Mapping() {
  using S = QV_LocationStruct;
  static const ClassMapping mapping =
      Mapper<S>("Location")
          .OptionalObject("ReferenceObjectFilter", &S::referenceObjectFilter, kKeepsMessage)
          .Object("Offset", &S::offset)
          .Build();
  return mapping;
}

// ---------------------------------------------------------------------------
// Target ROI definition

QV_TargetROIDef::QV_TargetROIDef() { ApplyDefaults(Mapping(), *this); }

const ClassMapping& QV_TargetROIDef::Mapping() {
  using S = QV_TargetROIDef;
  static const ClassMapping mapping =
      Mapper<S>("TargetROIDef")
          .RegisterCommonFields(DefaultTargetROIDefName().c_str())
          .Text("BaseTargetROIDefName", &S::baseTargetROIDefName)
          .Note("The definition this one inherits the keys it leaves out from")
          .Int("PauseFlag", &S::pauseFlag, 0, 0, 1)
          .TextList("TaskSettingNameArray", &S::taskSettingNames, kWrittenWhenNotEmpty)
          .RefersTo(kAnyTask)
          .Note("The tasks that run on this region, by name")
          .Object("Location", &S::location)
          .Note("Where the region is: four corners on the image, or an offset from reference objects")
          .Build();
  return mapping;
}

const std::string& QV_TargetROIDef::GetBaseName() const { return baseTargetROIDefName; }

void QV_TargetROIDef::ResetReadMarks() { isPlaceholder = false; }

void QV_TargetROIDef::AddTaskSettingName(const std::string& taskName) {
  if (std::find(taskSettingNames.begin(), taskSettingNames.end(), taskName) ==
      taskSettingNames.end()) {
    taskSettingNames.push_back(taskName);
  }
}

}  // namespace quorvane
