// Journaling a formatted failure message (internal).
#ifndef KORVELIN_SUPPORT_INTERNAL_JOURNAL_MESSAGE_H
#define KORVELIN_SUPPORT_INTERNAL_JOURNAL_MESSAGE_H

#include <cstddef>

#include "korvelin/support/internal/config.h"
#include "korvelin/support/internal/strings.h"

// Every message the library and the programs journal is composed in this many
// bytes; a longer one (a caller's very long path) is cut there.
inline constexpr std::size_t kJournalMessageSize = 200;

// The longest path the library composes itself: the data root, "counters/",
// a 50-byte counter name and ".log". A message puts at most 32 bytes of its own
// text around such a path, so with the data root's configured limit it is never cut.
inline constexpr std::size_t kLongestDataPath =
    kDataRootLength + LiteralLength("counters/") + 50 + LiteralLength(".log");
static_assert(kLongestDataPath + 32 <= kJournalMessageSize,
              "a data root this long would cut the journal's messages");

// Formats the message into kJournalMessageSize bytes and hands it to SaveError.
void JournalMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
