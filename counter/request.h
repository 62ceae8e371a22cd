// One request to the counting redirect, whichever front end received it, and its answer.
#ifndef KORVELIN_COUNTER_REQUEST_H
#define KORVELIN_COUNTER_REQUEST_H

#include <cstddef>

// The values the counter reads from a request; an absent one is null.
struct CounterRequest {
  const char* query;          // QUERY_STRING: target, plus sign, counter name
  const char* remote_addr;    // REMOTE_ADDR
  const char* remote_host;    // REMOTE_HOST
  const char* forwarded_for;  // HTTP_X_FORWARDED_FOR
  const char* referer;        // HTTP_REFERER
  const char* script_name;    // SCRIPT_NAME, which names the error journal
};

// The longest query the counter accepts; a longer one is sent to the home page.
inline constexpr std::size_t kCounterQueryMax = 1000;
// Room for "Location: ", the longest target or the home-page address, and "\n\n".
inline constexpr std::size_t kCounterAnswerMax = 10 + kCounterQueryMax + 2;

// The answer bytes: one Location header and the empty line that ends the header.
struct CounterAnswer {
  char bytes[kCounterAnswerMax];
  std::size_t length;
};

#endif
