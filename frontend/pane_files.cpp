#include "frontend/pane_files.h"

#include <algorithm>

#include "common/errors.h"
#include "frontend/fileaux.h"
#include "frontend/frm_edit.h"

namespace zr {

namespace {

text& current_path(frontend& fe, file_pane pane) {
  return pane == file_pane::schema ? fe.state.schema_path : fe.state.source_path;
}

text_view pane_name(file_pane pane) {
  return pane == file_pane::schema ? U"schema" : U"source";
}

bool editor_shows(const frontend& fe, file_pane pane) {
  return fe.editor.current_text == pane_name(pane);
}

// The last part of a path, as a caption shows it.
text file_name(text_view path) {
  std::size_t slash = path.find_last_of(U'/');
  return text(slash == text_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

bool save_pane_to(frontend& fe, file_pane pane, const text& path) {
  pane_file& record = record_of(fe, pane);
  const text contents = pane_text(fe, pane);
  // A file is written in one encoding: a Latin-1 file that now holds a
  // character Latin-1 cannot hold becomes UTF-8 as a whole, when the user agrees.
  if (record.latin1 &&
      std::any_of(contents.begin(), contents.end(), [](char32_t c) { return c > 0xFF; })) {
    text question = U"`" + path + U"` was read as Latin-1, and the text now holds characters ";
    question += U"Latin-1 cannot hold.\r\nSave the whole file as UTF-8?";
    if (!fe.ui.ask_yes_no(question)) return false;
    record.latin1 = false;
  }
  // write_f replaces the file whole; the old file stays when writing fails.
  write_f(path, contents, record.latin1);
  record.path = path;
  record.modified = false;
  record.stamp = stamp_f(path);
  fe.ui.set_box_unmodified(box_of(pane));
  if (editor_shows(fe, pane)) fe.ui.set_box_unmodified(control::txtEdit);
  return true;
}

control box_of(file_pane pane) {
  return pane == file_pane::schema ? control::txtSchema : control::txtSource;
}

pane_file& record_of(frontend& fe, file_pane pane) {
  return pane == file_pane::schema ? fe.state.schema_file : fe.state.source_file;
}

std::optional<file_pane> file_pane_of(control box) {
  if (box == control::txtSchema) return file_pane::schema;
  if (box == control::txtSource) return file_pane::source;
  return std::nullopt;
}

void load_pane(frontend& fe, file_pane pane) {
  const text path = current_path(fe, pane);
  file_contents read = read_contents_f(path);
  // A UTF-8 file's bytes are the text: a toolkit may keep them as they are.
  if (read.latin1)
    fe.ui.set_box_text(box_of(pane), read.contents);
  else
    fe.ui.set_box_utf8(box_of(pane), std::move(read.bytes));
  fe.ui.set_box_unmodified(box_of(pane));
  pane_file& record = record_of(fe, pane);
  record.path = path;
  record.latin1 = read.latin1;
  record.modified = false;
  record.stamp = stamp_f(path);
}

text pane_text(frontend& fe, file_pane pane) {
  return fe.ui.box_text(editor_shows(fe, pane) ? control::txtEdit : box_of(pane));
}

bool pane_unsaved(frontend& fe, file_pane pane) {
  return record_of(fe, pane).modified || fe.ui.box_modified(box_of(pane)) ||
         (editor_shows(fe, pane) && fe.ui.box_modified(control::txtEdit));
}

void keep_modified(frontend& fe, file_pane pane) {
  if (pane_unsaved(fe, pane)) record_of(fe, pane).modified = true;
}

void save_pane(frontend& fe, file_pane pane) {
  const text target = current_path(fe, pane);
  const pane_file& record = record_of(fe, pane);
  if (!record.path.empty() && record.path != target) {
    text question = U"The ";
    question += pane_name(pane);
    question += U" pane holds the text of `" + record.path + U"`.\r\nSave it as `" + target + U"`?";
    if (!fe.ui.ask_yes_no(question)) return;
  }
  save_pane_to(fe, pane, target);
}

bool settle_unsaved(frontend& fe, std::optional<file_pane> only) {
  for (file_pane pane : file_panes) {
    if ((only && pane != *only) || !pane_unsaved(fe, pane)) continue;
    pane_file& record = record_of(fe, pane);
    const text path = record.path.empty() ? current_path(fe, pane) : record.path;
    switch (fe.ui.ask_yes_no_cancel(U"Save changes to " + path + U"?")) {
      case answer::cancel:
        return false;
      case answer::no:
        break;
      case answer::yes:
        if (!save_pane_to(fe, pane, path)) return false;
        break;
    }
  }
  return true;
}

std::optional<text> result_clash(frontend& fe, text_view result, text_view schema,
                                 text_view source) {
  if (result.empty()) return std::nullopt;
  const std::pair<text_view, text_view> inputs[] = {
      {U"schema", schema},
      {U"source", source},
      {U"schema", fe.state.schema_file.path},
      {U"source", fe.state.source_file.path},
  };
  for (const auto& [what, input] : inputs) {
    if (input.empty() || !same_file_f(result, input)) continue;
    text message = U"The result file `" + text(result) + U"` is the " + text(what) + U" file `";
    message += input;
    message += U"`: a run would overwrite it with the result.\r\n";
    message += U"Choose another result name; nothing was written.";
    return message;
  }
  return std::nullopt;
}

void notice_changed_files(frontend& fe) {
  for (file_pane pane : file_panes) {
    pane_file& record = record_of(fe, pane);
    if (record.path.empty()) continue;
    std::optional<file_stamp> now = stamp_f(record.path);
    if (now == record.stamp) continue;
    record.stamp = now;
    text message = U"`" + record.path + U"` changed on disk.\r\n";
    message += now ? U"load reads it again; save replaces it with the pane's text."
                   : U"It is gone; save writes the pane's text again.";
    // A box that takes the keyboard: Enter must not go into the pane.
    fe.ui.message_box(message);
  }
}

void show_modified_markers(frontend& fe) {
  bool any = false;
  for (file_pane pane : file_panes) {
    bool unsaved = pane_unsaved(fe, pane);
    any = any || unsaved;
    text caption = file_name(record_of(fe, pane).path);
    if (unsaved) caption += U" *";
    fe.ui.set_caption(pane == file_pane::schema ? control::lblSchemaPane : control::lblSourcePane,
                      caption);
    if (editor_shows(fe, pane)) show_editor_caption(fe, unsaved);
  }
  fe.ui.set_caption(control::zrmain, any ? U"zorvex *" : U"zorvex");
}

}  // namespace zr
