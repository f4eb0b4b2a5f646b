#include "engine/tokenizer.h"

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/messages.h"
#include "engine/source_view.h"

namespace zr {

namespace {

constexpr text_view tokenizer_locator = U"TZ: tocken search started ... ";

struct separator_match {
  std::size_t position = text_view::npos;  // 0-based
  std::size_t length = 0;
  const separator_entry* declared = nullptr;  // a declared separator
};

// Whether the declared separator `name` stands in `source` at `at`.
template <class View>
bool separator_at(View source, std::size_t at, const text& name, bool fold) {
  if (name.empty() || at + name.size() > source.size()) return false;
  for (std::size_t k = 0; k < name.size(); ++k) {
    const char32_t c = code_at(source, at + k);
    if ((fold ? lower_char(c) : c) != name[k]) return false;
  }
  return true;
}

// The leftmost separator at or after `from`. At one position the first
// declared separator in event order wins (not the longest); a native one
// (a code below 33) counts only where no declared one matches. Only the
// separators that start with the character at a position are tried there.
template <class View>
separator_match next_separator(const engine_state& state, View source, std::size_t from) {
  const schema_table& schema = state.schema;
  const bool fold = schema.header.separator_case_insensetive;
  for (std::size_t p = from; p < source.size(); ++p) {
    const char32_t c = code_at(source, p);
    if (const separator_list* candidates = separators_starting(schema.lookup, c, fold)) {
      for (const separator_entry& entry : *candidates)
        if (separator_at(source, p, entry.name, fold)) return {p, entry.name.size(), &entry};
    }
    if (c < 33) return {p, 1, nullptr};
  }
  return {};
}

text code_text(char32_t c) {
  return number_text(static_cast<long long>(c));
}

void trace_separator(const engine_state& state, const separator_match& found) {
  if (!state.flags.debug_on) return;
  if (found.declared) {
    const text_view pending = found.declared->delivered;
    trace(state, U"TZ: found declared separator which is `", text(pending), U"`(",
          code_text(pending.empty() ? 0 : pending[0]), U")... ");
    trace(state, U"TZ: declared separator is `", text(pending), U"`");
  } else {
    const char32_t c =
        read_source(state.run, [&](auto source) { return code_at(source, found.position); });
    trace(state, U"TZ: found native separator =`", char_text(c), U"`=", code_text(c));
    trace(state,
          U"TZ: separator is native =`" + char_text(c) + U"` ... do not count as an event .... ");
  }
}

void deliver_end_of_text(engine_state& state) {
  state.run.end_of_text = true;
  state.run.coming_event = state.schema.names.end_of_text_event;
  state.tokenizer.from_source = token_kind::end_of_text;
  state.run.coming_candidates = nullptr;
  trace(state, U"TZ: parser: end of text = ", state.run.coming_event, U" found ... ");
}

// A word from the scan position up to the separator: a keyword event when
// the schema declared it, the identifier event otherwise. The word is read
// from the source once for the keyword look-up (folded when keywords are
// case-insensitive, and hashed, on the way) and, as written, only where the
// token keeps the case it has in the source.
void deliver_word(engine_state& state, std::size_t start, const separator_match& found) {
  run_state& run = state.run;
  const header_settings& header = state.schema.header;
  text& lookup = state.tokenizer.lookup_word;
  const auto read_word = [&](auto assign) {
    read_source(run, [&](auto source) { assign(source.substr(start, found.position - start)); });
  };
  std::uint64_t hash = 0;
  read_word(
      [&](auto word) { hash = assign_hashed_text(lookup, word, header.keyword_case_insensetive); });
  const auto read_as_written = [&](text& to) {
    read_word([&](auto word) { assign_text(to, word); });
  };
  if (tracing(state)) {
    text written;
    read_as_written(written);
    trace(state, U"TZ: word found before separator is `", written, U"`");
  }
  const keyword_entry* keyword = find_keyword(state.schema.lookup, lookup, hash);
  if (keyword) {
    trace(state, U"TZ: word is a keyword =`", lookup, U"`");
    // The look-up word's storage goes to the event; the token copies it.
    run.coming_event.swap(lookup);
    run.tocken = run.coming_event;
    state.tokenizer.from_source = token_kind::keyword;
    state.run.coming_candidates = keyword->candidates;
  } else {
    run.coming_event = state.schema.names.identifier_event;
    state.tokenizer.from_source = token_kind::word;
    state.run.coming_candidates = state.schema.lookup.identifier_candidates;
    // Folded for the look-up, the word is already the token in lower case
    // when tokens are folded too (a string constant keeps its case): its
    // storage is handed over.
    if (header.keyword_case_insensetive && header.tocken_case_insensetive &&
        classify_tocken(lookup) != token_type::string)
      run.tocken.swap(lookup);
    else
      read_as_written(run.tocken);
  }
  run.scan_position = static_cast<std::int64_t>(found.position + found.length) + 1;
  run.ttype = classify_tocken(run.tocken);
  // A token taken from the look-up word (a keyword's, or a word's handed
  // over above) is in lower case already when keywords are folded, and the
  // lower case of lower case changes nothing.
  const bool folded = header.keyword_case_insensetive;
  if (run.ttype != token_type::string && header.tocken_case_insensetive && !folded)
    lower_in_place(run.tocken);
}

void scan(engine_state& state) {
  tokenizer_state& tokenizer = state.tokenizer;
  run_state& run = state.run;
  tokenizer.from_source = token_kind::searching;
  if (const separator_entry* pending = tokenizer.pending_separator) {
    run.coming_event = pending->delivered;
    // The separator ended the word just delivered: it ends before scan_position.
    run.token_start = run.scan_position - static_cast<std::int64_t>(run.coming_event.size());
    tokenizer.pending_separator = nullptr;
    tokenizer.from_source = token_kind::separator;
    run.coming_candidates = pending->candidates;
    return;
  }
  for (;;) {
    run.token_start = run.scan_position;
    const std::size_t length = read_source(run, [](auto source) { return source.size(); });
    if (run.scan_position > static_cast<std::int64_t>(length)) {
      deliver_end_of_text(state);
      return;
    }
    const std::size_t start = static_cast<std::size_t>(run.scan_position - 1);
    const separator_match found =
        read_source(run, [&](auto source) { return next_separator(state, source, start); });
    if (found.position == text_view::npos) raise_engine_error(U"TZ: separator is not found ...");
    tokenizer.pending_separator = found.declared;
    trace_separator(state, found);
    if (found.position > start) {
      deliver_word(state, start, found);
      return;
    }
    run.scan_position = static_cast<std::int64_t>(found.position + found.length) + 1;
    if (found.declared) {
      run.coming_event = found.declared->delivered;
      tokenizer.pending_separator = nullptr;
      if (tracing(state))
        trace(state, U"TZ: separator is in a first position and is declared =`", run.coming_event,
              U"`", U" separator_length=", number_text(static_cast<long long>(found.length)));
      tokenizer.from_source = token_kind::separator;
      run.coming_candidates = found.declared->candidates;
      return;
    }
    // A native separator before any word is skipped.
  }
}

}  // namespace

token_type classify_tocken(text_view tocken) {
  if (!tocken.empty() && tocken[0] >= U'0' && tocken[0] <= U'9') return token_type::number;
  if (!tocken.empty() && tocken[0] == U'"') return token_type::string;
  return token_type::identifier;
}

text_view token_type_text(token_type type, text_view stored) {
  switch (type) {
    case token_type::none:
      return U"";
    case token_type::number:
      return U"n";
    case token_type::string:
      return U"s";
    case token_type::identifier:
      return U"i";
    case token_type::unknown:
      return U"?";
    case token_type::other:
      return stored;
  }
  return U"";
}

token_type token_type_of(text_view type_text) {
  for (token_type type : {token_type::none, token_type::number, token_type::string,
                          token_type::identifier, token_type::unknown})
    if (token_type_text(type, {}) == type_text) return type;
  return token_type::other;
}

void find_tock(engine_state& state) {
  try {
    scan(state);
  } catch (...) {
    raise_with_context(U"in find_tock\r\n" + text(tokenizer_locator));
  }
}

}  // namespace zr
