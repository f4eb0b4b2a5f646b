#include "engine/zrcomp.h"

#include "common/text.h"
#include "engine/engine_state.h"
#include "engine/flags.h"
#include "engine/translate.h"
#include "engine/translation_loop.h"

namespace zr {

output_object::~output_object() = default;

zrcomp_error::zrcomp_error(int number, const std::string& description)
    : std::runtime_error(description), number_(number), description_(description) {}

zrcomp_error::~zrcomp_error() = default;

void set_event_pump(std::function<void()> pump) {
  thread_engine_state()->event_pump = std::move(pump);
}

zrcomp::zrcomp() : state_(thread_engine_state()) {}

zrcomp::~zrcomp() = default;

std::optional<std::string> zrcomp::translate(const std::string& schema, const std::string& source) {
  return zr::translate_utf8(*state_, schema, source);
}

void zrcomp::give_write_method(std::shared_ptr<output_object> out_put_object) {
  state_->output = std::move(out_put_object);
}

void zrcomp::suspend_dialog_and_schema() {
  zr::suspend_dialog_and_schema(*state_);
}

void zrcomp::steps() {
  set_steps(*state_, true);
}

bool zrcomp::are_steps_on() const {
  return state_->flags.steps_on;
}

bool zrcomp::is_suspended() const {
  return state_->flags.suspended;
}

failure_location zrcomp::current_location() const {
  return locate_failure(*state_);
}

long long zrcomp::dialog_steps() const {
  return state_->run.phase == run_state::reading::source ? state_->dialog.step_counter : 0;
}

bool zrcomp::is_debug_on() const {
  return state_->flags.debug_on;
}

void zrcomp::user_terminated() {
  state_->flags.terminate_requested = true;
}

bool zrcomp::reset_debug() {
  return toggle_debug(*state_);
}

void zrcomp::set_run_limits(const run_limits& limits) {
  state_->limits.limits = limits;
}

run_limits zrcomp::limits() const {
  return state_->limits.limits;
}

std::vector<failure_location> zrcomp::schema_warnings() const {
  return zr::schema_warnings(*state_);
}

std::optional<failure_location> zrcomp::last_failure() const {
  return state_->run.failure;
}

}  // namespace zr
