// The consumer's own records header, named like the library's and found
// through -I.: no library header may reach it instead of its own.
#ifndef CONSUMER_FORM_RECORDS_H
#define CONSUMER_FORM_RECORDS_H

#ifndef CONSUMER_OWN_HEADERS
#error "a library header included the consumer's form/records.h"
#endif

// The field the consumer reads from its form.
inline const char* ConsumerField() { return "name"; }

#endif
