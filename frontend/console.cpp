#include "frontend/console.h"

#include "common/easylife.h"
#include "frontend/fileaux.h"

namespace zr {

namespace {

constexpr double refresh_period = 0.2;

bool editor_shows_console(const frontend& fe) {
  return fe.editor.current_text == U"console";
}

// Adds a message to the buffer with every line break as CR LF: the engine
// breaks a few lines (an error's note line) with a lone LF, and one kind of
// line break keeps a log's line numbers the same in every editor.
void buffer_message(frontend_state& state, text_view message) {
  if (message.empty()) return;
  std::size_t from = 0;
  for (std::size_t feed = message.find(U'\n'); feed != text_view::npos;
       feed = message.find(U'\n', feed + 1)) {
    const bool after_cr = feed > 0 ? message[feed - 1] == U'\r' : state.console_after_cr;
    if (after_cr) continue;
    state.console_buffer += message.substr(from, feed - from);
    state.console_buffer += U'\r';
    from = feed;
  }
  state.console_buffer += message.substr(from);
  state.console_after_cr = message.back() == U'\r';
  state.console_at_line_start = message.back() == U'\n';
}

}  // namespace

void writes(frontend& fe, text_view message) {
  buffer_message(fe.state, message);
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
  buffer_message(fe.state, message);
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
