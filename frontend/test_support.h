// Shared fixtures of the front end's tests: a scoped temporary directory that
// serves as the program directory, file helpers that bypass the code under
// test, and a started main window on a fake toolkit.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "frontend/fake_toolkit.h"
#include "frontend/zrmain.h"

namespace zr::testing {

class scoped_temp_dir {
 public:
  scoped_temp_dir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvex-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~scoped_temp_dir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  scoped_temp_dir(const scoped_temp_dir&) = delete;
  scoped_temp_dir& operator=(const scoped_temp_dir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The directory as a front-end text, with its trailing "/".
  text dir() const { return from_utf8(path_.string() + "/"); }
  text operator/(std::string_view name) const { return from_utf8((path_ / name).string()); }

 private:
  std::filesystem::path path_;
};

inline void put_file(const text& path, const std::string& bytes) {
  std::filesystem::path p(to_utf8(path));
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

inline std::string file_bytes(const text& path) {
  std::ifstream in(to_utf8(path), std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

inline bool file_exists(const text& path) {
  return std::filesystem::exists(to_utf8(path));
}

// A main window on a fake toolkit whose program directory is a fresh
// temporary directory.
class front_end_test : public ::testing::Test {
 protected:
  front_end_test() {
    ::unsetenv("ZORVEX_HOME");
    ui.program_dir = from_utf8(home.path().string());
    // The bundled example, empty, so the start-up finds its default files.
    put_file(home / "example/vbs_c/s.txt", "");
    put_file(home / "example/vbs_c/reallife.inc", "");
  }

  // Creates and loads the window with the given arguments.
  void create(std::vector<text> arguments = {}) {
    ui.command = std::move(arguments);
    main = std::make_unique<zrmain>(ui);
    // The window's events run at every yield of the engine: a test acts at
    // the passes of the pump, whatever the time.
    main->front().pacer.set_period(std::chrono::milliseconds(0));
    ui.attach(*main);
    main->load();
  }

  // Creates the window and lets Timer1 run the start-up task.
  void start(std::vector<text> arguments = {}) {
    create(std::move(arguments));
    ui.advance_clock(0.1);
  }

  frontend& fe() { return main->front(); }
  text console() const { return ui.box_text(control::txtConsole); }

  scoped_temp_dir home;
  fake_toolkit ui;
  std::unique_ptr<zrmain> main;
};

}  // namespace zr::testing
