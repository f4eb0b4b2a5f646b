// The engine library's one public header. A host creates a zrcomp, hands it
// an output object, calls translate and steers a running translation through
// the flag methods. Texts cross as UTF-8.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#define ZR_API __attribute__((visibility("default")))

namespace zr {

// The host's side of the message channel: every engine message (traces,
// console messages, error reports) arrives through writes.
class ZR_API output_object {
 public:
  virtual ~output_object();
  virtual void writes(const std::string& message) = 0;
};

// An error the engine raises to its host: a number and a description that
// ends with the chain of contexts it passed. Engine errors (number 2048) do
// not reach the host this way; translate reports them and returns no value.
class ZR_API zrcomp_error : public std::runtime_error {
 public:
  zrcomp_error(int number, const std::string& description);
  ~zrcomp_error() override;
  int number() const noexcept { return number_; }
  const std::string& description() const noexcept { return description_; }

 private:
  int number_;
  std::string description_;
};

// Installs the calling thread's event pump: a callback the engine calls
// wherever it yields to its host during a translation (a GUI processes its
// pending events there). An empty function removes it.
ZR_API void set_event_pump(std::function<void()> pump);
// The same for a pump that asks to be called at every `passes_per_call`-th
// yield only (0 counts as 1): a pump that looks at cheap things, a signal
// flag say, spares the run a call at the others. A held run yields about once
// a millisecond, so such a pump then runs every `passes_per_call` ms.
ZR_API void set_event_pump(std::function<void()> pump, unsigned passes_per_call);

struct engine_state;

// Where a failed translation was reading when it failed: the schema text (the
// line being read) or the source text (the scan position), 1-based, and the
// first line of the error's description.
struct failure_location {
  bool in_schema = false;
  long long line = 1;
  long long column = 1;
  std::string message;
  // A second place in the same text that explains the first; none when
  // note_line is 0.
  long long note_line = 0;
  long long note_column = 0;
  std::string note;
};

// One diagnostic line in the form editors read: "FILE:LINE:COLUMN: KIND: MESSAGE"
// (KIND is "error", "warning" or "note").
ZR_API std::string diagnostic_line(const std::string& file, long long line, long long column,
                                   const std::string& kind, const std::string& message);

// The error line of a failed translation, naming the schema file or the source
// file where the run stopped, followed by an LF and its note line when it has
// one. `schema_lines_added` is the number of lines the host put in front of
// the user's schema text; they are not counted.
ZR_API std::string location_line(const failure_location& where, const std::string& schema_file,
                                 const std::string& source_file, long long schema_lines_added = 0);

// How a failed translation ended.
enum class stop_cause {
  error,  // an error of the schema, the source or the engine
  host,   // the host asked it to stop (user_terminated)
  limit,  // it reached one of its run limits
};

// The error of a failed translation: its number (2048 for the engine's own
// errors), its whole description with every context line, and how it ended.
struct error_report {
  int number = 0;
  std::string description;
  stop_cause cause = stop_cause::error;
};

// Bounds of one translation; a zero field sets no bound. A run that reaches
// one stops with an engine error report naming the limit.
struct run_limits {
  double timeout_seconds = 0;  // wall-clock time from the start of translate
  long long max_steps = 0;     // dialog steps
  // The memory the translation's own texts hold (the source, the result,
  // variables, streams, the stack), not the process's: translations on other
  // threads do not count. Checked before every large text grows and every
  // few milliseconds, so a run passes it by at most one growth of a text.
  long long max_memory_mb = 0;
};

// The memory bound a new engine state starts with: half of the machine's
// physical memory, in MB.
ZR_API long long default_memory_limit_mb();

// One engine object. Every zrcomp of a thread shares that thread's engine
// state; the object holds nothing of its own but which state it steers.
// translate, give_write_method, set_run_limits and limits act on the calling
// thread's state. The other methods act on the state of the object's last
// translate (before the first one, of the thread that made the object), so a
// watchdog, a signal handler or the pump may steer a run from any thread.
class ZR_API zrcomp {
 public:
  zrcomp();
  ~zrcomp();
  zrcomp(const zrcomp&) = delete;
  zrcomp& operator=(const zrcomp&) = delete;

  // Runs one translation on the calling thread's state. Returns the result
  // text, or no value when the run failed with an engine error (then reported
  // through writes). Raises zrcomp_error for the other errors, and with
  // number 10 when a translation already runs on this thread (a translate
  // called from inside writes): that one is refused and goes on untouched.
  // A stop requested before the call does not reach this run.
  std::optional<std::string> translate(const std::string& schema, const std::string& source);
  // translate for a host that holds a large source: an ASCII source is read
  // where it stands instead of being copied. CR LF is appended to `source`
  // while the run lasts and removed before the call returns, however it
  // returns; nothing else may change `source` meanwhile. After the call the
  // engine keeps no view of it: current_location then no longer reads it
  // (last_failure still tells where a failed run stopped).
  std::optional<std::string> translate_in_place(const std::string& schema, std::string& source);
  void give_write_method(std::shared_ptr<output_object> out_put_object);
  // In step mode: leaves it and lets the run go on at full speed. Otherwise
  // toggles the suspension of the run.
  void suspend_dialog_and_schema();
  // Step mode on, with one step granted.
  void steps();
  bool are_steps_on() const;
  // Whether the run is held by a suspension (a statement or the host).
  bool is_suspended() const;
  // Where the running translation of this thread reads now, as last_failure
  // would report it (without a message).
  failure_location current_location() const;
  // The dialog steps the running (or last) translation of this thread has
  // taken; 0 while its schema is read.
  long long dialog_steps() const;
  bool is_debug_on() const;
  // The run stops at its next poll with "user ordered to terminate".
  void user_terminated();
  // Toggles debug output; returns the new value.
  bool reset_debug();
  // The limits of this thread's runs, kept from run to run. They start with
  // no time or step bound and the default memory bound. Raises zrcomp_error
  // (number 5) for a negative or non-finite value; a memory bound beyond what
  // the machine can count stands for no bound.
  void set_run_limits(const run_limits& limits);
  run_limits limits() const;
  // Where the last translation failed; none after a success.
  std::optional<failure_location> last_failure() const;
  // The error of the last translation; none after a success.
  std::optional<error_report> last_error() const;
  // Places in the last schema read that the reader went on past but that
  // look like mistakes (a level word that is not a number), with a message
  // each. They never change the result.
  std::vector<failure_location> schema_warnings() const;

 private:
  struct binding;
  // Runs `run` on the calling thread's state as a translate does: refused
  // while one runs there, steered by this object, with no stop left over.
  std::optional<std::string> translate_on_thread_state(
      const std::function<std::optional<std::string>(engine_state&)>& run);
  engine_state& state() const;

  std::unique_ptr<binding> binding_;
};

}  // namespace zr
