#include "cli/batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <thread>

#include "cli/diagnostics.h"
#include "cli/input_files.h"
#include "cli/signals.h"

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

namespace {

// The translations a batch runs at once.
std::size_t job_count(const cli_options& options, std::size_t sources) {
  std::size_t jobs = static_cast<std::size_t>(options.jobs);
  if (jobs == 0) jobs = std::max(1u, std::thread::hardware_concurrency());
  return std::min(jobs, sources);
}

// Translates source i into output i; a source that fails keeps no result of
// an earlier run, which a script could take for this run's.
int translate_one(const cli_options& options, const schema_input& schema, const std::string& source,
                  const std::string& output) {
  if (stop_was_requested()) {
    print_error_text("zrtranslate: not translated: " + display_name(source) + "\n");
    return signal_exit_status();
  }
  const int status = translate_file(options, schema, source, output, nullptr);
  if (status != exit_result && ::unlink(output.c_str()) != 0 && errno != ENOENT)
    print_error_text("zrtranslate: cannot remove " + display_name(output) + ": " +
                     std::strerror(errno) + "\n");
  return status;
}

}  // namespace

int run_batch(const cli_options& options, const schema_input& schema,
              const std::vector<std::string>& outputs) {
  std::error_code made;
  std::filesystem::create_directories(options.out_dir, made);
  struct stat info;
  const int found = made ? made.value() : ::stat(options.out_dir.c_str(), &info) == 0 ? 0 : errno;
  if (found != 0 || !S_ISDIR(info.st_mode)) {
    print_error_text("zrtranslate: cannot write to " + display_name(options.out_dir) + ": " +
                     std::strerror(found != 0 ? found : ENOTDIR) + "\n");
    return exit_usage;
  }
  std::atomic<std::size_t> next{0};
  std::atomic<int> worst{exit_result};
  auto work = [&] {
    for (std::size_t i; (i = next++) < outputs.size();) {
      const int status = translate_one(options, schema, options.sources[i], outputs[i]);
      int seen = worst;
      while (status > seen && !worst.compare_exchange_weak(seen, status)) {
      }
    }
  };
  const std::size_t threads = job_count(options, outputs.size());
  std::vector<std::thread> workers;
  for (std::size_t t = 1; t < threads; ++t)
    workers.emplace_back(work);
  work();
  for (std::thread& worker : workers)
    worker.join();
  return worst;
}

}  // namespace zr
