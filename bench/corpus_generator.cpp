// Writes a corpus of legacy templates for the batch benchmark: the realistic
// files of the shared generator (tests/support/legacy_template_generator.h),
// shaped like the shipped examples, drawn from a seed so that every run sees
// the same corpus. Every file converts.
//
//   lumiflow-bench-corpus DIRECTORY COUNT [SEED]
//       COUNT files in nested folders DIRECTORY/site-NN/line-N/, each file
//       name unique (the converter writes all outputs into one directory).
//   lumiflow-bench-corpus --image-parameters K FILE
//       one file holding K image parameters, for the scaling measurement.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "support/legacy_template_generator.h"

namespace {

using quorvane::testing::LegacyTemplateGenerator;

bool WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

int Usage() {
  std::cerr << "usage: lumiflow-bench-corpus DIRECTORY COUNT [SEED]\n"
               "       lumiflow-bench-corpus --image-parameters K FILE\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--image-parameters") {
    const int count = std::atoi(argv[2]);
    if (count < 1) return Usage();
    LegacyTemplateGenerator generator(7u, LegacyTemplateGenerator::Kind::kRealistic);
    return WriteText(argv[3], generator.ImageParameters(count)) ? 0 : 1;
  }
  if (argc != 3 && argc != 4) return Usage();
  const std::filesystem::path directory = argv[1];
  const int count = std::atoi(argv[2]);
  const unsigned seed = argc == 4 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1u;
  if (count < 1) return Usage();
  LegacyTemplateGenerator generator(seed, LegacyTemplateGenerator::Kind::kRealistic);
  for (int i = 0; i < count; ++i) {
    // 25 files a folder, 4 folders a site.
    char folder[64];
    std::snprintf(folder, sizeof folder, "site-%02d/line-%d", i / 100, (i / 25) % 4);
    const std::filesystem::path path = directory / folder;
    std::filesystem::create_directories(path);
    char name[32];
    std::snprintf(name, sizeof name, "template-%05d.json", i);
    if (!WriteText(path / name, generator.Next())) {
      std::cerr << "cannot write " << (path / name) << "\n";
      return 1;
    }
  }
  return 0;
}
