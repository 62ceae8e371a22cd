// How old the paired-file store's other file is (internal to the storage code).
#ifndef KORVELIN_STORAGE_STORE_AGE_H
#define KORVELIN_STORAGE_STORE_AGE_H

#include "korvelin/support/clock.h"

// Minutes from the minute of written (seconds unused) to the minute of now on today,
// whole days added only when today is later; may be negative when the clock went back.
int StoreAgeMinutes(ftime written, date today, utime now);

#endif
