// The paired-file store: one growing text kept in two files used in turn.
//
// Writers append to the current file; once it has reached a size, or the other file
// has aged a number of minutes, the next write cuts the other file and goes there.
// The store keeps at most two generations; which file is current is worked out on
// every call from the files' modification times to the nanosecond (and sizes, for equal
// times), symbolic links followed. A writer leaves the file it wrote the newer of the two,
// however fast the writes come.
#ifndef KORVELIN_STORAGE_TWO_FILES_H
#define KORVELIN_STORAGE_TWO_FILES_H

// 0 when neither file is present, else the number (1 or 2) of the current file.
int TwoFilesTime(const char* file1, const char* file2);
// Sets *text (unless text is null) to a new string, released with free: part 0 the other
// file's text then the current one's, 1 the other's, 2 the current one's, any other part
// empty; null only when memory ran out. Files that cannot be read are journaled. Always 0.
int TwoFilesRead(int part, const char* file1, const char* file2, char** text);
// Appends text to the current file, first switching to the other file (cut to length 0) when the
// current file's size (measure other than 1) or the other file's age in minutes (measure 1) has
// reached threshold; 0 when the whole text reached the file, -1 otherwise (nothing journaled).
// Only regular files are written; a named pipe is refused, never waited on.
int TwoFilesWrite(const char* file1, const char* file2, int measure, int threshold, const char* text);

#endif
