#pragma once

// Target ROI definitions: where in an image, or relative to which earlier
// results, a list of tasks runs. The location is either four corner points on
// the whole image or an offset from reference objects that a reference object
// filter selects.

#include <array>
#include <string>
#include <vector>

#include "captureflow/reference_object_filter.h"
#include "framework/parameter_field_base.h"

namespace quorvane {

// Type name "LocationOffset": four corner points and the two axes they are
// measured along.
class QVIP_LocationOffsetStruct : public QV_ParameterFieldBase {
 public:
  // Type name "ReferenceAxis".
  class ReferenceAxis : public QV_ParameterFieldBase {
   public:
    enum AxisType : int { AT_MIDPOINT_EDGE = 0, AT_EDGE = 1, AT_ROTATION_OTHER_AXIS = 2 };
    enum LengthReference : int { LR_X = 0, LR_Y = 1 };

    static EnumTable AxisTypeNames();

    explicit ReferenceAxis(int edgeIndex = 0, int lengthReference = LR_X)
        : edgeIndex(edgeIndex), lengthReference(lengthReference) {}

    const std::string& GetTypeName() const override;
    void WriteToJson(bool flag) override;
    void InitFieldTable() override;

    int axisType = AT_MIDPOINT_EDGE;
    int edgeIndex;           // 0 to 3
    int rotationAngle = 90;  // 1 to 179
    int lengthReference;     // read and written as "LR_X" or "LR_Y"
  };

  enum ReferenceObjectType : int { ROT_ATOMIC_OBJECT = 0, ROT_WHOLE_IMAGE = 1 };
  static EnumTable ReferenceObjectTypeNames();

  // x, y, x unit, y unit; a unit is 1 for a percentage and 0 for pixels.
  using Point = std::array<int, 4>;
  // A unit the JSON did not give; validation fills it from
  // "MeasuredByPercentage".
  static constexpr int kUnitNotGiven = -10000000;

  const std::string& GetTypeName() const override;
  void WriteToJson(bool flag) override;
  // Every read starts with all eight units marked as not given.
  void InitFieldTable() override;
  // Checks the axes, fills the units not given, and checks that uniformly
  // measured points turn the default way at every corner.
  int Validate() override;

  // Marks the unit elements of the four points as not given, so that the next
  // Validate takes them from `measuredByPercentage`.
  void MarkUnitsNotGiven();

  int referenceObjectOriginIndex = 0;  // 0 to 3
  int referenceObjectType = ROT_ATOMIC_OBJECT;
  int measuredByPercentage = 1;  // 0 to 1
  // The whole image in percent, clockwise from the top left.
  Point firstPoint{0, 0, 1, 1};
  Point secondPoint{100, 0, 1, 1};
  Point thirdPoint{100, 100, 1, 1};
  Point fourthPoint{0, 100, 1, 1};
  ReferenceAxis referenceXAxis{0, ReferenceAxis::LR_X};
  ReferenceAxis referenceYAxis{1, ReferenceAxis::LR_Y};
};

// Type name "Location".
class QV_LocationStruct : public QV_ParameterFieldBase {
 public:
  QV_LocationStruct() = default;
  // A copy owns a copy of the filter: reading into the copy must not change
  // the location it came from.
  QV_LocationStruct(const QV_LocationStruct& other);
  QV_LocationStruct& operator=(const QV_LocationStruct& other);

  const std::string& GetTypeName() const override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  // Exists only once a non-null "ReferenceObjectFilter" was read, or set in code.
  QVRef<QV_ReferenceObjectFilter> referenceObjectFilter;
  QVIP_LocationOffsetStruct offset;  // "Offset"
};

// Type name "TargetROIDef"; one element of "TargetROIDefOptions".
class QV_TargetROIDef : public QV_ParameterFieldBase {
 public:
  QV_TargetROIDef();
  // Copies everything, the placeholder mark included; the location's filter
  // is copied, not shared.
  QV_TargetROIDef(const QV_TargetROIDef& other) = default;
  QV_TargetROIDef& operator=(const QV_TargetROIDef& other) = default;

  const std::string& GetTypeName() const override;
  // "BaseTargetROIDefName".
  const std::string& GetBaseName() const override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  // Appends `taskName` unless the list already holds it (exact comparison).
  void AddTaskSettingName(const std::string& taskName);

  std::vector<std::string> taskSettingNames;  // "TaskSettingNameArray"
  QV_LocationStruct location;
  int pauseFlag = 0;  // 0 to 1
  std::string baseTargetROIDefName;
  // Set until the first read: a definition never read from a template may be
  // replaced or dropped by the template document.
  bool isPlaceholder = true;
};

}  // namespace quorvane
