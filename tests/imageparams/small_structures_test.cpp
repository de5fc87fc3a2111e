#include "imageparams/small_structures.h"

#include <gtest/gtest.h>

#include <string>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Compact;
using testing::ParseJson;

int Read(QV_ParameterFieldBase& object, const std::string& text) {
  return object.ReadFromJson(ParseJson(text), NoSkippedKeys());
}

std::string Written(QV_ParameterFieldBase& object) {
  object.WriteToJson(false);
  return Compact(object.json);
}

TEST(GlobalParameter, ReadsAndWritesItsOneKey) {
  const struct {
    const char* json;
    int code;
    const char* message;
    int value;
  } cases[] = {
      {R"({"MaxTotalImageDimension":0})", 0, "", 0},
      {R"({"MaxTotalImageDimension":2147483647})", 0, "", 2147483647},
      {R"({"MaxTotalImageDimension":-1})", 0, "", -1},
      {R"({"MaxTotalImageDimension":-2})", -10033, "GlobalParameter:MaxTotalImageDimension: out of range.", 0},
      {R"({"MaxTotalImageDimension":0,"Name":"g"})", -10032, "GlobalParameter:Name:Json key invalid.", 0},
      {R"({"LibraryFileName":""})", -10032, "GlobalParameter:LibraryFileName:Json key invalid.", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    QV_GlobalParameter global;
    EXPECT_EQ(global.name, "gp_default");
    EXPECT_EQ(Read(global, c.json), c.code);
    EXPECT_EQ(global.errorMessage, c.message);
    EXPECT_EQ(global.maxTotalImageDimension, c.value);
  }
  QV_GlobalParameter global;
  ASSERT_EQ(Read(global, R"({"MaxTotalImageDimension":0})"), 0);
  EXPECT_EQ(Written(global), R"({"MaxTotalImageDimension":0})");
}

// A range kind that changes only the type name.
class TestAngleRange : public QVIP_RangeStruct {
 public:
  TestAngleRange() : QVIP_RangeStruct(0, 360, 0, 360) {}
  const std::string& GetTypeName() const override {
    static const std::string typeName = "TestAngleRange";
    return typeName;
  }
};

TEST(Range, BoundsMinusOneAndOrder) {
  const struct {
    const char* json;
    int code;
    const char* message;
    int minValue;
    int maxValue;
  } cases[] = {
      {R"({"MinValue":0,"MaxValue":360})", 0, "", 0, 360},
      {R"({"MaxValue":361})", -10033, "Range:MaxValue: out of range.", 0, 360},
      {R"({"MinValue":-2})", -10033, "Range:MinValue: out of range.", 0, 360},
      // -1 passes the integer reader and only then meets the order check.
      {R"({"MinValue":-1})", 0, "", -1, 360},
      {R"({"MinValue":10,"MaxValue":-1})", -10033, "Range error: min > max.", 10, -1},
      {R"({"MinValue":10,"MaxValue":5})", -10033, "Range error: min > max.", 10, 5},
      {R"({"MinValue":5,"MaxValue":5})", 0, "", 5, 5},
      {R"({"MinValue":null})", 0, "", -1, 360},
      {R"({"Name":"r"})", -10032, "Range:Name:Json key invalid.", 0, 360},
      // A wrong type fails; the integer reader has stored -1 by then.
      {R"({"MinValue":"1"})", -10031, "Range:MinValue:Json type invalid.", -1, 360},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    QVIP_RangeStruct range(0, 360, 0, 360);
    EXPECT_EQ(Read(range, c.json), c.code);
    EXPECT_EQ(range.errorMessage, c.message);
    EXPECT_EQ(range.minValue, c.minValue);
    EXPECT_EQ(range.maxValue, c.maxValue);
  }
  QVIP_RangeStruct range(7, 3, 0, 10);  // created out of order: a null read still validates
  EXPECT_EQ(Read(range, "null"), -10033);
  EXPECT_EQ(range.errorMessage, "Range error: min > max.");
  EXPECT_EQ(Written(range), R"({"MaxValue":3,"MinValue":7})");

  TestAngleRange angle;
  EXPECT_EQ(Read(angle, R"({"MinValue":200,"MaxValue":100})"), -10033);
  EXPECT_EQ(angle.errorMessage, "TestAngleRange error: min > max.");
  QVIP_RangeStruct copy(angle);
  EXPECT_EQ(copy.upperBound, 360);
  EXPECT_EQ(Written(copy), R"({"MaxValue":100,"MinValue":200})");
}

TEST(PdfReadingMode, DpiModeAndDataSource) {
  const struct {
    const char* json;
    int code;
    const char* message;
    const char* written;
  } cases[] = {
      {"{}", 0, "", R"({"DPI":300,"Mode":"PDFRM_RASTER","RasterDataSource":"RDS_RASTERIZED_PAGES"})"},
      {R"({"DPI":0})", 0, "", R"({"DPI":0,"Mode":"PDFRM_RASTER","RasterDataSource":"RDS_RASTERIZED_PAGES"})"},
      {R"({"DPI":100})", 0, "", nullptr},
      {R"({"DPI":3000})", 0, "", nullptr},
      {R"({"DPI":99})", -10033, "PDFReadingMode:", nullptr},
      {R"({"DPI":3001})", -10033, "PDFReadingMode:", nullptr},
      {R"({"DPI":-1})", -10033, "PDFReadingMode:", nullptr},
      {R"({"DPI":null})", -10033, "PDFReadingMode:", nullptr},
      {R"({"DPI":"300"})", -10031, "PDFReadingMode:DPI:Json type invalid.", nullptr},
      {R"({"Mode":" pdfrm_raster"})", 0, "", nullptr},
      {R"({"Mode":"pdfrm_vector"})", -10033, "PDFReadingMode:",
       R"({"DPI":300,"Mode":"PDFRM_VECTOR","RasterDataSource":"RDS_RASTERIZED_PAGES"})"},
      {R"({"Mode":"PDFRM_OTHER"})", -10033,
       "PDFReadingMode:Mode:Json value invalid or value out of range.", nullptr},
      {R"({"RasterDataSource":"rds_extracted_images"})", 0, "",
       R"({"DPI":300,"Mode":"PDFRM_RASTER","RasterDataSource":"RDS_EXTRACTED_IMAGES"})"},
      {R"({"Foo":1})", -10032, "PDFReadingMode:Foo:Json key invalid.", nullptr},
      {R"({"Name":"p"})", -10032, "PDFReadingMode:Name:Json key invalid.", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    QVIP_PDFReadingModeStruct pdf;
    EXPECT_EQ(Read(pdf, c.json), c.code);
    EXPECT_EQ(pdf.errorMessage, c.message);
    if (c.written) { EXPECT_EQ(Written(pdf), c.written); }
  }
  // Values outside the tables are written as the first names.
  QVIP_PDFReadingModeStruct pdf;
  pdf.mode = 7;
  pdf.rasterDataSource = 9;
  EXPECT_EQ(Written(pdf), R"({"DPI":300,"Mode":"PDFRM_VECTOR","RasterDataSource":"RDS_RASTERIZED_PAGES"})");
}

}  // namespace
}  // namespace quorvane
