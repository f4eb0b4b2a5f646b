/* The engine's C interface, for hosts written in other languages.

   Texts are NUL-terminated UTF-8. A text the library hands out (a result, an
   error's description, a message) belongs to the caller, who releases it
   with zrcomp_free_text (or zrcomp_error_info_free); a text the caller hands
   in is only read during the call.

   Threads: the engine keeps one state per thread, shared by every handle used
   on that thread, and threads never share one, so several threads may
   translate at once, each on its own handles. zrcomp_translate,
   zrcomp_give_write_method, zrcomp_set_event_pump and zrcomp_set_run_limits
   act on the calling thread's state. The other functions act on the state of
   the handle's last translation (before the first one, on the state of the
   thread that created the handle), and may be called from any thread while it
   runs: a watchdog, a signal handler's helper thread or the message callback
   may stop, step or suspend it.

   NULL: a NULL handle or a NULL pointer where a function must write is
   refused: functions that return a status return ZRCOMP_INVALID_ARGUMENT (or
   -1 where they return a count), the others do nothing. */
#ifndef ZRDLL_C_H
#define ZRDLL_C_H

#include "zrdll_version.h"

#ifdef __cplusplus
extern "C" {
#endif

#define ZRDLL_C_API __attribute__((visibility("default")))

typedef struct zrcomp_handle zrcomp_handle;

/* Receives every engine message (traces, console messages, the error report
   of a failed run) on the thread that translates. `message` is valid only
   during the call. The callback must not call zrcomp_translate: a translation
   is already running on this thread, and the nested one is refused. */
typedef void (*zrcomp_writes_fn)(void* context, const char* message);
/* Called wherever the engine yields to its host during a translation. */
typedef void (*zrcomp_pump_fn)(void* context);

/* Outcome of zrcomp_translate. */
enum {
  ZRCOMP_RESULT = 0,          /* *result holds the result text */
  ZRCOMP_NO_VALUE = 1,        /* the translation failed: zrcomp_last_error says why */
  ZRCOMP_ERROR = 2,           /* another error: *error_number and *error_description */
  ZRCOMP_INVALID_ARGUMENT = 3 /* a NULL handle or pointer, or a value out of range */
};

/* How a failed translation ended (zrcomp_error_info.stopped). */
enum {
  ZRCOMP_FAILED = 0,          /* an error of the schema, the source or the engine */
  ZRCOMP_STOPPED_BY_HOST = 1, /* zrcomp_user_terminated */
  ZRCOMP_STOPPED_BY_LIMIT = 2 /* a run limit (time, steps, memory) */
};

/* The library's version, "MAJOR.MINOR.PATCH" (ZRDLL_VERSION_STRING of the
   headers it was built with). A static text: never released. */
ZRDLL_C_API const char* zrdll_version(void);

/* A new handle, or NULL when there is no memory for one. Released with
   zrcomp_destroy, on any thread, once no call on it runs. */
ZRDLL_C_API zrcomp_handle* zrcomp_create(void);
/* Releases the handle. A write method it installed is removed from the
   state: later runs of the thread send their messages nowhere until another
   one is given. NULL is ignored. */
ZRDLL_C_API void zrcomp_destroy(zrcomp_handle* engine);

/* Installs `writes` (with `context`, passed back unchanged) as the calling
   thread's message callback, for every handle of the thread, until another
   one is given or this handle is destroyed. NULL `writes` removes it. A run
   with no callback sends its messages nowhere; zrcomp_last_error still tells
   why it failed. */
ZRDLL_C_API void zrcomp_give_write_method(zrcomp_handle* engine, zrcomp_writes_fn writes,
                                          void* context);
/* Installs the calling thread's event pump; NULL removes it. */
ZRDLL_C_API void zrcomp_set_event_pump(zrcomp_pump_fn pump, void* context);

/* Translates `source` under `schema` on the calling thread. On ZRCOMP_RESULT
   *result holds the result: the redirect, reengine and save lines, each ended
   by LF, then the body. On ZRCOMP_NO_VALUE the failure is told by
   zrcomp_last_error (and reported through writes). On ZRCOMP_ERROR
   *error_number and *error_description tell a failure outside the
   translation (number 10: a translation already runs on this thread). Texts
   returned are released with zrcomp_free_text. ZRCOMP_INVALID_ARGUMENT for a
   NULL argument (error_number and error_description may be NULL: then an
   error outside the translation is told only by the return value). */
ZRDLL_C_API int zrcomp_translate(zrcomp_handle* engine, const char* schema, const char* source,
                                 char** result, int* error_number, char** error_description);
ZRDLL_C_API void zrcomp_free_text(char* text);

/* The run flags of the running (or next) translation. */
ZRDLL_C_API void zrcomp_suspend_dialog_and_schema(zrcomp_handle* engine);
ZRDLL_C_API void zrcomp_steps(zrcomp_handle* engine);
ZRDLL_C_API int zrcomp_are_steps_on(const zrcomp_handle* engine);
ZRDLL_C_API int zrcomp_is_suspended(const zrcomp_handle* engine);
ZRDLL_C_API int zrcomp_is_debug_on(const zrcomp_handle* engine);
/* The running translation stops at its next poll with "user ordered to
   terminate". A request made while none runs is dropped when the next one
   starts. */
ZRDLL_C_API void zrcomp_user_terminated(zrcomp_handle* engine);
ZRDLL_C_API int zrcomp_reset_debug(zrcomp_handle* engine);
/* The dialog steps the running (or last) translation has taken; 0 while its
   schema is read; -1 for a NULL handle. */
ZRDLL_C_API long long zrcomp_dialog_steps(const zrcomp_handle* engine);

/* max_memory_mb passed to zrcomp_set_run_limits: keep the default bound. */
#define ZRCOMP_DEFAULT_MEMORY (-1LL)

/* Bounds of the calling thread's runs, kept from run to run; 0 sets no bound.
   max_memory_mb counts the memory the translation's own texts hold, not the
   process's; ZRCOMP_DEFAULT_MEMORY keeps the default bound (half of the
   machine's memory); a bound too large to count stands for no bound. A run
   that reaches one fails with an engine error naming the limit
   (ZRCOMP_NO_VALUE, stopped ZRCOMP_STOPPED_BY_LIMIT). Returns ZRCOMP_RESULT,
   or ZRCOMP_INVALID_ARGUMENT (nothing changed) for a negative or non-finite
   value or a NULL handle. */
ZRDLL_C_API int zrcomp_set_run_limits(zrcomp_handle* engine, double timeout_seconds,
                                      long long max_steps, long long max_memory_mb);

/* The error of a failed translation. */
typedef struct zrcomp_error_info {
  int number;     /* 2048 for the engine's own errors */
  int stopped;    /* ZRCOMP_FAILED, ZRCOMP_STOPPED_BY_HOST or ZRCOMP_STOPPED_BY_LIMIT */
  int in_schema;  /* 1: the place is in the schema text, 0: in the source */
  long long line; /* 1-based place where the run stood when it failed */
  long long column;
  char* message; /* the first line of the description */
  char* report;  /* the whole description, every context line with it */
  /* A second place in the same text that explains the first (where a state
     name that no nest header declares was looked up); note_line 0 and note
     NULL when there is none. */
  long long note_line;
  long long note_column;
  char* note;
} zrcomp_error_info;

/* After a failed translation: fills *info and returns 1 (release it with
   zrcomp_error_info_free). After a success, or before any translation:
   returns 0 and leaves *info untouched. ZRCOMP_INVALID_ARGUMENT for NULL. */
ZRDLL_C_API int zrcomp_last_error(const zrcomp_handle* engine, zrcomp_error_info* info);
/* Releases the texts of *info and sets them to NULL; NULL is ignored. */
ZRDLL_C_API void zrcomp_error_info_free(zrcomp_error_info* info);

/* Where the last translation failed: returns 1 and fills the fields
   (in_schema 1 for the schema text, 0 for the source; 1-based line and column;
   *message the first line of the error, released with zrcomp_free_text), or
   returns 0 after a success. Kept for older hosts: zrcomp_last_error tells
   all of it. */
ZRDLL_C_API int zrcomp_last_failure(const zrcomp_handle* engine, int* in_schema, long long* line,
                                    long long* column, char** message);

/* The places in the last schema read that look like mistakes but never
   change the result (a level word that is not a number): their number, or -1
   for a NULL handle. */
ZRDLL_C_API int zrcomp_warning_count(const zrcomp_handle* engine);
/* Warning `index` (0-based): fills its 1-based line and column in the schema
   text and *message (released with zrcomp_free_text) and returns 1; returns
   0 for an index out of range, ZRCOMP_INVALID_ARGUMENT for NULL. */
ZRDLL_C_API int zrcomp_warning(const zrcomp_handle* engine, int index, long long* line,
                               long long* column, char** message);

#ifdef __cplusplus
}
#endif

#endif /* ZRDLL_C_H */
