#include "counter/fastcgi_environment.h"

#include <unistd.h>

// Nothing in a request's path sets a variable, so the parameters are only read while
// they stand in for the environment, and the process's own array is never reallocated.
RequestEnvironment::RequestEnvironment(char** parameters) : saved_(environ) {
  environ = parameters;
}

RequestEnvironment::~RequestEnvironment() { environ = saved_; }
