#include <exception>
#include <iostream>

#include "driver/template_check.h"

int main(int argc, char** argv) {
  try {
    return quorvane::RunTemplateCheck(argc, argv, std::cout, std::cerr);
  } catch (const std::exception& e) {
    // Only exhaustion of memory can get here; never end with an uncaught throw.
    std::cerr << "Error: " << e.what() << std::endl;
    return 1;
  }
}
