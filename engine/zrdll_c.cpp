// The C interface over zrcomp.
#include "engine/zrdll_c.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "common/errors.h"
#include "common/thread_storage.h"
#include "engine/zrcomp.h"

namespace {

// The host's callback as an output object. The handle that installed it
// detaches it when destroyed: the context may die with the handle, so a later
// run's messages go nowhere instead of into freed memory.
class c_output : public zr::output_object {
 public:
  c_output(zrcomp_writes_fn writes, void* context) : writes_(writes), context_(context) {}
  void writes(const std::string& message) override {
    if (zrcomp_writes_fn writes = writes_.load()) writes(context_, message.c_str());
  }
  void detach() { writes_ = nullptr; }

 private:
  std::atomic<zrcomp_writes_fn> writes_;
  void* context_;
};

// Messages of a run whose thread has no callback: the engine needs somewhere
// to send them, and the host reads the failure through zrcomp_last_error.
class no_output : public zr::output_object {
 public:
  void writes(const std::string&) override {}
};

char* copy_text(const std::string& s) {
  char* copy = static_cast<char*>(std::malloc(s.size() + 1));
  if (copy) std::memcpy(copy, s.c_str(), s.size() + 1);
  return copy;
}

void set_error(int* error_number, char** error_description, int number,
               const std::string& description) {
  if (error_number) *error_number = number;
  if (error_description) *error_description = copy_text(description);
}

}  // namespace

struct zrcomp_handle {
  zr::zrcomp engine;
  std::shared_ptr<c_output> installed;  // the callback this handle gave, if any
  // Whether the calling thread's state has a callback; the state does not
  // say, so every handle of the thread shares this record.
  static ZR_THREAD_LOCAL bool thread_has_output;
};

ZR_THREAD_LOCAL bool zrcomp_handle::thread_has_output = false;

