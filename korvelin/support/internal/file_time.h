// A file's modification second as the packed ftime record (internal).
#ifndef KORVELIN_SUPPORT_INTERNAL_FILE_TIME_H
#define KORVELIN_SUPPORT_INTERNAL_FILE_TIME_H

#include <time.h>

#include "korvelin/support/clock.h"

// Stores the local time of seconds into the six fields of t, each masked to its width;
// other bits are left as they were. False (t unchanged) when the time cannot be converted.
bool FileTimeOf(time_t seconds, struct ftime* t);

#endif
