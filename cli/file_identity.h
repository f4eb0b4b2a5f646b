// Which file a name stands for, so that an output never replaces an input
// and a stream is never read twice: names are compared by the device and
// inode they lead to, links followed, not by how they are spelled.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace zr {

struct file_identity {
  dev_t device = 0;
  ino_t inode = 0;
  bool regular = false;  // a regular file, which can be read more than once
  bool operator==(const file_identity& other) const {
    return device == other.device && inode == other.inode;
  }
};

// The file `name` leads to ("-": standard input); none when there is none.
std::optional<file_identity> identify_file(const std::string& name);

// The first of `outputs` that is one of `inputs`, as "OUTPUT would replace
// input INPUT"; none when no output is an input.
std::optional<std::string> output_replacing_input(const std::vector<std::string>& inputs,
                                                  const std::vector<std::string>& outputs);

// Two of `inputs` that are the same stream (standard input, a pipe, a
// terminal), which can be read only once: why they cannot both be read; none
// when every input can be read.
std::optional<std::string> stream_read_twice(const std::vector<std::string>& inputs);

}  // namespace zr
