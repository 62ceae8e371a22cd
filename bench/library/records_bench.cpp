// Lookups of the last record in a buffer of 1,000 records (each scans the whole
// buffer), against memmem of the record's start over the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "korvelin/form/records.h"
#include "bench/library/inputs.h"

namespace {

constexpr int kRecords = 1000;

void SetBytes(benchmark::State& state, const std::string& buffer) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * buffer.size()));
}

void SubStrUserPos1000(benchmark::State& state) {
  const std::string buffer = bench::RecordBuffer(kRecords);
  const std::string name = bench::RecordName(kRecords - 1);
  int expected = static_cast<int>(buffer.rfind(name + "=") + name.size() + 1);
  if (SubStrUserPos(buffer.c_str(), name.c_str()) != expected) state.SkipWithError("wrong index");
  for (auto _ : state) benchmark::DoNotOptimize(SubStrUserPos(buffer.c_str(), name.c_str()));
  SetBytes(state, buffer);
}
BENCHMARK(SubStrUserPos1000);

// NameValuePtrZero terminates the value in place: each iteration puts back the
// one byte it wrote (the CR after the value), so every lookup sees the same area.
void NameValuePtrZero1000(benchmark::State& state) {
  const std::string buffer = bench::RecordBuffer(kRecords);
  const std::string name = bench::RecordName(kRecords - 1);
  std::vector<char> area(buffer.c_str(), buffer.c_str() + buffer.size() + 1);
  const int length = static_cast<int>(buffer.size());
  char* value = NameValuePtrZero(area.data(), length, name.c_str(), 0);
  if (value == nullptr || std::strncmp(value, "value of the field", 18) != 0) state.SkipWithError("wrong value");
  for (auto _ : state) {
    value = NameValuePtrZero(area.data(), length, name.c_str(), 0);
    benchmark::DoNotOptimize(value);
    value[std::strlen(value)] = '\r';
  }
  SetBytes(state, buffer);
}
BENCHMARK(NameValuePtrZero1000);

void Memmem1000(benchmark::State& state) {
  const std::string buffer = bench::RecordBuffer(kRecords);
  const std::string pattern = "\n" + bench::RecordName(kRecords - 1) + "=";
  for (auto _ : state) {
    benchmark::DoNotOptimize(memmem(buffer.data(), buffer.size(), pattern.data(), pattern.size()));
  }
  SetBytes(state, buffer);
}
BENCHMARK(Memmem1000);

}  // namespace
