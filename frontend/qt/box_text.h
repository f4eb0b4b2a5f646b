// The text of a multi-line box as the logic sees it and as a Qt text document
// holds it. A document has no carriage returns: it splits the text into
// blocks and gives back "\n" for every break. So that a box gives back exactly
// the text it was given, each kind of line break gets a character of its own
// in the document: CR LF a block break (U+2029), a lone LF a line separator
// inside the block (U+2028), a lone CR the symbol for carriage return (U+240D).
#pragma once

#include <QString>
#include <cstddef>

#include "common/text.h"

namespace zr {

// The logic's text as document text, line breaks mapped as above.
QString document_text(text_view value);

// The logic's text from a document's raw text (QTextDocument::toRawText).
text logic_text(const QString& raw);

// The position in the document text of the logic's position `index` in
// `value`: CR LF counts once, a character beyond the 16-bit range twice. A
// position between the CR and the LF of a CR LF maps to after the break.
int document_position(text_view value, std::size_t index);

// True when position `index` of `value` lies between the CR and the LF of a
// CR LF, where an edit would split or join a break.
bool inside_line_break(text_view value, std::size_t index);

// Plain conversions for single-line boxes and captions.
QString qt_text(text_view value);
text from_qt(const QString& value);

}  // namespace zr
