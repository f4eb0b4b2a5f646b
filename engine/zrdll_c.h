/* The engine's C interface, for hosts written in other languages. Texts are
   NUL-terminated UTF-8. Every function is safe to call with any handle the
   factory returned; the flag functions may be called from any thread. */
#ifndef ZRDLL_C_H
#define ZRDLL_C_H

#ifdef __cplusplus
extern "C" {
#endif

#define ZRDLL_C_API __attribute__((visibility("default")))

typedef struct zrcomp_handle zrcomp_handle;

/* Receives every engine message. */
typedef void (*zrcomp_writes_fn)(void* context, const char* message);
/* Called wherever the engine yields to its host. */
typedef void (*zrcomp_pump_fn)(void* context);

/* Outcome of zrcomp_translate. */
enum {
  ZRCOMP_RESULT = 0,   /* *result holds the result text */
  ZRCOMP_NO_VALUE = 1, /* an engine error, reported through writes */
  ZRCOMP_ERROR = 2     /* another error: *error_number and *error_description */
};

ZRDLL_C_API zrcomp_handle* zrcomp_create(void);
ZRDLL_C_API void zrcomp_destroy(zrcomp_handle* engine);

ZRDLL_C_API void zrcomp_give_write_method(zrcomp_handle* engine, zrcomp_writes_fn writes,
                                          void* context);
/* Installs the calling thread's event pump; NULL removes it. */
ZRDLL_C_API void zrcomp_set_event_pump(zrcomp_pump_fn pump, void* context);

/* Texts returned through result and error_description are released with
   zrcomp_free_text. */
ZRDLL_C_API int zrcomp_translate(zrcomp_handle* engine, const char* schema, const char* source,
                                 char** result, int* error_number, char** error_description);
ZRDLL_C_API void zrcomp_free_text(char* text);

ZRDLL_C_API void zrcomp_suspend_dialog_and_schema(zrcomp_handle* engine);
ZRDLL_C_API void zrcomp_steps(zrcomp_handle* engine);
ZRDLL_C_API int zrcomp_are_steps_on(const zrcomp_handle* engine);
ZRDLL_C_API int zrcomp_is_debug_on(const zrcomp_handle* engine);
ZRDLL_C_API void zrcomp_user_terminated(zrcomp_handle* engine);
ZRDLL_C_API int zrcomp_reset_debug(zrcomp_handle* engine);

/* Bounds of the calling thread's runs; 0 sets no bound. max_memory_mb < 0
   keeps the default bound (half of the machine's memory). A run that reaches
   one fails with an engine error naming the limit (ZRCOMP_NO_VALUE). */
ZRDLL_C_API void zrcomp_set_run_limits(zrcomp_handle* engine, double timeout_seconds,
                                       long long max_steps, long long max_memory_mb);

/* Where the thread's last translation failed: returns 1 and fills the fields
   (in_schema 1 for the schema text, 0 for the source; 1-based line and column;
   *message the first line of the error, released with zrcomp_free_text), or
   returns 0 after a success. */
ZRDLL_C_API int zrcomp_last_failure(const zrcomp_handle* engine, int* in_schema, long long* line,
                                    long long* column, char** message);

#ifdef __cplusplus
}
#endif

#endif /* ZRDLL_C_H */
