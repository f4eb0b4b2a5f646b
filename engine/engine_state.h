// The engine state: everything a translation works on, one per thread. Every
// zrcomp of a thread shares it; the modules' routines take it by reference.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "engine/dialog_state.h"
#include "engine/interpreter.h"
#include "engine/limits.h"
#include "engine/run.h"
#include "engine/schema_table.h"
#include "engine/streams.h"
#include "engine/tokenizer.h"
#include "engine/variables.h"
#include "engine/zrcomp.h"

namespace zr {

// The run flags. They are atomics so that another thread may stop, step or
// suspend a run that this thread is executing.
struct run_flags {
  std::atomic<bool> debug_on{false};
  std::atomic<bool> steps_on{false};
  std::atomic<bool> step_granted{false};
  std::atomic<bool> suspended{false};
  std::atomic<bool> terminate_requested{false};
};

struct engine_state {
  run_flags flags;
  std::shared_ptr<output_object> output;  // kept from run to run
  std::function<void()> event_pump;       // the host's yield callback
  unsigned pump_passes_per_call = 1;      // the pump is called at every this many yields
  unsigned pump_countdown = 1;            // yields until the pump is called next
  bool translating = false;               // a translate runs on this state now
  limits_state limits;
  run_state run;
  schema_table schema;
  reader_state reader;
  dialog_state dialog;
  tokenizer_state tokenizer;
  variable_table variables;
  stream_state streams;
  interpreter_state interpreter;
};

// The calling thread's engine state, made on first use.
std::shared_ptr<engine_state> thread_engine_state();

}  // namespace zr
