// The custom-action dispatcher: statements the interpreter does not know.
// Besides a console test it holds the form constructor, which reads a form
// description from the variables and the value stack, turns its menus into
// drop-down lists and stores the form's layout as a table text.
#pragma once

#include <cstdint>

#include "common/text.h"

namespace zr {

struct engine_state;
struct form_description;

// Runs the custom action the statement names ("hello", "construct_form");
// raises "custom action `statement` found in schema does not exist ..." for
// any other name.
void actc(engine_state& state, text_view statement);

// Reads the form described by the variables "sssstart", "tip", "round", "w",
// "h", "browser_width", "browser_height", "exact_grid" and the control
// segments sssstart + 1 .. tip of the value stack, lays it out and stores the
// table text, begun with the value of "bold", in the variable "table". A failure keeps its number
// and gains the context of the phase it happened in.
void construct_form(engine_state& state);

// Turns each top-level menu item (parent: the form's own segment) into a
// drop-down list of its direct items, side by side in a row of menus of
// menu_w x menu_h at the top; the other menu items become 1 x 1 containers
// at the corner and every other control moves down below the menu row.
void turn_menus_into_lists(engine_state& state, form_description& form, std::int32_t menu_w,
                           std::int32_t menu_h);

}  // namespace zr
