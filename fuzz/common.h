// What the fuzz targets share: a failed check that libFuzzer reports as a crash, and
// texts held in heap blocks of exactly their size, so AddressSanitizer catches any
// byte read or written past them.
#ifndef KORVELIN_FUZZ_COMMON_H
#define KORVELIN_FUZZ_COMMON_H

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace fuzz {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
  fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  abort();
}

#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::fuzz::Fail(#condition, __FILE__, __LINE__))

// A heap block of exactly size bytes.
class Block {
 public:
  explicit Block(std::size_t size) : bytes_(new char[size]), size_(size) {}
  char* data() { return bytes_.get(); }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_;
};

// The bytes followed by one zero, in a block of exactly bytes.size() + 1 bytes: a byte
// area of known length as the lookups take it, or a zero-terminated text.
inline Block Terminated(const std::string& bytes) {
  Block block(bytes.size() + 1);
  memcpy(block.data(), bytes.data(), bytes.size());
  block.data()[bytes.size()] = '\0';
  return block;
}

// The next text of the input (at most most bytes), up to its first zero byte: a
// zero-terminated text ends there anyway.
inline std::string Text(FuzzedDataProvider& input, std::size_t most) {
  std::string text = input.ConsumeRandomLengthString(most);
  return text.substr(0, strnlen(text.c_str(), text.size()));
}

// The expected values of a checkbox group and the flags a lookup sets for them, with
// one guard flag after them that no lookup may touch.
class Checkboxes {
 public:
  explicit Checkboxes(const std::vector<std::string>& values) : present_(values.size() + 1, 7) {
    for (const std::string& value : values) expected_.push_back(value.c_str());
  }
  int count() const { return static_cast<int>(expected_.size()); }
  const char* const* expected() const { return expected_.data(); }
  int* present() { return present_.data(); }
  const std::vector<int>& flags() const { return present_; }

  // Checks that every flag is 0 or 1 and the guard is untouched; the number of 1s.
  int Flagged() const {
    int flagged = 0;
    for (int i = 0; i < count(); ++i) {
      FUZZ_CHECK(present_[i] == 0 || present_[i] == 1);
      flagged += present_[i];
    }
    FUZZ_CHECK(present_[count()] == 7);
    return flagged;
  }

 private:
  std::vector<const char*> expected_;
  std::vector<int> present_;
};

}  // namespace fuzz

#endif
