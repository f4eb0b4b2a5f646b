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
  if (where.in_schema)
    return diagnostic_line(schema_file, std::max(1LL, where.line - schema_lines_added),
                           where.column, "error", where.message);
  return diagnostic_line(source_file, where.line, where.column, "error", where.message);
}

}  // namespace zr
