#include "cli/file_identity.h"

#include <sys/stat.h>
#include <unistd.h>

#include "cli/input_files.h"

namespace zr {

std::optional<file_identity> identify_file(const std::string& name) {
  struct stat info;
  const int found = name == "-" ? ::fstat(STDIN_FILENO, &info) : ::stat(name.c_str(), &info);
  if (found != 0) return std::nullopt;
  return file_identity{info.st_dev, info.st_ino, S_ISREG(info.st_mode)};
}

std::optional<std::string> output_replacing_input(const std::vector<std::string>& inputs,
                                                  const std::vector<std::string>& outputs) {
  std::vector<std::optional<file_identity>> read;
  read.reserve(inputs.size());
  for (const std::string& input : inputs)
    read.push_back(identify_file(input));
  for (const std::string& output : outputs) {
    const std::optional<file_identity> written = identify_file(output);
    if (!written) continue;
    for (std::size_t i = 0; i < inputs.size(); ++i)
      if (read[i] == written)
        return display_name(output) + " would replace input " + display_name(inputs[i]);
  }
  return std::nullopt;
}

std::optional<std::string> stream_read_twice(const std::vector<std::string>& inputs) {
  const std::optional<file_identity> standard_input = identify_file("-");
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const std::optional<file_identity> first = identify_file(inputs[i]);
    if (!first || first->regular) continue;
    for (std::size_t j = i + 1; j < inputs.size(); ++j) {
      if (identify_file(inputs[j]) != first) continue;
      if (first == standard_input) return "standard input is named twice; it can be read only once";
      return display_name(inputs[i]) + " and " + display_name(inputs[j]) +
             " are the same stream; it can be read only once";
    }
  }
  return std::nullopt;
}

}  // namespace zr
