// The floor the converter is measured against: for every legacy file of a
// corpus, what any converter built on jsoncpp must do at least. It reads and
// parses the file with the reader the converter uses, then serialises a tree
// as large as the converter's output for that file with the same styled
// writer and writes it. The tree is the converter's own output, parsed back
// beforehand, so the floor writes exactly as many bytes as the converter did
// and pays nothing for building the tree.
//
//   lumiflow-bench-baseline SOURCE REFERENCE DESTINATION
//       SOURCE       the corpus directory
//       REFERENCE    the directory the converter wrote SOURCE's outputs to
//       DESTINATION  a directory for the baseline's own outputs
// Prints the wall-clock and processor seconds spent on loading the reference
// trees, which the caller subtracts from the run's, and the bytes written
// ("WALL CPU BYTES").

#include <json/json.h>
#include <time.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "framework/platform.h"

namespace {

double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string FileName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: lumiflow-bench-baseline SOURCE REFERENCE DESTINATION\n";
    return 2;
  }
  const std::string reference = argv[2];
  const std::string destination = argv[3];
  const Json::CharReaderBuilder referenceBuilder;
  const std::unique_ptr<Json::CharReader> referenceReader(referenceBuilder.newCharReader());

  double referenceWall = 0;
  double referenceProcessor = 0;
  std::size_t bytes = 0;
  std::string text;
  for (const quorvane::ListedPath& listed : quorvane::ListJsonFiles(argv[1])) {
    const std::string& file = listed.path;
    // Not the floor's work: the tree the converter wrote for this file.
    const double wallStart = Seconds(CLOCK_MONOTONIC);
    const double processorStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const std::string name = FileName(file);
    auto tree = std::make_unique<Json::Value>();
    {
      std::string referenceText;
      std::string errors;
      if (quorvane::ReadFileBytes(reference + "/" + name, referenceText) !=
              quorvane::ReadOutcome::Read ||
          !referenceReader->parse(referenceText.data(),
                                  referenceText.data() + referenceText.size(), tree.get(),
                                  &errors)) {
        std::cerr << "no converted output for " << file << "\n";
        return 1;
      }
    }
    referenceWall += Seconds(CLOCK_MONOTONIC) - wallStart;
    referenceProcessor += Seconds(CLOCK_PROCESS_CPUTIME_ID) - processorStart;

    quorvane::ReadFileBytes(file, text);
    {
      Json::Value root;
      Json::Reader reader(Json::Features::all());
      const char* begin = text.c_str();
      if (!reader.parse(begin, begin + std::strlen(begin), root, false)) {
        std::cerr << "cannot parse " << file << "\n";
        return 1;
      }
    }
    const std::string output = tree->toStyledString();
    if (quorvane::WriteFileBytes(destination + "/" + name, output) !=
        quorvane::WriteOutcome::Written) {
      std::cerr << "cannot write " << name << "\n";
      return 1;
    }
    bytes += output.size();

    // Freeing the reference tree is not the floor's work either.
    const double freeWall = Seconds(CLOCK_MONOTONIC);
    const double freeProcessor = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    tree.reset();
    referenceWall += Seconds(CLOCK_MONOTONIC) - freeWall;
    referenceProcessor += Seconds(CLOCK_PROCESS_CPUTIME_ID) - freeProcessor;
  }
  std::printf("%.6f %.6f %zu\n", referenceWall, referenceProcessor, bytes);
  return 0;
}
