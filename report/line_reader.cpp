#include "report/line_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

// The buffer is not cleared: only bytes read into it are ever looked at.
LineReader::LineReader(int fd) : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kBlockSize)) {}

// Moves the unfinished line to the front and reads more after it; false when
// nothing more can be read.
bool LineReader::Fill() {
  if (eof_) return false;
  std::size_t kept = end_ - begin_;
  if (kept > 0 && begin_ > 0) memmove(buffer_.get(), buffer_.get() + begin_, kept);
  begin_ = 0;
  end_ = kept;
  for (;;) {
    ssize_t got = read(fd_, buffer_.get() + end_, kBlockSize - end_);
    if (got > 0) {
      end_ += static_cast<std::size_t>(got);
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error_ = errno;
    eof_ = true;
    return false;
  }
}

bool LineReader::Next(std::string_view* line, Kind* kind) {
  for (;;) {
    const char* start = buffer_.get() + begin_;
    const char* feed = static_cast<const char*>(memchr(start, '\n', end_ - begin_));
    if (feed != nullptr) {
      std::size_t length = static_cast<std::size_t>(feed - start);
      begin_ += length + 1;
      if (skipping_) {
        skipping_ = false;
        *line = std::string_view();
        *kind = Kind::kOverlong;
        return true;
      }
      *line = std::string_view(start, length);
      *kind = Kind::kComplete;
      return true;
    }
    if (end_ - begin_ == kBlockSize) {
      // A whole block without a line feed: no hit line is this long.
      skipping_ = true;
      begin_ = end_;
    }
    if (!Fill()) break;
  }
  if (skipping_) {
    skipping_ = false;
    begin_ = end_;
    *line = std::string_view();
    *kind = Kind::kOverlong;
    return true;
  }
  if (begin_ == end_) return false;
  *line = std::string_view(buffer_.get() + begin_, end_ - begin_);
  *kind = Kind::kTorn;
  begin_ = end_;
  return true;
}
