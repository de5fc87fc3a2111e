#include "framework/key_accounting.h"

#include <unordered_map>
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

void RecordChange(const Json::Value& value, const Json::Value& written, std::string_view reason) {
  if (current != nullptr) current->Change(value, written, reason);
}

std::vector<KeyAccounting::NamedChange> KeyAccounting::Changes(const Json::Value& root) const {
  std::vector<NamedChange> named;
  if (changes_.empty()) return named;
  std::unordered_map<const Json::Value*, std::string> paths;
  for (const RecordedChange& change : changes_) paths.emplace(change.value, std::string());
  // Every value of the input, walked from an explicit stack. Each visited
  // value keeps only how it hangs from its parent, so that a path is spelled
  // out for a recorded value alone: the input's depth never multiplies its
  // size.
  struct Node {
    const Json::Value* value;
    std::size_t parent;  // index in `nodes`; the root is its own
    std::string_view key;
    Json::ArrayIndex index;
    bool isElement;
  };
  std::vector<Node> nodes{{&root, 0, {}, 0, false}};
  std::vector<std::size_t> pending{0};
  std::vector<std::size_t> chain;
  std::size_t found = 0;
  while (!pending.empty() && found < paths.size()) {
    const std::size_t at = pending.back();
    pending.pop_back();
    const Json::Value& value = *nodes[at].value;
    if (const auto wanted = paths.find(&value); wanted != paths.end() && at != 0) {
      ++found;
      chain.clear();
      for (std::size_t link = at; link != 0; link = nodes[link].parent) chain.push_back(link);
      std::string& path = wanted->second;
      for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
        const Node& node = nodes[*link];
        if (node.isElement) {
          path += "[" + std::to_string(node.index) + "]";
        } else {
          if (!path.empty()) path += '.';
          path += node.key;
        }
      }
    }
    if (value.isArray()) {
      for (Json::ArrayIndex i = 0; i < value.size(); ++i) {
        pending.push_back(nodes.size());
        nodes.push_back({&value[i], at, {}, i, true});
      }
    } else if (value.isObject()) {
      for (auto member = value.begin(); member != value.end(); ++member) {
        const char* end = nullptr;
        const char* begin = member.memberName(&end);
        pending.push_back(nodes.size());
        nodes.push_back({&*member, at, std::string_view(begin, end - begin), 0, false});
      }
    }
  }
  named.reserve(changes_.size());
  for (const RecordedChange& change : changes_) {
    named.push_back({paths[change.value], *change.value, change.written, change.reason});
  }
  return named;
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
