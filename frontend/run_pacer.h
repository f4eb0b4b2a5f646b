// Paces the window's event pump during a run. The engine yields to the window
// twice a dialog step, millions of times a second; running the window's events
// at every yield costs many times the translation itself. A clock thread
// raises a flag once a period, and the pump runs the events only when the flag
// is up: a run spends next to nothing in the pump, and the window still
// answers within a period.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace zr {

class run_pacer {
 public:
  // The window's events run at most once per period of run time.
  static constexpr std::chrono::milliseconds window_period{20};

  explicit run_pacer(std::chrono::milliseconds period = window_period) : period_(period) {}
  ~run_pacer() { stop(); }
  run_pacer(const run_pacer&) = delete;
  run_pacer& operator=(const run_pacer&) = delete;

  // A zero period makes every yield due (tests that act at each yield).
  void set_period(std::chrono::milliseconds period);
  // Starts the clock for a run: the first yield is due at once.
  void start();
  void stop();
  // True once per period, always with a zero period; takes the flag down.
  bool due() {
    if (!due_.load(std::memory_order_relaxed)) return false;
    if (period_.count() != 0) due_.store(false, std::memory_order_relaxed);
    return true;
  }

 private:
  std::chrono::milliseconds period_;
  std::atomic<bool> due_{true};
  std::jthread clock_;
};

}  // namespace zr
