// Inputs of the library benchmarks, built once and deterministically.
#ifndef KORVELIN_BENCH_INPUTS_H
#define KORVELIN_BENCH_INPUTS_H

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

constexpr std::size_t kMB = 1 << 20;

// A URL-encoded form of about size bytes: plain, line-break ("10") and markup
// ("biu") fields with '+' spaces, Cyrillic and control bytes as %XX escapes,
// quotes, ampersands and tags.
std::string UrlEncodedForm(std::size_t size);

// count records "fieldNNNN=..." joined by CR LF, as the form decoder writes them.
std::string RecordBuffer(int count);
// The name of record index of RecordBuffer.
std::string RecordName(int index);

// The boundary line of the multipart bodies (a browser's, two hyphens included).
extern const char kBoundaryLine[];

enum class FileBytes {
  kRandom,        // random bytes, as a compressed image has
  kNearBoundary,  // LF + the boundary line with its last byte changed, over and over
};

// A multipart/form-data body: text field "title", file "photo" with file_size
// bytes of data, text field "comment" after the file, and the closing line.
// The vector holds the body and the zero byte after it.
std::vector<char> MultipartBody(std::size_t file_size, FileBytes kind);
// Index of the first byte of the file's data in every MultipartBody.
std::size_t FileDataStart();

// Restores the bytes that a lookup wrote into a body: the zero at ends[i] becomes
// the byte the pristine body has there.
void RestoreBytes(std::vector<char>& body, const std::vector<char>& pristine, const std::vector<char*>& ends);

}  // namespace bench

#endif
