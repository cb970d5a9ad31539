// The policy for existing entries, the link-type filter of the Import and
// Export pages, and the one step by which every import stores an entry.
#pragma once
#include <windows.h>

#include <cstdint>

enum ExistingEntryPolicy { Skip = 0, Ask = 1, Overwrite = 2 };

// False only when type is one of the seven categories and its check box on
// page is unchecked.
bool PassesTypeFilter(HWND page, std::uint8_t type);

// Stores CurrentRecord under the policy: appended when its link is new, else
// type, name and link written over the first stored record with that link.
// True when something was stored.
bool InsertImportedEntry(HWND page, int policy);

// Asks whether the stored record at index is to be overwritten.
bool ConfirmOverwrite(long index);
