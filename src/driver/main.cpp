#include <cstdio>
#include <exception>
#include <iostream>

#include "driver/conversion_run.h"
#include "driver/legacy_conversion.h"
#include "framework/platform.h"

int main(int argc, char** argv) {
  try {
    // Unbuffered, so that the path prompts take their two lines and not a
    // byte more from a pipe or a file shared with whoever started the run.
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    return quorvane::RunConverter(argc, argv, std::cin, std::cout, std::cerr,
                                  quorvane::ConvertLegacyTemplate,
                                  quorvane::StandardInputIsTerminal());
  } catch (const std::exception& e) {
    // Only exhaustion of memory can get here; never end with an uncaught throw.
    std::cerr << "Error: " << e.what() << std::endl;
    return 1;
  }
}
