// korvelin: the CGI support library. Includes every public header.
#ifndef KORVELIN_H
#define KORVELIN_H

#include "support/calendar.h"
#include "support/clock.h"
#include "support/journal.h"
#include "text/edit.h"
#include "text/hex.h"

#endif
