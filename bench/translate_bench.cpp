// Whole translations of growing sources under a small schema, to see that
// time grows linearly with the source (bytes per second stays flat).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/zrcomp.h"

namespace {

class discard_output : public zr::output_object {
 public:
  void writes(const std::string&) override {}
};

// Words, separators and string constants read with upto, printed back.
const char* const schema =
    "\\\\print while processing=f\n"
    "\\\\schema bench\n"
    "-r\n"
    "  .id .t 0\n"
    "  ; `;` 0\n"
    "  ' `'` 0 \\upto'\n"
    "  .eot `` 1 -e\n"
    "\\\\end schema\n"
    "\\\\end file\n";

std::string source_of(std::size_t bytes) {
  const std::string line = "alpha beta;gamma 'a string constant' delta12 \"x\";\r\n";
  std::string source;
  source.reserve(bytes + line.size());
  while (source.size() < bytes)
    source += line;
  return source;
}

void BM_Translate(benchmark::State& state) {
  const std::string source = source_of(static_cast<std::size_t>(state.range(0)) << 20);
  zr::zrcomp engine;
  engine.give_write_method(std::make_shared<discard_output>());
  for (auto _ : state) {
    std::optional<std::string> result = engine.translate(schema, source);
    if (!result) state.SkipWithError("translation failed");
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(source.size()));
}

BENCHMARK(BM_Translate)->Arg(1)->Arg(4)->Arg(20)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
