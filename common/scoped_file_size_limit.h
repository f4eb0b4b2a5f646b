// For tests: a file-size limit that makes every write past a few bytes fail,
// as a full disk would, for root too. SIGXFSZ is ignored meanwhile, so the
// write returns EFBIG instead of ending the process.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace zr {

class scoped_file_size_limit {
 public:
  explicit scoped_file_size_limit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    struct rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~scoped_file_size_limit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, handler_);
  }
  scoped_file_size_limit(const scoped_file_size_limit&) = delete;
  scoped_file_size_limit& operator=(const scoped_file_size_limit&) = delete;

 private:
  struct rlimit saved_ {};
  void (*handler_)(int);
};

}  // namespace zr
