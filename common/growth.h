// Growing texts that may become large: the source, the collected result,
// variables and streams that gather a whole program. From 2 MB on
// their storage is asked for as transparent huge pages, so a text that grows
// touches its fresh memory in 2 MB pieces instead of 4 KB ones (on a large
// translation the page faults cost more than the copying).
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace zr {

// Storage of at least this many bytes is advised as huge pages.
constexpr std::size_t huge_storage_bytes = std::size_t{2} << 20;

// A bound on the memory a thread's large texts take as they grow. The engine
// sets one for the length of a run: every growth of a text of huge_storage_bytes
// or more is charged to it before the memory is asked for, so a text that
// doubles at every step cannot pass the bound by more than one doubling.
struct growth_budget {
  std::size_t limit = 0;    // bytes
  std::size_t charged = 0;  // bytes held at the last measure, plus those charged since
  // Called when a charge of `bytes` would pass `limit`: measures what is held
  // now and raises an error when the growth would still pass it.
  void (*over)(void* context, std::size_t bytes) = nullptr;
  void* context = nullptr;
};

// Sets the calling thread's budget; null removes it.
void set_growth_budget(growth_budget* budget);

// Charges `bytes` about to be written into a large text to the calling
// thread's budget, if it has one. Raises what the budget's `over` raises.
void charge_large_growth(std::size_t bytes);
// Charges `bytes` about to be written into a text that will then hold
// `total_bytes`, when that text is large. A small text is not charged: this
// runs at every append, and only large texts reach the thread's budget.
inline void charge_growth(std::size_t total_bytes, std::size_t bytes) {
  if (total_bytes >= huge_storage_bytes) charge_large_growth(bytes);
}

// Sets the calling thread's budget for the life of the object.
class growth_budget_scope {
 public:
  explicit growth_budget_scope(growth_budget* budget) { set_growth_budget(budget); }
  ~growth_budget_scope() { set_growth_budget(nullptr); }
  growth_budget_scope(const growth_budget_scope&) = delete;
  growth_budget_scope& operator=(const growth_budget_scope&) = delete;
};

// Advises the whole 2 MB pages inside [data, data + bytes) as huge pages; a
// system without them ignores the advice.
void advise_huge_pages(void* data, std::size_t bytes);

// An empty string with room for `capacity` characters, advised as huge pages
// before anything is written into it.
template <class Char>
std::basic_string<Char> huge_storage(std::size_t capacity) {
  std::basic_string<Char> storage;
  storage.reserve(capacity);
  advise_huge_pages(storage.data(), storage.capacity() * sizeof(Char));
  return storage;
}

// The room a text that needs `needed` characters grows to: exactly that
// while the text is empty; otherwise at least double the old room, so
// appends take amortised constant time, and eight times it once the text is
// large. Every growth copies the whole text into fresh pages, and fresh pages
// are what a large translation spends most on, while room never written
// costs no memory: a large text grows in few, long steps.
template <class Char>
std::size_t grown_capacity(const std::basic_string<Char>& s, std::size_t needed) {
  if (s.empty()) return needed;
  const std::size_t factor = needed * sizeof(Char) < huge_storage_bytes ? 2 : 8;
  return std::max(needed, factor * s.capacity());
}

// A copy of `s` in huge-page storage with room for `needed` characters. The
// copy is charged to the thread's budget.
template <class Char>
std::basic_string<Char> grown_copy(const std::basic_string<Char>& s, std::size_t needed) {
  charge_growth(needed * sizeof(Char), s.size() * sizeof(Char));
  std::basic_string<Char> grown = huge_storage<Char>(grown_capacity(s, needed));
  grown.append(s);
  return grown;
}

// Makes room for `needed` characters in `s`.
template <class Char>
void reserve_growing(std::basic_string<Char>& s, std::size_t needed) {
  if (needed <= s.capacity()) return;
  if (needed * sizeof(Char) < huge_storage_bytes)
    s.reserve(grown_capacity(s, needed));
  else
    s = grown_copy(s, needed);
}

// Appends `more` to `s`. `more` may be a view into `s` itself.
template <class Char>
void append_growing(std::basic_string<Char>& s, std::basic_string_view<Char> more) {
  const std::size_t needed = s.size() + more.size();
  charge_growth(needed * sizeof(Char), more.size() * sizeof(Char));
  if (needed <= s.capacity() || needed * sizeof(Char) < huge_storage_bytes) {
    s.append(more);
    return;
  }
  std::basic_string<Char> grown = grown_copy(s, needed);
  grown.append(more);  // before the old storage goes: `more` may lie in it
  s.swap(grown);
}

}  // namespace zr
