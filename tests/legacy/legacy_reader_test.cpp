// What the golden cases cannot show: a text cut by a NUL byte, a reader used
// twice, and the bound on what one file may make.

#include "driver/legacy_conversion.h"
#include "legacy/legacy_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/json_text.h"

namespace quorvane {
namespace {

using testing::Repeated;

struct Result {
  int code;
  std::string message;
  std::string output;
};

Result Convert(const std::string& text, ZQA_OldParameterReader&& reader = {}) {
  Result result{0, "", ""};
  result.code = reader.ReadOldTemplate(text.c_str(), result.message);
  if (result.code == 0) reader.OutputNewTemplate(result.output);
  return result;
}

TEST(ZQA_OldParameterReader, TextEndsAtItsFirstNulByte) {
  const std::string text = R"({"ImageParameter": {"Timeout": 700}})";
  const Result plain = Convert(text);
  ASSERT_EQ(plain.code, 0) << plain.message;
  const Result cut = Convert(text + std::string(1, '\0') + "not json");
  EXPECT_EQ(cut.code, 0) << cut.message;
  EXPECT_EQ(cut.output, plain.output);
  ZQA_OldParameterReader reader;
  std::string message;
  EXPECT_EQ(reader.ReadOldTemplate(nullptr, message), -10030);
}

TEST(ZQA_OldParameterReader, ASecondReadStartsAfresh) {
  const std::string first =
      R"({"ImageParameterContentArray": [{}, {"RegionDefinitionNameArray": ["r"]}],
          "RegionDefinition": {"Name": "r", "BarcodeFormatIds": ["BF_QR_CODE"]},
          "FormatSpecification": {"Name": "fs"}})";
  const std::string second = R"({"ImageParameter": {"Timeout": 900}})";
  ZQA_OldParameterReader reader;
  std::string message;
  std::string output;
  ASSERT_EQ(reader.ReadOldTemplate(first.c_str(), message), 0);
  reader.OutputNewTemplate(output);
  ASSERT_EQ(reader.ReadOldTemplate(second.c_str(), message), 0) << message;
  reader.OutputNewTemplate(output);
  EXPECT_EQ(output, Convert(second).output);
  EXPECT_EQ(reader.imageParameterCount, 1);
  EXPECT_EQ(reader.lumiflowSettings.size(), 1u);
}

// `count` regions with their own formats, each copying a task that carries
// the names of 2000 format specifications.
std::string RegionsCopyingALongTask(int count) {
  std::string regions;
  std::string names;
  for (int i = 0; i < count; ++i) {
    const std::string name = "\"r" + std::to_string(i) + "\"";
    regions +=
        std::string(i ? "," : "") + R"({"Name":)" + name + R"(,"BarcodeFormatIds":["BF_QR_CODE"]})";
    names += std::string(i ? "," : "") + name;
  }
  std::string specifications;
  for (int i = 0; i < 2000; ++i) {
    specifications += std::string(i ? ",\"fs" : "\"fs") + std::to_string(i) + "\"";
  }
  std::string given;
  for (int i = 0; i < 2000; ++i) {
    given += std::string(i ? ",{\"Name\":\"fs" : "{\"Name\":\"fs") + std::to_string(i) + "\"}";
  }
  return R"({"FormatSpecificationArray":[)" + given + R"(],"RegionDefinitionArray":[)" + regions +
         R"(],"ImageParameter":{)" +
         R"("FormatSpecificationNameArray":[)" + specifications +
         R"(],"RegionDefinitionNameArray":[)" + names + "]}}";
}

