// The schema reader: header directives, end markers, the schema loop; nest
// headers and event lines go to the registration, the finished table to the
// indexing step.
#pragma once

#include "common/text.h"

namespace zr {

struct engine_state;

// Reads run.source_text (the schema text) into the schema table. Failures
// carry the context "in module "schema"" and the reader's locator. Debug is
// off when it returns.
void read_schema(engine_state& state);

// Prepares run.source_text for reading: end_of_text false, text_length, no
// last printed text, the first line current. The scan position stays.
void start_text(engine_state& state);

}  // namespace zr
