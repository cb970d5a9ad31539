// What every importer does to a link it has read: its category, and the
// rewriting of local links into the form that the platform's file names take.
#pragma once

#include "addressdb/record.h"

// Sets record.type from its link; a local link ("file:" in any case) then
// loses the empty host of "file:///" and gets backslashes for slashes.
void ClassifyImportedLink(AddressRecord& record);

// Case-insensitive search for an ASCII word (letters compared a-z = A-Z).
bool MatchesAsciiWord(const char* at, const char* word, std::size_t length);
