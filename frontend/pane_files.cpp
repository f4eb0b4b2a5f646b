#include "frontend/pane_files.h"

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

void write_pane(frontend& fe, file_pane pane, const text& path) {
  pane_file& record = record_of(fe, pane);
  // write_f replaces the file whole; the old file stays when writing fails.
  write_f(path, pane_text(fe, pane), record.latin1);
  record.path = path;
  record.modified = false;
  record.stamp = stamp_f(path);
  fe.ui.set_box_unmodified(box_of(pane));
  if (editor_shows(fe, pane)) fe.ui.set_box_unmodified(control::txtEdit);
}

}  // namespace

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
  fe.ui.set_box_text(box_of(pane), read.contents);
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
  write_pane(fe, pane, target);
}

bool settle_unsaved(frontend& fe) {
  for (file_pane pane : file_panes) {
    if (!pane_unsaved(fe, pane)) continue;
    pane_file& record = record_of(fe, pane);
    const text path = record.path.empty() ? current_path(fe, pane) : record.path;
    switch (fe.ui.ask_yes_no_cancel(U"Save changes to " + path + U"?")) {
      case answer::cancel:
        return false;
      case answer::no:
        break;
      case answer::yes:
        write_pane(fe, pane, path);
        break;
    }
  }
  return true;
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
    fe.ui.notice(message);
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
