#include "engine/run.h"

#include <chrono>
#include <thread>

#include "common/easylife.h"
#include "common/errors.h"
#include "common/growth.h"
#include "engine/engine_state.h"
#include "engine/host_poll.h"
#include "engine/limits.h"
#include "engine/messages.h"

namespace zr {

namespace {

// Keeps a waiting loop from burning a whole core while the host (or another
// thread) decides.
void pause_briefly() {
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

void act_on_termination_request(engine_state& state) {
  if (state.flags.terminate_requested.exchange(false)) {
    state.run.stopping = stop_cause::host;
    raise_engine_error(U"user ordered to terminate");
  }
}

void hold_while_suspended(engine_state& state) {
  while (state.flags.suspended) {
    pause_briefly();
    yield_to_host(state);
    act_on_termination_request(state);
    check_limits(state);
  }
}

void wait_for_grant(engine_state& state) {
  // Each grant lets exactly one wait through.
  while (!state.flags.step_granted.exchange(false)) {
    poll_host(state);
    pause_briefly();
  }
}

void print_text(engine_state& state, text_view printed, std::string_view printed_utf8) {
  run_state& run = state.run;
  if (state.schema.header.print_while_processing) {
    if (state.flags.debug_on) send_message(state, text_crlf);
    send_message(state, run.line_prefix + text(printed));
    if (state.flags.debug_on) send_message(state, text_crlf);
  }
  // The result takes the prefix and the text where they stand, without a
  // joined copy: a printed text can be the whole collected output.
  print_line_prefix(state);
  if (printed_utf8.empty()) {
    append_as_utf8(printed, run.result_body);
    return;
  }
  // As append_as_utf8 grows the result: room is asked for only when it lacks.
  std::string& out = run.result_body;
  if (out.capacity() - out.size() < printed_utf8.size())
    reserve_growing(out, out.size() + printed_utf8.size());
  out.append(printed_utf8);
}

void print_line_prefix(engine_state& state) {
  run_state& run = state.run;
  if (run.line_prefix.empty()) return;
  append_as_utf8(run.line_prefix, run.result_body);
  run.line_prefix.clear();
}

namespace {

constexpr std::string_view empty_header = "\n\n\n";

}  // namespace

void start_result(run_state& run, std::size_t expected) {
  reserve_growing(run.result_body, empty_header.size() + expected);
  run.result_body.assign(empty_header);
}

std::string assemble_result(engine_state& state) {
  run_state& run = state.run;
  if (!run.redirect_line.empty() || !run.reengine_line.empty() || !run.save_line.empty()) {
    text header = run.redirect_line;
    header += text_lf;
    header += run.reengine_line;
    header += text_lf;
    header += run.save_line;
    header += text_lf;
    run.result_body.replace(0, empty_header.size(), to_utf8(header));
  }
  std::string result = std::move(run.result_body);
  run.result_body.clear();
  return result;
}

}  // namespace zr
