// Opening a file for writing that must be a regular file (internal).
#ifndef KORVELIN_SUPPORT_INTERNAL_OPEN_REGULAR_H
#define KORVELIN_SUPPORT_INTERNAL_OPEN_REGULAR_H

// Opens path for writing with the extra open flags given (O_APPEND, say), creating it
// with mode 0666 as fopen does; a descriptor or -1. The open never waits: a named pipe
// without a reader would hold a request forever. Anything but a regular file (a pipe, a
// device, a directory) is closed again and refused with errno EINVAL, before anything
// is written or cut.
int OpenRegularForWriting(const char* path, int flags);

#endif