// Entries that make sections or whole mode objects out of a few bytes are
// paid for before they are read, and so are region copies of a task; what
// fits converts into a template the document reads.
TEST(ZQA_OldParameterReader, WhatATextMayMakeIsBounded) {
  const auto list = [](std::string open, std::string element, std::string close) {
    return [=](int count) { return open + Repeated(element, count) + close; };
  };
  const struct {
    const char* name;
    std::function<std::string(int)> text;
    int within;
    int beyond;
  } cases[] = {
      {"bare mode names",
       list(R"({"ImageParameter": {"DeformationResistingModes": [)", R"("DRM_GENERAL")", "]}}"),
       2000, 120000},
      {"empty image parameters", list(R"({"ImageParameterContentArray": [)", "{}", "]}"), 300,
       12000},
      {"format specifications", list(R"({"FormatSpecificationArray": [)", "{}", "]}"), 500, 20000},
      {"regions", list(R"({"RegionDefinitionArray": [)", R"({"Name": "r"})", "]}"), 1000, 100000},
      {"region copies", RegionsCopyingALongTask, 100, 1500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Result within = Convert(c.text(c.within));
    EXPECT_EQ(within.code, 0) << within.message;
    QV_LMFParameter document;
    EXPECT_EQ(document.ReadFromText(within.output), 0) << document.message;
    const Result beyond = Convert(c.text(c.beyond));
    EXPECT_EQ(beyond.code, -10061);
    EXPECT_EQ(beyond.message, "");
  }
}

// The bound is far from real files: thousands of ordinary image parameters
// in one file convert.
TEST(ZQA_OldParameterReader, FilesOfThousandsOfImageParametersConvert) {
  const std::string imageParameter = R"({"Name": "Dock door labels",
      "BarcodeFormatIds": ["BF_ONED", "BF_QR_CODE", "BF_DATAMATRIX"], "Timeout": 3000,
      "DeblurModes": ["DM_DIRECT_BINARIZATION", "DM_THRESHOLD_BINARIZATION", "DM_DEEP_ANALYSIS"],
      "LocalizationModes": [{"Mode": "LM_CONNECTED_BLOCKS", "ScanStride": 0},
                            "LM_SCAN_DIRECTLY", {"Mode": "LM_LINES", "ConfidenceThreshold": 70}],
      "BinarizationModes": [{"Mode": "BM_LOCAL_BLOCK", "ThreshValueCoefficient": 12}],
      "GrayscaleTransformationModes": ["GTM_ORIGINAL", "GTM_INVERTED"],
      "TextResultOrderModes": ["TROM_CONFIDENCE", "TROM_POSITION"]})";
  const TemplateConversion conversion = ConvertLegacyTemplate(
      R"({"ImageParameterContentArray": [)" + Repeated(imageParameter, 5000) + "]}");
  EXPECT_FALSE(conversion.failure) << conversion.failure.Message();
  EXPECT_NE(conversion.outputText.find("\"IP_5000\""), std::string::npos);
}

// The budget counts from above, so it lets through some files that write
// more values than the document reads; the conversion refuses to write them.
TEST(ZQA_OldParameterReader, OutputsBeyondWhatTheDocumentReadsAreNotWritten) {
  const std::string text = R"({"ImageParameter": {"DeformationResistingModes": [)" +
                           Repeated(R"("DRM_GENERAL")", 60000) + "]}}";
  ZQA_OldParameterReader reader;
  std::string message = "stale";
  ASSERT_EQ(reader.ReadOldTemplate(text.c_str(), message), 0);
  const TemplateConversion conversion = ConvertLegacyTemplate(text);
  EXPECT_EQ(conversion.failure.code, -10061);
  EXPECT_EQ(conversion.failure.Message(), "Error: The template is complex.");
  EXPECT_EQ(conversion.outputText, "");
}

TEST(ZQA_OldParameterReader, TextsWithTooManyValuesAreRefusedBeforeParsing) {
  const Result result =
      Convert(R"({"ImageParameterContentArray": [)" + Repeated("{}", (1 << 20) + 1) + "]}");
  EXPECT_EQ(result.code, -10061);
  EXPECT_EQ(result.message, "The text holds more than 1048576 JSON values.");
}

}  // namespace
}  // namespace quorvane
