#include "frontend/fileaux.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/scoped_file_size_limit.h"
#include "frontend/test_support.h"

namespace zr {
namespace {

using testing::file_bytes;
using testing::file_exists;
using testing::put_file;
using testing::scoped_temp_dir;

// Runs `action` and returns the error it raises.
template <class Action>
engine_error raised_by(Action action) {
  try {
    action();
  } catch (const engine_error& e) {
    return e;
  }
  ADD_FAILURE() << "nothing was raised";
  return engine_error(0, U"");
}

TEST(ReadF, MissingFileReadsEmptyAndLeavesAnEmptyFile) {
  scoped_temp_dir dir;
  text path = dir / "new.txt";
  EXPECT_EQ(read_f(path), U"");
  EXPECT_TRUE(file_exists(path));
  EXPECT_EQ(file_bytes(path), "");
}

TEST(ReadF, ReadsUtf8AndFallsBackToLatin1ByteByByte) {
  scoped_temp_dir dir;
  put_file(dir / "utf8.txt", "gr\xC3\xBC\xC3\x9F\r\nzwei");
  put_file(dir / "latin1.txt", "gr\xFC\xDF");
  EXPECT_EQ(read_f(dir / "utf8.txt"), U"grüß\r\nzwei");
  EXPECT_EQ(read_f(dir / "latin1.txt"), U"gr\u00FC\u00DF");
  // A Latin-1 file is Latin-1 throughout, even where its bytes form UTF-8;
  // written back as Latin-1, it keeps every byte.
  put_file(dir / "mixed.txt", "\xC3\xA9 \xE9");
  file_contents mixed = read_contents_f(dir / "mixed.txt");
  EXPECT_TRUE(mixed.latin1);
  EXPECT_EQ(mixed.contents, U"\u00C3\u00A9 \u00E9");
  write_f(dir / "mixed.txt", mixed.contents, true);
  EXPECT_EQ(file_bytes(dir / "mixed.txt"), "\xC3\xA9 \xE9");
}

// One file under two names (a link, dots, a relative path) is one file; a
// result that does not exist yet compares by its resolved path.
TEST(Paths, SameFileByDeviceAndInodeOrResolvedPath) {
  scoped_temp_dir dir;
  put_file(dir / "s.txt", "schema");
  put_file(dir / "other.txt", "schema");
  std::filesystem::create_directories(dir.path() / "sub");
  std::filesystem::create_symlink(dir.path() / "s.txt", dir.path() / "link.txt");
  const std::pair<std::string, bool> names[] = {
      {"s.txt", true},      {"link.txt", true}, {"sub/../s.txt", true},    {"./s.txt", true},
      {"other.txt", false}, {"new.txt", false}, {"sub/../new.txt", false},
  };
  for (const auto& [name, same] : names)
    EXPECT_EQ(same_file_f(dir / name, dir / "s.txt"), same) << name;
  EXPECT_TRUE(same_file_f(dir / "sub/../new.txt", dir / "new.txt"));
  EXPECT_FALSE(same_file_f(dir / "sub/new.txt", dir / "new.txt"));
}

TEST(ReadF, FileInAMissingDirectoryRaisesWithItsContext) {
  scoped_temp_dir dir;
  text path = dir / "nowhere/s.txt";
  engine_error e = raised_by([&] { read_f(path); });
  EXPECT_EQ(e.number(), error_number::path_not_found);
  EXPECT_EQ(e.description(),
            U"No such file or directory\r\nwhen opening a file `" + path + U"` in `read_f` module");
}

TEST(ReadF, ADirectoryCannotBeReadAsAFile) {
  scoped_temp_dir dir;
  engine_error e = raised_by([&] { read_f(dir.dir()); });
  EXPECT_EQ(e.description(),
            U"Is a directory\r\nwhen reading a file `" + dir.dir() + U"` in `read_f` module");
}

TEST(WriteF, WrittenTextReadsBackUnchanged) {
  scoped_temp_dir dir;
  text path = dir / "s.txt";
  put_file(path, "a much longer old text that must not leave a tail behind");
  text contents = U"\\schema main\r\n-r\r\nä € \U0001F600";
  write_f(path, contents);
  EXPECT_EQ(read_f(path), contents);
}

TEST(WriteF, IntoAMissingDirectoryRaisesTheOpenContext) {
  scoped_temp_dir dir;
  text path = dir / "nowhere/s.txt";
  engine_error e = raised_by([&] { write_f(path, U"x"); });
  EXPECT_EQ(e.description(), U"No such file or directory\r\nwhen opening a file `" + path +
                                 U"` in `write_f` module");
}

// A file-size limit makes the write fail after the old file was found, as a
// full disk would, for root too. The name is as long as a name may be: the
// temporary file beside it must still fit.
TEST(WriteF, AFailedWriteLeavesTheOldFileWhole) {
  scoped_temp_dir dir;
  text path = dir / std::string(255, 'n');
  put_file(path, "old schema");
  engine_error e = raised_by([&] {
    scoped_file_size_limit limit(4);
    write_f(path, U"new schema");
  });
  EXPECT_EQ(e.number(), error_number::file_io);
  EXPECT_EQ(e.description(),
            U"File too large\r\nwhen writing a file `" + path + U"` in `write_f` module");
  EXPECT_EQ(file_bytes(path), "old schema");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  write_f(path, U"new schema");
  EXPECT_EQ(file_bytes(path), "new schema");
}

TEST(WriteF, KeepsThePermissionsOfTheFileItReplaces) {
  scoped_temp_dir dir;
  text path = dir / "s.txt";
  put_file(path, "old");
  std::filesystem::permissions(to_utf8(path), std::filesystem::perms(0640));
  write_f(path, U"new");
  EXPECT_EQ(std::filesystem::status(to_utf8(path)).permissions(), std::filesystem::perms(0640));
}

TEST(WriteF, ALinkStaysALinkToTheReplacedFile) {
  scoped_temp_dir dir;
  put_file(dir / "real/s.txt", "old");
  std::filesystem::create_symlink(dir.path() / "real/s.txt", dir.path() / "link.txt");
  write_f(dir / "link.txt", U"new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.txt"));
  EXPECT_EQ(file_bytes(dir / "real/s.txt"), "new");
}

TEST(AppendF, AppendsInOrderAndCreatesTheFile) {
  scoped_temp_dir dir;
  text path = dir / "zrout.txt";
  EXPECT_EQ(append_f(path, U"one "), U"done\n");
  EXPECT_EQ(append_f(path, U"two"), U"done\n");
  EXPECT_EQ(file_bytes(path), "one two");
}

TEST(AppendF, AMissingDirectoryIsReportedNotRaised) {
  scoped_temp_dir dir;
  text path = dir / "nowhere/zrout.txt";
  EXPECT_EQ(append_f(path, U"x"),
            U"error\nerror opening file `" + path + U"`\r\nNo such file or directory");
  EXPECT_EQ(append_f(U"", U"x"), U"error\nerror opening file ``\r\nNo such file or directory");
}

TEST(DeleteF, DeletesFilesOnlyAndIgnoresWhatIsMissing) {
  scoped_temp_dir dir;
  text path = dir / "zrstatus.txt";
  put_file(path, "end");
  delete_f(path);
  EXPECT_FALSE(file_exists(path));
  delete_f(path);
  delete_f(dir / "nowhere/zrstatus.txt");
  std::filesystem::create_directory(dir.path() / "sub");
  delete_f(dir / "sub");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "sub"));
}

