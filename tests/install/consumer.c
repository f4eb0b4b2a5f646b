/* A host in C built against the installed library: one translation. */
#include <stdio.h>
#include <string.h>
#include <zrdll/zrdll_c.h>

static void ignore(void* context, const char* message) {
  (void)context;
  (void)message;
}

int main(void) {
  zrcomp_handle* engine = zrcomp_create();
  zrcomp_give_write_method(engine, ignore, NULL);
  char* result = NULL;
  char* description = NULL;
  int number = 0;
  int outcome = zrcomp_translate(
      engine, "\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n", "hello",
      &result, &number, &description);
  int ok = outcome == ZRCOMP_RESULT && strcmp(result, "\n\n\n\r\nHi") == 0;
  zrcomp_free_text(result);
  zrcomp_destroy(engine);
  puts(ok ? "c host ok" : "c host FAILED");
  return ok ? 0 : 1;
}
