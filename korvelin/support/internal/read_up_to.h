// Taking a known number of bytes from a file descriptor (internal).
#ifndef KORVELIN_SUPPORT_INTERNAL_READ_UP_TO_H
#define KORVELIN_SUPPORT_INTERNAL_READ_UP_TO_H

#include <cstddef>

// Reads until length bytes have arrived, asking again after a short read or a
// signal, and never asks for more than remain; the count delivered, smaller when
// the input ended or failed first.
std::size_t ReadUpTo(int fd, char* buffer, std::size_t length);

#endif
