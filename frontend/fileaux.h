// Whole-file helpers of the desktop front end and the two path helpers. Every
// helper opens its file, does its work and closes it again. Files hold UTF-8;
// a file that is not valid UTF-8 reads byte by byte as Latin-1.
//
// Raising helpers raise the file error (a file error number and the system's
// reason) extended by CR LF and a context line naming the operation and
// the file. Status helpers return "done" or "error", a line feed, a message.
#pragma once

#include <optional>
#include <string>

#include "common/text.h"

namespace zr {

// A file's text and how it was encoded.
struct file_contents {
  text contents;
  // The file was not valid UTF-8 and was read byte by byte as Latin-1.
  bool latin1 = false;
  // The file's bytes.
  std::string bytes;
};

// The whole file as text; a missing file is created empty and reads as "".
// Raises with "when opening a file `PATH` in `read_f` module" or "when reading
// a file `PATH` in `read_f` module".
text read_f(text_view path);
// The same, telling how the file was encoded.
file_contents read_contents_f(text_view path);

// Replaces the file with `contents`: writes a temporary file beside it and
// renames it over the old one, so a failed write leaves the old file whole.
// With `latin1`, a text whose characters all fit in one byte is written one
// byte per character; any other text is written as UTF-8, so nothing is lost.
// Raises with "when opening a file `PATH` in `write_f` module" (the file could
// not be created) or "when writing a file `PATH` in `write_f` module".
void write_f(text_view path, text_view contents, bool latin1 = false);

// When a file was last written and its size; no value for a missing file.
struct file_stamp {
  long long written = 0;
  long long size = 0;
  friend bool operator==(const file_stamp&, const file_stamp&) = default;
};
std::optional<file_stamp> stamp_f(text_view path);

// True when the name names an existing file (not a directory).
bool file_exists_f(text_view path);

// True when two names name one file: the same device and inode, links
// followed, when both exist; else the same path once links and dots are
// resolved (a result file that does not exist yet).
bool same_file_f(text_view first, text_view second);

// The name relative to `dir` when it lies inside it, else the name itself.
text relative_name(text_view path, text_view dir);

// Appends `contents` to the file, creating it when missing. Never raises for a
// failed open or write: returns "error", LF, "error opening file `PATH`" (or
// "error writing to file `PATH`"), CR LF and the error description; "done", LF
// on success.
text append_f(text_view path, text_view contents);

// Deletes the file if it exists as a normal file; otherwise does nothing.
// Raises with "when deleting `PATH`".
void delete_f(text_view path);

// Replaces the file with `contents` as write_f does and returns "done", LF,
// "  file `PATH` was successfully written on disk ... ". Raises with "error
// when open a file `PATH`" or "error writing to a file `PATH`".
text write_report_f(text_view path, text_view contents);
// The same for a text already in UTF-8.
text write_report_f(text_view path, const std::string& utf8);

// Creates the directory when no directory of that name exists. Raises the
// platform's file error.
void ensure_directory(text_view path);

// True when the name counts as absolute: it begins with "/" or holds ":".
bool is_absolute_name(text_view name);

// The name itself when absolute, else with_backslash(app_dir) + name (an empty
// name gives the directory itself).
text full_path(text_view name, text_view app_dir);

// The path with exactly one trailing "/" added when it does not end in one.
text with_backslash(text_view path);

}  // namespace zr
