#include "engine/streams.h"

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/messages.h"

namespace zr {

namespace {

text stream_letter(int n) {
  return char_text(static_cast<char32_t>(macro_letter_base + n));
}

void suspend_stream(engine_state& state, std::int16_t n) {
  stream_state& streams = state.streams;
  streams.stream_open[n] = false;
  streams.open_mask &= ~(std::uint32_t{1} << n);
  --streams.open_streams;
  if (streams.open_streams < 0) raise_engine_error(U"fatal: negative open stream number ... ");
  if (!tracing(state)) return;
  trace(state, U"stream #", number_text(n), U"=", stream_letter(n), U" is suspended with value =",
        stream_content(state, n).wide());
  trace(state, number_text(streams.open_streams), U" extra streams are still active");
}

void open_stream(engine_state& state, std::int16_t n) {
  stream_state& streams = state.streams;
  ++streams.open_streams;
  stream_content(state, n).clear();
  streams.stream_open[n] = true;
  streams.open_mask |= std::uint32_t{1} << n;
  if (!tracing(state)) return;
  trace(state, U"stream #", number_text(n), U"=", stream_letter(n), U" is just opened ...");
  trace(state, number_text(streams.open_streams), U" extra stream(s) are active ");
}

}  // namespace

value_text& stream_content(engine_state& state, int n) {
  return table_entry(state, macro_base + n);
}

void reset_streams(engine_state& state) {
  state.streams.stream_open.fill(false);
  state.streams.open_streams = 0;
  state.streams.open_mask = 0;
}

void control_thread(engine_state& state, std::int16_t n) {
  try {
    bool is_open = checked_at(state.streams.stream_open, n);
    if (state.streams.open_streams > 0 && is_open)
      suspend_stream(state, n);
    else
      open_stream(state, n);
  } catch (...) {
    raise_with_context(U"when close/open thread " + number_text(n) +
                       U" in module `control_thread` ...");
  }
}

void append_to_streams(engine_state& state, text_view printed) {
  for_each_open_stream(state.streams, [&](int n) {
    value_text& content = stream_content(state, n);
    content.append(printed);
    if (tracing(state))
      trace(state, U"stream ", number_text(n), U" = ", stream_letter(n), U" has value = ",
            content.wide());
  });
}

void close_all_streams(engine_state& state) {
  stream_state& streams = state.streams;
  if (streams.open_streams < 1) return;
  streams.open_streams = 0;
  streams.open_mask = 0;
  for (int n = 1; n <= max_streams; ++n) {
    if (!streams.stream_open[n]) continue;
    if (tracing(state))
      trace(state, U"stream ", number_text(n), U" = ", stream_letter(n), U" is closed ", text_crlf,
            U"with value=", stream_content(state, n).wide());
    streams.stream_open[n] = false;
  }
}

}  // namespace zr
