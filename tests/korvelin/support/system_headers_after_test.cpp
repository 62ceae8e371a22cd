// The public headers before the system's: the functions utime and ftime declared after
// the records must leave the records usable by their struct names.
#include "korvelin/korvelin.h"

#include <sys/stat.h>
#include <sys/timeb.h>
#include <time.h>
#include <utime.h>

#include "tests/korvelin/support/system_headers_check.h"

TEST(SystemHeaders, PublicHeadersCompileBeforeTheSystems) { CheckRecordsBesideSystemFunctions(); }
