#include "frontend/frm_edit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

#include "common/checked.h"
#include "common/easylife.h"
#include "frontend/pane_files.h"

namespace zr {

const text_view size_warning_text =
    U"You are about exceed available text size.\r\n"
    U"It is recommended to save this text now.";

namespace {

constexpr std::size_t size_warning_length = 27000;

struct pane_look {
  editor_pane pane;
  text_view name;
  control box;
  text_view caption;
  colour background;
};

// The four ways in: pane name, its box, caption prefix and background.
constexpr std::array<pane_look, 4> pane_looks{{
    {editor_pane::schema, U"schema", control::txtSchema, U"schema:  ", colour::rgb(255, 192, 128)},
    {editor_pane::source, U"source", control::txtSource, U"source: ", colour::rgb(128, 255, 128)},
    {editor_pane::result, U"result", control::txtResult, U"result: ", colour::rgb(128, 128, 255)},
    {editor_pane::console, U"console", control::txtConsole, U"console: ",
     colour::rgb(192, 192, 192)},
}};

const pane_look& look_of(editor_pane pane) {
  return checked_at(pane_looks, static_cast<long long>(pane));
}

text caption_of(const frontend& fe, const pane_look& look) {
  text caption(look.caption);
  switch (look.pane) {
    case editor_pane::schema:
      return caption + fe.ui.box_text(control::txtSchemaFile);
    case editor_pane::source:
      return caption + fe.ui.box_text(control::txtSourceFile);
    case editor_pane::result:
      return caption + fe.ui.box_text(control::txtResultFile);
    case editor_pane::console:
      return caption + fe.state.log_path;
  }
  return caption;
}

// The run controls, which the editor window must leave in view.
constexpr control run_controls[] = {control::cmdGo,    control::cmdDebug, control::lblDebug,
                                    control::cmdSteps, control::lblSteps, control::cmdSuspend,
                                    control::cmdStop};

bool empty(const twips_rect& r) {
  return r.width <= 0 || r.height <= 0;
}

twips_rect united(const twips_rect& a, const twips_rect& b) {
  if (empty(a)) return b;
  if (empty(b)) return a;
  long left = std::min(a.left, b.left);
  long top = std::min(a.top, b.top);
  long right = std::max(a.left + a.width, b.left + b.width);
  long bottom = std::max(a.top + a.height, b.top + b.height);
  return {left, top, right - left, bottom - top};
}

twips_rect intersected(const twips_rect& a, const twips_rect& b) {
  long left = std::max(a.left, b.left);
  long top = std::max(a.top, b.top);
  long right = std::min(a.left + a.width, b.left + b.width);
  long bottom = std::min(a.top + a.height, b.top + b.height);
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

long area(const twips_rect& r) {
  return empty(r) ? 0 : r.width * r.height;
}

}  // namespace

twips_rect editor_placement(twips_rect screen, twips_rect keep_free) {
  twips_rect window;
  window.height = std::lround(0.9 * static_cast<double>(screen.height));
  window.width = std::lround(0.9 * static_cast<double>(screen.width));
  window.top = (screen.height - window.height) / 2;
  window.left = (screen.width - window.width) / 2;
  if (empty(intersected(window, keep_free))) return window;
  // The largest part of the window that lies beside, above or below the run
  // controls.
  const long right = window.left + window.width;
  const long bottom = window.top + window.height;
  const long free_right = keep_free.left + keep_free.width;
  const long free_bottom = keep_free.top + keep_free.height;
  const twips_rect sides[] = {
      {window.left, window.top, keep_free.left - window.left, window.height},
      {free_right, window.top, right - free_right, window.height},
      {window.left, window.top, window.width, keep_free.top - window.top},
      {window.left, free_bottom, window.width, bottom - free_bottom},
  };
  return *std::max_element(
      std::begin(sides), std::end(sides),
      [](const twips_rect& a, const twips_rect& b) { return area(a) < area(b); });
}

namespace {

void load_editor(frontend& fe) {
  fe.editor.loaded = true;
  fe.editor.show_size_warning = true;
  twips_rect keep_free;
  for (control which : run_controls)
    keep_free = united(keep_free, fe.ui.area_on_screen(which));
  fe.ui.set_geometry(control::frmEdit, editor_placement(fe.ui.screen(), keep_free));
  adjust_size(fe);
}

// Puts the caret at the end of a console view, which shows the newest run.
void show_newest(frontend& fe, control view) {
  fe.ui.set_selection(view, fe.ui.box_length(view), 0);
}

// Copies the editor's text into the pane named by current_text; unsaved edits
// stay counted as such.
void copy_back(frontend& fe) {
  for (const pane_look& look : pane_looks) {
    if (look.name == fe.editor.current_text) {
      if (std::optional<file_pane> pane = file_pane_of(look.box)) keep_modified(fe, *pane);
      fe.ui.set_box_text(look.box, fe.ui.box_text(control::txtEdit));
      if (look.pane == editor_pane::console) show_newest(fe, look.box);
      return;
    }
  }
}

}  // namespace

void open_editor(frontend& fe, editor_pane pane) {
  if (!fe.editor.loaded) {
    load_editor(fe);
  } else {
    // Re-pointing would otherwise drop the user's edits of the previous pane.
    copy_back(fe);
  }
  const pane_look& look = look_of(pane);
  fe.ui.set_caption(control::frmEdit, caption_of(fe, look));
  fe.editor.current_text = text(look.name);
  fe.ui.set_background(control::frmEdit, look.background);
  fe.ui.set_text_colour(control::txtEdit, colour::rgb(0, 0, 0));
  fe.ui.set_schema_highlighting(control::txtEdit, pane == editor_pane::schema);
  fe.ui.set_box_text(control::txtEdit, fe.ui.box_text(look.box));
  if (pane == editor_pane::console) show_newest(fe, control::txtEdit);
  fe.ui.set_visible(control::frmEdit, true);
}

void show_editor_caption(frontend& fe, bool unsaved) {
  for (const pane_look& look : pane_looks) {
    if (look.name != fe.editor.current_text) continue;
    text caption = caption_of(fe, look);
    if (unsaved) caption += U" *";
    fe.ui.set_caption(control::frmEdit, caption);
  }
}

void close_editor(frontend& fe) {
  if (!fe.editor.loaded) return;
  copy_back(fe);
  fe.editor.current_text.clear();
  fe.editor.loaded = false;
  fe.ui.set_visible(control::frmEdit, false);
}

void adjust_size(frontend& fe) {
  twips_rect window = fe.ui.geometry(control::frmEdit);
  twips_rect box = fe.ui.geometry(control::txtEdit);
  long w = window.width - 400;
  if (w > 10) {
    box.width = w;
    box.left = 100;
  }
  long h = window.height - 600;
  if (h > 10) {
    box.height = h;
    box.top = 100;
  }
  fe.ui.set_geometry(control::txtEdit, box);
}

bool editor_key_pressed(frontend& fe, int key_code) {
  if (key_code == key_escape) {
    close_editor(fe);
    return true;
  }
  // Once per opening, as a notice that lets typing go on; the key still counts.
  if (fe.editor.show_size_warning && fe.ui.box_length(control::txtEdit) > size_warning_length) {
    fe.editor.show_size_warning = false;
    fe.ui.notice(size_warning_text);
  }
  return false;
}

}  // namespace zr
