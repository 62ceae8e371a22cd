// The CGI front end's request: the values the web server put in the environment.
#ifndef KORVELIN_COUNTER_ENVIRONMENT_H
#define KORVELIN_COUNTER_ENVIRONMENT_H

#include "counter/request.h"

CounterRequest RequestFromEnvironment();

#endif
