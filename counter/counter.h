// The counting redirect: one CGI request, from the environment to the response.
#ifndef KORVELIN_COUNTER_COUNTER_H
#define KORVELIN_COUNTER_COUNTER_H

// Handles the request described by the CGI environment: appends the hit line to
// the counter's log and writes the Location response to out_fd.
void CountAndRedirect(int out_fd);

#endif
