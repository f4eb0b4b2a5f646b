#include "cli/input_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "cli/signals.h"
#include "common/growth.h"

namespace zr {

namespace {

// A pipe or a regular file can be read to its end; a device or a socket is
// refused, except as standard input, where a terminal is one.
std::optional<std::string> refusal(int fd, bool from_stdin) {
  struct stat info;
  if (::fstat(fd, &info) != 0) return std::strerror(errno);
  if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
  if (!from_stdin && !S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode))
    return "is a device, not a file";
  return std::nullopt;
}

std::string megabytes(std::size_t bytes) {
  return std::to_string(bytes >> 20) + " MB";
}

// Reads straight into `bytes`: a regular file in one piece of its size (plus
// one byte to see the end, and the two of the line end the engine appends to
// a source it reads in place), anything else in growing pieces. None when
// the whole was read, else why not.
std::optional<std::string> read_all(int fd, std::string& bytes, std::size_t max_bytes) {
  struct stat info;
  std::size_t piece = 65536;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    if (static_cast<std::uintmax_t>(info.st_size) > max_bytes)
      return "larger than the memory limit of " + megabytes(max_bytes);
    piece = static_cast<std::size_t>(info.st_size) + 3;
  }
  std::size_t used = 0;
  for (;;) {
    if (used > max_bytes) return "larger than the memory limit of " + megabytes(max_bytes);
    if (used == bytes.size()) {
      reserve_growing(bytes, used + piece);
      bytes.resize(bytes.capacity());
    }
    const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (n == 0) {
      bytes.resize(used);
      return std::nullopt;
    }
    if (n < 0) {
      if (errno != EINTR) return std::strerror(errno);
      if (stop_was_requested()) return "interrupted";
      continue;
    }
    used += static_cast<std::size_t>(n);
  }
}

}  // namespace

std::optional<std::string> read_input(const std::string& name, std::string& reason,
                                      std::size_t max_bytes) {
  const bool from_stdin = name == "-";
  const int fd = from_stdin ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return std::nullopt;
  }
  std::optional<std::string> refused = refusal(fd, from_stdin);
  std::string bytes;
  try {
    if (!refused) refused = read_all(fd, bytes, max_bytes);
  } catch (const std::bad_alloc&) {
    refused = "not enough memory to read it";
    std::string().swap(bytes);
  }
  if (!from_stdin) ::close(fd);
  if (!refused && bytes.find('\0') != std::string::npos)
    refused = "holds NUL bytes, not a text file";
  if (refused) {
    reason = *refused;
    return std::nullopt;
  }
  return bytes;
}

std::string display_name(const std::string& name) {
  if (name == "-") return "<stdin>";
  const bool plain = std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
  });
  if (plain) return name;
  std::string quoted = "'";
  for (const char c : name) {
    switch (c) {
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\\':
      case '\'':
        quoted += '\\';
        quoted += c;
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
          quoted += escaped;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "'";
}

}  // namespace zr
