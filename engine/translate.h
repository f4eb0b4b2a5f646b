// translate: one translation run with the error convention the host sees.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/errors.h"
#include "common/text.h"

namespace zr {

struct engine_state;

// Stores the schema and the source (with CR LF added, so the last word of the
// source ends with a separator), runs the translation and returns its result.
// A failure is handed to report_translate_error. The result is read back
// from its UTF-8 form, as translate_utf8 returns it.
std::optional<text> translate(engine_state& state, text_view schema, text_view source);

// translate for texts in UTF-8, as the host gives and takes them. The source
// is decoded straight into the engine's one copy of it, and the run's large
// texts (the source, the result) are released before the result returns.
std::optional<std::string> translate_utf8(engine_state& state, std::string_view schema,
                                          std::string_view source);

// translate_utf8 scanning an ASCII source where the host keeps it, instead of
// a copy: CR LF is appended to `source` for the run and removed before the
// call returns, however it returns. A source that is not ASCII alone is
// decoded into engine text as translate_utf8 does. After a failed run the
// source is gone from the state: where the run stopped is in
// run.failure, but the state no longer reads the source.
std::optional<std::string> translate_utf8_in_place(engine_state& state, std::string_view schema,
                                                   std::string& source);

// Sends the failure report (CR LF, "in "translate" module", CR LF, number,
// " * ", description) through the channel. Returns no value for error 2048
// and numbers of 0 or below; raises the others to the host as zrcomp_error
// with the context "in "translate" module zrcomp.translate ". When the report
// itself cannot be sent, that failure reaches the host instead.
std::optional<text> report_translate_error(engine_state& state, const engine_error& error);

}  // namespace zr
