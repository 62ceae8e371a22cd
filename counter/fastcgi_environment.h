// The FastCGI front end's requests: the values each request carries, and the process
// environment set from them.
#ifndef KORVELIN_COUNTER_FASTCGI_ENVIRONMENT_H
#define KORVELIN_COUNTER_FASTCGI_ENVIRONMENT_H

#include "counter/request.h"

// The request's values from its FastCGI parameters (FCGX_Request::envp).
CounterRequest RequestFromParameters(char** parameters);

// The error journal reads its name and its client fields from the process environment,
// as in a CGI run: these are set from the request (an absent one is unset, so it reads
// "(null)"), and nothing of an earlier request is left in them.
void ExportToEnvironment(const CounterRequest& request);

#endif
