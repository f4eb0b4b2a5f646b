// The 30 output streams. A stream collects what actions print while it is
// open; its content is its macro variable in the variable table.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "common/text.h"
#include "engine/value_text.h"

namespace zr {

struct engine_state;

struct stream_state {
  std::array<bool, 31> stream_open{};  // used 1..30
  std::int16_t open_streams = 0;
  // Bit n is set while stream n is open, beside stream_open: every print
  // into the open streams finds them without a walk over all 30.
  std::uint32_t open_mask = 0;
};

// All streams closed, none open: the start of every dialog.
void reset_streams(engine_state& state);
// Toggles stream n: opens it (emptying it) or suspends it (keeping its
// content). Errors carry the context "when close/open thread n in module
// `control_thread` ...".
void control_thread(engine_state& state, std::int16_t n);
// Calls `visit(n)` for every open stream n, in stream order.
template <class Visit>
void for_each_open_stream(const stream_state& streams, Visit visit) {
  for (std::uint32_t open = streams.open_mask; open != 0; open &= open - 1)
    visit(std::countr_zero(open));
}
// The text stream n collects: its macro variable.
value_text& stream_content(engine_state& state, int n);
// Appends the text to every open stream.
void append_to_streams(engine_state& state, text_view printed);
// Closes every open stream; the contents stay.
void close_all_streams(engine_state& state);

}  // namespace zr
