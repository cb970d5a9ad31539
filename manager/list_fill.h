// Filling a sorted list box quickly: its names go in at the end, already in
// the order the list box would have given them had they been added one by
// one, so that it compares nothing.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// A name's sort key in the list box's comparison: the user's locale,
// letters compared without case, the name read in the system's code page.
std::string ListKey(std::string_view name);

struct ListEntry {
  std::string name;
  LPARAM data;  // the item data it carries
};

// Empties list and fills it with entries, as adding them one by one in this
// order would.
void FillSortedList(HWND list, const std::vector<ListEntry>& entries);
