// SubAbsStrPos looking for 70 'a' then 'b' in a buffer of 'a' only: every
// position matches 70 bytes before it fails, the worst case of a byte-by-byte
// search. Measured at 1 MB and at 10 MB to show the time grows with the size.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/library/inputs.h"
#include "korvelin/text/edit.h"

namespace {

void SubAbsStrPosA70B(benchmark::State& state) {
  const std::string buffer(static_cast<std::size_t>(state.range(0)) * bench::kMB, 'a');
  const std::string pattern = std::string(70, 'a') + 'b';
  const int length = static_cast<int>(buffer.size());
  if (SubAbsStrPos(buffer.c_str(), length, 0, pattern.c_str()) != length) state.SkipWithError("found a match");
  for (auto _ : state) benchmark::DoNotOptimize(SubAbsStrPos(buffer.c_str(), length, 0, pattern.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK(SubAbsStrPosA70B)->Arg(1)->Arg(10);

}  // namespace
