#include "frontend/fake_toolkit.h"

#include <algorithm>
#include <stdexcept>

#include "common/errors.h"

namespace zr {

text fake_toolkit::box_text(control box) const {
  ++whole_text_reads;
  auto found = texts.find(box);
  return found == texts.end() ? text() : found->second;
}

void fake_toolkit::set_box_text(control box, text_view value) {
  if (box == control::txtSchema || box == control::txtSource) {
    if (box_text(box) == value) return;
    modified.insert(box);
  } else {
    modified.erase(box);
  }
  texts[box] = text(value);
  selections[box] = {value.size(), 0};
}

void fake_toolkit::set_selection(control box, std::size_t start, std::size_t length) {
  std::size_t size = box_text(box).size();
  start = std::min(start, size);
  selections[box] = {start, std::min(length, size - start)};
}

void fake_toolkit::replace_selection(control box, text_view value) {
  text& contents = texts[box];
  auto [start, length] = selections[box];
  contents.replace(start, length, value);
  selections[box] = {start + value.size(), 0};
}

std::size_t fake_toolkit::caret_position(control box) const {
  auto found = selections.find(box);
  return found == selections.end() ? 0 : found->second.first;
}

std::size_t fake_toolkit::box_length(control box) const {
  auto found = texts.find(box);
  return found == texts.end() ? 0 : found->second.size();
}

void fake_toolkit::set_enabled(control which, bool enabled) {
  if (enabled) {
    disabled.erase(which);
  } else {
    disabled.insert(which);
  }
}

twips_rect fake_toolkit::area_on_screen(control which) const {
  auto found = screen_areas.find(which);
  return found == screen_areas.end() ? twips_rect{} : found->second;
}

text fake_toolkit::program_directory() const {
  if (program_directory_fails) raise_platform_error(error_number::path_not_found);
  return program_dir;
}

twips_rect fake_toolkit::geometry(control which) const {
  auto found = geometries.find(which);
  return found == geometries.end() ? twips_rect{} : found->second;
}

void fake_toolkit::set_timer_interval(timer which, int milliseconds) {
  timer_setting& setting = timers[which];
  setting.interval = milliseconds;
  setting.next_due = clock + milliseconds / 1000.0;
}

void fake_toolkit::set_timer_enabled(timer which, bool enabled) {
  timer_setting& setting = timers[which];
  if (enabled && !setting.enabled) setting.next_due = clock + setting.interval / 1000.0;
  setting.enabled = enabled;
}

bool fake_toolkit::ask_yes_no(text_view message) {
  questions.emplace_back(message);
  if (yes_no_answers.empty()) return true;
  bool answer = yes_no_answers.front();
  yes_no_answers.pop_front();
  return answer;
}

answer fake_toolkit::ask_yes_no_cancel(text_view message) {
  questions.emplace_back(message);
  if (three_way_answers.empty()) return answer::yes;
  answer given = three_way_answers.front();
  three_way_answers.pop_front();
  return given;
}

std::optional<text> fake_toolkit::open_file_dialog(text_view initial) {
  dialogs_started_with.emplace_back(initial);
  if (dialog_answers.empty()) return std::nullopt;
  std::optional<text> answer = dialog_answers.front();
  dialog_answers.pop_front();
  return answer;
}

void fake_toolkit::process_pending_events() {
  ++pump_passes;
  if (pump_actions.empty()) return;
  std::function<void()> action = std::move(pump_actions.front());
  pump_actions.pop_front();
  action();
}

toolkit_events& fake_toolkit::events() const {
  if (events_ == nullptr) throw std::logic_error("fake_toolkit: no logic attached");
  return *events_;
}

void fake_toolkit::press(control button) {
  // A disabled button cannot be pressed.
  if (is_enabled(button)) events().clicked(button);
}

void fake_toolkit::double_click(control which) {
  events().double_clicked(which);
}

void fake_toolkit::type(control box, char32_t key) {
  if (events().key_pressed(box, static_cast<int>(key))) return;
  selections[box] = {box_length(box), 0};
  replace_selection(box, text(1, key));
  modified.insert(box);
}

void fake_toolkit::choose(control button, std::size_t entry) {
  events().menu_chosen(button, entry);
}

void fake_toolkit::click_at(control box, std::size_t position) {
  set_selection(box, position, 0);
  events().caret_placed(box);
}

void fake_toolkit::advance_clock(double seconds) {
  const double target = clock + seconds;
  for (;;) {
    std::optional<timer> due;
    for (auto& [which, setting] : timers) {
      if (!setting.enabled || setting.interval <= 0 || setting.next_due > target) continue;
      if (!due || setting.next_due < timers[*due].next_due) due = which;
    }
    if (!due) break;
    timer_setting& setting = timers[*due];
    clock = std::max(clock, setting.next_due);
    setting.next_due += setting.interval / 1000.0;
    events().timer_ticked(*due);
  }
  clock = std::max(clock, target);
}

void fake_toolkit::tick(timer which) {
  events().timer_ticked(which);
}

bool fake_toolkit::is_visible(control which) const {
  auto found = visibility.find(which);
  return found != visibility.end() && found->second;
}

text fake_toolkit::caption(control which) const {
  auto found = captions.find(which);
  return found == captions.end() ? text() : found->second;
}

}  // namespace zr
