// The translation run: resets the engine state, reads the schema, prepares
// the dialog and drives it, one step per event, carrying out each step's feed
// back command until the dialog says "end".
#pragma once

#include <vector>

#include "common/text.h"
#include "engine/zrcomp.h"

namespace zr {

struct engine_state;

// Resets the engine state for a run. Step mode and the output object stay.
void run_init(engine_state& state);

// The dialog starts: nest ("-r"), scan position 1, no step, streams closed,
// empty queue, a line prefix of CR LF, built-in variables reset.
void dialog_init(engine_state& state);

// line_prefix := CR LF and one indent body per "-s" state on the nest.
void make_line_prefix(engine_state& state);

// The run proper: reads run.schema_text, translates run.source (moved into
// run.source_text) and leaves the result in run.result. What compile adds
// is the error context: failures carry "in "compile" module" and "locator: "
// with the run's locator.
void compile(engine_state& state);

// The reader's warnings of the last schema read, placed in the schema text.
std::vector<failure_location> schema_warnings(const engine_state& state);

// Where the run was reading when it failed: the schema line being read, or
// the line and column of the scan position in the source.
failure_location locate_failure(const engine_state& state);

}  // namespace zr
