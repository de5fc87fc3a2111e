#include "imageparams/mode_structure.h"

namespace quorvane {

std::string GroupListText(const std::vector<std::vector<int>>& groups) {
  if (groups.empty()) return "[]";
  std::string text;
  for (const std::vector<int>& group : groups) {
    text += '[';
    for (std::size_t i = 0; i < group.size(); ++i) {
      if (i > 0) text += ',';
      text += std::to_string(group[i]);
    }
    text += ']';
  }
  return text;
}

bool IsModeStructureKey(std::string_view key) {
  return key == "Mode" || key == "Name" || key == "LibraryFileName" || key == "LibraryParameters";
}

}  // namespace quorvane
