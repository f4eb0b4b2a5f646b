#include "frontend/run_pacer.h"

#include <condition_variable>
#include <mutex>

namespace zr {

void run_pacer::set_period(std::chrono::milliseconds period) {
  stop();
  period_ = period;
}

void run_pacer::start() {
  stop();
  due_.store(true, std::memory_order_relaxed);
  if (period_.count() == 0) return;
  clock_ = std::jthread([this](std::stop_token stopping) {
    std::mutex unused;
    std::unique_lock lock(unused);
    std::condition_variable_any sleep;
    // Wakes once a period, or at once when the run ends.
    while (!sleep.wait_for(lock, stopping, period_, [] { return false; }) &&
           !stopping.stop_requested())
      due_.store(true, std::memory_order_relaxed);
  });
}

void run_pacer::stop() {
  if (!clock_.joinable()) return;
  clock_.request_stop();
  clock_.join();
  due_.store(true, std::memory_order_relaxed);
}

}  // namespace zr
