// A toolkit without windows, for tests: it keeps what the logic painted
// (texts, selections, captions, colours, visibility, timers, geometry, message
// boxes) and lets a test press buttons, type, double-click, answer dialogs and
// advance the clock, which fires the enabled timers that fall due.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "frontend/toolkit.h"

namespace zr {

class fake_toolkit : public toolkit {
 public:
  struct timer_setting {
    int interval = 0;
    bool enabled = false;
    double next_due = 0;
  };

  void attach(toolkit_events& events) { events_ = &events; }

  // toolkit
  text box_text(control box) const override;
  void set_box_text(control box, text_view value) override;
  void set_selection(control box, std::size_t start, std::size_t length) override;
  void replace_selection(control box, text_view value) override;
  std::size_t caret_position(control box) const override;
  std::size_t box_length(control box) const override;
  bool box_modified(control box) const override { return modified.contains(box); }
  void set_box_unmodified(control box) override { modified.erase(box); }
  void set_visible(control which, bool visible) override { visibility[which] = visible; }
  void set_enabled(control which, bool enabled) override;
  void set_focus(control which) override { focused = which; }
  void set_caption(control which, text_view caption) override { captions[which] = text(caption); }
  void set_background(control which, colour background) override {
    backgrounds[which] = background;
  }
  void set_text_colour(control which, colour foreground) override {
    text_colours[which] = foreground;
  }
  void set_schema_highlighting(control box, bool on) override {
    if (on)
      highlighted.insert(box);
    else
      highlighted.erase(box);
  }
  twips_rect geometry(control which) const override;
  void set_geometry(control which, twips_rect rect) override { geometries[which] = rect; }
  twips_rect screen() const override { return screen_rect; }
  twips_rect area_on_screen(control which) const override;
  void set_timer_interval(timer which, int milliseconds) override;
  void set_timer_enabled(timer which, bool enabled) override;
  void message_box(text_view message) override { messages.emplace_back(message); }
  bool ask_yes_no(text_view message) override;
  answer ask_yes_no_cancel(text_view message) override;
  void notice(text_view message) override { notices.emplace_back(message); }
  void set_menu(control button, const std::vector<text>& entries) override {
    menus[button] = entries;
  }
  std::optional<text> open_file_dialog(text_view initial) override;
  std::optional<text> save_file_dialog(text_view initial) override {
    return open_file_dialog(initial);
  }
  text program_directory() const override;
  std::vector<text> arguments() const override { return command; }
  double time_of_day() const override { return clock; }
  void end_program() override { ended = true; }
  void process_pending_events() override;

  // What a test does.
  void press(control button);
  void double_click(control which);
  // Sends the key to the logic; unless handled, the character is appended to
  // the box's text, which the user has then modified.
  void type(control box, char32_t key);
  // Puts the caret at `position` and tells the logic, as a click does.
  void click_at(control box, std::size_t position);
  // Chooses an entry of a menu button.
  void choose(control button, std::size_t entry);
  // Whether a control is enabled (every control starts enabled).
  bool is_enabled(control which) const { return !disabled.contains(which); }
  // Moves the clock on and fires the enabled timers as they fall due, in
  // order; a timer fires at most once per pass over its due time.
  void advance_clock(double seconds);
  void tick(timer which);
  // Actions the next passes of the event pump run, one per pass.
  void on_pump(std::function<void()> action) { pump_actions.push_back(std::move(action)); }
  bool is_visible(control which) const;
  text caption(control which) const;

  // What the logic painted.
  std::map<control, text> texts;
  std::map<control, std::pair<std::size_t, std::size_t>> selections;  // start, length
  std::map<control, bool> visibility;
  std::map<control, text> captions;
  std::map<control, colour> backgrounds;
  std::map<control, colour> text_colours;
  std::map<control, twips_rect> geometries;
  std::map<control, twips_rect> screen_areas;
  std::set<control> modified;
  std::set<control> disabled;
  std::set<control> highlighted;  // boxes coloured as schema text
  std::map<control, std::vector<text>> menus;
  std::map<timer, timer_setting> timers;
  std::vector<text> messages;
  std::vector<text> questions;
  std::vector<text> notices;
  std::vector<text> dialogs_started_with;
  bool ended = false;
  int pump_passes = 0;
  std::optional<control> focused;

  // What the test sets up.
  std::deque<bool> yes_no_answers;                 // none left: Yes
  std::deque<answer> three_way_answers;            // none left: Yes
  std::deque<std::optional<text>> dialog_answers;  // none left: cancel
  std::deque<std::function<void()>> pump_actions;
  twips_rect screen_rect{0, 0, 19200, 14400};
  text program_dir = U"/opt/zorvex";
  bool program_directory_fails = false;  // raises the path-not-found error
  std::vector<text> command;
  // How often a box's whole text was read (box_text calls).
  mutable int whole_text_reads = 0;
  double clock = 36000;  // 10:00:00

 private:
  toolkit_events& events() const;
  toolkit_events* events_ = nullptr;
};

}  // namespace zr
