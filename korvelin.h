// korvelin: the CGI support library. Includes every public header.
#ifndef KORVELIN_H
#define KORVELIN_H

#include "support/clock.h"
#include "support/journal.h"

#endif
