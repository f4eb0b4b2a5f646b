// zrtranslate: translates a source file under a schema file from the command
// line. Engine messages go to standard error as they arrive; the result goes
// to standard output or to the file named with -o.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/options.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "common/replace_file.h"
#include "engine/zrcomp.h"

namespace {

using zr::cli_options;

constexpr int exit_result = 0;
constexpr int exit_failed = 1;
constexpr int exit_usage = 2;

class stderr_output : public zr::output_object {
 public:
  void writes(const std::string& message) override {
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fflush(stderr);
  }
};

bool read_input(const std::string& name, std::string& contents) {
  if (name == "-") {
    contents.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    return !std::cin.bad();
  }
  std::ifstream in(name, std::ios::binary);
  if (!in) return false;
  std::stringstream all;
  all << in.rdbuf();
  contents = all.str();
  return !in.bad();
}

zr::zrcomp* running_engine = nullptr;

// Ctrl-C stops the translation at its next poll. The flag is an atomic, so
// this is safe in a signal handler.
void stop_on_signal(int) {
  if (running_engine) running_engine->user_terminated();
}

// Reads the grants of --steps from the controlling terminal without
// blocking: Enter grants one step, "c" lets the run go on, "q" stops it.
class terminal_steps {
 public:
  bool open() {
    fd_ = ::open("/dev/tty", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd_ >= 0;
  }
  ~terminal_steps() {
    if (fd_ >= 0) ::close(fd_);
  }
  void pump(zr::zrcomp& engine) {
    char buffer[256];
    ssize_t n;
    while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
      for (ssize_t i = 0; i < n; ++i) {
        if (buffer[i] != '\n') {
          line_ += buffer[i];
          continue;
        }
        if (line_ == "q")
          engine.user_terminated();
        else if (line_ == "c")
          engine.suspend_dialog_and_schema();
        else
          engine.steps();
        line_.clear();
      }
    }
  }

 private:
  int fd_ = -1;
  std::string line_;
};

int usage_error(const std::string& message) {
  std::fprintf(stderr, "zrtranslate: %s\n%s", message.c_str(), zr::usage_text);
  return exit_usage;
}

std::string display_name(const std::string& file) {
  return file == "-" ? "<stdin>" : file;
}

void report_location(const cli_options& options, const zr::failure_location& where) {
  std::string line =
      zr::location_line(where, display_name(options.schema_file), display_name(options.source_file),
                        zr::prefix_lines(options));
  std::fprintf(stderr, "\n%s\n", line.c_str());
}

int write_result(const cli_options& options, const std::string& result) {
  std::string shown =
      options.raw ? result : zr::to_utf8(zr::stripped_result(zr::from_utf8(result)));
  if (options.output_file.empty()) {
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    return std::fflush(stdout) == 0 ? exit_result : exit_usage;
  }
  try {
    zr::replace_file(options.output_file, shown);
  } catch (const zr::engine_error& e) {
    std::fprintf(stderr, "zrtranslate: cannot write %s: %s\n", options.output_file.c_str(),
                 e.what());
    return exit_usage;
  }
  return exit_result;
}

int run(const cli_options& options) {
  std::string schema, source;
  for (auto [name, text] :
       {std::pair{&options.schema_file, &schema}, {&options.source_file, &source}}) {
    if (!read_input(*name, *text)) {
      std::fprintf(stderr, "zrtranslate: cannot read %s: %s\n", display_name(*name).c_str(),
                   std::strerror(errno));
      return exit_usage;
    }
  }
  zr::zrcomp engine;
  engine.give_write_method(std::make_shared<stderr_output>());
  terminal_steps grants;
  if (options.steps) {
    if (!grants.open()) return usage_error("--steps needs a terminal to read grants from");
    std::fprintf(stderr,
                 "zrtranslate: Enter grants one step, c and Enter runs on, q and Enter stops\n");
    zr::set_event_pump([&] { grants.pump(engine); });
  }
  running_engine = &engine;
  std::signal(SIGINT, stop_on_signal);
  std::optional<std::string> result;
  try {
    result = engine.translate(zr::directive_prefix(options) + schema, source);
  } catch (const zr::zrcomp_error&) {
    // The engine has reported it through writes already.
  }
  std::signal(SIGINT, SIG_DFL);
  running_engine = nullptr;
  zr::set_event_pump(nullptr);
  if (!result) {
    if (std::optional<zr::failure_location> where = engine.last_failure())
      report_location(options, *where);
    return exit_failed;
  }
  return write_result(options, *result);
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  std::optional<cli_options> options =
      zr::parse_options(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return usage_error(error);
  if (options->help) {
    std::fputs(zr::usage_text, stdout);
    return exit_result;
  }
  return run(*options);
}
