#include <exception>
#include <iostream>

#include "driver/conversion_run.h"
#include "driver/legacy_conversion.h"

int main(int argc, char** argv) {
  try {
    return quorvane::RunConverter(argc, argv, std::cin, std::cout, std::cerr,
                                  quorvane::ConvertLegacyTemplate);
  } catch (const std::exception& e) {
    // Only exhaustion of memory can get here; never end with an uncaught throw.
    std::cerr << "Error: " << e.what() << std::endl;
    return 1;
  }
}
