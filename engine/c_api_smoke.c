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
  if (failures == 0) printf("c api ok\n");
  return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
