#include "engine/schema_lines.h"

#include <algorithm>

#include "common/easylife.h"
#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/messages.h"

namespace zr {

namespace {

constexpr std::int32_t number_clamp = 100000;

bool ends_word(const engine_state& state, char32_t c) {
  return is_blank(c) || c == state.reader.word_separator;
}

}  // namespace

text_view schema_rest(const engine_state& state) {
  const text& schema = state.run.source_text;
  return text_view(schema).substr(std::min(state.reader.consumed, schema.size()));
}

void consume_schema(engine_state& state, std::size_t length) {
  state.reader.consumed += std::min(length, schema_rest(state).size());
}

void peek_line(engine_state& state) {
  state.reader.current_line = first_line(schema_rest(state));
}

void take_line(engine_state& state) {
  peek_line(state);
  consume_schema(state, state.reader.current_line.size());
}

void next_line(engine_state& state) {
  take_line(state);
  peek_line(state);
}

text first_word(const engine_state& state) {
  const text& line = state.reader.current_line;
  std::size_t end = 0;
  while (end < line.size() && !ends_word(state, line[end]))
    ++end;
  return line.substr(0, end);
}

text take_first_word(engine_state& state) {
  text word = first_word(state);
  text& line = state.reader.current_line;
  std::size_t end = word.size();
  while (end < line.size() && line[end] != U'\n' && ends_word(state, line[end]))
    ++end;
  line.erase(0, end);
  return word;
}

void skip_blanks(engine_state& state) {
  text& line = state.reader.current_line;
  std::size_t end = 0;
  while (end < line.size() && line[end] != U'\n' && is_blank(line[end]))
    ++end;
  line.erase(0, end);
}

void schema_debug_line(engine_state& state, text_view line) {
  if (!state.flags.debug_on) return;
  text message(text_crlf);
  message += line;
  send_message(state, message);
}

void schema_raw_text(engine_state& state, text_view raw) {
  if (state.flags.debug_on) send_message(state, raw);
}

std::optional<std::int32_t> read_number(text_view word) {
  std::size_t i = 0;
  bool negative = false;
  if (!word.empty() && (word[0] == U'+' || word[0] == U'-')) {
    negative = word[0] == U'-';
    i = 1;
  }
  if (i == word.size()) return std::nullopt;
  std::int32_t value = 0;
  for (; i < word.size(); ++i) {
    char32_t c = word[i];
    if (c < U'0' || c > U'9') return std::nullopt;
    if (value < number_clamp) value = value * 10 + static_cast<std::int32_t>(c - U'0');
  }
  if (value > number_clamp) value = number_clamp;
  return negative ? -value : value;
}

text char_of_code(text_view code_text) {
  std::optional<std::int32_t> code = read_number(code_text);
  if (!code || *code < 0 || *code > 255) {
    text message = U"error asc value = `";
    message += code_text;
    message += U"`";
    raise_engine_error(message);
  }
  return char_text(static_cast<char32_t>(*code));
}

}  // namespace zr
