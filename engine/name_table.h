// A table from names to values, built once and read at every dialog step.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/text.h"

namespace zr {

// A table from names to values for the look-ups made at every step: open
// addressing over a power-of-two number of slots and a hash computed inline,
// so a look-up is one pass over the name and, nearly always, one comparison.
template <class Value>
class name_table {
 public:
  // Adds `name` with `value`, or returns the value it already has.
  Value& operator[](text_view name) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    const std::uint64_t hash = hash_of(name);
    slot& s = slot_for(name, hash);
    if (!s.used) {
      s = {text(name), Value(), hash, true};
      ++used_;
    }
    return s.value;
  }
  // The value of `name`; null when it has none.
  const Value* find(text_view name) const {
    if (slots_.empty()) return nullptr;
    const slot& s = slot_for(name, hash_of(name));
    return s.used ? &s.value : nullptr;
  }
  template <class Visit>
  void for_each(Visit visit) {
    for (slot& s : slots_)
      if (s.used) visit(s.name, s.value);
  }

 private:
  struct slot {
    text name;
    Value value{};
    std::uint64_t hash = 0;
    bool used = false;
  };

  // FNV-1a over the code points.
  static std::uint64_t hash_of(text_view name) {
    std::uint64_t h = 14695981039346656037ull;
    for (char32_t c : name)
      h = (h ^ c) * 1099511628211ull;
    return h;
  }
  // The slot holding `name`, or the empty slot where it would go.
  template <class Self>
  static auto& slot_in(Self& self, text_view name, std::uint64_t hash) {
    const std::size_t mask = self.slots_.size() - 1;
    for (std::size_t k = hash & mask;; k = (k + 1) & mask) {
      auto& s = self.slots_[k];
      if (!s.used || (s.hash == hash && s.name == name)) return s;
    }
  }
  slot& slot_for(text_view name, std::uint64_t hash) { return slot_in(*this, name, hash); }
  const slot& slot_for(text_view name, std::uint64_t hash) const {
    return slot_in(*this, name, hash);
  }
  void grow() {
    std::vector<slot> old(std::max<std::size_t>(16, 2 * slots_.size()));
    old.swap(slots_);
    for (slot& s : old)
      if (s.used) slot_for(s.name, s.hash) = std::move(s);
  }

  std::vector<slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace zr
