#include "cli/input_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

// Reads straight into `bytes`: a regular file in one piece of its size (plus
// one byte to see the end), anything else in growing pieces.
bool read_all(int fd, std::string& bytes) {
  struct stat info;
  std::size_t piece = 65536;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
    piece = static_cast<std::size_t>(info.st_size) + 1;
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      reserve_growing(bytes, used + piece);
      bytes.resize(bytes.capacity());
    }
    const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (n == 0) {
      bytes.resize(used);
      return true;
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    used += static_cast<std::size_t>(n);
  }
}

}  // namespace

std::optional<std::string> read_input(const std::string& name, std::string& reason) {
  const bool from_stdin = name == "-";
  const int fd = from_stdin ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return std::nullopt;
  }
  std::optional<std::string> refused = refusal(fd, from_stdin);
  std::string bytes;
  if (!refused && !read_all(fd, bytes)) refused = std::strerror(errno);
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
  return name == "-" ? "<stdin>" : name;
}

}  // namespace zr
