#include "frontend/fileaux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/easylife.h"
#include "common/errors.h"
#include "common/replace_file.h"

namespace zr {

namespace {

[[noreturn]] void raise_file_error(int system_error) {
  throw file_error(system_error);
}

// Writes every byte, retrying short writes; raises the file error on failure.
void write_all(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      raise_file_error(errno);
    }
    done += static_cast<std::size_t>(n);
  }
}

// Closes fd; a failed close means the data may not have reached the disk.
void close_checked(int fd) {
  if (::close(fd) != 0) raise_file_error(errno);
}

// Closes fd on every way out of a scope unless released.
class open_file {
 public:
  explicit open_file(int fd) : fd_(fd) {}
  ~open_file() {
    if (fd_ >= 0) ::close(fd_);
  }
  open_file(const open_file&) = delete;
  open_file& operator=(const open_file&) = delete;
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

text file_context(text_view before, text_view path, text_view after) {
  text context(before);
  context += U"`";
  context += path;
  context += U"`";
  context += after;
  return context;
}

// Replaces the file through a temporary file beside it. A symbolic link stays
// a link: the file it points to is replaced. A failure raises with the opening
// context when the temporary file could not be created, else the writing one.
void replace_with_contexts(text_view path, const std::string& bytes, text_view opening,
                           text_view writing) {
  std::string target = to_utf8(path);
  std::error_code no_target;
  if (std::filesystem::is_symlink(target, no_target)) {
    std::filesystem::path resolved = std::filesystem::weakly_canonical(target, no_target);
    if (!no_target) target = resolved.string();
  }
  replace_step step = replace_step::create;
  try {
    replace_file(target, bytes, step);
  } catch (...) {
    raise_with_context(step == replace_step::create ? opening : writing);
  }
}

// One byte per character when every character fits in one, else UTF-8.
std::string encoded(text_view contents, bool latin1) {
  if (!latin1 || std::any_of(contents.begin(), contents.end(), [](char32_t c) { return c > 0xFF; }))
    return to_utf8(contents);
  return std::string(contents.begin(), contents.end());
}

}  // namespace

text read_f(text_view path) {
  return read_contents_f(path).contents;
}

file_contents read_contents_f(text_view path) {
  const std::string name = to_utf8(path);
  int fd = -1;
  try {
    // A missing file is created empty; an existing one is only read, so a
    // read-only schema or source can be loaded.
    fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) raise_file_error(errno);
  } catch (...) {
    raise_with_context(file_context(U"when opening a file ", path, U" in `read_f` module"));
  }
  open_file file(fd);
  std::string bytes;
  try {
    char buffer[65536];
    for (;;) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        raise_file_error(errno);
      }
      if (n == 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
  } catch (...) {
    raise_with_context(file_context(U"when reading a file ", path, U" in `read_f` module"));
  }
  file_contents read;
  read.contents = from_utf8(bytes);
  // Decoding keeps every byte: only a file that was not UTF-8 encodes differently.
  read.latin1 = to_utf8(read.contents) != bytes;
  // Such a file is Latin-1 throughout, even where its bytes happen to form a
  // UTF-8 sequence: it is read, and written back, one byte per character.
  if (read.latin1) {
    read.contents.resize(bytes.size());
    std::transform(bytes.begin(), bytes.end(), read.contents.begin(), [](char byte) {
      return static_cast<char32_t>(static_cast<unsigned char>(byte));
    });
  }
  read.bytes = std::move(bytes);
  return read;
}

void write_f(text_view path, text_view contents, bool latin1) {
  replace_with_contexts(path, encoded(contents, latin1),
                        file_context(U"when opening a file ", path, U" in `write_f` module"),
                        file_context(U"when writing a file ", path, U" in `write_f` module"));
}

text append_f(text_view path, text_view contents) {
  const std::string name = to_utf8(path);
  int fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    text status = U"error\nerror opening file `";
    status += path;
    status += U"`\r\n";
    status += file_error(errno).description();
    return status;
  }
  open_file file(fd);
  try {
    write_all(fd, to_utf8(contents));
    close_checked(file.release());
  } catch (...) {
    text status = U"error\nerror writing to file `";
    status += path;
    status += U"`\r\n";
    status += current_error().description();
    return status;
  }
  return U"done\n";
}

void delete_f(text_view path) {
  const std::string name = to_utf8(path);
  try {
    struct stat entry {};
    if (::lstat(name.c_str(), &entry) != 0) {
      // No such entry (or no such directory): nothing to delete.
      if (errno == ENOENT || errno == ENOTDIR) return;
      raise_file_error(errno);
    }
    if (!S_ISREG(entry.st_mode)) return;
    if (::unlink(name.c_str()) != 0) raise_file_error(errno);
  } catch (...) {
    raise_with_context(file_context(U"when deleting ", path, U""));
  }
}

text write_report_f(text_view path, text_view contents) {
  return write_report_f(path, to_utf8(contents));
}

text write_report_f(text_view path, const std::string& utf8) {
  replace_with_contexts(path, utf8, file_context(U"error when open a file ", path, U""),
                        file_context(U"error writing to a file ", path, U""));
  return U"done\n" + file_context(U"  file ", path, U" was successfully written on disk ... ");
}

void ensure_directory(text_view path) {
  const std::string name = to_utf8(path);
  struct stat entry {};
  if (::stat(name.c_str(), &entry) == 0 && S_ISDIR(entry.st_mode)) return;
  if (::mkdir(name.c_str(), 0777) != 0) raise_file_error(errno);
}

std::optional<file_stamp> stamp_f(text_view path) {
  struct stat entry {};
  if (::stat(to_utf8(path).c_str(), &entry) != 0) return std::nullopt;
  return file_stamp{
      static_cast<long long>(entry.st_mtim.tv_sec) * 1000000000LL + entry.st_mtim.tv_nsec,
      static_cast<long long>(entry.st_size)};
}

bool file_exists_f(text_view path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(to_utf8(path), ignored);
}

namespace {

std::filesystem::path resolved_path(const std::string& name) {
  std::error_code failed;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(name, failed);
  if (failed) return std::filesystem::path(name).lexically_normal();
  return resolved;
}

}  // namespace

bool same_file_f(text_view first, text_view second) {
  const std::string a = to_utf8(first);
  const std::string b = to_utf8(second);
  struct stat one {};
  struct stat other {};
  if (::stat(a.c_str(), &one) == 0 && ::stat(b.c_str(), &other) == 0)
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
  return resolved_path(a) == resolved_path(b);
}

text relative_name(text_view path, text_view dir) {
  text inside = with_backslash(dir);
  if (path.size() > inside.size() && path.starts_with(inside))
    return text(path.substr(inside.size()));
  return text(path);
}

bool is_absolute_name(text_view name) {
  return (!name.empty() && name.front() == U'/') || name.find(U':') != text_view::npos;
}

text full_path(text_view name, text_view app_dir) {
  if (is_absolute_name(name)) return text(name);
  return with_backslash(app_dir) + text(name);
}

text with_backslash(text_view path) {
  text result(path);
  if (result.empty() || result.back() != U'/') result += U'/';
  return result;
}

}  // namespace zr
