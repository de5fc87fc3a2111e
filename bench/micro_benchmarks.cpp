// Micro-benchmarks of the converter's parts: reading and writing single
// sections, whole legacy conversions, reading a converted template back, and
// how the conversion's cost grows with the number of image parameters.
// Inputs are the shipped examples and sections of their conversion.

#include <benchmark/benchmark.h>
#include <json/json.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "barcode/barcode_reader_task.h"
#include "barcode/format_specification.h"
#include "framework/platform.h"
#include "document/template_document.h"
#include "imageparams/image_parameter.h"
#include "legacy/legacy_reader.h"

namespace quorvane {
namespace {

std::string Example(const char* name) {
  std::string text;
  if (ReadFileBytes(std::string(LUMIFLOW_SOURCE_DIR "/examples/") + name, text) !=
      ReadOutcome::Read) {
    std::fprintf(stderr, "missing example %s\n", name);
    std::abort();
  }
  return text;
}

std::string Convert(const std::string& legacy) {
  ZQA_OldParameterReader reader;
  if (const Failure failure = reader.ReadTemplate(legacy.c_str())) {
    std::fprintf(stderr, "conversion failed: %s\n", failure.Message().c_str());
    std::abort();
  }
  std::string output;
  reader.OutputNewTemplate(output);
  return output;
}

// The converted regions example: it holds every section kind.
const Json::Value& ConvertedSections() {
  static const Json::Value root = [] {
    Json::Value parsed;
    Json::Reader().parse(Convert(Example("regions-and-format-specifications.json")), parsed);
    return parsed;
  }();
  return root;
}

// The last element of a section array of the converted example (the first
// image parameter is the shared decoding one).
const Json::Value& SectionJson(const char* key) {
  const Json::Value& array = ConvertedSections()[key];
  return array[array.size() - 1];
}

// One legacy file of `count` image parameters, each the example's.
std::string ImageParameters(int count) {
  Json::Value example;
  Json::Reader(Json::Features::all()).parse(Example("single-image-parameter.json"), example);
  Json::Value root;
  Json::Value& list = root["ImageParameterContentArray"];
  for (int i = 0; i < count; ++i) list.append(example["ImageParameter"]);
  return root.toStyledString();
}

template <class Section>
void ReadSection(benchmark::State& state, const char* key) {
  const Json::Value& value = SectionJson(key);
  for (auto _ : state) {
    Section section;
    const int result = section.ReadFromJson(value, NoSkippedKeys());
    if (result != 0) state.SkipWithError(section.errorMessage.c_str());
    benchmark::DoNotOptimize(section);
  }
}

template <class Section>
void WriteSection(benchmark::State& state, const char* key) {
  Section section;
  if (section.ReadFromJson(SectionJson(key), NoSkippedKeys()) != 0) {
    state.SkipWithError(section.errorMessage.c_str());
  }
  for (auto _ : state) {
    section.WriteToJson(false);
    benchmark::DoNotOptimize(section.json);
  }
}

void BM_ReadImageParameter(benchmark::State& state) {
  ReadSection<QV_ImageParameter>(state, "ImageParameterOptions");
}
void BM_WriteImageParameter(benchmark::State& state) {
  WriteSection<QV_ImageParameter>(state, "ImageParameterOptions");
}
void BM_ReadBarcodeReaderTask(benchmark::State& state) {
  ReadSection<ZQA_BarcodeReaderTaskSetting>(state, "BarcodeReaderTaskSettingOptions");
}
void BM_WriteBarcodeReaderTask(benchmark::State& state) {
  WriteSection<ZQA_BarcodeReaderTaskSetting>(state, "BarcodeReaderTaskSettingOptions");
}
void BM_ReadFormatSpecification(benchmark::State& state) {
  ReadSection<ZQA_BarcodeFormatSpecification>(state, "BarcodeFormatSpecificationOptions");
}
void BM_WriteFormatSpecification(benchmark::State& state) {
  WriteSection<ZQA_BarcodeFormatSpecification>(state, "BarcodeFormatSpecificationOptions");
}

void ConvertText(benchmark::State& state, const std::string& legacy) {
  std::string output;
  for (auto _ : state) {
    ZQA_OldParameterReader reader;
    if (const Failure failure = reader.ReadTemplate(legacy.c_str())) {
      state.SkipWithError(failure.Message().c_str());
    }
    reader.OutputNewTemplate(output);
    benchmark::DoNotOptimize(output);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * legacy.size()));
}

// One image parameter, no regions.
void BM_ConvertSmallExample(benchmark::State& state) {
  ConvertText(state, Example("single-image-parameter.json"));
}

// Format specifications, regions with tasks of their own.
void BM_ConvertRegionsExample(benchmark::State& state) {
  ConvertText(state, Example("regions-and-format-specifications.json"));
}

// A hundred image parameters in one file.
void BM_ConvertLargeExample(benchmark::State& state) { ConvertText(state, ImageParameters(100)); }

// The cost per image parameter should stay flat from 1 to 5,000.
void BM_ConvertImageParameters(benchmark::State& state) {
  ConvertText(state, ImageParameters(static_cast<int>(state.range(0))));
  state.SetComplexityN(state.range(0));
}

// The document reading the converter's own output.
void BM_ReadConvertedTemplate(benchmark::State& state) {
  const std::string converted = Convert(Example("regions-and-format-specifications.json"));
  for (auto _ : state) {
    QV_LMFParameter document;
    const int result = document.ReadFromString(converted.c_str());
    if (result != 0) state.SkipWithError(document.message.c_str());
  }
}

BENCHMARK(BM_ReadImageParameter);
BENCHMARK(BM_WriteImageParameter);
BENCHMARK(BM_ReadBarcodeReaderTask);
BENCHMARK(BM_WriteBarcodeReaderTask);
BENCHMARK(BM_ReadFormatSpecification);
BENCHMARK(BM_WriteFormatSpecification);
BENCHMARK(BM_ConvertSmallExample);
BENCHMARK(BM_ConvertRegionsExample);
BENCHMARK(BM_ConvertLargeExample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertImageParameters)
    ->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Arg(5000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadConvertedTemplate);

}  // namespace
}  // namespace quorvane

BENCHMARK_MAIN();
