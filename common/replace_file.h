// Writing a file that replaces another: the text goes to a temporary file
// beside it, which is then renamed over the old one, so a failed write leaves
// the old file whole.
#pragma once

#include <string>
#include <string_view>

namespace zr {

// Replaces the file at `path` with `bytes`. Raises an engine_error with a
// file error number and the system's reason when it cannot; the old file is
// then untouched and no temporary file is left behind.
void replace_file(const std::string& path, std::string_view bytes);

}  // namespace zr
