// Reading the schema and source files. Only text is translated: a folder, a
// device or a file with NUL bytes is refused before any translation starts.
#pragma once

#include <optional>
#include <string>

namespace zr {

// The bytes of the file `name` ("-": standard input). When it cannot be read
// or is not text, returns none and sets `reason` to why ("Is a directory",
// the system's reason, ...).
std::optional<std::string> read_input(const std::string& name, std::string& reason);

// The name a message shows for `name`: "<stdin>" for "-".
std::string display_name(const std::string& name);

}  // namespace zr
