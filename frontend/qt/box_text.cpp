#include "frontend/qt/box_text.h"

#include <QList>

namespace zr {

namespace {

constexpr char32_t paragraph_break = 0x2029;
constexpr char32_t line_separator = 0x2028;
constexpr char32_t carriage_return_symbol = 0x240D;

bool crlf_at(text_view value, std::size_t k) {
  return value[k] == U'\r' && k + 1 < value.size() && value[k + 1] == U'\n';
}

}  // namespace

QString document_text(text_view value) {
  text mapped;
  mapped.reserve(value.size());
  for (std::size_t k = 0; k < value.size(); ++k) {
    if (crlf_at(value, k)) {
      mapped += paragraph_break;
      ++k;
    } else if (value[k] == U'\n') {
      mapped += line_separator;
    } else if (value[k] == U'\r') {
      mapped += carriage_return_symbol;
    } else {
      mapped += value[k];
    }
  }
  return qt_text(mapped);
}

text logic_text(const QString& raw) {
  text value;
  for (char32_t c : from_qt(raw)) {
    switch (c) {
      case paragraph_break:
        value += U"\r\n";
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

int document_position(text_view value, std::size_t index) {
  int position = 0;
  for (std::size_t k = 0; k < index && k < value.size(); ++k) {
    if (crlf_at(value, k)) ++k;
    position += value[k] > 0xFFFF ? 2 : 1;
  }
  return position;
}

bool inside_line_break(text_view value, std::size_t index) {
  return index > 0 && index < value.size() && crlf_at(value, index - 1);
}

QString qt_text(text_view value) {
  return QString::fromUcs4(value.data(), static_cast<qsizetype>(value.size()));
}

text from_qt(const QString& value) {
  QList<uint> codes = value.toUcs4();
  return text(codes.begin(), codes.end());
}

}  // namespace zr
