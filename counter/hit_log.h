// The counters' hit logs: one text file per counter name, one line per hit.
#ifndef KORVELIN_COUNTER_HIT_LOG_H
#define KORVELIN_COUNTER_HIT_LOG_H

#include <cstddef>

#include "counter/request.h"

// Appends the request's hit line to the log of the counter name (name_length bytes,
// of which the first 50 name the file); a hit that cannot be logged is journaled.
void LogHit(const char* name, std::size_t name_length, const CounterRequest& request);

#endif
