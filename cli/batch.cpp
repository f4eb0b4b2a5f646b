#include "cli/batch.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <thread>

#include "cli/diagnostics.h"
#include "cli/run_control.h"

namespace zr {

std::vector<std::string> batch_outputs(const std::vector<std::string>& sources,
                                       const std::string& out_dir, std::string& error) {
  std::vector<std::string> outputs;
  std::set<std::string> seen;
  for (const std::string& source : sources) {
    const std::string output =
        (std::filesystem::path(out_dir) / std::filesystem::path(source).filename()).string() +
        ".out";
    if (!seen.insert(output).second) {
      error = "two sources would both write " + output;
      return {};
    }
    outputs.push_back(output);
  }
  return outputs;
}

int run_batch(const cli_options& options, const schema_input& schema) {
  struct stat info;
  const int found = ::stat(options.out_dir.c_str(), &info) == 0 ? 0 : errno;
  if (found != 0 || !S_ISDIR(info.st_mode)) {
    print_error_text("zrtranslate: cannot write to " + options.out_dir + ": " +
                     std::strerror(found != 0 ? found : ENOTDIR) + "\n");
    return exit_usage;
  }
  std::string error;
  const std::vector<std::string> outputs = batch_outputs(options.sources, options.out_dir, error);
  if (outputs.empty()) {
    print_error_text("zrtranslate: " + error + "\n");
    return exit_usage;
  }
  std::atomic<std::size_t> next{0};
  std::atomic<int> worst{exit_result};
  auto work = [&] {
    for (std::size_t i; (i = next++) < outputs.size();) {
      // After a stop the files not yet begun are not translated.
      const int status = stop_was_requested() ? exit_failed
                                              : translate_file(options, schema, options.sources[i],
                                                               outputs[i], nullptr);
      int seen = worst;
      while (status > seen && !worst.compare_exchange_weak(seen, status)) {
      }
    }
  };
  const std::size_t threads = std::min<std::size_t>(options.jobs, outputs.size());
  std::vector<std::thread> workers;
  for (std::size_t t = 1; t < threads; ++t)
    workers.emplace_back(work);
  work();
  for (std::thread& worker : workers)
    worker.join();
  return worst;
}

}  // namespace zr
