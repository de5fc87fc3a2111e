#include <exception>
#include <iostream>

#include "driver/check_run.h"

int main(int argc, char** argv) {
  try {
    return quorvane::RunTemplateCheck(argc, argv, std::cout, std::cerr, &std::cin);
  } catch (const std::exception& e) {
    // Only exhaustion of memory can get here; never end with an uncaught throw.
    std::cerr << "Error: " << e.what() << std::endl;
    return 1;
  }
}
