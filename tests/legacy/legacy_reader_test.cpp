// What the golden cases cannot show: texts no file holds (deep nesting, a NUL
// byte), a reader used twice, and the bound on what one file may make.

#include "driver/legacy_conversion.h"
#include "legacy/legacy_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

struct Result {
  int code;
  std::string message;
  std::string output;
};

Result Convert(ZQA_OldParameterReader& reader, const std::string& text) {
  Result result{0, "", ""};
  result.code = reader.ReadOldTemplate(text.c_str(), result.message);
  if (result.code == 0) reader.OutputNewTemplate(result.output);
  return result;
}

Result Convert(const std::string& text) {
  ZQA_OldParameterReader reader;
  return Convert(reader, text);
}

std::string Nested(const std::string& open, const std::string& close, int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += open;
  for (int i = 0; i < depth; ++i) text += close;
  return text;
}

TEST(ZQA_OldParameterReader, UnparsableTextsFailAsParseErrors) {
  const std::string prefix = "Json parse failed.:";
  const std::string cases[] = {
      "",
      "{\"ImageParameter\": {",
      Nested("[", "]", 1200),
      "{\"ImageParameter\": {\"Name\": " + Nested("[", "]", 1200) + "}}",
      "{\"RegionDefinition\": " + Nested("{\"a\":", "}", 1100) + "}",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.substr(0, 40));
    const Result result = Convert(text);
    EXPECT_EQ(result.code, -10030);
    EXPECT_EQ(result.message.substr(0, prefix.size()), prefix);
    EXPECT_GT(result.message.size(), prefix.size());
  }
  ZQA_OldParameterReader reader;
  std::string message;
  EXPECT_EQ(reader.ReadOldTemplate(nullptr, message), -10030);
}

TEST(ZQA_OldParameterReader, ConvertedImageParametersNameNoBase) {
  const Result result =
      Convert(R"({"ImageParameter": {"BaseImageParameterName": "Shipping label"}})");
  ASSERT_EQ(result.code, 0);
  EXPECT_EQ(result.output.find("Shipping label"), std::string::npos);
  QV_LMFParameter document;
  EXPECT_EQ(document.ReadFromString(result.output.c_str()), 0) << document.message;
}

TEST(ZQA_OldParameterReader, TextEndsAtItsFirstNulByte) {
  const std::string text = R"({"ImageParameter": {"Timeout": 700}})";
  const Result plain = Convert(text);
  ASSERT_EQ(plain.code, 0) << plain.message;
  const Result cut = Convert(text + std::string(1, '\0') + "not json");
  EXPECT_EQ(cut.code, 0) << cut.message;
  EXPECT_EQ(cut.output, plain.output);
}

TEST(ZQA_OldParameterReader, ASecondReadStartsAfresh) {
  const std::string first =
      R"({"ImageParameterContentArray": [{}, {"RegionDefinitionNameArray": ["r"]}],
          "RegionDefinition": {"Name": "r", "BarcodeFormatIds": ["BF_QR_CODE"]},
          "FormatSpecification": {"Name": "fs"}})";
  const std::string second = R"({"ImageParameter": {"Timeout": 900}})";
  ZQA_OldParameterReader reader;
  ASSERT_EQ(Convert(reader, first).code, 0);
  const Result again = Convert(reader, second);
  ASSERT_EQ(again.code, 0) << again.message;
  EXPECT_EQ(again.output, Convert(second).output);
  EXPECT_EQ(reader.imageParameterCount, 1);
  EXPECT_EQ(reader.lumiflowSettings.size(), 1u);
}

