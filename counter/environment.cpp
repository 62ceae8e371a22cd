#include "counter/environment.h"

#include <cstdlib>

CounterRequest RequestFromEnvironment() {
  return {getenv("QUERY_STRING"),         getenv("REMOTE_ADDR"),  getenv("REMOTE_HOST"),
          getenv("HTTP_X_FORWARDED_FOR"), getenv("HTTP_REFERER"), getenv("SCRIPT_NAME")};
}
