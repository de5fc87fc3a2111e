#include "captureflow/target_roi.h"

#include <algorithm>
#include <cstdint>

#include "captureflow/default_names.h"

namespace quorvane {

namespace {

using Axis = QVIP_LocationOffsetStruct::ReferenceAxis;
using Point = QVIP_LocationOffsetStruct::Point;

constexpr EnumEntry kAxisTypes[] = {{"AT_MIDPOINT_EDGE", Axis::AT_MIDPOINT_EDGE},
                                    {"AT_EDGE", Axis::AT_EDGE},
                                    {"AT_ROTATION_OTHER_AXIS", Axis::AT_ROTATION_OTHER_AXIS}};

constexpr EnumEntry kReferenceObjectTypes[] = {
    {"ROT_ATOMIC_OBJECT", QVIP_LocationOffsetStruct::ROT_ATOMIC_OBJECT},
    {"ROT_WHOLE_IMAGE", QVIP_LocationOffsetStruct::ROT_WHOLE_IMAGE}};

// The four points in corner order, first to fourth.
struct PointField {
  const char* key;
  Point QVIP_LocationOffsetStruct::*member;
};
constexpr PointField kPoints[] = {{"FirstPoint", &QVIP_LocationOffsetStruct::firstPoint},
                                  {"SecondPoint", &QVIP_LocationOffsetStruct::secondPoint},
                                  {"ThirdPoint", &QVIP_LocationOffsetStruct::thirdPoint},
                                  {"FourthPoint", &QVIP_LocationOffsetStruct::fourthPoint}};

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

EnumTable Axis::AxisTypeNames() { return kAxisTypes; }

const std::string& Axis::GetTypeName() const {
  static const std::string typeName = "ReferenceAxis";
  return typeName;
}

void Axis::InitFieldTable() {
  RegisterEnumField("AxisType", &axisType, kAxisTypes);
  RegisterIntField("EdgeIndex", &edgeIndex, 0, 3);
  RegisterIntField("RotationAngle", &rotationAngle, 1, 179);
  // Exact names only: unlike enumerations, no case folding or trimming.
  RegisterField("LengthReference", [this](const Json::Value& object) {
    int error = errors::kSuccess;
    const std::string_view text = GetStringValue(object, "LengthReference", error);
    if (error != errors::kSuccess) return error;
    if (text == "LR_X") {
      lengthReference = LR_X;
    } else if (text == "LR_Y") {
      lengthReference = LR_Y;
    } else {
      return FailWithKey("LengthReference", errors::kJsonValueInvalid);
    }
    return errors::kSuccess;
  });
}

void Axis::WriteToJson(bool /*flag*/) {
  json = Json::Value();
  json["AxisType"_key] = Json::StaticString(EnumName(kAxisTypes, axisType));
  json["EdgeIndex"_key] = edgeIndex;
  json["RotationAngle"_key] = rotationAngle;
  json["LengthReference"_key] = lengthReference != LR_X ? "LR_Y" : "LR_X";
}

// ---------------------------------------------------------------------------
// Location offset

EnumTable QVIP_LocationOffsetStruct::ReferenceObjectTypeNames() { return kReferenceObjectTypes; }

const std::string& QVIP_LocationOffsetStruct::GetTypeName() const {
  static const std::string typeName = "LocationOffset";
  return typeName;
}

void QVIP_LocationOffsetStruct::MarkUnitsNotGiven() {
  for (const PointField& field : kPoints) {
    Point& point = this->*field.member;
    point[kUnitX] = kUnitNotGiven;
    point[kUnitY] = kUnitNotGiven;
  }
}

void QVIP_LocationOffsetStruct::InitFieldTable() {
  RegisterCommonFields();
  RegisterEnumField("ReferenceObjectType", &referenceObjectType, kReferenceObjectTypes);
  RegisterIntField("ReferenceObjectOriginIndex", &referenceObjectOriginIndex, 0, 3);
  RegisterIntField("MeasuredByPercentage", &measuredByPercentage, 0, 1);
  MarkUnitsNotGiven();
  for (const PointField& field : kPoints) {
    // 2 to 4 integers fill the point from the front; units not given stay marked.
    RegisterField(field.key, [this, field](const Json::Value& object) {
      int error = errors::kSuccess;
      const QVRef<QVVector<int>> values = GetIntArrayValue(object, field.key, error);
      if (error != errors::kSuccess) return error;
      if (!values) return errors::kSuccess;
      const std::vector<int>& items = values->items;
      if (items.size() < 2 || items.size() > 4) return errors::kJsonValueInvalid;
      std::copy(items.begin(), items.end(), (this->*field.member).begin());
      return errors::kSuccess;
    });
  }
  RegisterEmbeddedField("ReferenceXAxis", &referenceXAxis);
  RegisterEmbeddedField("ReferenceYAxis", &referenceYAxis);
}

int QVIP_LocationOffsetStruct::Validate() {
  const int xType = referenceXAxis.axisType;
  const int yType = referenceYAxis.axisType;
  if (xType == Axis::AT_ROTATION_OTHER_AXIS && yType == Axis::AT_ROTATION_OTHER_AXIS) {
    errorMessage = "AxisType can't be AT_ROTATION_OTHER_AXIS at the same time.";
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
      errorMessage = "EdgeIndex is invalid.";
      return errors::kJsonValueInvalid;
    }
  }

