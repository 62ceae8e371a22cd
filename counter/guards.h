// The abuse guards, chosen when the counter is built (both off by default).
#ifndef KORVELIN_COUNTER_GUARDS_H
#define KORVELIN_COUNTER_GUARDS_H

#include <cstddef>

// Whether the counter may send a visitor to target (length bytes). Without a list
// of redirect hosts every target is followed; with one, only a path on this site or an
// http/https address on a listed host.
bool RedirectAllowed(const char* target, std::size_t length);

// Whether hits are logged only in hit logs that exist already, so a request can
// never create a file.
#ifdef KORVELIN_KNOWN_COUNTERS
inline constexpr bool kKnownCountersOnly = true;
#else
inline constexpr bool kKnownCountersOnly = false;
#endif

#endif
