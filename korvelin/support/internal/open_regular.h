// Opening a file for writing that must be a regular file (internal).
#ifndef KORVELIN_SUPPORT_INTERNAL_OPEN_REGULAR_H
#define KORVELIN_SUPPORT_INTERNAL_OPEN_REGULAR_H

// Opens path for writing with the extra open flags given (O_APPEND, say), creating it
// with mode 0666 as fopen does; a descriptor or -1. The open never waits (a named pipe
// without a reader would hold a request forever) and never makes a terminal the
// controlling one of a process that has none, such as a daemon. Anything but a regular file (a pipe, a
// device, a directory) is closed again and refused with errno EINVAL, before anything
// is written or cut.
int OpenRegularForWriting(const char* path, int flags);
// The same with every open flag the caller's: its access mode (O_RDWR for a caller that
// also reads the file) and whether a missing file is created (O_CREAT) or refused.
int OpenRegular(const char* path, int flags);

#endif
