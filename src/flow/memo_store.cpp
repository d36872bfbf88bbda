#include "flow/memo_store.h"

#include <cstdlib>

namespace orv {

void MemoStore::set(const std::string& name, const std::string& value) {
  entries_[name].value = value;
}

void MemoStore::set(const std::string& name, const std::string& value, uint8_t kind) {
  entries_[name] = MemoEntry{value, kind};
}

void MemoStore::setBlock(const std::string& name, std::string bytes) {
  blocks_.push_back(std::move(bytes));
  auto address = reinterpret_cast<uintptr_t>(blocks_.back().c_str());
  set(name, std::to_string(address), kMemoBlock);
}

const MemoEntry* MemoStore::find(const std::string& name) const {
  auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : &it->second;
}

void MemoStore::remove(const std::string& name) { entries_.erase(name); }

std::string MemoStore::textOf(const MemoEntry& entry) const {
  if (entry.kind != kMemoBlock) return entry.value;
  // Only addresses of our own blocks are dereferenced; anything else stays as written.
  uintptr_t address = std::strtoull(entry.value.c_str(), nullptr, 10);
  for (const std::string& block : blocks_)
    if (reinterpret_cast<uintptr_t>(block.c_str()) == address) return block.c_str();
  return entry.value;
}

}  // namespace orv
