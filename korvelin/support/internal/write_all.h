// Handing a whole byte area to a file descriptor (internal).
#ifndef KORVELIN_SUPPORT_INTERNAL_WRITE_ALL_H
#define KORVELIN_SUPPORT_INTERNAL_WRITE_ALL_H

#include <cstddef>

// Writes every byte, offering the rest again after a short write or a signal;
// true when all were taken, false when the kernel refused (disk full, reader gone).
bool WriteAll(int fd, const char* bytes, std::size_t length);

#endif
