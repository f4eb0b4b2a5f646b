#include "engine/custom_actions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "common/checked.h"
#include "common/easylife.h"
#include "common/errors.h"
#include "engine/engine_state.h"
#include "engine/flags.h"
#include "engine/form_layout.h"
#include "engine/messages.h"
#include "engine/variables.h"

namespace zr {

namespace {

constexpr text_view reading_context =
    U"error_when_reading_collected_values in `construct_form` module";
constexpr text_view menu_context = U"handling_collected_menu in `construct_form` module";

// Offsets of a control's fields in its stack segment. Offset 7 holds a
// field the layout does not use.
enum field_offset : int {
  type_field = 0,
  name_field = 1,
  control_field = 2,
  top_field = 3,
  left_field = 4,
  height_field = 5,
  width_field = 6,
  container_field = 8,
  menu_field = 9,
};

// A console test: the line "hello " and the argument. Debug is off afterwards,
// whatever it was before.
void hello(engine_state& state, text_view argument) {
  switch_debug_on(state);
  text line = U"hello ";
  line += argument;
  send_line(state, line);
  state.flags.debug_on = false;
}

// A variable read with imbedded_number, as a number.
std::int16_t number_variable(engine_state& state, text_view name) {
  return int16_of_text(imbedded_number(state, name));
}

// A variable's value as a floating-point number; the type-mismatch error
// when it is not a number.
double real_variable(engine_state& state, text_view name) {
  return numeric_value(vvv_value(state, name));
}

// What the reading phase finds besides the controls.
struct form_reading {
  form_description form;
  std::int16_t menus = 0;   // menu items read
  std::int32_t menu_w = 2;  // a top-level menu's size in form units
  std::int32_t menu_h = 2;
};

// A size of `base` form units after dividing by the divisor, at least 2.
std::int32_t menu_size(double base, double divisor) {
  return std::max(to_int32(base / divisor), 2);
}

// One control's segment read into the next record, normalised: positions
// and sizes divided by the divisor, positions at least 0, sizes at least 2.
void read_control(engine_state& state, form_reading& reading, int segment, double divisor) {
  control_record& record = add_control(reading.form);
  const long long base = static_cast<long long>(state.variables.zzz) * segment;
  auto field = [&](field_offset offset) { return base + offset; };
  auto scaled = [&](field_offset offset) {
    return to_int32(stack_number(state, field(offset)) / divisor);
  };
  record.top = std::max(scaled(top_field), 0);
  record.lef = std::max(scaled(left_field), 0);
  record.height = std::max(scaled(height_field), 2);
  record.wid = std::max(scaled(width_field), 2);
  record.control = stack_text(state, field(control_field));
  record.cname = stack_text(state, field(name_field));
  record.ctype = stack_text(state, field(type_field));
  if (record.is_menu_item()) ++reading.menus;
  record.is_container = stack_text(state, field(container_field)) == U"cont";
  if (record.control.empty())
    record.control = U"  control # " + number_text(reading.form.count) + U" `" + record.cname +
                     U"` of type `" + record.ctype + U"` is undescribed in the schema ... ";
  // Parent segment number times 100 plus the index among the siblings.
  const int menu = stack_number(state, field(menu_field));
  const int parent = static_cast<int>(std::floor(menu / 100.0));
  record.menu_parent = static_cast<std::int16_t>(parent);
  record.menu_index = static_cast<std::int16_t>(menu - parent * 100);
  debug_line(state, number_text(segment) + U"  control=" + record.control);
}

// The input variables, then every control segment from the one after the
// form's own to "tip".
form_reading read_form(engine_state& state) {
  if (state.flags.debug_on) dump_variables(state);
  form_reading reading;
  reading.form.sssstart = number_variable(state, U"sssstart");
  const int start = reading.form.sssstart + 1;
  const int last = number_variable(state, U"tip");
  if (start > last)
    raise_engine_error(U"end control segment `" + number_text(last) +
                       U"` < start contorl segment = `" + number_text(start) +
                       U"`, so number of controls is negative ...");

  // Small forms are kept at full resolution: dividing them would leave too
  // few distinct positions.
  double divisor = std::max(real_variable(state, U"round"), 1.0);
  const double form_w = real_variable(state, U"w");
  const double form_h = real_variable(state, U"h");
  std::int32_t w = to_int32(form_w / divisor);
  std::int32_t h = to_int32(form_h / divisor);
  if (w < 10 || h < 10) {
    divisor = 1;
    w = to_int32(form_w);
    h = to_int32(form_h);
  }
  debug_line(state, U"wsource_form=" + number_text(w) + U"   hsource_form=" + number_text(h));

  const std::int32_t browser_height = to_int32(real_variable(state, U"browser_height"));
  const std::int32_t browser_width = to_int32(real_variable(state, U"browser_width"));
  reading.form.exact_grid = number_variable(state, U"exact_grid") != 0;
  if (w == 0 || h == 0) raise_platform_error(error_number::division_by_zero);
  reading.form.w_scale = static_cast<double>(browser_width) / w;
  reading.form.h_scale = static_cast<double>(browser_height) / h;
  reading.menu_w = menu_size(300, divisor);
  reading.menu_h = menu_size(250, divisor);

  for (int segment = start; segment <= last; ++segment)
    read_control(state, reading, segment, divisor);
  return reading;
}

// One option of a drop-down list: its value is "N_MENUINDEX_CNAME".
void append_option(text& list, text_view n, const control_record& item) {
  list += U"<option value=\"";
  list += n;
  list += U"_";
  list += number_text(item.menu_index);
  list += U"_";
  list += item.cname;
  list += U"\"  >";
  list += item.control;
  list += U"</option>";
  list += text_lf;
}

// The drop-down list of top-level menu i: the menu itself as option 0, then
// every item whose parent is the menu's segment, in control order.
text menu_list(const form_description& form, int i) {
  const control_record& menu = checked_at(form.controls, i);
  const text quote = U"\"";
  text list = U"<select name=" + quote + menu.cname + U"_" + number_text(menu.menu_index) + quote +
              U" size=1>" + text(text_lf);
  append_option(list, U"0", menu);
  const int own_segment = form.sssstart + i;
  for (int j = 1; j <= form.count; ++j) {
    const control_record& item = checked_at(form.controls, j);
    if (!item.is_menu_item() || item.menu_parent != own_segment) continue;
    append_option(list, number_text(j), item);
  }
  list += U"</select>";
  list += text_lf;
  return list;
}

}  // namespace

void turn_menus_into_lists(engine_state& state, form_description& form, std::int32_t menu_w,
                           std::int32_t menu_h) {
  int top_level = 0;
  for (int i = 1; i <= form.count; ++i) {
    control_record& control = checked_at(form.controls, i);
    if (!control.is_menu_item()) {
      control.top += menu_h + 1;
    } else if (control.menu_parent == form.sssstart) {
      // Top-level menus stand side by side in one row at the top.
      control.control = menu_list(form, i);
      control.wid = menu_w;
      control.lef = top_level * menu_w;
      ++top_level;
      control.top = 0;
      control.height = menu_h;
      control.is_container = false;
    } else {
      // An item below the top shows only inside its parent's list.
      control.is_container = true;
      control.wid = 1;
      control.height = 1;
      control.lef = 0;
      control.top = 0;
    }
  }
  if (!state.flags.debug_on) return;
  for (int i = 1; i <= form.count; ++i) {
    const control_record& control = checked_at(form.controls, i);
    send_line(state, U" cname(" + number_text(i) + U")=`" + control.cname + U"`  control=`" +
                         control.control + U"` lef=" + number_text(control.lef) + U"  top=" +
                         number_text(control.top));
  }
}

void construct_form(engine_state& state) {
  form_reading reading;
  try {
    reading = read_form(state);
  } catch (...) {
    raise_with_context(reading_context);
  }
  text_view grid_context = reading_context;
  if (reading.menus > 0) {
    try {
      turn_menus_into_lists(state, reading.form, reading.menu_w, reading.menu_h);
    } catch (...) {
      raise_with_context(menu_context);
    }
    grid_context = menu_context;
  }
  const text table = lay_out_form(state, std::move(reading.form), grid_context);
  try {
    table_entry(state, vvv_index(state, U"table")).assign(table);
    debug_line(state, U"table=" + table);
  } catch (...) {
    raise_with_context(table_context);
  }
}

void actc(engine_state& state, text_view statement) {
  const char32_t separator = state.schema.header.external_proc_par;
  std::size_t p = statement.find(separator);
  text_view name = statement.substr(0, p);
  text_view argument = p == text_view::npos ? text_view() : statement.substr(p + 1);
  if (name == U"hello") {
    hello(state, argument);
    return;
  }
  if (name == U"construct_form") {
    construct_form(state);
    return;
  }
  text message = U"custom action `";
  message += statement;
  message += U"` found in schema does not exist ...";
  raise_engine_error(message);
}

}  // namespace zr
