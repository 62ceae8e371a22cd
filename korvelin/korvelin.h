// korvelin: the CGI support library. Includes every public header.
#ifndef KORVELIN_H
#define KORVELIN_H

#include "korvelin/form/decoder.h"
#include "korvelin/form/html_text.h"
#include "korvelin/form/multipart.h"
#include "korvelin/form/records.h"
#include "korvelin/form/request_body.h"
#include "korvelin/profile/access_key.h"
#include "korvelin/profile/nickname.h"
#include "korvelin/profile/validators.h"
#include "korvelin/storage/error_page.h"
#include "korvelin/storage/files.h"
#include "korvelin/storage/two_files.h"
#include "korvelin/support/calendar.h"
#include "korvelin/support/clock.h"
#include "korvelin/support/journal.h"
#include "korvelin/text/cp1251.h"
#include "korvelin/text/edit.h"
#include "korvelin/text/hex.h"

#endif
