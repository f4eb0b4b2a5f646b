// The diagnostic lines hosts print after a failed translation: one routine,
// so the command line and the desktop program point to places alike.
#include <algorithm>

#include "engine/zrcomp.h"

namespace zr {

std::string diagnostic_line(const std::string& file, long long line, long long column,
                            const std::string& kind, const std::string& message) {
  return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + kind + ": " +
         message;
}

std::string location_line(const failure_location& where, const std::string& schema_file,
                          const std::string& source_file, long long schema_lines_added) {
  const std::string& file = where.in_schema ? schema_file : source_file;
  const long long added = where.in_schema ? schema_lines_added : 0;
  std::string lines = diagnostic_line(file, std::max(1LL, where.line - added), where.column,
                                      "error", where.message);
  if (where.note_line > 0)
    lines += "\n" + diagnostic_line(file, std::max(1LL, where.note_line - added), where.note_column,
                                    "note", where.note);
  return lines;
}

}  // namespace zr
