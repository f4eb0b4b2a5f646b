#include "common/growth.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>

#include "common/thread_storage.h"

namespace zr {

namespace {

ZR_THREAD_LOCAL growth_budget* thread_budget = nullptr;

}  // namespace

void set_growth_budget(growth_budget* budget) {
  thread_budget = budget;
}

void charge_large_growth(std::size_t bytes) {
  growth_budget* budget = thread_budget;
  if (!budget) return;
  if (bytes > budget->limit - std::min(budget->charged, budget->limit))
    budget->over(budget->context, bytes);
  budget->charged += bytes;
}

void advise_huge_pages(void* data, std::size_t bytes) {
  constexpr std::uintptr_t huge_page = std::uintptr_t{2} << 20;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + huge_page - 1) & ~(huge_page - 1);
  const std::uintptr_t last = (start + bytes) & ~(huge_page - 1);
  // NOLINTNEXTLINE(performance-no-int-to-ptr): madvise takes the address rounded to a huge page.
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace zr
