// The one error type of the system: a number and a description. Every routine
// on the way out of a failure may append a context line (CR LF and a text), so
// the description collects where the failure passed.
#pragma once

#include <exception>
#include <string>

#include "common/text.h"

namespace zr {

// Numbers of the errors the system raises. 2048 is the engine's own; the others
// stand for failures of the platform and never use 2048.
namespace error_number {
inline constexpr int engine = 2048;
inline constexpr int invalid_argument = 5;
inline constexpr int overflow = 6;
inline constexpr int out_of_memory = 7;
inline constexpr int index_range = 9;
// A translate called while another runs on the same engine state (from the
// host's own message callback, say): refused before anything is touched.
inline constexpr int translation_running = 10;
inline constexpr int division_by_zero = 11;
inline constexpr int type_mismatch = 13;
inline constexpr int internal = 51;
inline constexpr int file_not_found = 53;
inline constexpr int file_io = 57;
inline constexpr int disk_full = 61;
inline constexpr int permission_denied = 70;
inline constexpr int path_access = 75;
inline constexpr int path_not_found = 76;
inline constexpr int missing_object = 91;
}  // namespace error_number

// The fixed description of a platform error number ("Overflow", ...).
text platform_error_description(int number);

class engine_error : public std::exception {
 public:
  engine_error(int number, text description);

  int number() const noexcept { return number_; }
  const text& description() const noexcept { return description_; }
  // The description as UTF-8.
  const char* what() const noexcept override { return utf8_.c_str(); }

  // A copy whose description is extended by CR LF and `context`.
  engine_error with_context(text_view context) const;

 private:
  int number_;
  text description_;
  std::string utf8_;
};

// Raises error 2048 with `description`.
[[noreturn]] void raise_engine_error(text description);
// Raises error `number` with `description`.
[[noreturn]] void raise_error(text description, int number);
// Raises the platform error `number` with its fixed description.
[[noreturn]] void raise_platform_error(int number);

// The exception now being handled, as an engine_error: standard library
// failures map to the platform numbers (bad_alloc to out of memory,
// out_of_range to the index range, ...). Call only inside a catch block.
engine_error current_error();

// Raises the error now being handled once more, with the same number and the
// description extended by CR LF and `context`. Call only inside a catch block.
[[noreturn]] void raise_with_context(text_view context);

}  // namespace zr
