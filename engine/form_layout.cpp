#include "engine/form_layout.h"

#include <limits>
#include <utility>

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/messages.h"
#include "engine/variables.h"

namespace zr {

namespace {

constexpr text_view shade_colour = U"#aaaaaa";

// Everything one layout works on. The arrays have the fixed capacities of
// the form constructor; every access is checked, so a form over the limits
// fails with the index-range error instead of writing past an array.
struct layout {
  form_description form;
  std::vector<std::int32_t> right = std::vector<std::int32_t>(max_control_number + 1);
  std::vector<std::int32_t> bottom = std::vector<std::int32_t>(max_control_number + 1);
  // -1: container; 0: a cell of its own; k > 0: inside control k's cell.
  std::vector<std::int16_t> cell_owner = std::vector<std::int16_t>(max_control_number + 1);
  std::vector<std::int16_t> col_span = std::vector<std::int16_t>(max_control_number + 1);
  std::vector<std::int16_t> row_span = std::vector<std::int16_t>(max_control_number + 1);
  std::vector<std::int32_t> w_grid = std::vector<std::int32_t>(max_grid_line + 1);
  std::vector<std::int32_t> h_grid = std::vector<std::int32_t>(max_grid_line + 1);
  int w_lines = 0;
  int h_lines = 0;
  std::int16_t grid_cols = 0;
  std::int16_t grid_rows = 0;
  // By (column, row): 0 free, +k the corner of control k's cell, -k covered by it.
  std::vector<std::vector<std::int16_t>> cell_grid = std::vector<std::vector<std::int16_t>>(
      max_grid_cell + 1, std::vector<std::int16_t>(max_grid_cell + 1));
  std::vector<std::vector<text>> cell_shade =
      std::vector<std::vector<text>>(max_grid_cell + 1, std::vector<text>(max_grid_cell + 1));
  std::vector<std::int32_t> w_gab = std::vector<std::int32_t>(max_grid_cell + 1);
  std::vector<std::int32_t> h_gab = std::vector<std::int32_t>(max_grid_cell + 1);
  std::int16_t cells = 0;
  std::int16_t nested = 0;
  std::int16_t containers = 0;
  int scaling_counter = 0;  // the loop counter the scaling context quotes

  explicit layout(form_description described) : form(std::move(described)) {}

