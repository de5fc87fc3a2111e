#include "driver/console_prompts.h"

#include <algorithm>
#include <istream>
#include <ostream>

namespace quorvane {

std::string AskForPath(std::istream& in, std::ostream& out, std::string_view prompt) {
  out << prompt << '\n' << std::flush;
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  line.erase(std::remove(line.begin(), line.end(), '"'), line.end());
  return line;
}

void WaitForKeystroke(std::istream& in) { in.get(); }

}  // namespace quorvane
