#include "cli/signals.h"

#include <atomic>
#include <csignal>

namespace zr {

namespace {

// Lock-free, so the handler may set it; every run's pump reads it.
std::atomic<int> stop_signal{0};

void request_stop(int signal) {
  stop_signal = signal;
}

}  // namespace

void stop_on_signals() {
  struct sigaction action {};
  action.sa_handler = request_stop;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a blocking read of standard input returns EINTR, so the
  // reader sees the stop instead of waiting on for input.
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool stop_was_requested() {
  return stop_signal != 0;
}

int signal_exit_status() {
  const int signal = stop_signal;
  return signal == 0 ? 0 : 128 + signal;
}

}  // namespace zr
