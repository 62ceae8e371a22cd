// The public headers after the system's: <utime.h> and <sys/timeb.h> declare functions
// named utime and ftime, which hide the records of the same names unless every public
// declaration spells them "struct utime" and "struct ftime".
#include <sys/stat.h>
#include <sys/timeb.h>
#include <time.h>
#include <utime.h>

#include "korvelin/korvelin.h"
#include "tests/korvelin/support/system_headers_check.h"

TEST(SystemHeaders, PublicHeadersCompileAfterTheSystems) { CheckRecordsBesideSystemFunctions(); }
