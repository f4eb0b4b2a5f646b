// The kinds an event row's texts are read as, decided once when the schema is
// compiled: what its action does, which feed back command it hands the run
// loop and what each of its post events queues. A dialog step switches on
// these instead of reading the texts again; the texts stay in the row for the
// traces and dumps that show them.
#pragma once

#include <cstdint>

#include "common/text.h"

namespace zr {

struct header_settings;
struct schema_table;

// What an event's action does when the event is accepted.
enum class action_kind : std::uint8_t {
  print_action,      // prints the action text itself
  console_message,   // sends the action text to the console
  macro_text,        // prints the macro text after the action's first two characters
  print_token,       // the text or print marker: prints the token
  print_same_token,  // prints the token after a word, the event's name otherwise
  statement,         // runs the statement after the two action escapes
  nothing,           // an action escape and a character no kind uses
};

// The feed back command a dialog step hands the run loop.
enum class feedback_command : std::uint8_t {
  none,              // no command, or a text that names none
  up_to,             // "upto": reads the source up to a delimiter into the token
  unreadable_up_to,  // "upto" with no delimiter it can read: fails when carried out
  indent,            // "i": a new line prefix for the nest
  line_feed,         // "lf": prints CR LF
  close_streams,     // the doubled macro escape: closes every open stream
  end,               // "end", or the dialog is over
};

// A feed back command and its argument: for up_to the code of the
// delimiter, for unreadable_up_to the event whose command it is.
struct feedback {
  feedback_command command = feedback_command::none;
  std::int32_t argument = 0;
};

// What a post event puts on the events queue.
enum class post_event_kind : std::uint8_t {
  named,       // the event of its name, with no token
  repeat,      // E "d": the coming event again, with its token and type
  identifier,  // a name starting with E "=": the identifier event, keeping the token
};

// Decides the kinds of events 1..events_quantity from their texts and the
// header's escapes. Raises nothing: an upto command it cannot read becomes
// unreadable_up_to.
void compile_event_kinds(schema_table& schema);

// The delimiter of an upto command: "upto" and a character, or "upto", the
// event escape and a character code (0..255). Raises "wrong `upto` tocken in
// schema ``" when the command has no character after "upto", and "error asc
// value = `...`" for a code that is not one.
char32_t up_to_delimiter(const header_settings& header, text_view command);

}  // namespace zr
