// Many translations under one schema on several threads: each source's
// result goes to DIR/<source file name>.out, replaced whole.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/translation.h"

namespace zr {

// The result file of each source in `out_dir`; empty with `error` set when
// two sources would write the same file.
std::vector<std::string> batch_outputs(const std::vector<std::string>& sources,
                                       const std::string& out_dir, std::string& error);

// Translates every source on options.jobs threads (one per core for 0), one
// engine state each, into `outputs` (batch_outputs), making the folder when
// it is missing. A failed source is reported, its output of an earlier run
// removed, and the others go on; after SIGINT or SIGTERM the sources not
// begun are named as not translated. Returns the worst exit status of all.
int run_batch(const cli_options& options, const schema_input& schema,
              const std::vector<std::string>& outputs);

}  // namespace zr