TEST(WriteReportF, ReturnsItsSuccessStatus) {
  scoped_temp_dir dir;
  text path = dir / "d/zrresult.txt";
  std::filesystem::create_directory(dir.path() / "d");
  EXPECT_EQ(write_report_f(path, U"Hi"),
            U"done\n  file `" + path + U"` was successfully written on disk ... ");
  EXPECT_EQ(file_bytes(path), "Hi");
}

TEST(WriteReportF, FailuresRaiseWithItsOwnContexts) {
  scoped_temp_dir dir;
  text missing = dir / "nowhere/zrresult.txt";
  EXPECT_EQ(raised_by([&] { write_report_f(missing, U"Hi"); }).description(),
            U"No such file or directory\r\nerror when open a file `" + missing + U"`");
  text occupied = dir / "taken";
  std::filesystem::create_directory(to_utf8(occupied));
  EXPECT_EQ(raised_by([&] { write_report_f(occupied, U"Hi"); }).description(),
            U"Is a directory\r\nerror writing to a file `" + occupied + U"`");
}

TEST(Paths, FullPathAndWithBackslash) {
  struct row {
    text_view name;
    text_view app_dir;
    text_view expected;
  };
  const row rows[] = {
      {U"d/zrresult.txt", U"/opt/zorvex/", U"/opt/zorvex/d/zrresult.txt"},
      {U"d/zrresult.txt", U"/opt/zorvex", U"/opt/zorvex/d/zrresult.txt"},
      {U"/home/u/s.txt", U"/opt/zorvex/", U"/home/u/s.txt"},
      {U"C:\\work\\s.txt", U"/opt/zorvex/", U"C:\\work\\s.txt"},
      {U"x:y", U"/opt/zorvex/", U"x:y"},
      {U"", U"/opt/zorvex/", U"/opt/zorvex/"},
      {U"", U"/", U"/"},
  };
  for (const row& r : rows)
    EXPECT_EQ(full_path(r.name, r.app_dir), r.expected) << to_utf8(r.name);
  EXPECT_EQ(with_backslash(U"/"), U"/");
  EXPECT_EQ(with_backslash(U"/opt/zorvex/"), U"/opt/zorvex/");
  EXPECT_EQ(with_backslash(U"/opt/zorvex"), U"/opt/zorvex/");
}

TEST(Paths, EnsureDirectoryMakesItOnce) {
  scoped_temp_dir dir;
  ensure_directory(dir / "d");
  ensure_directory(dir / "d");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "d"));
  EXPECT_EQ(raised_by([&] { ensure_directory(dir / "nowhere/d"); }).number(),
            error_number::path_not_found);
}

}  // namespace
}  // namespace zr
