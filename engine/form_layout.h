// The form layout: a grid derived from the edges of a form's controls, one
// cell per control (nested where a corner falls inside another's cell),
// shading under containers, scaling to the browser size, and the table text
// that describes the result in the compact table markup.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.h"

namespace zr {

struct engine_state;

// The control arrays hold control numbers 0..100 (1..count in use).
inline constexpr std::int16_t max_control_number = 100;
// The grid line lists hold positions 0..200 (1..count in use); each control
// adds two lines to the starting line 0, so at most 99 controls fit.
inline constexpr std::int16_t max_grid_line = 200;
// The cell grid holds columns and rows 0..100 (1..100 in use).
inline constexpr std::int16_t max_grid_cell = 100;

// The context of a failure while the table text is written and stored.
inline constexpr text_view table_context = U"after_scaling in `construct_form` module";

// The type that marks a menu item.
inline constexpr text_view menu_type = U"VB.Menu";

// One collected control of a form.
struct control_record {
  text ctype;    // the control's type
  text cname;    // the control's name
  text control;  // the text that stands for the control in the table
  std::int32_t lef = 0;
  std::int32_t top = 0;
  std::int32_t wid = 0;
  std::int32_t height = 0;
  bool is_container = false;     // shades the cells under it, gets no cell
  std::int16_t menu_parent = 0;  // menu items: the parent's segment number
  std::int16_t menu_index = 0;   // menu items: the index among siblings

  bool is_menu_item() const { return ctype == menu_type; }
};

// What the layout works on: the controls in segment order and the settings
// read with them.
struct form_description {
  std::vector<control_record> controls = std::vector<control_record>(max_control_number + 1);
  std::int16_t count = 0;     // controls 1..count
  std::int16_t sssstart = 0;  // segment number of the form itself
  bool exact_grid = false;    // every free grid point gets a filler cell
  double w_scale = 1;         // browser width / form width
  double h_scale = 1;         // browser height / form height
};

// The next control record of the form, numbered count + 1; raises the
// index-range error past control number 100 (the form keeps its controls).
control_record& add_control(form_description& form);

// Lays the form out and returns the table text. The border value of the table
// is the variable "bold", read when the table text is begun, so a "bold" that
// is not a number fails with the table text's context. Debug listings of every step
// go to the console while debug is on. Each phase re-raises a failure with
// its own context line; the grid lines and their first sort use
// `grid_context` (that of the phase that collected the controls). Raises
// "error of ordering controls ... " when the cells do not account for every
// control, and the index-range error for more than 99 controls or more than
// 100 grid columns or rows.
text lay_out_form(engine_state& state, form_description form, text_view grid_context);

// Selection sort of list(1..count) in place, ascending.
void sort_ascending(std::vector<std::int32_t>& list, int count);
// Drops repeated neighbours from the sorted list(1..count); returns the number
// of values kept.
int drop_duplicates(std::vector<std::int32_t>& list, int count);

}  // namespace zr
