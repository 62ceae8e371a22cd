#include "korvelin/support/internal/journal_message.h"

#include <cstdarg>
#include <cstdio>

#include "korvelin/support/journal.h"

void JournalMessage(const char* format, ...) {
  char message[kJournalMessageSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  SaveError(message);
}
