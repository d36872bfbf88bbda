#include "engine/memo_store.h"

#include <cstdlib>

#include "engine/text_util.h"

namespace orv {

// The entry of name, created (and indexed by its upper-cased name) when new.
MemoEntry& MemoStore::slot(const std::string& name) {
  auto [it, added] = entries_.try_emplace(name);
  if (added) byUpper_[toUpper(name)].insert(name);
  return it->second;
}

void MemoStore::set(const std::string& name, const std::string& value) { slot(name).value = value; }

void MemoStore::set(const std::string& name, const std::string& value, uint8_t kind) {
  slot(name) = MemoEntry{value, kind};
}

void MemoStore::setBlock(const std::string& name, std::string bytes) {
  blocks_.push_back(std::move(bytes));
  auto address = reinterpret_cast<uintptr_t>(blocks_.back().c_str());
  blockIndex_[address] = blocks_.size() - 1;
  set(name, std::to_string(address), kMemoBlock);
}

const MemoEntry* MemoStore::find(const std::string& name) const {
  auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : &it->second;
}

const MemoEntry* MemoStore::findUpper(const std::string& upperName) const {
  auto it = byUpper_.find(upperName);
  return it == byUpper_.end() || it->second.empty() ? nullptr : find(*it->second.begin());
}

const std::set<std::string>& MemoStore::namesWithUpper(const std::string& upperName) const {
  static const std::set<std::string> none;
  auto it = byUpper_.find(upperName);
  return it == byUpper_.end() ? none : it->second;
}

void MemoStore::remove(const std::string& name) {
  if (entries_.erase(name) == 0) return;
  auto it = byUpper_.find(toUpper(name));
  if (it == byUpper_.end()) return;
  it->second.erase(name);
  if (it->second.empty()) byUpper_.erase(it);
}

std::string MemoStore::textOf(const MemoEntry& entry) const {
  if (entry.kind != kMemoBlock) return entry.value;
  // Only addresses of our own blocks are dereferenced; anything else stays as written.
  uintptr_t address = std::strtoull(entry.value.c_str(), nullptr, 10);
  auto it = blockIndex_.find(address);
  return it == blockIndex_.end() ? entry.value : blocks_[it->second].c_str();
}

}  // namespace orv
