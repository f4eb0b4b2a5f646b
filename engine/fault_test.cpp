// The engine under faults and loads a host meets: an output object whose
// writes fails in the middle of a run, a schema and a source far larger than
// the 16-bit counts of the schema tables, and translations on many threads
// at once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/errors.h"
#include "engine/test_support.h"
#include "engine/zrcomp.h"

namespace zr {
namespace {

// The host's console fails at its `fail_at`-th writes call, and on every
// later call too when `keeps_failing`.
class failing_output : public output_object {
 public:
  failing_output(int fail_at, bool keeps_failing)
      : fail_at_(fail_at), keeps_failing_(keeps_failing) {}
  void writes(const std::string& message) override {
    ++calls_;
    if (calls_ == fail_at_ || (keeps_failing_ && calls_ > fail_at_))
      throw std::runtime_error("host console is gone");
    received += message;
  }
  std::string received;

 private:
  int calls_ = 0;
  int fail_at_;
  bool keeps_failing_;
};

struct translation {
  std::optional<std::string> result;
  std::string console;
  std::string raised;  // the number and description of an error that reached the host
  bool operator==(const translation&) const = default;
};

translation translate_with(zrcomp& engine, const std::string& schema, const std::string& source) {
  auto out = std::make_shared<recording_output>();
  engine.give_write_method(out);
  translation done;
  try {
    done.result = engine.translate(schema, source);
  } catch (const zrcomp_error& e) {
    done.raised = std::to_string(e.number()) + " " + e.description();
  }
  done.console = out->joined();
  return done;
}

// The translation on a thread of its own, with an engine state nothing else
// has touched.
translation translate_on_fresh_thread(const std::string& schema, const std::string& source) {
  translation done;
  std::thread([&] {
    zrcomp engine;
    done = translate_with(engine, schema, source);
  }).join();
  return done;
}

const std::string debug_prefix = "\\\\debug schema=t\n\\\\debug dialog=t\n";
const std::string hello_schema =
    "\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n";

TEST(EngineFaults, AFailingWritesEndsTheRunAsAHostErrorAndTheEngineTranslatesAfterwards) {
  const std::string context = "\r\nin \"translate\" module zrcomp.translate ";
  struct row {
    int fail_at;
    bool keeps_failing;
    // The report of the failure reaches the console when writes works again.
    bool reported;
  };
  const row rows[] = {
      {1, false, true},   // the first trace line of the schema reader
      {40, false, true},  // deep in the dialog's traces
      {40, true, false},  // the report itself fails: the writes error reaches the host alone
  };
  zrcomp engine;
  const translation expected = translate_on_fresh_thread(hello_schema, "hello");
  ASSERT_TRUE(expected.result);
  for (const row& r : rows) {
    SCOPED_TRACE(r.fail_at);
    auto out = std::make_shared<failing_output>(r.fail_at, r.keeps_failing);
    engine.give_write_method(out);
    try {
      engine.translate(debug_prefix + hello_schema, "hello");
      ADD_FAILURE() << "no error reached the host";
    } catch (const zrcomp_error& e) {
      EXPECT_EQ(e.number(), error_number::internal);
      EXPECT_TRUE(e.description().starts_with("host console is gone")) << e.description();
      const bool ends_with_context = e.description().ends_with(context);
      EXPECT_EQ(ends_with_context, r.reported) << e.description();
      const std::size_t report = out->received.find("\r\nin \"translate\" module\r\n51 * host");
      EXPECT_EQ(report != std::string::npos, r.reported);
    }
    // The same engine, its debug flags left on by the failed run, translates
    // as an engine that never failed.
    EXPECT_EQ(translate_with(engine, hello_schema, "hello"), expected);
  }
}

// A schema of `events` keyword events k1..kN, each printing `text_length`
// characters, and an event that reads a quoted text with "upto" and prints it.
std::string large_schema(int events, int text_length) {
  std::string schema = "\\\\schema main\n-r\n";
  for (int k = 1; k <= events; ++k)
    schema += "  _k" + std::to_string(k) + " `" + std::string(text_length, 'a' + k % 26) + "` 0\n";
  schema += "  .34 `` 1 str \\upto.34 +.=\n  .id .t 0\n  .eot `` 1 -e\nstr\n  .id .t -1 -\n";
  return schema + "\\\\end schema\n\\\\end file\n";
}

// The keywords k1..kN, then a quoted text of `quoted_length` characters.
std::string large_source(int events, std::size_t quoted_length) {
  std::string source;
  for (int k = 1; k <= events; ++k)
    source += "k" + std::to_string(k) + " ";
  return source + "x \"" + std::string(quoted_length, 'q') + "\" y";
}

std::string large_result(int events, int text_length, std::size_t quoted_length) {
  std::string body = "\n\n\n\r\n";
  for (int k = 1; k <= events; ++k)
    body += std::string(text_length, 'a' + k % 26);
  return body + "x" + std::string(quoted_length, 'q') + "y";
}

TEST(EngineFaults, LongSchemaLinesAndAnUptoDelimiterFarPast32767) {
  // 1 MB of schema in lines of 50000 characters; the closing quote at
  // character 100000 of the source.
  constexpr int events = 20, text_length = 50000;
  constexpr std::size_t quoted = 100000;
  zrcomp engine;
  const translation done =
      translate_with(engine, large_schema(events, text_length), large_source(events, quoted));
  ASSERT_TRUE(done.result) << done.console.substr(0, 2000);
  EXPECT_TRUE(*done.result == large_result(events, text_length, quoted));
}

// A 10 MB schema and a 200 MB source. It needs several GB of memory and
// minutes, so it runs only when ZR_LARGE_TESTS is set (see fuzz/README.md).
TEST(EngineFaults, LargeTenMegabyteSchemaAndTwoHundredMegabyteSource) {
  if (!std::getenv("ZR_LARGE_TESTS")) GTEST_SKIP() << "set ZR_LARGE_TESTS=1 to run";
  constexpr int events = 200, text_length = 50000;
  constexpr std::size_t quoted = 200'000'000;
  zrcomp engine;
  const translation done =
      translate_with(engine, large_schema(events, text_length), large_source(events, quoted));
  ASSERT_TRUE(done.result) << done.console.substr(0, 2000);
  EXPECT_TRUE(*done.result == large_result(events, text_length, quoted));
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct translation_case {
  std::string schema;
  std::string source;
};

// Every golden case and the bundled example.
std::vector<translation_case> all_cases() {
  const std::filesystem::path root(ZR_SOURCE_DIR);
  std::vector<translation_case> cases;
  for (const auto& entry : std::filesystem::directory_iterator(root / "tests/golden"))
    cases.push_back({read_file(entry.path() / "schema"), read_file(entry.path() / "source")});
  cases.push_back(
      {read_file(root / "example/vbs_c/s.txt"), read_file(root / "example/vbs_c/reallife.inc")});
  return cases;
}

TEST(EngineFaults, EightThreadsAtOnceGiveTheResultsOfOneByOne) {
  const std::vector<translation_case> cases = all_cases();
  ASSERT_GT(cases.size(), 10u);
  std::vector<translation> expected;
  zrcomp engine;
  for (const translation_case& c : cases)
    expected.push_back(translate_with(engine, c.schema, c.source));

  // Each thread runs every case twice, starting at a different case, so
  // different translations overlap in time.
  constexpr int thread_count = 8;
  std::vector<std::vector<translation>> got(thread_count, std::vector<translation>(cases.size()));
  std::vector<std::thread> threads;
  for (int t = 0; t < thread_count; ++t) {
    threads.emplace_back([&, t] {
      zrcomp own;
      for (std::size_t n = 0; n < 2 * cases.size(); ++n) {
        const std::size_t i = (t + n) % cases.size();
        got[t][i] = translate_with(own, cases[i].schema, cases[i].source);
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  for (int t = 0; t < thread_count; ++t)
    for (std::size_t i = 0; i < cases.size(); ++i)
      EXPECT_TRUE(got[t][i] == expected[i]) << "thread " << t << ", case " << i;
}

}  // namespace
}  // namespace zr
