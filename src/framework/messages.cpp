#include "framework/messages.h"

#include "framework/error_codes.h"

namespace quorvane {

std::string Prefixed(std::string_view name, std::string_view text, Joint joint) {
  static constexpr std::string_view kJoints[] = {":", " :", " : ", " ", ""};
  const std::string_view between = kJoints[static_cast<std::size_t>(joint)];
  std::string message;
  message.reserve(name.size() + between.size() + text.size());
  message.append(name);
  message.append(between);
  message.append(text);
  return message;
}

std::string CodeMessage(std::string_view name, int code) {
  return Prefixed(name, GetErrorString(code));
}

std::string ElementName(std::string_view key, std::size_t index) {
  std::string name(key);
  name += '[';
  name += std::to_string(index);
  name += ']';
  return name;
}

std::string EntryName(std::string_view key, std::string_view name) {
  std::string entry(key);
  entry += '[';
  entry.append(name);
  entry += ']';
  return entry;
}

}  // namespace quorvane
