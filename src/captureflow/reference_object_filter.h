#pragma once

// The reference object filter: which results of other target ROI definitions
// and tasks a location or a semantic section is placed relative to, which
// kinds of atomic results to take, and per kind an optional filtering
// condition. None of these objects accepts the common keys or writes "Name".

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "barcode/barcode_format.h"
#include "framework/parameter_field_base.h"

namespace quorvane {

// Kinds of atomic results, in the order of their name table.
enum AtomicResultType : int {
  ART_TEXT_LINE = 0,
  ART_BARCODE = 1,
  ART_FRAME = 2,
  ART_TABLE_CELL = 3,
  ART_GEOMETRY_LINE = 4,
  ART_CORNER = 5,
  ART_COLOUR_REGION = 6,
};
EnumTable AtomicResultTypeNames();

// Reads the list of atomic result type names under `key` into `member`. A
// type error comes back with the getter's message; null leaves the list; a
// name not in the table gives -10033 (no message of its own) and leaves the
// list; an empty array empties it.
int ReadAtomicResultTypes(QV_ParameterFieldBase& owner, const Json::Value& object,
                          std::string_view key, std::vector<int>& member);
// The names of `types` (the first name for a value outside the table), or
// null for an empty list.
Json::Value AtomicResultTypesJson(const std::vector<int>& types);

// Whether a condition's region is the default one or one the user selected.
enum RegionState : int { RS_DEFAULT = 0, RS_SELECTED = 1 };
EnumTable RegionStateNames();

// A new object holding a copy of `source`'s object (null for null): copies of
// sections own their sub-objects, so reading into a copy never changes the
// section it was copied from.
template <class T>
QVRef<T> CopyHeld(const QVRef<T>& source) {
  return source ? MakeRef<T>(*source) : QVRef<T>();
}

// Shared readers of the filtering conditions.
class QVIP_FilteringConditionBase : public QV_ParameterFieldBase {
 protected:
  // A number text such as "1-3, 7" into an int list: the integers of one
  // bracket-less group; null gives an empty list. A malformed item, or ranges
  // expanding beyond the parser's limit, give -10033 with key + ":" + the
  // code's text. An int array, as these lists are written, is taken as it is.
  void RegisterNumberTextField(std::string_view key, std::vector<int>* member);
  int ReadNumberText(const Json::Value& object, std::string_view key, std::vector<int>& member);
  void RegisterRegionStateField(int* member);
};

// The four size limits of frames and colour regions: (minimum, maximum) pairs,
// each element 0 to 2147483647.
class QVIP_SizeFilteringConditionBase : public QVIP_FilteringConditionBase {
 public:
  std::vector<int> imageDimensionRange{16384, INT_MAX};
  std::vector<int> aspectRatioRange{1, 10000};
  std::vector<int> widthRange{1, INT_MAX};
  std::vector<int> heightRange{1, INT_MAX};

 protected:
  void RegisterSizeRangeFields();
  void WriteSizeRanges();
};

// Type name "BarcodeFilteringCondition".
class QVIP_BarcodeFilteringConditionStruct : public QVIP_FilteringConditionBase {
 public:
  explicit QVIP_BarcodeFilteringConditionStruct(BarcodeFormatMask mask = BF_NULL)
      : barcodeFormatIds(mask) {}

  const std::string& GetTypeName() const override;
  // The format structure reads "BarcodeFormatIds" from the same object first;
  // the condition's own reader then skips that key.
  int ReadFromJson(const Json::Value& value, const SkippedKeys& skippedKeys) override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  QVIP_BarcodeFormatStruct barcodeFormatIds;
  std::string barcodeTextRegExPattern;  // stored and written unchanged, never compiled
  int regionState = RS_DEFAULT;
};

// Type name "FrameFilteringCondition".
class QVIP_FrameFilteringConditionStruct : public QVIP_SizeFilteringConditionBase {
 public:
  const std::string& GetTypeName() const override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  int regionState = RS_DEFAULT;
};

// Type name "TableCellFilteringCondition".
class QVIP_TableCellFilteringConditionStruct : public QVIP_FilteringConditionBase {
 public:
  const std::string& GetTypeName() const override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  // Read from a number text, written as an int array.
  std::vector<int> rowNumbers;
  std::vector<int> colNumbers;
  int regionState = RS_DEFAULT;
};

// Type name "TextLineFilteringCondition".
class QVIP_TextLineFilteringConditionStruct : public QVIP_FilteringConditionBase {
 public:
  const std::string& GetTypeName() const override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  std::vector<int> lineNumbers;  // read from a number text, written as an int array
  std::string lineStringRegExPattern;
  int regionState = RS_DEFAULT;
};

// Type name "ColourRegionFilteringCondition". Unlike the other conditions it
// has no region state.
class QVIP_ColourRegionFilteringConditionStruct : public QVIP_SizeFilteringConditionBase {
 public:
  const std::string& GetTypeName() const override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  int regionPredetectionMode = 0;  // "RPM_SKIP"
};

// Type name "ReferenceObjectFilter".
class QV_ReferenceObjectFilter : public QV_ParameterFieldBase {
 public:
  QV_ReferenceObjectFilter() = default;
  // Copies hold copies of the conditions, never the same ones.
  QV_ReferenceObjectFilter(const QV_ReferenceObjectFilter& other);
  QV_ReferenceObjectFilter& operator=(const QV_ReferenceObjectFilter& other);

  const std::string& GetTypeName() const override;
  void WriteToJson(bool flag) override;
  void InitFieldTable() override;

  std::vector<std::string> referenceTargetROIDefNames;  // "ReferenceTargetROIDefNameArray"
  std::vector<std::string> referenceTaskNames;          // "ReferenceTaskNameArray"
  std::vector<int> atomicResultTypes{ART_TEXT_LINE, ART_BARCODE, ART_TABLE_CELL,
                                     ART_FRAME};  // "AtomicResultTypeArray"
  // Created with their defaults when their key is first read (null included).
  QVRef<QVIP_BarcodeFilteringConditionStruct> barcodeFilteringCondition;
  QVRef<QVIP_FrameFilteringConditionStruct> frameFilteringCondition;
  QVRef<QVIP_TableCellFilteringConditionStruct> tableCellFilteringCondition;
  QVRef<QVIP_TextLineFilteringConditionStruct> textLineFilteringCondition;
  QVRef<QVIP_ColourRegionFilteringConditionStruct> colourRegionFilteringCondition;

 private:
  template <class T>
  void RegisterConditionField(std::string_view key, QVRef<T>* condition);
  template <class T>
  void WriteCondition(const char* key, const QVRef<T>& condition, bool flag);
};

}  // namespace quorvane
