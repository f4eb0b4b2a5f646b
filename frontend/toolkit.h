// The front end's window toolkit, as the logic sees it: every control of the
// two windows is reached through these operations, so the logic runs without
// a real windowing toolkit. A toolkit carries the operations out on its own
// widgets and tells the logic what the user did through toolkit_events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "frontend/controls.h"

namespace zr {

enum class timer { Timer1, Timer2 };

// A colour the logic asks for: an RGB value, or one of the system's colours
// for buttons, which the toolkit resolves.
struct colour {
  enum class kind { rgb, button_face, button_text };
  kind of = kind::rgb;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  static constexpr colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return {kind::rgb, r, g, b};
  }
  static constexpr colour button_face() { return {kind::button_face, 0, 0, 0}; }
  static constexpr colour button_text() { return {kind::button_text, 0, 0, 0}; }
  friend bool operator==(const colour&, const colour&) = default;
};

// A rectangle in twips (1/1440 inch); the toolkit maps twips to its units.
struct twips_rect {
  long left = 0;
  long top = 0;
  long width = 0;
  long height = 0;
  friend bool operator==(const twips_rect&, const twips_rect&) = default;
};

inline constexpr int key_escape = 27;
inline constexpr int key_enter = 13;
// Ctrl+S: save the pane that has the keyboard.
inline constexpr int key_save = 19;
// Save As (Ctrl+Shift+S): save the pane that has the keyboard under a new
// name. Beyond every character code.
inline constexpr int key_save_as = 0x110001;

// The answers of a question with Yes, No and Cancel.
enum class answer { yes, no, cancel };

class toolkit {
 public:
  virtual ~toolkit() = default;

  // Text boxes. A box gives back exactly the text it was given (CR LF kept).
  virtual text box_text(control box) const = 0;
  // Replaces a box's text. The schema and source panes keep their undo
  // history: a new text is one edit that leaves the pane modified, and the
  // same text again changes nothing. Any other box starts afresh, unmodified.
  virtual void set_box_text(control box, text_view value) = 0;
  // A box's text in UTF-8, and a text given in UTF-8: the same as box_text
  // and set_box_text, for a toolkit that can keep a large text as its bytes.
  virtual std::string box_utf8(control box) const { return to_utf8(box_text(box)); }
  virtual void set_box_utf8(control box, std::string value) { set_box_text(box, from_utf8(value)); }
  // Selection in characters from 0; the toolkit clamps both to the text.
  virtual void set_selection(control box, std::size_t start, std::size_t length) = 0;
  // Replaces the selected text with `value`; the caret ends after it.
  virtual void replace_selection(control box, text_view value) = 0;
  // The caret's position in characters from 0.
  virtual std::size_t caret_position(control box) const = 0;
  // The length of a box's text without reading the text itself, so it costs
  // the same whatever the text's size.
  virtual std::size_t box_length(control box) const = 0;
  // Whether the user changed the box since its text was last set or marked
  // unmodified; undoing every change makes it unmodified again.
  virtual bool box_modified(control box) const = 0;
  virtual void set_box_unmodified(control box) = 0;

  // Windows and controls.
  virtual void set_visible(control which, bool visible) = 0;
  // Gives the control the keyboard and brings its caret into view.
  virtual void set_focus(control which) = 0;
  // A disabled control ignores clicks and keys and looks so.
  virtual void set_enabled(control which, bool enabled) = 0;
  virtual void set_caption(control which, text_view caption) = 0;
  virtual void set_background(control which, colour background) = 0;
  virtual void set_text_colour(control which, colour foreground) = 0;
  // Colours a multi-line box's text as schema text, or leaves it plain.
  virtual void set_schema_highlighting(control box, bool on) = 0;
  virtual twips_rect geometry(control which) const = 0;
  virtual void set_geometry(control which, twips_rect rect) = 0;
  virtual twips_rect screen() const = 0;
  // Where a control of the main window lies on the screen; an empty rectangle
  // when the toolkit cannot tell.
  virtual twips_rect area_on_screen(control which) const = 0;

  // Timers.
  virtual void set_timer_interval(timer which, int milliseconds) = 0;
  virtual void set_timer_enabled(timer which, bool enabled) = 0;

  // Message boxes: one with an OK button; one with Yes and No (true for Yes).
  virtual void message_box(text_view message) = 0;
  virtual bool ask_yes_no(text_view message) = 0;
  virtual answer ask_yes_no_cancel(text_view message) = 0;
  // The entries of a menu button; choosing one is reported with its index.
  virtual void set_menu(control button, const std::vector<text>& entries) = 0;
  // A message that waits for nobody: typing goes on while it shows.
  virtual void notice(text_view message) = 0;
  // The file-open dialog, starting with `initial` as its file name; no value
  // when the user cancels.
  virtual std::optional<text> open_file_dialog(text_view initial) = 0;
  // The file-save dialog, which asks before a chosen file that exists is
  // replaced; no value when the user cancels.
  virtual std::optional<text> save_file_dialog(text_view initial) = 0;

  // The platform.
  virtual text program_directory() const = 0;
  // The program's arguments after its name, each as given.
  virtual std::vector<text> arguments() const = 0;
  // Seconds since local midnight, with fractions.
  virtual double time_of_day() const = 0;
  // Closes every window and ends the program.
  virtual void end_program() = 0;
  // Runs the events that are waiting (clicks, timer ticks) and returns.
  virtual void process_pending_events() = 0;
};

// What the user and the clock do, as the toolkit reports it to the logic.
class toolkit_events {
 public:
  virtual ~toolkit_events() = default;
  virtual void clicked(control button) = 0;
  virtual void double_clicked(control which) = 0;
  // A key typed in a control, before it takes effect. Returns true when the
  // key was handled and must not reach the control.
  virtual bool key_pressed(control which, int key_code) = 0;
  virtual void timer_ticked(timer which) = 0;
  // The user put the caret somewhere in a box (a click).
  virtual void caret_placed(control box) = 0;
  // The user chose the entry of a menu button.
  virtual void menu_chosen(control button, std::size_t entry) = 0;
  virtual void resized(control window) = 0;
};

}  // namespace zr