extern "C" {

const char* zrdll_version(void) {
  return ZRDLL_VERSION_STRING;
}

zrcomp_handle* zrcomp_create(void) {
  try {
    return new zrcomp_handle;
  } catch (...) {
    return nullptr;
  }
}

void zrcomp_destroy(zrcomp_handle* engine) {
  if (!engine) return;
  if (engine->installed) engine->installed->detach();
  delete engine;
}

void zrcomp_give_write_method(zrcomp_handle* engine, zrcomp_writes_fn writes, void* context) {
  if (!engine) return;
  std::shared_ptr<c_output> out;
  if (writes) out = std::make_shared<c_output>(writes, context);
  engine->engine.give_write_method(out);
  engine->installed = std::move(out);
  zrcomp_handle::thread_has_output = writes != nullptr;
}

void zrcomp_set_event_pump(zrcomp_pump_fn pump, void* context) {
  if (pump)
    zr::set_event_pump([pump, context] { pump(context); });
  else
    zr::set_event_pump(nullptr);
}

int zrcomp_translate(zrcomp_handle* engine, const char* schema, const char* source, char** result,
                     int* error_number, char** error_description) {
  if (error_number) *error_number = 0;
  if (error_description) *error_description = nullptr;
  if (!engine || !schema || !source || !result) {
    if (result) *result = nullptr;
    return ZRCOMP_INVALID_ARGUMENT;
  }
  *result = nullptr;
  if (!zrcomp_handle::thread_has_output)
    engine->engine.give_write_method(std::make_shared<no_output>());
  try {
    std::optional<std::string> text = engine->engine.translate(schema, source);
    if (!text) return ZRCOMP_NO_VALUE;
    *result = copy_text(*text);
    if (!*result) {
      set_error(error_number, error_description, zr::error_number::out_of_memory, "Out of memory");
      return ZRCOMP_ERROR;
    }
    return ZRCOMP_RESULT;
  } catch (const zr::zrcomp_error& e) {
    set_error(error_number, error_description, e.number(), e.description());
  } catch (const std::bad_alloc&) {
    set_error(error_number, error_description, zr::error_number::out_of_memory, "Out of memory");
  } catch (const std::exception& e) {
    set_error(error_number, error_description, zr::error_number::internal, e.what());
  }
  return ZRCOMP_ERROR;
}

void zrcomp_free_text(char* text) {
  std::free(text);
}

void zrcomp_suspend_dialog_and_schema(zrcomp_handle* engine) {
  if (engine) engine->engine.suspend_dialog_and_schema();
}

void zrcomp_steps(zrcomp_handle* engine) {
  if (engine) engine->engine.steps();
}

int zrcomp_are_steps_on(const zrcomp_handle* engine) {
  return engine ? engine->engine.are_steps_on() : 0;
}

int zrcomp_is_suspended(const zrcomp_handle* engine) {
  return engine ? engine->engine.is_suspended() : 0;
}

int zrcomp_is_debug_on(const zrcomp_handle* engine) {
  return engine ? engine->engine.is_debug_on() : 0;
}

void zrcomp_user_terminated(zrcomp_handle* engine) {
  if (engine) engine->engine.user_terminated();
}

int zrcomp_reset_debug(zrcomp_handle* engine) {
  return engine ? engine->engine.reset_debug() : 0;
}

long long zrcomp_dialog_steps(const zrcomp_handle* engine) {
  return engine ? engine->engine.dialog_steps() : -1;
}

int zrcomp_set_run_limits(zrcomp_handle* engine, double timeout_seconds, long long max_steps,
                          long long max_memory_mb) {
  if (!engine) return ZRCOMP_INVALID_ARGUMENT;
  zr::run_limits limits{timeout_seconds, max_steps, max_memory_mb};
  if (max_memory_mb == ZRCOMP_DEFAULT_MEMORY) limits.max_memory_mb = zr::default_memory_limit_mb();
  try {
    engine->engine.set_run_limits(limits);
  } catch (const zr::zrcomp_error&) {
    return ZRCOMP_INVALID_ARGUMENT;
  }
  return ZRCOMP_RESULT;
}

int zrcomp_last_error(const zrcomp_handle* engine, zrcomp_error_info* info) {
  if (!engine || !info) return ZRCOMP_INVALID_ARGUMENT;
  std::optional<zr::error_report> error = engine->engine.last_error();
  std::optional<zr::failure_location> where = engine->engine.last_failure();
  if (!error || !where) return 0;
  info->number = error->number;
  info->stopped = error->cause == zr::stop_cause::host    ? ZRCOMP_STOPPED_BY_HOST
                  : error->cause == zr::stop_cause::limit ? ZRCOMP_STOPPED_BY_LIMIT
                                                          : ZRCOMP_FAILED;
  info->in_schema = where->in_schema;
  info->line = where->line;
  info->column = where->column;
  info->message = copy_text(where->message);
  info->report = copy_text(error->description);
  info->note_line = where->note_line;
  info->note_column = where->note_column;
  info->note = where->note_line > 0 ? copy_text(where->note) : nullptr;
  return 1;
}

void zrcomp_error_info_free(zrcomp_error_info* info) {
  if (!info) return;
  std::free(info->message);
  std::free(info->report);
  std::free(info->note);
  info->message = nullptr;
  info->report = nullptr;
  info->note = nullptr;
}

int zrcomp_last_failure(const zrcomp_handle* engine, int* in_schema, long long* line,
                        long long* column, char** message) {
  if (!engine || !in_schema || !line || !column || !message) return ZRCOMP_INVALID_ARGUMENT;
  std::optional<zr::failure_location> where = engine->engine.last_failure();
  if (!where) return 0;
  *in_schema = where->in_schema;
  *line = where->line;
  *column = where->column;
  *message = copy_text(where->message);
  return 1;
}

int zrcomp_warning_count(const zrcomp_handle* engine) {
  return engine ? static_cast<int>(engine->engine.schema_warnings().size()) : -1;
}

int zrcomp_warning(const zrcomp_handle* engine, int index, long long* line, long long* column,
                   char** message) {
  if (!engine || !line || !column || !message) return ZRCOMP_INVALID_ARGUMENT;
  const std::vector<zr::failure_location> warnings = engine->engine.schema_warnings();
  if (index < 0 || static_cast<std::size_t>(index) >= warnings.size()) return 0;
  const zr::failure_location& w = warnings[static_cast<std::size_t>(index)];
  *line = w.line;
  *column = w.column;
  *message = copy_text(w.message);
  return 1;
}

}  // extern "C"
