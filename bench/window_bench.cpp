// The desktop program's run speed against the command line's: translates the
// bundled example's source repeated COPIES times in the window (unattended,
// "no_gui", on Qt's offscreen platform: the real toolkit and the real event
// pump) and with zrtranslate on the same files, back to back, RUNS times each.
// Prints the best time of each (the machine may be shared: the best run is the
// one least disturbed), their ratio, the window's passes of the event pump,
// whether both results are byte-identical, and how soon a run ends once stop
// is pressed.
//
//   window_bench ZRTRANSLATE EXAMPLE_DIR [COPIES [RUNS]]
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/qt/qt_toolkit.h"
#include "frontend/zrmain.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string file_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

void put_file(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

double seconds_of(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct timing {
  double wall = 0;
  double cpu = 0;
};

// One run of zrtranslate: its wall time and its CPU time (user and system).
timing command_line_run(const std::string& zrtranslate, const fs::path& home, const fs::path& out) {
  std::vector<std::string> words{zrtranslate, "-o", out.string(),
                                 (home / "example/vbs_c/s.txt").string(),
                                 (home / "example/vbs_c/reallife.inc").string()};
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  const double start = seconds_of(CLOCK_MONOTONIC);
  pid_t child = 0;
  if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "window_bench: cannot start %s\n", argv[0]);
    std::exit(2);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  timing t;
  t.wall = seconds_of(CLOCK_MONOTONIC) - start;
  t.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
          static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "window_bench: zrtranslate failed\n");
    std::exit(2);
  }
  return t;
}

// One run in the window: go, then the Timer1 tick that translates, shows and
// writes the result, timed from the tick's start to its end.
timing window_run(zr::zrmain& window) {
  window.clicked(zr::control::cmdGo);
  const double start = seconds_of(CLOCK_MONOTONIC);
  const double cpu_start = seconds_of(CLOCK_PROCESS_CPUTIME_ID);
  window.timer_ticked(zr::timer::Timer1);
  timing t;
  t.wall = seconds_of(CLOCK_MONOTONIC) - start;
  t.cpu = seconds_of(CLOCK_PROCESS_CPUTIME_ID) - cpu_start;
  return t;
}

// How long a run takes to end after stop is pressed: a timer presses it
// 200 ms into a run. None when the run ended before.
std::optional<double> stop_latency(zr::zrmain& window) {
  std::optional<double> pressed;
  QTimer::singleShot(200, [&] {
    pressed = seconds_of(CLOCK_MONOTONIC);
    window.clicked(zr::control::cmdStop);
  });
  window.clicked(zr::control::cmdGo);
  window.timer_ticked(zr::timer::Timer1);
  if (!pressed) return std::nullopt;
  return seconds_of(CLOCK_MONOTONIC) - *pressed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_bench ZRTRANSLATE EXAMPLE_DIR [COPIES [RUNS]]\n");
    return 2;
  }
  const std::string zrtranslate = argv[1];
  const fs::path example = argv[2];
  const int copies = argc > 3 ? std::atoi(argv[3]) : 2000;
  const int runs = std::max(1, argc > 4 ? std::atoi(argv[4]) : 5);

  // The program's home: the example's schema and its source repeated.
  const fs::path home =
      fs::temp_directory_path() / ("zorvex-window-bench-" + std::to_string(getpid()));
  const std::string one = file_bytes(example / "reallife.inc");
  std::string source;
  source.reserve(one.size() * static_cast<std::size_t>(copies));
  for (int k = 0; k < copies; ++k)
    source += one;
  put_file(home / "example/vbs_c/s.txt", file_bytes(example / "s.txt"));
  put_file(home / "example/vbs_c/reallife.inc", source);
  ::setenv("ZORVEX_HOME", home.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

  int qt_argc = 1;
  QApplication application(qt_argc, argv);
  zr::qt_toolkit ui(QStringList{QStringLiteral("example/vbs_c/s.txt"),
                                QStringLiteral("example/vbs_c/reallife.inc"),
                                QStringLiteral("no_gui")});
  ui.set_unattended(true);
  zr::zrmain window(ui);
  ui.attach(&window);
  window.load();
  window.timer_ticked(zr::timer::Timer1);  // the start-up task

  timing best_window{1e9, 1e9};
  timing best_cli{1e9, 1e9};
  long passes_per_run = 0;
  for (int run = 0; run < runs; ++run) {
    const long passes = ui.pump_passes();
    timing w = window_run(window);
    passes_per_run = ui.pump_passes() - passes;
    timing c = command_line_run(zrtranslate, home, home / "cli-result.txt");
    std::printf("run %d: window %.3f s wall, %.3f s CPU; zrtranslate %.3f s wall, %.3f s CPU\n",
                run + 1, w.wall, w.cpu, c.wall, c.cpu);
    best_window = {std::min(best_window.wall, w.wall), std::min(best_window.cpu, w.cpu)};
    best_cli = {std::min(best_cli.wall, c.wall), std::min(best_cli.cpu, c.cpu)};
  }
  const bool identical =
      file_bytes(home / "d/zrresult.txt") == file_bytes(home / "cli-result.txt") &&
      !file_bytes(home / "cli-result.txt").empty();
  std::printf(
      "example x%d (%.1f MB), best of %d: window %.3f s wall / %.3f s CPU, zrtranslate %.3f s "
      "wall / %.3f s CPU; window / zrtranslate %.2f (wall), %.2f (CPU); %ld pump passes a run; "
      "results %s\n",
      copies, static_cast<double>(source.size()) / (1 << 20), runs, best_window.wall,
      best_window.cpu, best_cli.wall, best_cli.cpu, best_window.wall / best_cli.wall,
      best_window.cpu / best_cli.cpu, passes_per_run, identical ? "byte-identical" : "DIFFER");
  if (std::optional<double> latency = stop_latency(window))
    std::printf("stop pressed 200 ms into a run: the run ended %.0f ms later\n", *latency * 1000);
  ui.attach(nullptr);
  std::error_code ignored;
  fs::remove_all(home, ignored);
  return identical ? 0 : 1;
}
