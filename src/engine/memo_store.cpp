#include "engine/memo_store.h"

#include <algorithm>
#include <cstdlib>

#include "engine/text_util.h"

namespace orv {

// The entry of name, created (and indexed by its upper-cased name) when new.
MemoEntry& MemoStore::slot(const std::string& name) {
  auto [it, added] = entries_.try_emplace(name);
  if (added) {
    std::vector<std::string_view>& names = byUpper_[toUpper(name)];
    std::string_view key = it->first;
    names.insert(std::lower_bound(names.begin(), names.end(), key), key);
  }
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
  return it == byUpper_.end() || it->second.empty() ? nullptr : find(std::string(it->second.front()));
}

const std::vector<std::string_view>& MemoStore::namesWithUpper(const std::string& upperName) const {
  static const std::vector<std::string_view> none;
  auto it = byUpper_.find(upperName);
  return it == byUpper_.end() ? none : it->second;
}

void MemoStore::remove(const std::string& name) {
  if (!entries_.contains(name)) return;
  // The index's view goes first: it points into the key about to be freed.
  auto it = byUpper_.find(toUpper(name));
  if (it != byUpper_.end()) {
    std::vector<std::string_view>& names = it->second;
    auto at = std::lower_bound(names.begin(), names.end(), std::string_view(name));
    if (at != names.end() && *at == name) names.erase(at);
    if (names.empty()) byUpper_.erase(it);
  }
  entries_.erase(name);
}

std::string MemoStore::textOf(const MemoEntry& entry) const {
  if (entry.kind != kMemoBlock) return entry.value;
  // Only addresses of our own blocks are dereferenced; anything else stays as written.
  uintptr_t address = std::strtoull(entry.value.c_str(), nullptr, 10);
  auto it = blockIndex_.find(address);
  return it == blockIndex_.end() ? entry.value : blocks_[it->second].c_str();
}

}  // namespace orv
