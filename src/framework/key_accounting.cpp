#include "framework/key_accounting.h"

#include <utility>

namespace quorvane {

namespace {

thread_local KeyAccounting* current = nullptr;

}  // namespace

KeyAccounting* KeyAccounting::Current() { return current; }

ScopedKeyAccounting::ScopedKeyAccounting(KeyAccounting& accounting) : previous_(current) {
  current = &accounting;
}

ScopedKeyAccounting::~ScopedKeyAccounting() { current = previous_; }

void ConsumeMember(const Json::Value& object, std::string_view key) {
  if (current == nullptr || !object.isObject()) return;
  if (const Json::Value* member = object.find(key.data(), key.data() + key.size())) {
    current->Consume(*member);
  }
}

std::vector<std::string> KeyAccounting::Unconsumed(const Json::Value& root) const {
  struct Pending {
    const Json::Value* value;
    std::string path;
    bool unused;  // named as it is; nothing below it is looked at
  };
  std::vector<std::string> paths;
  // Taken from the back: the members of a value are pushed in reverse, so
  // that the walk is in pre-order and in key order.
  std::vector<Pending> pending;
  pending.push_back({&root, std::string(), false});
  std::vector<Pending> level;
  while (!pending.empty()) {
    Pending current = std::move(pending.back());
    pending.pop_back();
    if (current.unused) {
      paths.push_back(std::move(current.path));
      continue;
    }
    const Json::Value& value = *current.value;
    level.clear();
    if (value.isArray()) {
      for (Json::ArrayIndex i = 0; i < value.size(); ++i) {
        const Json::Value& element = value[i];
        if (element.isObject() || element.isArray()) {
          level.push_back({&element, current.path + "[" + std::to_string(i) + "]", false});
        }
      }
    } else if (value.isObject()) {
      for (auto member = value.begin(); member != value.end(); ++member) {
        std::string path = current.path.empty() ? member.name() : current.path + "." + member.name();
        const bool unused = !IsConsumed(*member);
        if (unused || member->isObject() || member->isArray()) {
          level.push_back({&*member, std::move(path), unused});
        }
      }
    }
    for (auto it = level.rbegin(); it != level.rend(); ++it) pending.push_back(std::move(*it));
  }
  return paths;
}

}  // namespace quorvane
