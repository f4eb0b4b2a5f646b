// A table from names to values, built once and read at every dialog step.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/text.h"

namespace zr {

// A table from names to values for the look-ups made at every step: open
// addressing over a power-of-two number of slots and a hash computed inline.
// Beside the slots, a small array holds a tag of each used slot's hash: a
// look-up probes the tags, which stay in the nearest cache, and compares a
// name only where a tag matches, so a name that is not in the table (most
// words of a source) reads no slot at all.
// FNV-1a over the code points of a name, fed a character at a time: a caller
// that reads the name anyway (the tokenizer folding a word) hashes it on the
// way instead of in a pass of its own.
struct name_hash {
  std::uint64_t value = 14695981039346656037ull;
  void add(char32_t c) { value = (value ^ c) * 1099511628211ull; }
};

template <class Value>
class name_table {
 public:
  // Adds `name` with `value`, or returns the value it already has.
  Value& operator[](text_view name) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    const std::uint64_t hash = hash_of(name);
    const std::size_t k = index_of(name, hash);
    if (tags_[k] == 0) {
      slots_[k] = {text(name), Value(), hash};
      tags_[k] = tag_of(hash);
      ++used_;
    }
    return slots_[k].value;
  }
  // The value of `name`; null when it has none.
  const Value* find(text_view name) const { return find(name, hash_of(name)); }
  // The same, for a name whose name_hash is `hash`.
  const Value* find(text_view name, std::uint64_t hash) const {
    if (slots_.empty()) return nullptr;
    const std::size_t k = index_of(name, hash);
    return tags_[k] != 0 ? &slots_[k].value : nullptr;
  }
  template <class Visit>
  void for_each(Visit visit) {
    for (std::size_t k = 0; k < slots_.size(); ++k)
      if (tags_[k] != 0) visit(slots_[k].name, slots_[k].value);
  }

 private:
  struct slot {
    text name;
    Value value{};
    std::uint64_t hash = 0;
  };

  static std::uint64_t hash_of(text_view name) {
    name_hash hash;
    for (char32_t c : name)
      hash.add(c);
    return hash.value;
  }
  // The high half of the hash (the low bits pick the slot), never 0: 0 marks
  // an empty slot.
  static std::uint32_t tag_of(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 32) | 1u;
  }
  // The slot holding `name`, or the empty slot where it would go.
  std::size_t index_of(text_view name, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = tag_of(hash);
    for (std::size_t k = hash & mask;; k = (k + 1) & mask) {
      if (tags_[k] == 0 || (tags_[k] == tag && same_text(slots_[k].name, name))) return k;
    }
  }
  void grow() {
    const std::size_t size = std::max<std::size_t>(16, 2 * slots_.size());
    std::vector<slot> old(size);
    old.swap(slots_);
    std::vector<std::uint32_t> old_tags(size);
    old_tags.swap(tags_);
    for (std::size_t k = 0; k < old.size(); ++k) {
      if (old_tags[k] == 0) continue;
      const std::size_t to = index_of(old[k].name, old[k].hash);
      slots_[to] = std::move(old[k]);
      tags_[to] = old_tags[k];
    }
  }

  std::vector<slot> slots_;
  std::vector<std::uint32_t> tags_;
  std::size_t used_ = 0;
};

}  // namespace zr
