// Whole-file reading and writing: a file treated as one text.
//
// Failures are reported by the result (0 or -1, or null) and by one line in the
// error journal; FileExists and filelen journal nothing.
#ifndef KORVELIN_STORAGE_FILES_H
#define KORVELIN_STORAGE_FILES_H

// Attempts a caller may hand to the readers when waiting for an end marker; 50.
extern int AttemptCount;

// 1 when path can be opened for reading, else 0 (a file without read permission counts as absent).
int FileExists(const char* path);
// The size of path's own directory entry (a symbolic link's, not its target's), INT_MAX from 2 GiB on;
// -1 when it cannot be examined.
int filelen(const char* path);
// Removes path (a file or an empty directory); 0 on success, -1 (journaled) otherwise.
int FileDelete(const char* path);
// Replaces path's contents with text (without its terminator); 0 when every byte reached the file,
// -1 (journaled) otherwise. Only a regular file is written: anything else (a named pipe, a device)
// is refused, without waiting, as a file that cannot be opened.
int FileWrite(const char* path, const char* text);
// Reads path whole into a new buffer: the bytes, a zero, then spare bytes (negative counts as 0);
// mode 'y' re-reads up to attempts times until the last byte is 27. Null (journaled) on failure;
// an open failure is journaled only when journal is non-zero. Release the buffer with free.
char* FileReadWithParam(const char* path, int attempts, int spare, char mode, int journal);
// FileReadWithParam with every failure journaled.
char* FileRead(const char* path, int attempts, int spare, char mode);

#endif
