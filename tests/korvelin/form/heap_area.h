// A byte area in a heap block of exactly its length plus the zero byte after it,
// so the sanitizers report any access beyond that zero byte.
#ifndef KORVELIN_TESTS_FORM_HEAP_AREA_H
#define KORVELIN_TESTS_FORM_HEAP_AREA_H

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

class HeapArea {
 public:
  explicit HeapArea(const std::string& bytes, size_t room = 0)
      : length_(static_cast<int>(bytes.size())), block_(new char[std::max(bytes.size() + 1, room)]) {
    std::memcpy(block_.get(), bytes.data(), bytes.size());
    block_[bytes.size()] = '\0';
  }
  char* data() { return block_.get(); }
  int length() const { return length_; }
  // Index of an address inside the block.
  long IndexOf(const char* p) const { return p - block_.get(); }
  // The whole area and the byte after it, as they stand now.
  std::string Bytes() const { return std::string(block_.get(), length_ + 1); }

 private:
  int length_;
  std::unique_ptr<char[]> block_;
};

#endif
