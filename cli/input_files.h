// Reading the schema and source files. Only text is translated: a folder, a
// device or a file with NUL bytes is refused before any translation starts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace zr {

// The bytes of the file `name` ("-": standard input). When it cannot be read
// or is not text, returns none and sets `reason` to why ("Is a directory",
// the system's reason, ...). A regular file larger than `max_bytes` is
// refused before it is read; a read that runs out of memory, or that SIGINT
// or SIGTERM interrupts, ends with a reason too.
std::optional<std::string> read_input(const std::string& name, std::string& reason,
                                      std::size_t max_bytes);

// The name a message shows for `name`: "<stdin>" for "-"; a name holding a
// line break or another control character is quoted, with the character
// escaped, so a diagnostic stays one line.
std::string display_name(const std::string& name);

}  // namespace zr
