// korvelin: the CGI support library. Includes every public header.
#ifndef KORVELIN_H
#define KORVELIN_H

#include "form/decoder.h"
#include "form/multipart.h"
#include "form/records.h"
#include "profile/access_key.h"
#include "profile/nickname.h"
#include "profile/validators.h"
#include "storage/error_page.h"
#include "storage/files.h"
#include "storage/two_files.h"
#include "support/calendar.h"
#include "support/clock.h"
#include "support/journal.h"
#include "text/edit.h"
#include "text/hex.h"

#endif
