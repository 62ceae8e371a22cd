// Opening files without waiting, and for writing only regular ones (internal).
#ifndef KORVELIN_SUPPORT_INTERNAL_OPEN_REGULAR_H
#define KORVELIN_SUPPORT_INTERNAL_OPEN_REGULAR_H

// open(2) with the flags given (access mode, O_CREAT, O_APPEND, ...), creating a missing
// file with mode 0666 as fopen does; a descriptor or -1. The open never waits (a named
// pipe without a reader or writer would hold a request forever), never makes a terminal
// the controlling one of a process that has none, such as a daemon, and is closed in
// programs the process starts. What the file is, is not checked.
int OpenWithoutWaiting(const char* path, int flags);

// Opens path for writing with the extra open flags given (O_APPEND, say), creating it;
// a descriptor or -1. Anything but a regular file (a pipe, a device, a directory) is
// closed again and refused with errno EINVAL, before anything is written or cut.
int OpenRegularForWriting(const char* path, int flags);

#endif
