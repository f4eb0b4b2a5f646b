// Writing a file that replaces another: the text goes to a temporary file
// beside it, which is then renamed over the old one, so a failed write leaves
// the old file whole. A symbolic link is written through: the file it points
// to is replaced and the link stays. The new file keeps the old one's mode
// (and owner, where the caller may set it); a file made anew gets the mode
// that creating it under the process's umask gives. A file the caller may not
// write is refused, as cp refuses it.
#pragma once

#include <string>
#include <string_view>

#include "common/errors.h"

namespace zr {

// Replaces the file at `path` with `bytes`; a device or a pipe there is
// written directly instead. Raises an engine_error with a
// file error number and the system's reason when it cannot; the old file is
// then untouched and no temporary file is left behind.
void replace_file(const std::string& path, std::string_view bytes);

// The step at which replacing a file stands: creating the temporary file
// beside it, then writing it and renaming it over the old one.
enum class replace_step { create, write };

// The same; `step` tells how far it came, so a caller can say whether the file
// could not be opened or not be written.
void replace_file(const std::string& path, std::string_view bytes, replace_step& step);

// The file that `path` stands for once every symbolic link on the way to it
// is followed (the last one may point to a file that does not exist yet); the
// path itself when it is no link.
std::string link_target(const std::string& path);

// The error that stands for a failed file call: a file error number and the
// system's reason for `system_error` (an errno value).
engine_error file_error(int system_error);

}  // namespace zr
