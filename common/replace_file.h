// Writing a file that replaces another: the text goes to a temporary file
// beside it, which is then renamed over the old one, so a failed write leaves
// the old file whole.
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

// The error that stands for a failed file call: a file error number and the
// system's reason for `system_error` (an errno value).
engine_error file_error(int system_error);

}  // namespace zr