  int count() const { return form.count; }
  control_record& control(int i) { return checked_at(form.controls, i); }
  std::int16_t& cell(int c, int r) { return checked_at(checked_at(cell_grid, c), r); }
  text& shade(int c, int r) { return checked_at(checked_at(cell_shade, c), r); }
};

// A 32-bit sum; the overflow error outside the range.
std::int32_t long_sum(std::int32_t a, std::int32_t b) {
  long long sum = static_cast<long long>(a) + b;
  if (sum < std::numeric_limits<std::int32_t>::min() ||
      sum > std::numeric_limits<std::int32_t>::max())
    raise_platform_error(error_number::overflow);
  return static_cast<std::int32_t>(sum);
}

// Runs one phase of the layout; a failure leaves with the phase's context.
template <class Body>
void in_phase(text_view context, Body&& body) {
  try {
    body();
  } catch (...) {
    raise_with_context(context);
  }
}

// One line per control: title, close corner (a, c) and far corner (b, d).
void dump_corners(engine_state& state, layout& l, text_view title,
                  const std::vector<std::int32_t>& a, const std::vector<std::int32_t>& b,
                  const std::vector<std::int32_t>& c, const std::vector<std::int32_t>& d) {
  for (int i = 1; i <= l.count(); ++i) {
    text line(title);
    line += U" close corner=" + number_text(checked_at(a, i)) + U",  " +
            number_text(checked_at(c, i)) + U"  " + U" far=" + number_text(checked_at(b, i)) +
            U",  " + number_text(checked_at(d, i));
    send_line(state, line);
  }
}

void dump_list(engine_state& state, text_view title, const std::vector<std::int32_t>& list,
               int count) {
  send_line(state, title);
  for (int i = 1; i <= count; ++i)
    send_line(state, U"element(" + number_text(i) + U") = " + number_text(checked_at(list, i)));
}

// The fields of the records as columns, for the corner listings.
std::vector<std::int32_t> field_column(layout& l, std::int32_t control_record::*field) {
  std::vector<std::int32_t> column(max_control_number + 1);
  for (int i = 1; i <= l.count(); ++i)
    checked_at(column, i) = l.control(i).*field;
  return column;
}

// Steps 1-3 up to the first sort: the grid lines from every control's edges.
void draw_grid_lines(engine_state& state, layout& l) {
  const bool debug = state.flags.debug_on;
  if (debug)
    dump_corners(state, l, U" controls are just read; far means size: ",
                 field_column(l, &control_record::lef), l.right,
                 field_column(l, &control_record::wid), field_column(l, &control_record::height));
  l.w_grid[1] = 0;
  l.h_grid[1] = 0;
  l.w_lines = 1;
  l.h_lines = 1;
  for (int i = 1; i <= l.count(); ++i) {
    control_record& k = l.control(i);
    if (k.wid < 0) k.wid = 1;
    if (k.height < 0) k.height = 1;
    checked_at(l.right, i) = long_sum(k.wid, k.lef);
    checked_at(l.bottom, i) = long_sum(k.height, k.top);
    checked_at(l.w_grid, ++l.w_lines) = k.lef;
    checked_at(l.w_grid, ++l.w_lines) = l.right[i];
    checked_at(l.h_grid, ++l.h_lines) = k.top;
    checked_at(l.h_grid, ++l.h_lines) = l.bottom[i];
  }
  if (debug) {
    dump_corners(state, l, U" controls scaled: ", field_column(l, &control_record::lef), l.right,
                 field_column(l, &control_record::top), l.bottom);
    dump_list(state, U"before order w", l.w_grid, l.w_lines);
    dump_list(state, U"before order h", l.h_grid, l.h_lines);
  }
  sort_ascending(l.w_grid, l.w_lines);
  sort_ascending(l.h_grid, l.h_lines);
  if (debug) {
    dump_list(state, U"after order w", l.w_grid, l.w_lines);
    dump_list(state, U"after order h", l.h_grid, l.h_lines);
  }
}

// Step 3 from the duplicates on: the distinct lines give the grid.
void make_grid(engine_state& state, layout& l) {
  l.w_lines = drop_duplicates(l.w_grid, l.w_lines);
  l.h_lines = drop_duplicates(l.h_grid, l.h_lines);
  l.grid_cols = static_cast<std::int16_t>(l.w_lines - 1);
  l.grid_rows = static_cast<std::int16_t>(l.h_lines - 1);
  if (state.flags.debug_on) {
    dump_list(state, U"after duplicates off", l.w_grid, l.w_lines);
    dump_list(state, U"after duplicates off", l.h_grid, l.h_lines);
  }
}

// Step 4: containers get no cell of their own.
void mark_containers(engine_state& state, layout& l) {
  for (int i = 1; i <= l.count(); ++i) {
    if (l.control(i).is_container) {
      checked_at(l.cell_owner, i) = -1;
      ++l.containers;
      debug_line(state, U" container " + number_text(i));
    } else {
      checked_at(l.cell_owner, i) = 0;
      debug_line(state, U" not a container " + number_text(i));
    }
  }
}

// Step 5.
void clear_cells(layout& l) {
  for (int c = 0; c <= l.grid_cols; ++c) {
    for (int r = 0; r <= l.grid_rows; ++r) {
      l.cell(c, r) = 0;
      l.shade(c, r).clear();
    }
  }
}

// Step 6 for a control that gets a cell at grid point (c, r): its spans, and
// every grid point the cell covers marked with -k, the corner with +k.
void give_cell(engine_state& state, layout& l, int k, int c, int r) {
  ++l.cells;
  const control_record& control = l.control(k);
  std::int16_t cols = 0;
  for (int i = c; i <= l.w_lines; ++i)
    if (checked_at(l.w_grid, i) < l.right[k]) ++cols;
  std::int16_t rows = 0;
  for (int i = r; i <= l.h_lines; ++i)
    if (checked_at(l.h_grid, i) < l.bottom[k]) ++rows;
  l.col_span[k] = cols;
  l.row_span[k] = rows;
  for (int ci = c; ci <= l.w_lines && l.w_grid[ci] < l.right[k]; ++ci)
    for (int ri = r; ri <= l.h_lines && l.h_grid[ri] < l.bottom[k]; ++ri)
      l.cell(ci, ri) = static_cast<std::int16_t>(-k);
  l.cell(c, r) = static_cast<std::int16_t>(k);
  if (state.flags.debug_on) {
    send_line(state, U" control in order#=" + number_text(k) + U" close corner=" +
                         number_text(control.lef) + U"," + number_text(control.top) + U" rows=" +
                         number_text(rows) + U" cols=" + number_text(cols));
    send_line(state, U" h_grid(" + number_text(r) + U")=" + number_text(l.h_grid[r]) +
                         U"  w_grid(" + number_text(c) + U")=" + number_text(l.w_grid[c]));
  }
}

// Step 6: visits the grid points row by row; the first control whose corner
// lies on a free point gets a cell there, a control whose corner lies on or
// under a cell goes into that cell.
void place_controls(engine_state& state, layout& l) {
  for (int r = 1; r <= l.grid_rows; ++r) {
    for (int c = 1; c <= l.grid_cols; ++c) {
      for (int k = 1; k <= l.count(); ++k) {
        const control_record& control = l.control(k);
        if (control.top != l.h_grid[r] || control.lef != l.w_grid[c] ||
            checked_at(l.cell_owner, k) != 0)
          continue;
        const std::int16_t g = l.cell(c, r);
        if (g == 0) {
          give_cell(state, l, k, c, r);
        } else {
          l.cell_owner[k] = static_cast<std::int16_t>(g > 0 ? g : -g);
          ++l.nested;
        }
      }
    }
  }
}

// Step 7: every control is a cell, nested in one, or a container.
void check_cells(layout& l) {
  if (l.cells != l.count() - l.nested - l.containers)
    raise_engine_error(U"error of ordering controls ... ");
}

// Step 8: the grid points under each container are shaded.
void shade_containers(engine_state& state, layout& l) {
  for (int k = 1; k <= l.count(); ++k) {
    if (checked_at(l.cell_owner, k) != -1) continue;
    const control_record& container = l.control(k);
    for (int c = 1; c <= l.grid_cols; ++c) {
      const std::int32_t x = l.w_grid[c];
      if (x < container.lef || x >= l.right[k]) continue;
      for (int r = 1; r <= l.grid_rows; ++r) {
        const std::int32_t y = l.h_grid[r];
        if (y < container.top || y >= l.bottom[k]) continue;
        l.shade(c, r) = shade_colour;
        if (state.flags.debug_on)
          send_line(state, U"inside ... =" + number_text(container.lef) + U" " + number_text(x) +
                               U" " + number_text(l.right[k]) + U"   " + text(text_crlf) +
                               number_text(container.top) + U" " + number_text(y) + U"  " +
                               number_text(l.bottom[k]));
      }
    }
  }
}

// Rounds a scaled size; never below 1.
std::int32_t scaled_size(double value) {
  std::int32_t size = to_int32(value);
  return size < 1 ? 1 : size;
}

// Step 9: positions, sizes and the grid's gaps in browser units. The grid
// lines themselves stay in form units: the placement is already done.
void scale_cells(engine_state& state, layout& l) {
  const double w_scale = l.form.w_scale;
  const double h_scale = l.form.h_scale;
  for (int i = 1; i <= l.count(); ++i) {
    l.scaling_counter = i;
    control_record& control = l.control(i);
    control.lef = to_int32(control.lef * w_scale);
    control.top = to_int32(control.top * h_scale);
    control.height = scaled_size(control.height * h_scale);
    control.wid = scaled_size(control.wid * w_scale);
    l.right[i] = long_sum(control.lef, control.wid);
    l.bottom[i] = long_sum(control.top, control.height);
    if (state.flags.debug_on)
      send_line(state, U" controls after scaling to a browser: " + number_text(control.lef) +
                           U"  " + number_text(control.top) + U"  " + U" far corner=" +
                           number_text(l.right[i]) + U"  " + number_text(l.bottom[i]));
  }
  for (int c = 1; c <= l.grid_cols; ++c) {
    l.scaling_counter = c;
    checked_at(l.w_gab, c) =
        scaled_size((static_cast<double>(l.w_grid[c + 1]) - l.w_grid[c]) * w_scale);
  }
  for (int r = 1; r <= l.grid_rows; ++r) {
    l.scaling_counter = r;
    checked_at(l.h_gab, r) =
        scaled_size((static_cast<double>(l.h_grid[r + 1]) - l.h_grid[r]) * h_scale);
  }
}

// The context of a scaling failure: the scales and what the failing loop's
// counter i addresses. A counter past an array reads 0 here, so building
// the context can never fail itself.
text scaling_context(layout& l) {
  const int i = l.scaling_counter;
  auto at = [](const std::vector<std::int32_t>& list, int index) -> long long {
    return index >= 0 && index < static_cast<int>(list.size()) ? list[index] : 0;
  };
  const bool in_controls = i >= 0 && i <= max_control_number;
  const control_record none;
  const control_record& control = in_controls ? l.form.controls[i] : none;
  text context = U"when_scaling_cells in `construct_form` module";
  context += text_crlf;
  context +=
      U" w_scale=" + real_text(l.form.w_scale, 15) + U" h_scale=" + real_text(l.form.h_scale, 15);
  context += text_crlf;
  context += U"lef(" + number_text(i) + U")=" + number_text(control.lef) + U" top(i)=" +
             number_text(control.top);
  context += text_crlf;
  context += U"height(i)=" + number_text(control.height) + U" wid(i)=" + number_text(control.wid);
  context += text_crlf;
  context += U"w_gab(i)=" + number_text(at(l.w_gab, i)) + U" w_grid(i+1)=" +
             number_text(at(l.w_grid, i + 1)) + U" ... ";
  return context;
}

// The cell head of control g at (c, r), then every control nested in its
// cell: an over block for those that are not menu items, and its text.
void write_cell(layout& l, int g, int c, int r, text& table) {
  const control_record& owner = l.control(g);
  if (!owner.is_menu_item() || owner.menu_parent == l.form.sssstart) {
    table += U"\\D" + l.shade(c, r) + U"c" + number_text(checked_at(l.col_span, g)) + U"w" +
             number_text(owner.wid) + U"r" + number_text(checked_at(l.row_span, g)) + U"h" +
             number_text(owner.height) + U"  ";
    table += text_crlf;
    table += U"<! " + owner.ctype + U" >";
    table += text_crlf;
    table += owner.control;
    table += text_crlf;
  }
  for (int k = 1; k <= l.count(); ++k) {
    if (checked_at(l.cell_owner, k) != g) continue;
    const control_record& inner = l.control(k);
    if (!inner.is_menu_item()) {
      table += U"\\Fs1  ";
      table += text_crlf;
      table += U" over ... ";
      table += text_crlf;
      table += U" type=" + inner.ctype;
      table += text_crlf;
      table += U" name=" + inner.cname;
      table += text_crlf;
      table += U"F\\ ";
    }
    table += inner.control;
    table += text_crlf;
  }
}

// Step 10: the table text. Without exact_grid the first row gets a filler at
// every free point (it fixes the column widths) and a later row at most one,
// before its first cell, so the row is not empty.
text table_text(engine_state& state, layout& l) {
  const std::int16_t bold = int16_of_text(imbedded_number(state, U"bold"));
  text table = U"\\Tp0s0b" + number_text(bold) + U"RD   ";
  table += text_crlf;
  for (int r = 1; r <= l.grid_rows; ++r) {
    table += U" R\\\\R  ";
    bool row_has_cell = false;
    for (int c = 1; c <= l.grid_cols; ++c) {
      const std::int16_t g = l.cell(c, r);
      if (g > 0) {
        row_has_cell = true;
        write_cell(l, g, c, r, table);
      } else if (g == 0 && (l.form.exact_grid || r == 1 || !row_has_cell)) {
        if (!l.form.exact_grid) row_has_cell = true;
        table += U"\\D" + l.shade(c, r) + U"w" + number_text(checked_at(l.w_gab, c)) + U"h" +
                 number_text(checked_at(l.h_gab, r)) + U"\\-";
      }
    }
  }
  table += U"  T\\";
  return table;
}

}  // namespace

control_record& add_control(form_description& form) {
  control_record& record = checked_at(form.controls, form.count + 1);
  ++form.count;
  return record;
}

void sort_ascending(std::vector<std::int32_t>& list, int count) {
  for (int i = 1; i <= count; ++i)
    for (int j = i; j <= count; ++j)
      if (checked_at(list, i) > checked_at(list, j)) std::swap(list[i], list[j]);
}

int drop_duplicates(std::vector<std::int32_t>& list, int count) {
  int kept = 1;
  for (int i = 2; i <= count; ++i) {
    if (checked_at(list, i) != checked_at(list, kept)) checked_at(list, ++kept) = list[i];
  }
  return kept;
}

text lay_out_form(engine_state& state, form_description form, text_view grid_context) {
  layout l(std::move(form));
  in_phase(grid_context, [&] { draw_grid_lines(state, l); });
  in_phase(U"after_ordering in `construct_form` module", [&] {
    make_grid(state, l);
    mark_containers(state, l);
    clear_cells(l);
    place_controls(state, l);
    check_cells(l);
  });
  in_phase(U"after_controls_ordering in `construct_form` module",
           [&] { shade_containers(state, l); });
  try {
    scale_cells(state, l);
  } catch (...) {
    raise_with_context(scaling_context(l));
  }
  text table;
  in_phase(table_context, [&] { table = table_text(state, l); });
  return table;
}

}  // namespace zr
