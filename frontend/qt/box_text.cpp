#include "frontend/qt/box_text.h"

#include <QList>

namespace zr {

namespace {

constexpr char32_t paragraph_break = 0x2029;
constexpr char32_t line_separator = 0x2028;
constexpr char32_t carriage_return_symbol = 0x240D;

// True when a CR LF break starts at k and CR LF is the convention.
bool crlf_break_at(text_view value, std::size_t k, line_end convention) {
  return convention == line_end::crlf && value[k] == U'\r' && k + 1 < value.size() &&
         value[k + 1] == U'\n';
}

int width_of(char32_t c) {
  return c > 0xFFFF ? 2 : 1;
}

}  // namespace

line_end line_end_of(text_view value, line_end otherwise) {
  std::size_t feed = value.find(U'\n');
  if (feed == text_view::npos) return otherwise;
  return feed > 0 && value[feed - 1] == U'\r' ? line_end::crlf : line_end::lf;
}

QString document_text(text_view value, line_end convention) {
  text mapped;
  mapped.reserve(value.size());
  for (std::size_t k = 0; k < value.size(); ++k) {
    if (crlf_break_at(value, k, convention)) {
      mapped += paragraph_break;
      ++k;
    } else if (value[k] == U'\n') {
      mapped += convention == line_end::lf ? paragraph_break : line_separator;
    } else if (value[k] == U'\r') {
      mapped += carriage_return_symbol;
    } else {
      mapped += value[k];
    }
  }
  return qt_text(mapped);
}

text logic_text(const QString& raw, line_end convention) {
  text value;
  value.reserve(static_cast<std::size_t>(raw.size()));
  for (char32_t c : from_qt(raw)) {
    switch (c) {
      case paragraph_break:
        value += convention == line_end::crlf ? U"\r\n" : U"\n";
        break;
      case line_separator:
        value += U'\n';
        break;
      case carriage_return_symbol:
        value += U'\r';
        break;
      default:
        value += c;
    }
  }
  return value;
}

int document_position(text_view value, std::size_t index, line_end convention) {
  int position = 0;
  for (std::size_t k = 0; k < index && k < value.size(); ++k) {
    if (crlf_break_at(value, k, convention)) ++k;
    position += width_of(value[k]);
  }
  return position;
}

std::size_t logic_position(text_view value, int position, line_end convention) {
  std::size_t k = 0;
  for (int at = 0; at < position && k < value.size(); ++k) {
    if (crlf_break_at(value, k, convention)) ++k;
    at += width_of(value[k]);
  }
  return k;
}

bool inside_line_break(text_view value, std::size_t index, line_end convention) {
  return index > 0 && index < value.size() && crlf_break_at(value, index - 1, convention);
}

QString qt_text(text_view value) {
  return QString::fromUcs4(value.data(), static_cast<qsizetype>(value.size()));
}

text from_qt(const QString& value) {
  QList<uint> codes = value.toUcs4();
  return text(codes.begin(), codes.end());
}

}  // namespace zr
