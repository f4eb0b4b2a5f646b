// The program itself, started unattended without any display: it runs its
// start-up task and ends on SIGINT or SIGTERM as the end button ends it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <string>
#include <vector>

#include "frontend/test_support.h"

extern char** environ;

namespace zr {
namespace {

using testing::file_bytes;
using testing::file_exists;
using testing::put_file;

// Only a program that never starts or never ends waits this long.
constexpr int patience_ms = 30000;

class Program : public ::testing::Test {
 protected:
  Program() {
    put_file(home / "s.txt",
             "\\\\schema main\r\n-r\r\n  .eot `` 1 -e\r\n\\\\end schema\r\n\\\\end file\r\n");
    put_file(home / "in.txt", "");
  }
  ~Program() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  // Starts zorvex with the arguments, ZORVEX_HOME set to the test's home and
  // neither a display nor a Qt platform named.
  void start(std::vector<std::string> arguments) {
    std::vector<std::string> environment{"ZORVEX_HOME=" + home.path().string()};
    for (char** variable = environ; *variable != nullptr; ++variable) {
      std::string entry(*variable);
      if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
          entry.rfind("QT_QPA_PLATFORM=", 0) == 0 || entry.rfind("ZORVEX_HOME=", 0) == 0)
        continue;
      environment.push_back(entry);
    }
    arguments.insert(arguments.begin(), ZORVEX_PROGRAM);
    std::vector<char*> argv;
    for (std::string& a : arguments)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : environment)
      envp.push_back(e.data());
    envp.push_back(nullptr);
    ASSERT_EQ(::posix_spawn(&pid_, ZORVEX_PROGRAM, nullptr, nullptr, argv.data(), envp.data()), 0);
  }

  // Waits for the program to end; its exit status, or -1 when it was killed.
  int wait_for_exit() {
    int status = 0;
    bool ended =
        QTest::qWaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, patience_ms);
    if (!ended) return -2;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  testing::scoped_temp_dir home;
  pid_t pid_ = 0;
};

TEST_F(Program, UnattendedItStartsWithoutADisplayAndEndsOnASignal) {
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    std::filesystem::remove_all(home.path() / "d");
    start({"s.txt", "in.txt", "no_gui"});
    // The start-up task has run once the console's folder exists.
    ASSERT_TRUE(QTest::qWaitFor([&] { return file_exists(home / "d"); }, patience_ms));
    EXPECT_EQ(file_bytes(home / "prefer.txt"),
              "schema=s.txt\r\nsource=in.txt\r\nresult=d/zrresult.txt");
    ASSERT_EQ(::kill(pid_, signal), 0);
    EXPECT_EQ(wait_for_exit(), 0);
    // Ended as the end button ends: the status file has its end line.
    EXPECT_EQ(file_bytes(home / "d/zrstatus.txt").substr(0, 4), "end,");
    std::filesystem::remove(home.path() / "prefer.txt");
  }
}

}  // namespace
}  // namespace zr
