#include "common/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/errors.h"

namespace zr {

namespace {

int error_number_of(int system_error) {
  switch (system_error) {
    case ENOENT:
    case ENOTDIR:
      return error_number::path_not_found;
    case EACCES:
    case EPERM:
    case EROFS:
      return error_number::permission_denied;
    case ENOSPC:
    case EDQUOT:
      return error_number::disk_full;
    default:
      return error_number::file_io;
  }
}

[[noreturn]] void raise_system_error(int system_error, const std::string& temporary) {
  if (!temporary.empty()) ::unlink(temporary.c_str());
  throw file_error(system_error);
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// A device or a pipe cannot be replaced by renaming a file over it (that
// would remove the device): it is written directly.
void write_device(const std::string& path, std::string_view bytes, replace_step& step) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) raise_system_error(errno, "");
  step = replace_step::write;
  if (!write_all(fd, bytes)) {
    int failure = errno;
    ::close(fd);
    raise_system_error(failure, "");
  }
  if (::close(fd) != 0) raise_system_error(errno, "");
}

}  // namespace

engine_error file_error(int system_error) {
  return engine_error(error_number_of(system_error), from_utf8(std::strerror(system_error)));
}

void replace_file(const std::string& path, std::string_view bytes) {
  replace_step step;
  replace_file(path, bytes, step);
}

void replace_file(const std::string& path, std::string_view bytes, replace_step& step) {
  step = replace_step::create;
  struct stat target;
  if (::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode) && !S_ISDIR(target.st_mode)) {
    write_device(path, bytes, step);
    return;
  }
  std::string temporary = path + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) raise_system_error(errno, "");
  step = replace_step::write;
  // The new file keeps the old one's permissions.
  struct stat old;
  ::fchmod(fd, ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
  if (!write_all(fd, bytes) || ::fsync(fd) != 0) {
    int failure = errno;
    ::close(fd);
    raise_system_error(failure, temporary);
  }
  if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0)
    raise_system_error(errno, temporary);
}

}  // namespace zr
