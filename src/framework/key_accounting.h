#pragma once

// Which keys of an input the readers used, and which values they took but
// did not carry over as given. While a KeyAccounting is active on a thread,
// every reader that takes a key marks the key's value; what no reader
// marked is what the input said and the model did not take (a misspelled
// key, one the format has dropped). A reader that replaces or drops a value
// it read records that change. Nothing is recorded, and nothing costs more
// than a test of one pointer, while none is active.

#include <json/json.h>

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorvane {

class KeyAccounting {
 public:
  // Marks the value of a key as used.
  void Consume(const Json::Value& value) { consumed_.insert(&value); }
  bool IsConsumed(const Json::Value& value) const { return consumed_.count(&value) != 0; }

  // The JSON paths ("Comment", "List[1].Key") of the keys of `root`, at any
  // depth, that no reader used, in key order. Below a key that was used, the
  // keys of its object, and of the objects of its array, are looked at in
  // turn; nothing below an unused key is named. Walked without recursion.
  std::vector<std::string> Unconsumed(const Json::Value& root) const;

  // A value of the input that was read and did not reach the output as
  // given: what the output holds instead (null for nothing), and why, in a
  // short fixed text.
  void Change(const Json::Value& value, Json::Value written, std::string_view reason) {
    changes_.push_back({&value, std::move(written), reason});
  }

  struct NamedChange {
    std::string path;  // as Unconsumed names keys; "List[2]" for an element
    Json::Value value;
    Json::Value written;
    std::string_view reason;
  };
  // The changes recorded, in the order they were, each with its path in
  // `root` (the input they were read from). Walked without recursion, and
  // only when there are changes.
  std::vector<NamedChange> Changes(const Json::Value& root) const;

  // The accounting active on this thread, or null.
  static KeyAccounting* Current();

 private:
  friend class ScopedKeyAccounting;
  struct RecordedChange {
    const Json::Value* value;
    Json::Value written;
    std::string_view reason;
  };
  std::unordered_set<const Json::Value*> consumed_;
  std::vector<RecordedChange> changes_;
};

// Makes `accounting` the active one on this thread for its lifetime.
class ScopedKeyAccounting {
 public:
  explicit ScopedKeyAccounting(KeyAccounting& accounting);
  ~ScopedKeyAccounting();
  ScopedKeyAccounting(const ScopedKeyAccounting&) = delete;
  ScopedKeyAccounting& operator=(const ScopedKeyAccounting&) = delete;

 private:
  KeyAccounting* previous_;
};

// Marks the member `key` of `object` as used, when an accounting is active
// and the member exists.
void ConsumeMember(const Json::Value& object, std::string_view key);

// Records that `value` was read and the output holds `written` instead (null
// for nothing), when an accounting is active. `reason` must outlive the
// accounting (a literal).
void RecordChange(const Json::Value& value, const Json::Value& written, std::string_view reason);

// Whether changes are being recorded: what only a record needs is worked
// out only then.
inline bool RecordingChanges() { return KeyAccounting::Current() != nullptr; }

}  // namespace quorvane
