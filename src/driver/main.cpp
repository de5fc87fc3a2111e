#include <unistd.h>

#include <cstdio>
#include <exception>
#include <iostream>

#include "driver/conversion_run.h"
#include "framework/platform.h"

int main(int argc, char** argv) {
  // A closed pipe or the file size limit fails a write with its reason,
  // which the run reports, instead of ending the process unannounced.
  quorvane::IgnoreWriteSignals();
  // Straight to the descriptors, so that a failed write keeps its errno.
  quorvane::DescriptorBuffer outBuffer(STDOUT_FILENO);
  quorvane::DescriptorBuffer errBuffer(STDERR_FILENO);
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  try {
    // Unbuffered, so that the path prompts take their two lines and not a
    // byte more from a pipe or a file shared with whoever started the run.
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    return quorvane::RunConverter(argc, argv, std::cin, out, err,
                                  quorvane::LegacyTemplateConverter(),
                                  quorvane::StandardInputIsTerminal());
  } catch (const std::exception& e) {
    // Only exhaustion of memory can get here; never end with an uncaught throw.
    err << "Error: " << e.what() << std::endl;
    return 1;
  }
}
