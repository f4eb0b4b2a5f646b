#include "frontend/frm_edit.h"

#include <array>
#include <cmath>

#include "common/checked.h"
#include "common/easylife.h"

namespace zr {

const text_view size_warning_text =
    U"You are about exceed available text size.\r\n"
    U"It is recommended to save this text now.\r\n\r\n"
    U"Would you lile to see this warning again?";

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

void load_editor(frontend& fe) {
  fe.editor.loaded = true;
  fe.editor.show_size_warning = true;
  twips_rect screen = fe.ui.screen();
  twips_rect window;
  window.height = std::lround(0.9 * static_cast<double>(screen.height));
  window.width = std::lround(0.9 * static_cast<double>(screen.width));
  window.top = (screen.height - window.height) / 2;
  window.left = (screen.width - window.width) / 2;
  fe.ui.set_geometry(control::frmEdit, window);
  adjust_size(fe);
}

// Copies the editor's text into the pane named by current_text.
void copy_back(frontend& fe) {
  for (const pane_look& look : pane_looks) {
    if (look.name == fe.editor.current_text) {
      fe.ui.set_box_text(look.box, fe.ui.box_text(control::txtEdit));
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
  fe.ui.set_box_text(control::txtEdit, fe.ui.box_text(look.box));
  fe.ui.set_visible(control::frmEdit, true);
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
  if (fe.editor.show_size_warning &&
      fe.ui.box_text(control::txtEdit).size() > size_warning_length) {
    if (!fe.ui.ask_yes_no(size_warning_text)) fe.editor.show_size_warning = false;
  }
  return false;
}

}  // namespace zr
