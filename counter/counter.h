// The counting redirect: one request, from its values to the answer bytes.
#ifndef KORVELIN_COUNTER_COUNTER_H
#define KORVELIN_COUNTER_COUNTER_H

#include "counter/request.h"

// Appends the hit line the request describes to its counter's hit log (the line is in
// the file before this returns) and composes the Location answer. Failures go to the
// error journal, which takes its name and its client fields from the process
// environment (SCRIPT_NAME, REMOTE_ADDR, REMOTE_HOST, HTTP_X_FORWARDED_FOR): a front
// end that serves several requests sets those from each request first.
void CountAndRedirect(const CounterRequest& request, CounterAnswer* answer);

#endif
