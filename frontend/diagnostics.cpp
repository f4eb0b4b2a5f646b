#include "frontend/diagnostics.h"

#include <algorithm>

#include "frontend/pane_files.h"

namespace zr {

namespace {

// The decimal number that ends `field`, if all of it is digits.
std::optional<long long> number_of(text_view field) {
  if (field.empty() || field.size() > 18) return std::nullopt;
  long long value = 0;
  for (char32_t c : field) {
    if (c < U'0' || c > U'9') return std::nullopt;
    value = value * 10 + (c - U'0');
  }
  return value;
}

}  // namespace

text failure_line(const frontend& fe, const failure_location& where) {
  return from_utf8(
      location_line(where, to_utf8(fe.state.schema_file.path), to_utf8(fe.state.source_file.path)));
}

std::optional<text_place> place_at(text_view console, std::size_t position) {
  position = std::min(position, console.size());
  std::size_t start = 0;
  if (position > 0) {
    std::size_t feed = console.rfind(U'\n', position - 1);
    if (feed != text_view::npos) start = feed + 1;
  }
  std::size_t end = console.find_first_of(U"\r\n", start);
  text_view line = console.substr(start, end == text_view::npos ? text_view::npos : end - start);
  std::size_t kind = std::min(line.find(U": error: "), line.find(U": warning: "));
  if (kind == text_view::npos) return std::nullopt;
  text_view head = line.substr(0, kind);
  std::size_t second = head.rfind(U':');
  if (second == text_view::npos || second == 0) return std::nullopt;
  std::size_t first = head.rfind(U':', second - 1);
  if (first == text_view::npos || first == 0) return std::nullopt;
  std::optional<long long> row = number_of(head.substr(first + 1, second - first - 1));
  std::optional<long long> column = number_of(head.substr(second + 1));
  if (!row || !column) return std::nullopt;
  return text_place{text(head.substr(0, first)), *row, *column};
}

std::size_t position_of(text_view contents, long long line, long long column) {
  std::size_t at = 0;
  for (long long k = 1; k < line; ++k) {
    std::size_t feed = contents.find(U'\n', at);
    if (feed == text_view::npos) return contents.size();
    at = feed + 1;
  }
  std::size_t line_end = contents.find_first_of(U"\r\n", at);
  if (line_end == text_view::npos) line_end = contents.size();
  std::size_t wanted = at + static_cast<std::size_t>(std::max(column, 1LL) - 1);
  return std::min(wanted, line_end);
}

void go_to_diagnostic(frontend& fe, control view) {
  const text console = fe.ui.box_text(view);
  std::optional<text_place> place = place_at(console, fe.ui.caret_position(view));
  if (!place) return;
  for (file_pane pane : file_panes) {
    if (record_of(fe, pane).path != place->file) continue;
    const text contents = pane_text(fe, pane);
    std::size_t at = position_of(contents, place->line, place->column);
    bool in_editor = fe.editor.current_text == (pane == file_pane::schema ? U"schema" : U"source");
    control box = in_editor ? control::txtEdit : box_of(pane);
    // One character is selected, so the place shows even at a line's end.
    fe.ui.set_selection(box, at, 1);
    fe.ui.set_focus(box);
    return;
  }
}

}  // namespace zr
