// Writes COUNT templates that random legacy templates convert into (those
// that fail to convert are passed over), one file each, for the checks that
// run outside the test executables (the schema validator):
// converted_samples DIRECTORY COUNT SEED.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "legacy/legacy_reader.h"
#include "support/legacy_template_generator.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: converted_samples DIRECTORY COUNT SEED\n";
    return 2;
  }
  const std::filesystem::path directory = argv[1];
  std::filesystem::create_directories(directory);
  quorvane::testing::LegacyTemplateGenerator generator(
      static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)),
      quorvane::testing::LegacyTemplateGenerator::Kind::kVaried);
  const int count = std::atoi(argv[2]);
  int written = 0;
  for (int i = 0; written < count && i < 10 * count; ++i) {
    const std::string text = generator.Next();
    quorvane::ZQA_OldParameterReader reader;
    if (reader.ReadTemplate(text.c_str())) continue;
    std::string output;
    reader.OutputNewTemplate(output);
    std::ofstream(directory / ("sample-" + std::to_string(i) + ".json"), std::ios::binary) << output;
    ++written;
  }
  std::cout << written << "\n";
  return written == count ? 0 : 1;
}
