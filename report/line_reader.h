// Lines of a file in large reads: the file is never held whole, and no line is
// copied unless it straddles two reads.
#ifndef KORVELIN_REPORT_LINE_READER_H
#define KORVELIN_REPORT_LINE_READER_H

#include <cstddef>
#include <memory>
#include <string_view>

class LineReader {
 public:
  // Bytes read at once; a line longer than this is given as overlong, not whole.
  static constexpr std::size_t kBlockSize = 1 << 20;

  enum class Kind {
    kComplete,  // ended by a line feed (not included)
    kTorn,      // the file ends without the line feed
    kOverlong,  // longer than kBlockSize: skipped up to its line feed
  };

  // Reads the open descriptor fd from its current offset.
  explicit LineReader(int fd);

  // Sets *line and *kind to the next line; false at the end of the file. After
  // a failed read, error() is the errno and the end is reported.
  bool Next(std::string_view* line, Kind* kind);
  int error() const { return error_; }

 private:
  bool Fill();

  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // the first byte not yet handed out
  std::size_t end_ = 0;    // one past the last byte read
  bool eof_ = false;
  bool skipping_ = false;  // inside an overlong line, up to its line feed
  int error_ = 0;
};

#endif
