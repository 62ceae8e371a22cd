// The consumer's own clock header, named like the library's and found through
// -I. as a program's headers are: no library header may reach it instead of
// its own.
#ifndef CONSUMER_SUPPORT_CLOCK_H
#define CONSUMER_SUPPORT_CLOCK_H

#ifndef CONSUMER_OWN_HEADERS
#error "a library header included the consumer's support/clock.h"
#endif

// The year of a file time as written on the page.
inline int ConsumerYear(const struct ftime& t) { return 1980 + static_cast<int>(t.year); }

#endif
