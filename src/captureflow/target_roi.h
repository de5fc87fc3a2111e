#pragma once

// Target ROI definitions: where in an image, or relative to which earlier
// results, a list of tasks runs. The location is either four corner points on
// the whole image or an offset from reference objects that a reference object
// filter selects.

#include <array>
#include <optional>
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

    // The x axis; the y axis of a location differs in its edge and length
    // reference, as the location's mapping says.
    ReferenceAxis();

    QV_MAPPED_CLASS()

    int axisType;
    int edgeIndex;
    int rotationAngle;
    int lengthReference;  // read and written as "LR_X" or "LR_Y", exactly
  };

  enum ReferenceObjectType : int { ROT_ATOMIC_OBJECT = 0, ROT_WHOLE_IMAGE = 1 };

  // x, y, x unit, y unit; a unit is 1 for a percentage and 0 for pixels.
  using Point = std::array<int, 4>;
  // A unit the JSON did not give; validation fills it from
  // "MeasuredByPercentage".
  static constexpr int kUnitNotGiven = -10000000;

  QVIP_LocationOffsetStruct();

  QV_MAPPED_CLASS()
  // Every read starts with all eight units marked as not given.
  void ResetReadMarks() override;
  // Checks the axes, fills the units not given, and checks that uniformly
  // measured points turn the default way at every corner.
  int Validate() override;

  // Marks the unit elements of the four points as not given, so that the next
  // Validate takes them from `measuredByPercentage`.
  void MarkUnitsNotGiven();

  int referenceObjectOriginIndex;
  int referenceObjectType;
  int measuredByPercentage;
  // The whole image in percent, clockwise from the top left.
  Point firstPoint;
  Point secondPoint;
  Point thirdPoint;
  Point fourthPoint;
  ReferenceAxis referenceXAxis;
  ReferenceAxis referenceYAxis;

 private:
  // The four corners, first to fourth.
  std::array<Point*, 4> Corners() { return {&firstPoint, &secondPoint, &thirdPoint, &fourthPoint}; }
};

// Type name "Location".
class QV_LocationStruct : public QV_ParameterFieldBase {
 public:
  QV_MAPPED_CLASS()

  // Exists only once a non-null "ReferenceObjectFilter" was read, or set in
  // code; it keeps its failure text to itself.
  std::optional<QV_ReferenceObjectFilter> referenceObjectFilter;
  QVIP_LocationOffsetStruct offset;  // "Offset"
};

// Type name "TargetROIDef"; one element of "TargetROIDefOptions".
class QV_TargetROIDef : public QV_ParameterFieldBase {
 public:
  QV_TargetROIDef();

  QV_MAPPED_CLASS()
  // "BaseTargetROIDefName".
  const std::string& GetBaseName() const override;
  // A read definition is no placeholder any more.
  void ResetReadMarks() override;

  // Appends `taskName` unless the list already holds it (exact comparison).
  void AddTaskSettingName(const std::string& taskName);

  std::vector<std::string> taskSettingNames;  // "TaskSettingNameArray"
  QV_LocationStruct location;
  int pauseFlag;
  std::string baseTargetROIDefName;
  // Set until the first read: a definition never read from a template may be
  // replaced or dropped by the template document.
  bool isPlaceholder = true;
};

}  // namespace quorvane
