#include "frontend/qt/schema_highlighter.h"

#include <QRegularExpression>

namespace zr {

namespace {

QTextCharFormat make_format(QColor colour, bool bold = false, bool italic = false) {
  QTextCharFormat f;
  f.setForeground(colour);
  if (bold) f.setFontWeight(QFont::Bold);
  f.setFontItalic(italic);
  return f;
}

bool is_blank(QChar c) {
  return c.unicode() <= 32;
}

}  // namespace

schema_highlighter::schema_highlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
  formats_[static_cast<int>(part::comment)] = make_format(QColor(120, 120, 120), false, true);
  formats_[static_cast<int>(part::directive)] = make_format(QColor(0, 0, 160), true);
  formats_[static_cast<int>(part::nest_header)] = make_format(QColor(150, 0, 0), true);
  formats_[static_cast<int>(part::event_word)] = make_format(QColor(130, 0, 130));
  formats_[static_cast<int>(part::separator)] = make_format(QColor(0, 110, 130));
  formats_[static_cast<int>(part::text)] = make_format(QColor(0, 120, 0));
  formats_[static_cast<int>(part::statement)] = make_format(QColor(0, 70, 200));
}

const QTextCharFormat& schema_highlighter::format_of(part which) const {
  return formats_[static_cast<int>(which)];
}

void schema_highlighter::highlightBlock(const QString& line) {
  // Only this line is read: colouring costs the same whatever the text's size.
  qsizetype first = 0;
  while (first < line.size() && is_blank(line[first]))
    ++first;
  if (first == line.size()) return;
  if (line[first] == QLatin1Char('\'')) {
    setFormat(0, static_cast<int>(line.size()), format_of(part::comment));
    return;
  }
  if (line.mid(first).startsWith(QLatin1String("\\\\"))) {
    setFormat(0, static_cast<int>(line.size()), format_of(part::directive));
    return;
  }
  if (first == 0) {
    setFormat(0, static_cast<int>(line.size()), format_of(part::nest_header));
    return;
  }
  // An event line: its first word, then texts, quoted separators, statements
  // and a trailing comment.
  qsizetype end = first;
  while (end < line.size() && !is_blank(line[end]))
    ++end;
  setFormat(static_cast<int>(first), static_cast<int>(end - first), format_of(part::event_word));
  static const QRegularExpression rest(
      QStringLiteral("(`[^`]*`)|(\"[^\"]*\")|(\\.[A-Za-z_][A-Za-z0-9_]*)|(\\s'.*$)"));
  for (auto match = rest.globalMatch(line, end); match.hasNext();) {
    QRegularExpressionMatch m = match.next();
    part which = m.capturedLength(1) > 0   ? part::text
                 : m.capturedLength(2) > 0 ? part::separator
                 : m.capturedLength(3) > 0 ? part::statement
                                           : part::comment;
    setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()),
              format_of(which));
  }
}

}  // namespace zr
