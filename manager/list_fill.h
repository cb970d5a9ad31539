// A page's sorted list box filled quickly and kept in step with the store: its
// names go in at the end, already in the order the list box would have given
// them had they been added one by one, so that it compares nothing; after a
// change of the store only the items that differ are touched.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "addressdb/store.h"

// A name's sort key in the list box's comparison: the user's locale,
// letters compared without case, the name read in the system's code page.
std::string ListKey(std::string_view name);

// What a list shows: its records in the store's order, each with its name
// and that name's key, and the order in which the list shows them.
struct ShownList {
  std::vector<long> records;  // store positions, ascending; the items' data
  std::vector<std::string> names, keys;
  std::vector<std::size_t> order;  // indices of the above, item by item
  bool distinct = false;           // no two keys are equal
};

// Fills list with shown's records and names (their keys made here), as adding
// them one by one in the store's order would.
void FillSortedList(HWND list, ShownList& shown);

// Whether the record at a store position belongs in the list, and its name.
using Belongs = std::function<bool(long position, std::string& name)>;

// After a change of the store that moved records as move says (not whole),
// and rewrote the record now at 'changed' (-1: none): list and shown as a
// fresh fill would leave them, with only the differing items replaced and
// the data of moved ones set anew.
void FollowStoreMove(HWND list, ShownList& shown, const StoreMove& move, long changed, const Belongs& belongs);
