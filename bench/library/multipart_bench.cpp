// Multipart lookups on a 10 MB upload, against memmem of the pattern each one
// searches the upload for; and the same lookups over uploads made of bytes that
// almost match the boundary, at 1 MB and at 10 MB, to show that their time grows
// in proportion to the size.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "korvelin/form/multipart.h"
#include "bench/library/inputs.h"

namespace {

using bench::FileBytes;
using bench::kMB;

void SetBytes(benchmark::State& state, const std::vector<char>& body) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (body.size() - 1)));
}

// The lookups write zero bytes into the body (over the CR after a text value,
// over the quote after a file name and over the CR after a content type); each
// iteration puts those few bytes back from the pristine copy, so every lookup
// sees the same body. Restoring costs a few byte writes, nothing next to the scan.

// The text field "comment" lies after the upload: finding its header scans it.
void TextField(benchmark::State& state, FileBytes kind) {
  const std::vector<char> pristine = bench::MultipartBody(static_cast<std::size_t>(state.range(0)) * kMB, kind);
  std::vector<char> body = pristine;
  const int length = static_cast<int>(body.size() - 1);
  int value_length = 0;
  char* value = NameValueFormdata(body.data(), length, "comment", &value_length);
  if (value == nullptr || std::string(value) != "The sea at dawn") state.SkipWithError("wrong value");
  for (auto _ : state) {
    value = NameValueFormdata(body.data(), length, "comment", &value_length);
    bench::RestoreBytes(body, pristine, {value + value_length});
  }
  SetBytes(state, body);
}

// The file "photo": finding the end of its data scans the upload.
void FileField(benchmark::State& state, FileBytes kind) {
  const std::size_t size = static_cast<std::size_t>(state.range(0)) * kMB;
  const std::vector<char> pristine = bench::MultipartBody(size, kind);
  std::vector<char> body = pristine;
  const int length = static_cast<int>(body.size() - 1);
  char* file_name = nullptr;
  char* content_type = nullptr;
  int data_length = 0;
  char* data = FileValueFormdata(body.data(), length, "photo", &file_name, &content_type, &data_length);
  if (data == nullptr || static_cast<std::size_t>(data_length) != size || std::string(file_name) != "sea.jpg" ||
      std::string(content_type) != "image/jpeg") {
    state.SkipWithError("wrong file");
  }
  bench::RestoreBytes(body, pristine, {file_name + 7, content_type + 10});
  for (auto _ : state) {
    data = FileValueFormdata(body.data(), length, "photo", &file_name, &content_type, &data_length);
    benchmark::DoNotOptimize(data);
    bench::RestoreBytes(body, pristine, {file_name + 7, content_type + 10});
  }
  SetBytes(state, body);
}

void NameValueFormdata10MB(benchmark::State& state) { TextField(state, FileBytes::kRandom); }
BENCHMARK(NameValueFormdata10MB)->Arg(10);

void FileValueFormdata10MB(benchmark::State& state) { FileField(state, FileBytes::kRandom); }
BENCHMARK(FileValueFormdata10MB)->Arg(10);

// memmem over the same body for the header of "comment" (from the body's start)
// and for the LF + boundary line that ends the file's data (from the data's start).
void Memmem(benchmark::State& state, const std::string& pattern, std::size_t from) {
  const std::vector<char> body = bench::MultipartBody(static_cast<std::size_t>(state.range(0)) * kMB, FileBytes::kRandom);
  for (auto _ : state) {
    benchmark::DoNotOptimize(memmem(body.data() + from, body.size() - 1 - from, pattern.data(), pattern.size()));
  }
  SetBytes(state, body);
}

void MemmemTextHeader10MB(benchmark::State& state) {
  Memmem(state, std::string(bench::kBoundaryLine) + "\r\nContent-Disposition: form-data; name=\"comment\"", 0);
}
BENCHMARK(MemmemTextHeader10MB)->Arg(10);

void MemmemFileEnd10MB(benchmark::State& state) {
  Memmem(state, std::string("\n") + bench::kBoundaryLine, bench::FileDataStart());
}
BENCHMARK(MemmemFileEnd10MB)->Arg(10);

void NameValueFormdataNearBoundary(benchmark::State& state) { TextField(state, FileBytes::kNearBoundary); }
BENCHMARK(NameValueFormdataNearBoundary)->Arg(1)->Arg(10);

void FileValueFormdataNearBoundary(benchmark::State& state) { FileField(state, FileBytes::kNearBoundary); }
BENCHMARK(FileValueFormdataNearBoundary)->Arg(1)->Arg(10);

}  // namespace
