#include "common/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/errors.h"
#include "common/scoped_file_size_limit.h"

namespace zr {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

class ReplaceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zr_replace_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(ReplaceFileTest, WritesAndReplacesWholeFiles) {
  fs::path file = dir / "result.txt";
  replace_file(file, "first\r\n");
  EXPECT_EQ(contents(file), "first\r\n");
  replace_file(file, "");
  EXPECT_EQ(contents(file), "");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ReplaceFileTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  fs::path file = dir / "schema.txt";
  replace_file(file, "precious");
  bool raised = false;
  try {
    scoped_file_size_limit limit(4);
    replace_file(file, "a text longer than the limit");
  } catch (const engine_error& e) {
    raised = true;
    EXPECT_NE(e.number(), error_number::engine);
  }
  EXPECT_TRUE(raised);
  EXPECT_EQ(contents(file), "precious");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ReplaceFileTest, AMissingDirectoryFailsWithPathNotFound) {
  try {
    replace_file(dir / "no" / "such.txt", "x");
    FAIL() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), error_number::path_not_found);
  }
}

// A device is written in place, never replaced by a file renamed over it.
TEST_F(ReplaceFileTest, ADeviceIsWrittenDirectly) {
  replace_file("/dev/null", "x");
  struct stat null;
  ASSERT_EQ(::stat("/dev/null", &null), 0);
  EXPECT_TRUE(S_ISCHR(null.st_mode));
  try {
    replace_file("/dev/full", "x");
    FAIL() << "no error raised";
  } catch (const engine_error& e) {
    EXPECT_EQ(e.number(), error_number::disk_full);
  }
}

}  // namespace
}  // namespace zr
