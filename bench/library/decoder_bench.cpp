// CoderEnviroment on a 64 KB form, against memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "korvelin/form/decoder.h"
#include "bench/library/inputs.h"

namespace {

constexpr std::size_t kFormSize = 64 * 1024;

void CoderEnviroment64K(benchmark::State& state) {
  const std::string form = bench::UrlEncodedForm(kFormSize);
  // Escapes at most double a value's length ('%22' becomes '&quot;'), so four
  // times the source leaves the output uncut.
  std::vector<char> output(4 * form.size());
  const int capacity = static_cast<int>(output.size());
  CoderEnviroment(form.c_str(), output.data(), capacity);
  if (std::strlen(output.data()) + 16 >= output.size()) state.SkipWithError("the output was cut");
  for (auto _ : state) {
    CoderEnviroment(form.c_str(), output.data(), capacity);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * form.size()));
}
BENCHMARK(CoderEnviroment64K);

void Memcpy64K(benchmark::State& state) {
  const std::string form = bench::UrlEncodedForm(kFormSize);
  std::vector<char> output(4 * form.size());
  for (auto _ : state) {
    std::memcpy(output.data(), form.c_str(), form.size() + 1);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * form.size()));
}
BENCHMARK(Memcpy64K);

}  // namespace