  std::int64_t unitSum = 0;  // units are any 32-bit values
  for (const PointField& field : kPoints) {
    Point& point = this->*field.member;
    for (std::size_t unit : {kUnitX, kUnitY}) {
      if (point[unit] == kUnitNotGiven) point[unit] = measuredByPercentage;
      unitSum += point[unit];
    }
  }
  // Points in mixed units cannot be compared, so only uniform ones are tested.
  if (unitSum == 8 || unitSum == 0) {
    if (!TurnsTheDefaultWay({&firstPoint, &secondPoint, &thirdPoint, &fourthPoint})) {
      errorMessage = GetTypeName() + ": points are invalid.";
      return errors::kJsonValueInvalid;
    }
  }
  return errors::kSuccess;
}

void QVIP_LocationOffsetStruct::WriteToJson(bool flag) {
  json = Json::Value();
  json["ReferenceObjectOriginIndex"_key] = referenceObjectOriginIndex;
  json["MeasuredByPercentage"_key] = measuredByPercentage;
  json["ReferenceObjectType"_key] = Json::StaticString(EnumName(kReferenceObjectTypes, referenceObjectType));
  WriteChild("ReferenceXAxis", referenceXAxis, flag);
  WriteChild("ReferenceYAxis", referenceYAxis, flag);
  for (const PointField& field : kPoints) {
    Json::Value& array = json[Json::StaticString(field.key)];
    array = Json::Value(Json::arrayValue);
    for (int value : this->*field.member) array.append(value);
  }
}

// ---------------------------------------------------------------------------
// Location

QV_LocationStruct::QV_LocationStruct(const QV_LocationStruct& other)
    : QV_ParameterFieldBase(other),
      referenceObjectFilter(CopyHeld(other.referenceObjectFilter)),
      offset(other.offset) {}

QV_LocationStruct& QV_LocationStruct::operator=(const QV_LocationStruct& other) {
  if (this != &other) {
    QV_ParameterFieldBase::operator=(other);
    referenceObjectFilter = CopyHeld(other.referenceObjectFilter);
    offset = other.offset;
  }
  return *this;
}

const std::string& QV_LocationStruct::GetTypeName() const {
  static const std::string typeName = "Location";
  return typeName;
}

void QV_LocationStruct::InitFieldTable() {
  // The filter keeps its failure text to itself.
  RegisterField("ReferenceObjectFilter", [this](const Json::Value& object) {
    const Json::Value& value = MemberOrNull(object, "ReferenceObjectFilter");
    if (value.isNull()) return errors::kSuccess;
    if (!referenceObjectFilter) referenceObjectFilter = MakeRef<QV_ReferenceObjectFilter>();
    return referenceObjectFilter->ReadFromJson(value, NoSkippedKeys());
  });
  RegisterEmbeddedField("Offset", &offset);
}

void QV_LocationStruct::WriteToJson(bool flag) {
  json = Json::Value();
  if (referenceObjectFilter) WriteChild("ReferenceObjectFilter", *referenceObjectFilter, flag);
  WriteChild("Offset", offset, flag);
}

// ---------------------------------------------------------------------------
// Target ROI definition

QV_TargetROIDef::QV_TargetROIDef() { name = DefaultTargetROIDefName(); }

const std::string& QV_TargetROIDef::GetTypeName() const {
  static const std::string typeName = "TargetROIDef";
  return typeName;
}

const std::string& QV_TargetROIDef::GetBaseName() const { return baseTargetROIDefName; }

void QV_TargetROIDef::AddTaskSettingName(const std::string& taskName) {
  if (std::find(taskSettingNames.begin(), taskSettingNames.end(), taskName) ==
      taskSettingNames.end()) {
    taskSettingNames.push_back(taskName);
  }
}

void QV_TargetROIDef::InitFieldTable() {
  isPlaceholder = false;
  RegisterCommonFields();
  RegisterStringField("BaseTargetROIDefName", &baseTargetROIDefName);
  RegisterIntField("PauseFlag", &pauseFlag, 0, 1);
  RegisterStringArrayField("TaskSettingNameArray", &taskSettingNames, false);
  RegisterEmbeddedField("Location", &location);
}

void QV_TargetROIDef::WriteToJson(bool flag) {
  QV_ParameterFieldBase::WriteToJson(flag);
  json["BaseTargetROIDefName"_key] = baseTargetROIDefName;
  json["PauseFlag"_key] = pauseFlag;
  WriteChild("Location", location, flag);
  if (!taskSettingNames.empty()) json["TaskSettingNameArray"_key] = StringListJson(taskSettingNames);
}

}  // namespace quorvane