// Every region copies a task that carries many names: the copies would
// multiply, so the file is refused once they pass the bound.
TEST(ZQA_OldParameterReader, RegionCopiesAreBounded) {
  const auto build = [](int regionCount) {
    std::string names;
    for (int i = 0; i < 2000; ++i)
      names += std::string(i ? ",\"fs" : "\"fs") + std::to_string(i) + "\"";
    std::string regions;
    std::string regionNames;
    for (int i = 0; i < regionCount; ++i) {
      const std::string name = "r" + std::to_string(i);
      regions += std::string(i ? "," : "") + R"({"Name":")" + name +
                 R"(","BarcodeFormatIds":["BF_QR_CODE"]})";
      regionNames += std::string(i ? ",\"" : "\"") + name + "\"";
    }
    return R"({"RegionDefinitionArray":[)" + regions + R"(],"ImageParameter":{)" +
           R"("FormatSpecificationNameArray":[)" + names + R"(],"RegionDefinitionNameArray":[)" +
           regionNames + "]}}";
  };
  const Result within = Convert(build(100));
  EXPECT_EQ(within.code, 0) << within.message;
  const Result beyond = Convert(build(1500));
  EXPECT_EQ(beyond.code, -10061);
  EXPECT_EQ(beyond.message, "");
}

std::string Repeated(const std::string& element, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i > 0 ? "," : "") + element;
  return text;
}

// Entries that make sections or whole mode objects out of a few bytes are
// paid for before they are read; what fits converts into a template the
// document reads.
TEST(ZQA_OldParameterReader, WhatATextMayMakeIsBounded) {
  const struct {
    const char* name;
    std::string element;
    const char* open;
    const char* close;
    int within;
    int beyond;
  } cases[] = {
      {"bare mode names", R"("DRM_GENERAL")",
       R"({"ImageParameter": {"DeformationResistingModes": [)", "]}}", 2000, 120000},
      {"empty image parameters", "{}", R"({"ImageParameterContentArray": [)", "]}", 300, 12000},
      {"format specifications", "{}", R"({"FormatSpecificationArray": [)", "]}", 500, 20000},
      {"regions", R"({"Name": "r"})", R"({"RegionDefinitionArray": [)", "]}", 1000, 100000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Result within = Convert(c.open + Repeated(c.element, c.within) + c.close);
    EXPECT_EQ(within.code, 0) << within.message;
    QV_LMFParameter document;
    EXPECT_EQ(document.ReadFromText(within.output), 0) << document.message;
    const Result beyond = Convert(c.open + Repeated(c.element, c.beyond) + c.close);
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
  std::string message;
  std::string output;
  EXPECT_EQ(ConvertLegacyTemplate(
                R"({"ImageParameterContentArray": [)" + Repeated(imageParameter, 5000) + "]}",
                message, output),
            0)
      << message;
  EXPECT_NE(output.find("\"IP_5000\""), std::string::npos);
}

// The budget counts from above, so it lets through some files that write
// more values than the document reads; the conversion refuses to write them.
TEST(ZQA_OldParameterReader, OutputsBeyondWhatTheDocumentReadsAreNotWritten) {
  const std::string text = R"({"ImageParameter": {"DeformationResistingModes": [)" +
                           Repeated(R"("DRM_GENERAL")", 60000) + "]}}";
  ASSERT_EQ(Convert(text).code, 0);
  std::string message = "stale";
  std::string output;
  EXPECT_EQ(ConvertLegacyTemplate(text, message, output), -10061);
  EXPECT_EQ(message, "");
  EXPECT_EQ(output, "");
}

TEST(ZQA_OldParameterReader, ALeadingByteOrderMarkIsPassedOver) {
  const std::string text = R"({"ImageParameter": {"Name": "a", "Timeout": 500}})";
  const Result plain = Convert(text);
  ASSERT_EQ(plain.code, 0) << plain.message;
  const Result marked = Convert("\xEF\xBB\xBF" + text);
  EXPECT_EQ(marked.code, 0) << marked.message;
  EXPECT_EQ(marked.output, plain.output);
  // Only at the start.
  EXPECT_EQ(Convert("\xEF\xBB\xBF\xEF\xBB\xBF" + text).code, -10030);
}

TEST(ZQA_OldParameterReader, TextsWithTooManyValuesAreRefusedBeforeParsing) {
  std::string text = R"({"ImageParameterContentArray": [)";
  for (int i = 0; i < (1 << 20); ++i) text += "{},";
  text += "{}]}";
  const Result result = Convert(text);
  EXPECT_EQ(result.code, -10061);
  EXPECT_EQ(result.message, "The text holds more than 1048576 JSON values.");
}

}  // namespace
}  // namespace quorvane
