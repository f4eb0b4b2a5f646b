#include "engine/zrcomp.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "common/errors.h"
#include "common/text.h"
#include "engine/engine_state.h"
#include "engine/flags.h"
#include "engine/limits.h"
#include "engine/translate.h"
#include "engine/translation_loop.h"

namespace zr {

output_object::~output_object() = default;

zrcomp_error::zrcomp_error(int number, const std::string& description)
    : std::runtime_error(description), number_(number), description_(description) {}

zrcomp_error::~zrcomp_error() = default;

void set_event_pump(std::function<void()> pump) {
  set_event_pump(std::move(pump), 1);
}

void set_event_pump(std::function<void()> pump, unsigned passes_per_call) {
  engine_state& state = *thread_engine_state();
  state.event_pump = std::move(pump);
  state.pump_passes_per_call = std::max(passes_per_call, 1u);
  state.pump_countdown = 1;  // the next yield calls it
}

// Which engine state an object steers: the state of its last translate, or
// of the thread that made it. Every state it has steered is kept alive with
// it, so a flag method racing with a translate on another thread never
// reaches a state that is gone.
struct zrcomp::binding {
  std::atomic<engine_state*> steered;
  std::mutex mutex;  // guards `kept`
  std::vector<std::shared_ptr<engine_state>> kept;

  explicit binding(std::shared_ptr<engine_state> home) : steered(home.get()) {
    kept.push_back(std::move(home));
  }

  void steer(const std::shared_ptr<engine_state>& state) {
    std::lock_guard lock(mutex);
    if (std::find(kept.begin(), kept.end(), state) == kept.end()) kept.push_back(state);
    steered.store(state.get(), std::memory_order_release);
  }
};

namespace {

// Marks the state as translating for the length of one translate.
class translating_scope {
 public:
  explicit translating_scope(engine_state& state) : state_(state) { state_.translating = true; }
  ~translating_scope() { state_.translating = false; }
  translating_scope(const translating_scope&) = delete;
  translating_scope& operator=(const translating_scope&) = delete;

 private:
  engine_state& state_;
};

}  // namespace

zrcomp::zrcomp() : binding_(std::make_unique<binding>(thread_engine_state())) {}

zrcomp::~zrcomp() = default;

engine_state& zrcomp::state() const {
  return *binding_->steered.load(std::memory_order_acquire);
}

std::optional<std::string> zrcomp::translate(const std::string& schema, const std::string& source) {
  return translate_on_thread_state(
      [&](engine_state& state) { return zr::translate_utf8(state, schema, source); });
}

std::optional<std::string> zrcomp::translate_in_place(const std::string& schema,
                                                      std::string& source) {
  return translate_on_thread_state(
      [&](engine_state& state) { return zr::translate_utf8_in_place(state, schema, source); });
}

std::optional<std::string> zrcomp::translate_on_thread_state(
    const std::function<std::optional<std::string>(engine_state&)>& run) {
  const std::shared_ptr<engine_state> state = thread_engine_state();
  // A translate from inside the running one's callbacks would reset the
  // state under it: it is refused, and the running one goes on untouched.
  if (state->translating)
    throw zrcomp_error(error_number::translation_running,
                       "a translation is already running on this thread");
  binding_->steer(state);
  translating_scope running(*state);
  // A stop request belongs to the run it was made for: one left over from
  // before this call must not end it.
  state->flags.terminate_requested = false;
  return run(*state);
}

void zrcomp::give_write_method(std::shared_ptr<output_object> out_put_object) {
  thread_engine_state()->output = std::move(out_put_object);
}

void zrcomp::suspend_dialog_and_schema() {
  zr::suspend_dialog_and_schema(state());
}

void zrcomp::steps() {
  set_steps(state(), true);
}

bool zrcomp::are_steps_on() const {
  return state().flags.steps_on;
}

bool zrcomp::is_suspended() const {
  return state().flags.suspended;
}

failure_location zrcomp::current_location() const {
  return locate_failure(state());
}

long long zrcomp::dialog_steps() const {
  return state().run.phase == run_state::reading::source ? state().dialog.step_counter : 0;
}

bool zrcomp::is_debug_on() const {
  return state().flags.debug_on;
}

void zrcomp::user_terminated() {
  state().flags.terminate_requested = true;
}

bool zrcomp::reset_debug() {
  return toggle_debug(state());
}

void zrcomp::set_run_limits(const run_limits& limits) {
  try {
    check_run_limits(limits);
  } catch (const engine_error& e) {
    throw zrcomp_error(e.number(), e.what());
  }
  thread_engine_state()->limits.limits = limits;
}

run_limits zrcomp::limits() const {
  return thread_engine_state()->limits.limits;
}

std::vector<failure_location> zrcomp::schema_warnings() const {
  return zr::schema_warnings(state());
}

std::optional<failure_location> zrcomp::last_failure() const {
  return state().run.failure;
}

std::optional<error_report> zrcomp::last_error() const {
  return state().run.error;
}

}  // namespace zr
