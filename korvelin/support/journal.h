// The error journal: failures the visitor is not told about.
#ifndef KORVELIN_SUPPORT_JOURNAL_H
#define KORVELIN_SUPPORT_JOURNAL_H

// Appends one entry with message to the journal named after SCRIPT_NAME under the data root's
// allerror directory; 1 when written, 0 when no journal could be named, opened or written.
// A journal that was named but could not be opened or written gets the entry on standard
// error instead. CR and LF in the client's values, and an empty line in message, are
// written as spaces, so an entry always ends where it should.
int SaveError(const char* message);
// malloc(size); on failure journals "... (malloc(size)=NULL)" and returns null. Release with free.
char* MallocMemory(int size);

#endif
