// The seven category pages: one dialog procedure per LinkType.
#pragma once
#include <windows.h>

#include "addressdb/record.h"

// The page procedure bound to a category; nullptr for Unknown.
DLGPROC CategoryPage(LinkType type);

// The page of a category rebuilds its list when it is next shown (an import
// stored an entry of that category).
void SetRefillPending(LinkType type);
// Every category page rebuilds its list when it is next shown: after a change
// that moved records or changed their number, the positions its list holds
// may name other records.
void SetRefillPendingAll();
