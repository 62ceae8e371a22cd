// Compile-time settings of the build (internal: not part of the public headers).
#ifndef KORVELIN_SUPPORT_CONFIG_H
#define KORVELIN_SUPPORT_CONFIG_H

#include <cstddef>

#ifndef KORVELIN_DATA_ROOT
#error "KORVELIN_DATA_ROOT must be defined by the build"
#endif

// The data root, ending with a slash; every path buffer is sized from it.
inline constexpr char kDataRoot[] = KORVELIN_DATA_ROOT;
inline constexpr std::size_t kDataRootLength = sizeof(kDataRoot) - 1;

#endif
