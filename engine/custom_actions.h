// The custom-action dispatcher: statements the interpreter does not know.
#pragma once

#include "common/text.h"

namespace zr {

struct engine_state;

// Runs the custom action the statement names ("hello", "construct_form");
// raises "custom action `statement` found in schema does not exist ..." for
// any other name.
void actc(engine_state& state, text_view statement);

}  // namespace zr
