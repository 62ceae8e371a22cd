// Writing a whole text into a file (internal to the storage code).
#ifndef KORVELIN_STORAGE_WRITE_TEXT_H
#define KORVELIN_STORAGE_WRITE_TEXT_H

enum class WriteOutcome {
  kWritten,      // every byte reached the file and the close succeeded
  kOpenFailed,   // the file could not be opened, or is no regular file; nothing was written
  kWriteFailed,  // the file was opened, but a write or the close failed
};

// Opens path for writing, created with mode 0666 when missing, either appending to it or
// cutting it to length 0 first, and writes text without its terminator. Only a regular
// file is opened, without waiting (a named pipe is refused, never waited on).
WriteOutcome WriteText(const char* path, bool append, const char* text);

#endif
