// The C interface over zrcomp.
#include "engine/zrdll_c.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "common/errors.h"
#include "engine/zrcomp.h"

struct zrcomp_handle {
  zr::zrcomp engine;
};

namespace {

class c_output : public zr::output_object {
 public:
  c_output(zrcomp_writes_fn writes, void* context) : writes_(writes), context_(context) {}
  void writes(const std::string& message) override { writes_(context_, message.c_str()); }

 private:
  zrcomp_writes_fn writes_;
  void* context_;
};

char* copy_text(const std::string& s) {
  char* copy = static_cast<char*>(std::malloc(s.size() + 1));
  if (copy) std::memcpy(copy, s.c_str(), s.size() + 1);
  return copy;
}

}  // namespace

extern "C" {

zrcomp_handle* zrcomp_create(void) {
  return new (std::nothrow) zrcomp_handle;
}

void zrcomp_destroy(zrcomp_handle* engine) {
  delete engine;
}

void zrcomp_give_write_method(zrcomp_handle* engine, zrcomp_writes_fn writes, void* context) {
  std::shared_ptr<zr::output_object> out;
  if (writes) out = std::make_shared<c_output>(writes, context);
  engine->engine.give_write_method(std::move(out));
}

void zrcomp_set_event_pump(zrcomp_pump_fn pump, void* context) {
  if (pump)
    zr::set_event_pump([pump, context] { pump(context); });
  else
    zr::set_event_pump(nullptr);
}

int zrcomp_translate(zrcomp_handle* engine, const char* schema, const char* source, char** result,
                     int* error_number, char** error_description) {
  *result = nullptr;
  *error_number = 0;
  *error_description = nullptr;
  try {
    std::optional<std::string> text = engine->engine.translate(schema, source);
    if (!text) return ZRCOMP_NO_VALUE;
    *result = copy_text(*text);
    return ZRCOMP_RESULT;
  } catch (const zr::zrcomp_error& e) {
    *error_number = e.number();
    *error_description = copy_text(e.description());
  } catch (const std::exception& e) {
    *error_number = zr::error_number::internal;
    *error_description = copy_text(e.what());
  }
  return ZRCOMP_ERROR;
}

void zrcomp_free_text(char* text) {
  std::free(text);
}

void zrcomp_suspend_dialog_and_schema(zrcomp_handle* engine) {
  engine->engine.suspend_dialog_and_schema();
}

void zrcomp_steps(zrcomp_handle* engine) {
  engine->engine.steps();
}

int zrcomp_are_steps_on(const zrcomp_handle* engine) {
  return engine->engine.are_steps_on();
}

int zrcomp_is_debug_on(const zrcomp_handle* engine) {
  return engine->engine.is_debug_on();
}

void zrcomp_user_terminated(zrcomp_handle* engine) {
  engine->engine.user_terminated();
}

int zrcomp_reset_debug(zrcomp_handle* engine) {
  return engine->engine.reset_debug();
}

void zrcomp_set_run_limits(zrcomp_handle* engine, double timeout_seconds, long long max_steps,
                           long long max_memory_mb) {
  zr::run_limits limits{timeout_seconds, max_steps, max_memory_mb};
  if (max_memory_mb < 0) limits.max_memory_mb = zr::default_memory_limit_mb();
  engine->engine.set_run_limits(limits);
}

int zrcomp_last_failure(const zrcomp_handle* engine, int* in_schema, long long* line,
                        long long* column, char** message) {
  std::optional<zr::failure_location> where = engine->engine.last_failure();
  if (!where) return 0;
  *in_schema = where->in_schema;
  *line = where->line;
  *column = where->column;
  *message = copy_text(where->message);
  return 1;
}

}  // extern "C"
