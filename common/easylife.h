// Shared text constants and small text routines used by the engine and the
// desktop front end alike. Positions are 1-based character positions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"

namespace zr {

inline constexpr text_view text_crlf = U"\r\n";
inline constexpr text_view text_lf = U"\n";
inline constexpr text_view text_tab = U"\t";
inline constexpr text_view text_comma = U",";
inline constexpr text_view text_blank = U" ";
inline constexpr text_view text_quote = U"\"";

// Reads a text enclosed in `closing` that stands at position 1; a doubled
// closing character inside stands for one. Returns "" with end_position 0 when
// the text does not begin with `closing`; otherwise end_position is the
// position of the closing character. Raises 2048 "closing char =..." when no
// single closing character ends the text.
text quoted_text(text_view source, char32_t closing, std::size_t& end_position);

// counter + 1 while counter < limit; otherwise raises 2048 with
// context, CR LF, "subscript is over ", limit, " ... " and leaves counter.
void bounded_increment(std::int16_t& counter, std::int16_t limit, text_view context);

// Every occurrence of `find`, left to right without overlap, replaced by
// `replacement`; replaced text is never scanned again. An empty `find`
// returns the text unchanged.
text replace_all(text_view source, text_view find, text_view replacement);

// The part before the first `separator`, with the part after it in `rest`.
// Without a separator: "" and rest = the whole text.
text split_first(text_view source, char32_t separator, text& rest);

// A real number as the system writes it: at most `digits` significant digits
// (15 for 64-bit reals, 7 for 32-bit ones), trailing zeros and point dropped,
// exponent form such as 1E-05 or 1.234568E+07 outside 0.0001 .. 10^digits.
// Negative zero is written 0.
text real_text(double value, int digits);

// A translation result as the hosts show it: the three empty header lines
// and the line break that opens the body dropped exactly when the result
// begins with LF LF LF CR LF; any other result unchanged.
std::string_view stripped_result(std::string_view result);

// A translation result as the command line writes it (and the Python module
// returns it): stripped_result, except that a result with three empty header
// lines and nothing after them is nothing at all.
std::string_view shown_result(std::string_view result);

// Short clock text of the console: the seconds since midnight as a 32-bit
// real, its first three characters dropped, the rest shown as "##00.00".
text time_stamp(double seconds_since_midnight);
// The same for the local time of day now.
text time_stamp();
// Seconds since local midnight, with fractions.
double seconds_since_midnight();

}  // namespace zr
