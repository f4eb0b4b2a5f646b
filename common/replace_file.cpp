#include "common/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
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

// The permissions a file made now gets: 0666 less the process's umask. The
// umask is read from /proc, since setting it to learn it would race with
// threads that make files; it is set and restored only where /proc is missing.
mode_t new_file_mode() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  unsigned mask = 0;
  bool found = false;
  if (status) {
    char line[256];
    while (!found && std::fgets(line, sizeof line, status))
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(status);
  }
  if (!found) {
    const mode_t old = ::umask(022);
    ::umask(old);
    mask = old;
  }
  return 0666 & ~static_cast<mode_t>(mask);
}

// The temporary file's name beside `target`: hidden, and short enough that a
// target name of NAME_MAX characters still leaves room for it.
std::string temporary_name(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return folder + "." + name.substr(0, 64) + ".XXXXXX";
}

}  // namespace

std::string link_target(const std::string& path) {
  std::string target = path;
  // As many links as the system follows in one path.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
    std::string to(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
    const ssize_t length = ::readlink(target.c_str(), to.data(), to.size());
    if (length < 0) return target;
    to.resize(static_cast<std::size_t>(length));
    const std::size_t slash = target.rfind('/');
    if (to.starts_with('/') || slash == std::string::npos) {
      target = to;
    } else {
      target.resize(slash + 1);  // a relative link is read from the link's folder
      target += to;
    }
  }
  return target;
}

engine_error file_error(int system_error) {
  return engine_error(error_number_of(system_error), from_utf8(std::strerror(system_error)));
}

void replace_file(const std::string& path, std::string_view bytes) {
  replace_step step;
  replace_file(path, bytes, step);
}

void replace_file(const std::string& path, std::string_view bytes, replace_step& step) {
  step = replace_step::create;
  const std::string target = link_target(path);
  struct stat old;
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode)) {
    write_device(target, bytes, step);
    return;
  }
  if (exists && S_ISDIR(old.st_mode)) {
    // As renaming over it would: the file was found, and cannot be written.
    step = replace_step::write;
    raise_system_error(EISDIR, "");
  }
  // Renaming needs only the folder's permission: the file's own is asked
  // here, so a read-only file stays read-only.
  if (exists && ::access(target.c_str(), W_OK) != 0) raise_system_error(errno, "");
  std::string temporary = temporary_name(target);
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) raise_system_error(errno, "");
  step = replace_step::write;
  if (exists) {
    // Only root may give the file to its old owner; for others the new file
    // is theirs, as it must be.
    const bool kept_owner = ::fchown(fd, old.st_uid, old.st_gid) == 0;
    static_cast<void>(kept_owner);
    ::fchmod(fd, old.st_mode & 07777);
  } else {
    ::fchmod(fd, new_file_mode());
  }
  if (!write_all(fd, bytes) || ::fsync(fd) != 0) {
    int failure = errno;
    ::close(fd);
    raise_system_error(failure, temporary);
  }
  if (::close(fd) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0)
    raise_system_error(errno, temporary);
}

}  // namespace zr
