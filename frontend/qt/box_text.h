// The text of a multi-line box as the logic sees it and as a Qt text document
// holds it. A document has no carriage returns: it splits the text into
// blocks and gives back "\n" for every break. A box keeps the line end
// convention of its text (CR LF or LF): that line break becomes a block
// break (U+2029), so every line is a block of its own and an edit lays out
// one line, not the whole text; a break the user types or pastes becomes the
// convention's. The other breaks keep a character of their own, so a box
// gives back exactly the text it was given: a lone LF in a CR LF text a line
// separator inside the block (U+2028), a CR that does not start the
// convention's break the symbol for carriage return (U+240D).
#pragma once

#include <QString>
#include <cstddef>

#include "common/text.h"

namespace zr {

enum class line_end { crlf, lf };

// The convention of a text: that of its first line break; `otherwise` for a
// text without one.
line_end line_end_of(text_view value, line_end otherwise);

// The logic's text as document text, line breaks mapped as above.
QString document_text(text_view value, line_end convention);

// The logic's text from a document's raw text (QTextDocument::toRawText).
text logic_text(const QString& raw, line_end convention);

// The position in the document text of the logic's position `index` in
// `value`: a CR LF break counts once, a character beyond the 16-bit range
// twice. A position between the CR and the LF of a CR LF break maps to after
// the break.
int document_position(text_view value, std::size_t index, line_end convention);

// The logic's position of a document position (the inverse of the above).
std::size_t logic_position(text_view value, int position, line_end convention);

// True when position `index` of `value` lies between the CR and the LF of a
// CR LF break, where an edit would split or join a break.
bool inside_line_break(text_view value, std::size_t index, line_end convention);

// Plain conversions for single-line boxes and captions.
QString qt_text(text_view value);
text from_qt(const QString& value);

}  // namespace zr
