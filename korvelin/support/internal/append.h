// Appending whole lines to shared text files (internal).
//
// Many requests append to the same hit log or journal at once, without a lock.
// Each line is therefore composed whole in memory and handed to the kernel in
// one write(2) on an O_APPEND descriptor: the kernel places it at the end of the
// file in one piece, so lines from concurrent processes never interleave.
#ifndef KORVELIN_SUPPORT_APPEND_H
#define KORVELIN_SUPPORT_APPEND_H

// Opens path for appending, creating it with mode 0666 (as fopen "a" does); a descriptor or -1.
// Only a regular file is taken, without waiting (see OpenRegularForWriting).
int AppendOpen(const char* path);
// Formats the text and writes it with one write(2); 0 when every byte reached the file, else -1.
int AppendFormatted(int fd, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Closes fd; 0 on success, -1 when the close reported an error.
int AppendClose(int fd);

#endif
