// Embedding the zorvex engine from C++: the library's version, one
// translation, the error of a failed one, and a held run stopped from another
// thread.
//
//   example_cpp                          a built-in schema on a built-in source,
//                                        then a held run a watchdog
//                                        thread stops
//   example_cpp SCHEMA_FILE SOURCE_FILE  SOURCE_FILE under SCHEMA_FILE
//
// Build it with find_package(zrdll) and target_link_libraries(... zrdll::zrdll),
// or with c++ -std=c++20 example.cpp $(pkg-config --cflags --libs zrdll).
// Exit status: 0 result, 1 failed translation, 2 unreadable file.
#include <zrdll/zrcomp.h>
#include <zrdll/zrdll_version.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

// Prints every word of the source, then a full stop.
const std::string words_schema =
    "\\\\schema first\n-r\n  .id .t 0\n  .eot `.` 1 -e\n\\\\end schema\n\\\\end file\n";

// Every engine message (console output, traces, the error report).
class console_output : public zr::output_object {
 public:
  void writes(const std::string& message) override { std::cerr << message; }
};

std::optional<std::string> read_file(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  if (!(file && text << file.rdbuf())) return std::nullopt;
  return text.str();
}

// Translates and prints the result body, or the error of a failed run in the
// form zrtranslate prints it.
int translate(zr::zrcomp& engine, const std::string& schema_file, const std::string& schema,
              const std::string& source_file, const std::string& source) {
  std::optional<std::string> result;
  try {
    result = engine.translate(schema, source);
  } catch (const zr::zrcomp_error& e) {
    std::cerr << "error " << e.number() << ": " << e.description() << "\n";
    return 1;
  }
  if (result) {
    // The redirect, reengine and save lines, each ended by LF, then the body.
    std::size_t body = 0;
    for (int line = 0; line < 3; ++line)
      body = result->find('\n', body) + 1;
    std::cout << result->substr(body) << "\n";
    return 0;
  }
  std::optional<zr::error_report> error = engine.last_error();
  std::optional<zr::failure_location> where = engine.last_failure();
  if (!error || !where) return 1;
  std::cout << "error " << error->number
            << (error->cause == zr::stop_cause::host    ? " (stopped by the host)"
                : error->cause == zr::stop_cause::limit ? " (stopped by a limit)"
                                                        : "")
            << "\n"
            << zr::location_line(*where, schema_file, source_file) << "\n";
  return 1;
}

// Step mode holds the run until the host grants the next step. Here the
// event pump turns it on after two dialog steps (a schema's header may set it
// too), and a watchdog thread stops the held run.
int stop_a_held_run(zr::zrcomp& engine) {
  zr::set_event_pump([&] {
    if (engine.dialog_steps() == 2 && !engine.are_steps_on()) engine.steps();
  });
  std::atomic<bool> done = false;
  std::thread watchdog([&] {
    while (!done) {
      if (engine.are_steps_on()) engine.user_terminated();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  const int status = translate(engine, "schema", words_schema, "source", "a b c d e f");
  done = true;
  watchdog.join();
  zr::set_event_pump(nullptr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::cout << "zrdll " << ZRDLL_VERSION_STRING << "\n";
  zr::zrcomp engine;
  // Messages of the thread's runs; without an output object they go nowhere.
  engine.give_write_method(std::make_shared<console_output>());
  if (argc == 3) {
    std::optional<std::string> schema = read_file(argv[1]);
    std::optional<std::string> source = read_file(argv[2]);
    if (!schema || !source) {
      std::cerr << "example_cpp: cannot read " << (schema ? argv[2] : argv[1]) << "\n";
      return 2;
    }
    return translate(engine, argv[1], *schema, argv[2], *source);
  }
  int status = translate(engine, "schema", words_schema, "source", "one two three");
  std::cout << engine.dialog_steps() << " dialog steps\n";
  if (stop_a_held_run(engine) != 1) status = 1;
  return status;
}
