// The memo store: named values left by directives, loaders and the engine.
#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orv {

// Where a memo's value came from.
enum MemoKind : uint8_t {
  kMemoText = 0,       // MEMO internal / registry / file line; loader variables
  kMemoBlock = 1,      // MEMO file without line: value is a memory block's address
  kMemoIni = 6,        // INI loading
  kMemoClipboard = 7,  // MEMO clipboard
  kMemoParameter = 8,  // MEMO parameters
  kMemoBuiltin = 9,    // loop and action variables
};

struct MemoEntry {
  std::string value;
  uint8_t kind = kMemoText;
};

class MemoStore {
 public:
  // Sets a memo keeping an existing entry's kind (a new entry gets kind 0).
  void set(const std::string& name, const std::string& value);
  // Sets a memo and its kind.
  void set(const std::string& name, const std::string& value, uint8_t kind);
  // Stores bytes in a memory block that lives until the process ends; the memo
  // holds the block's address in decimal, with kind 1.
  void setBlock(const std::string& name, std::string bytes);
  const MemoEntry* find(const std::string& name) const;
  // The first memo, in name order, whose upper-cased name is upperName.
  const MemoEntry* findUpper(const std::string& upperName) const;
  // Names of the memos whose upper-cased name is upperName, in name order
  // (valid until the store next changes).
  const std::vector<std::string_view>& namesWithUpper(const std::string& upperName) const;
  void remove(const std::string& name);
  // The text a memo stands for in expansions (a block's content for kind 1).
  std::string textOf(const MemoEntry& entry) const;

 private:
  MemoEntry& slot(const std::string& name);

  // Node-based: a name's key stays at its address while it is stored, so the
  // upper-case index holds views of the keys, sorted.
  std::unordered_map<std::string, MemoEntry> entries_;
  std::unordered_map<std::string, std::vector<std::string_view>> byUpper_;  // upper-cased name to names
  std::deque<std::string> blocks_;                                  // stable addresses: never moved or freed
  std::unordered_map<uintptr_t, size_t> blockIndex_;                // block address to its place in blocks_
};

}  // namespace orv
