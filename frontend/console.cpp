#include "frontend/console.h"

#include "common/easylife.h"
#include "frontend/fileaux.h"

namespace zr {

namespace {

constexpr double refresh_period = 0.2;

bool editor_shows_console(const frontend& fe) {
  return fe.editor.current_text == U"console";
}

}  // namespace

void writes(frontend& fe, text_view message) {
  fe.state.console_buffer += message;
  if (refresh_due(fe) || fe.state.console_buffer.size() > fe.state.flush_length)
    refresh_console(fe);
}

bool refresh_due(const frontend& fe) {
  // Compared in single precision, as the refresh time always was.
  float now = static_cast<float>(fe.ui.time_of_day());
  float deadline = static_cast<float>(fe.state.next_refresh);
  return now > deadline || deadline - now > 1.0f;
}

void refresh_console(frontend& fe) {
  frontend_state& state = fe.state;
  if (state.console_buffer.empty()) return;
  if (!state.unattended) {
    append_to_box(fe, state.console_buffer, control::txtConsole);
    if (editor_shows_console(fe)) append_to_box(fe, state.console_buffer, control::txtEdit);
  }
  text status = append_f(state.log_path, state.console_buffer);
  text failure;
  if (split_first(status, U'\n', failure) != U"done") {
    // A log that cannot be written is reported even when the window is hidden.
    append_to_box(fe, failure, control::txtConsole);
    if (editor_shows_console(fe)) append_to_box(fe, failure, control::txtEdit);
  }
  state.console_buffer.clear();
  state.next_refresh = fe.ui.time_of_day() + refresh_period;
}

text time_of_day_text(double seconds_since_midnight) {
  auto seconds = static_cast<long long>(seconds_since_midnight);
  auto two_digits = [](long long value) {
    text digits = number_text(value % 100);
    return digits.size() < 2 ? U"0" + digits : digits;
  };
  return two_digits(seconds / 3600 % 24) + U":" + two_digits(seconds / 60 % 60) + U":" +
         two_digits(seconds % 60);
}

void console_now(frontend& fe, text_view message) {
  fe.state.console_buffer += message;
  refresh_console(fe);
}

void append_to_box(frontend& fe, text_view message, control box) {
  std::size_t n = fe.ui.box_text(box).size();
  // The cap is tested before appending, so a pane may pass it by one batch.
  if (n > fe.state.console_cap) {
    text restarted = time_stamp(fe.ui.time_of_day());
    restarted += U" console refreshed: ";
    restarted += text_crlf;
    restarted += message;
    fe.ui.set_box_text(box, restarted);
    fe.ui.set_selection(box, 0, restarted.size());
  } else {
    fe.ui.set_selection(box, n, 1);
    fe.ui.replace_selection(box, message);
  }
}

void report_error_now(frontend& fe, const engine_error& error, text_view where) {
  text report(text_crlf);
  report += error.description();
  report += text_crlf;
  report += U"EXCEPTION ";
  report += number_text(error.number());
  report += U" ";
  report += where;
  console_now(fe, report);
  fe.ui.set_visible(control::lbllblException, true);
  fe.ui.set_visible(control::cmdException, true);
}

engine_error caught_error() {
  try {
    throw;
  } catch (const zrcomp_error& e) {
    return engine_error(e.number(), from_utf8(e.description()));
  } catch (...) {
    return current_error();
  }
}

}  // namespace zr
