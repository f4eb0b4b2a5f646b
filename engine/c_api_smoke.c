/* Uses libzrdll.so through its C interface only, as a host in another
   language would: messages, flags and the no-value outcome of a failed run. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "engine/zrdll_c.h"

static char console[4096];

static void collect(void* context, const char* message) {
  (void)context;
  strncat(console, message, sizeof console - strlen(console) - 1);
}

static int failures = 0;

static void check(int ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

static const char* const hello =
    "\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n";
/* An event that queues itself again: only a limit or a stop ends the run. */
static const char* const runaway =
    "\\\\schema t\n-r\n  _x `1` 0 +.d\n\\\\end schema\n\\\\end file\n";

static zrcomp_handle* nested_engine;
static int nested_outcome = -1;
static int nested_number = -1;

/* Tries a translation from inside the running one's callback. */
static void translate_inside(void* context, const char* message) {
  (void)context;
  (void)message;
  if (nested_outcome != -1) return;
  char* result = NULL;
  char* description = NULL;
  nested_outcome =
      zrcomp_translate(nested_engine, hello, "hello", &result, &nested_number, &description);
  zrcomp_free_text(result);
  zrcomp_free_text(description);
}

static int translate_status(zrcomp_handle* engine, const char* schema, const char* source) {
  char* result = NULL;
  int outcome = zrcomp_translate(engine, schema, source, &result, NULL, NULL);
  zrcomp_free_text(result);
  return outcome;
}

/* The contracts of the header: NULL arguments, runs without a callback, the
   last error, limits, stop requests, nested runs and destroyed handles. */
static void check_contracts(void) {
  check(strcmp(zrdll_version(), ZRDLL_VERSION_STRING) == 0, "version");
  char* text = NULL;
  int number = 0;
  check(zrcomp_translate(NULL, hello, "hello", &text, &number, NULL) == ZRCOMP_INVALID_ARGUMENT,
        "NULL handle refused");
  zrcomp_handle* engine = zrcomp_create();
  check(zrcomp_translate(engine, hello, "hello", NULL, NULL, NULL) == ZRCOMP_INVALID_ARGUMENT,
        "NULL result refused");
  check(zrcomp_translate(engine, NULL, "hello", &text, NULL, NULL) == ZRCOMP_INVALID_ARGUMENT,
        "NULL schema refused");
  check(zrcomp_last_error(engine, NULL) == ZRCOMP_INVALID_ARGUMENT, "NULL info refused");
  check(zrcomp_set_run_limits(NULL, 0, 0, 0) == ZRCOMP_INVALID_ARGUMENT, "NULL limits refused");
  zrcomp_user_terminated(NULL);
  check(zrcomp_dialog_steps(NULL) == -1, "NULL steps");

  /* No callback: the run works and its failure is told by last_error. */
  zrcomp_give_write_method(engine, NULL, NULL);
  check(translate_status(engine, hello, "hello") == ZRCOMP_RESULT, "a run without callback");
  zrcomp_error_info info;
  check(zrcomp_last_error(engine, &info) == 0, "no error after a success");
  check(zrcomp_set_run_limits(engine, 0, 100, ZRCOMP_DEFAULT_MEMORY) == ZRCOMP_RESULT, "limits");
  check(translate_status(engine, runaway, "x") == ZRCOMP_NO_VALUE, "a limit stops the run");
  check(zrcomp_last_error(engine, &info) == 1, "the last error");
  check(info.number == 2048 && info.stopped == ZRCOMP_STOPPED_BY_LIMIT && !info.in_schema &&
            info.line == 1 && info.column == 1 &&
            strcmp(info.message, "run stopped: step limit of 100 dialog steps reached") == 0 &&
            strncmp(info.report, info.message, strlen(info.message)) == 0 && info.note == NULL,
        "the last error's fields");
  zrcomp_error_info_free(&info);
  check(info.message == NULL && info.report == NULL, "error info released");

  /* Limits: negative values refused, huge ones stand for no bound. */
  check(zrcomp_set_run_limits(engine, -1, 0, 0) == ZRCOMP_INVALID_ARGUMENT, "negative time");
  check(zrcomp_set_run_limits(engine, 0, -5, 0) == ZRCOMP_INVALID_ARGUMENT, "negative steps");
  check(zrcomp_set_run_limits(engine, 0, 0, -7) == ZRCOMP_INVALID_ARGUMENT, "negative memory");
  check(zrcomp_set_run_limits(engine, 0, 0, 1LL << 50) == ZRCOMP_RESULT, "huge memory");
  check(translate_status(engine, hello, "hello") == ZRCOMP_RESULT, "a huge bound is no bound");

  /* A stop requested between runs does not reach the next one. */
  zrcomp_user_terminated(engine);
  check(translate_status(engine, hello, "hello") == ZRCOMP_RESULT, "a stale stop is dropped");

  /* A translation inside the callback is refused; the outer one goes on. */
  nested_engine = zrcomp_create();
  zrcomp_give_write_method(engine, translate_inside, NULL);
  check(translate_status(engine, hello, "hello") == ZRCOMP_RESULT, "the outer run goes on");
  check(nested_outcome == ZRCOMP_ERROR && nested_number == 10, "the nested run is refused");
  zrcomp_destroy(nested_engine);

  /* A destroyed handle's callback is never called again. */
  zrcomp_handle* installer = zrcomp_create();
  console[0] = 0;
  zrcomp_give_write_method(installer, collect, NULL);
  zrcomp_destroy(installer);
  check(translate_status(engine, hello, "hello") == ZRCOMP_RESULT, "after the installer went");
  check(console[0] == 0, "no message reaches a destroyed handle's callback");
  zrcomp_destroy(engine);
}

int main(void) {
  zrcomp_handle* engine = zrcomp_create();
  check(engine != NULL, "create");
  zrcomp_give_write_method(engine, collect, NULL);

  check(zrcomp_reset_debug(engine) == 1, "reset_debug turns debug on");
  check(zrcomp_is_debug_on(engine) == 1, "is_debug_on after toggle");
  check(zrcomp_reset_debug(engine) == 0, "reset_debug turns debug off");
  zrcomp_steps(engine);
  check(zrcomp_are_steps_on(engine) == 1, "steps switches step mode on");
  zrcomp_suspend_dialog_and_schema(engine);
  check(zrcomp_are_steps_on(engine) == 0, "suspend leaves step mode");

  char* result = NULL;
  char* description = NULL;
  int number = -1;
  int outcome = zrcomp_translate(engine, "no schema here", "hello", &result, &number, &description);
  check(outcome == ZRCOMP_NO_VALUE, "an engine error gives no value");
  check(result == NULL && description == NULL, "nothing to free after no value");
  check(strncmp(console, "\r\nin \"translate\" module\r\n2048 * ", 32) == 0,
        "the failure is reported through writes");

  console[0] = 0;
  outcome = zrcomp_translate(
      engine, "\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n", "hello",
      &result, &number, &description);
  check(outcome == ZRCOMP_RESULT, "a translation gives its result");
  check(result != NULL && strcmp(result, "\n\n\n\r\nHi") == 0, "the result text");
  check(strcmp(console, "\r\nHi") == 0, "printing while processing reaches writes");
  zrcomp_free_text(result);

  zrcomp_destroy(engine);
  check_contracts();
  if (failures == 0) printf("c api ok\n");
  return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
