/* Embedding the zorvex engine from C: the library's version, one translation,
   the error of a failed one, and a run stopped from the event pump.

     example                          a built-in schema on a built-in source,
                                      then a run its event pump stops
     example SCHEMA_FILE SOURCE_FILE  SOURCE_FILE under SCHEMA_FILE

   Build it with
     cc -std=c11 example.c $(pkg-config --cflags --libs zrdll) -o example
   Exit status: 0 result, 1 failed translation, 2 unreadable file. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <zrdll/zrdll_c.h>

/* Prints every word of the source, then a full stop. */
static const char* const words_schema =
    "\\\\schema first\n-r\n  .id .t 0\n  .eot `.` 1 -e\n\\\\end schema\n\\\\end file\n";

/* Every engine message (console output, traces, the error report). */
static void print_message(void* context, const char* message) {
  (void)context;
  fputs(message, stderr);
}

/* The whole file as a NUL-terminated text, or NULL. */
static char* read_file(const char* name) {
  FILE* file = fopen(name, "rb");
  if (!file) return NULL;
  size_t size = 0, used = 0;
  char* text = NULL;
  for (;;) {
    if (used + 4096 + 1 > size) {
      size = 2 * size + 4096 + 1;
      char* grown = realloc(text, size);
      if (!grown) break;
      text = grown;
    }
    size_t n = fread(text + used, 1, size - used - 1, file);
    used += n;
    if (n == 0) {
      int failed = ferror(file);
      fclose(file);
      if (failed) break;
      text[used] = '\0';
      return text;
    }
  }
  fclose(file);
  free(text);
  return NULL;
}

/* Translates and prints the result, or the error of a failed run in the
   form zrtranslate prints it. */
static int translate(zrcomp_handle* engine, const char* schema_file, const char* schema,
                     const char* source_file, const char* source) {
  char* result = NULL;
  char* description = NULL;
  int number = 0;
  int outcome = zrcomp_translate(engine, schema, source, &result, &number, &description);
  if (outcome == ZRCOMP_RESULT) {
    /* The redirect, reengine and save lines, each ended by LF, then the body. */
    const char* body = result;
    for (int line = 0; line < 3; ++line)
      body = strchr(body, '\n') + 1;
    printf("%s\n", body);
    zrcomp_free_text(result);
    return 0;
  }
  if (outcome == ZRCOMP_ERROR) {
    fprintf(stderr, "error %d: %s\n", number, description);
    zrcomp_free_text(description);
    return 1;
  }
  zrcomp_error_info error;
  if (zrcomp_last_error(engine, &error) != 1) return 1;
  printf("error %d%s\n", error.number,
         error.stopped == ZRCOMP_STOPPED_BY_HOST    ? " (stopped by the host)"
         : error.stopped == ZRCOMP_STOPPED_BY_LIMIT ? " (stopped by a limit)"
                                                    : "");
  printf("%s:%lld:%lld: error: %s\n", error.in_schema ? schema_file : source_file, error.line,
         error.column, error.message);
  zrcomp_error_info_free(&error);
  return 1;
}

/* The event pump: called on the translating thread wherever the run yields
   to its host (a GUI processes its events there). This one stops the run
   once it has taken two dialog steps; zrcomp_steps or
   zrcomp_suspend_dialog_and_schema would step or hold it the same way. */
static void stop_after_two_steps(void* context) {
  zrcomp_handle* engine = context;
  if (zrcomp_dialog_steps(engine) >= 2) zrcomp_user_terminated(engine);
}

int main(int argc, char** argv) {
  printf("zrdll %s (headers %s)\n", zrdll_version(), ZRDLL_VERSION_STRING);
  zrcomp_handle* engine = zrcomp_create();
  if (!engine) return 2;
  /* Messages of the thread's runs; without a callback they go nowhere. */
  zrcomp_give_write_method(engine, print_message, NULL);
  int status;
  if (argc == 3) {
    char* schema = read_file(argv[1]);
    char* source = read_file(argv[2]);
    if (schema && source) {
      status = translate(engine, argv[1], schema, argv[2], source);
    } else {
      fprintf(stderr, "example: cannot read %s\n", schema ? argv[2] : argv[1]);
      status = 2;
    }
    free(schema);
    free(source);
  } else {
    status = translate(engine, "schema", words_schema, "source", "one two three");
    printf("%lld dialog steps\n", zrcomp_dialog_steps(engine));
    zrcomp_set_event_pump(stop_after_two_steps, engine);
    if (translate(engine, "schema", words_schema, "source", "a b c d e f") != 1) status = 1;
    zrcomp_set_event_pump(NULL, NULL);
  }
  zrcomp_destroy(engine);
  return status;
}
