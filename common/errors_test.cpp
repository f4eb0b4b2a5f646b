#include "common/errors.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "common/checked.h"

namespace zr {
namespace {

engine_error caught(const std::function<void()>& action) {
  try {
    action();
  } catch (const engine_error& e) {
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return engine_error(0, U"");
}

TEST(Errors, ContextLinesAccumulateOnTheWayOut) {
  engine_error e = caught([] {
    try {
      try {
        raise_engine_error(U"deep");
      } catch (...) {
        raise_with_context(U"in find_tock");
      }
    } catch (...) {
      raise_with_context(U"in \"compile\" module\r\nlocator: x");
    }
  });
  EXPECT_EQ(e.number(), 2048);
  EXPECT_EQ(e.description(), U"deep\r\nin find_tock\r\nin \"compile\" module\r\nlocator: x");
}

TEST(Errors, RaiseErrorKeepsItsNumber) {
  engine_error e = caught([] {
    try {
      raise_error(U"five", 5);
    } catch (...) {
      raise_with_context(U"ctx");
    }
  });
  EXPECT_EQ(e.number(), 5);
  EXPECT_EQ(e.description(), U"five\r\nctx");
}

TEST(Errors, StandardFailuresBecomePlatformErrors) {
  struct Case {
    std::function<void()> raise;
    int number;
  };
  const Case cases[] = {
      {[] { throw std::bad_alloc(); }, error_number::out_of_memory},
      {[] { throw std::out_of_range("x"); }, error_number::index_range},
      {[] { throw std::overflow_error("x"); }, error_number::overflow},
      {[] { throw std::invalid_argument("x"); }, error_number::invalid_argument},
      {[] { throw std::runtime_error("odd"); }, error_number::internal},
  };
  for (const Case& c : cases) {
    engine_error e = caught([&] {
      try {
        c.raise();
      } catch (...) {
        raise_with_context(U"ctx");
      }
    });
    EXPECT_EQ(e.number(), c.number);
    EXPECT_NE(e.number(), error_number::engine);
    EXPECT_TRUE(e.description().ends_with(U"\r\nctx"));
  }
}

TEST(Errors, PlatformNumbersAreFixedAndNever2048) {
  for (int n :
       {error_number::invalid_argument, error_number::overflow, error_number::out_of_memory,
        error_number::index_range, error_number::division_by_zero, error_number::type_mismatch,
        error_number::missing_object, error_number::file_not_found, error_number::path_access}) {
    EXPECT_NE(n, error_number::engine);
    EXPECT_NE(platform_error_description(n), platform_error_description(-1)) << n;
  }
  EXPECT_EQ(caught([] { raise_platform_error(error_number::overflow); }).description(),
            U"Overflow");
}

TEST(Checked, IndexOutsideATableRaisesTheIndexRangeError) {
  std::vector<int> table(3);
  checked_at(table, 2) = 7;
  EXPECT_EQ(table[2], 7);
  for (long long bad : {-1LL, 3LL, 40000LL}) {
    EXPECT_EQ(caught([&] { checked_at(table, bad); }).number(), error_number::index_range);
  }
}

}  // namespace
}  // namespace zr
