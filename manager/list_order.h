// Where a sorted list box puts names added one by one. Its binary search puts
// each name before the first item it meets that compares equal, or where the
// search ends; so among equal names (in the list's comparison) the order
// depends on when each came. Worked out here from the names' sort keys, in
// n log n steps, so that a page can put its names at the end of its list in
// the very order adding them one by one would give. No platform calls here.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// keys: each name's sort key (bytes whose order is the list's comparison),
// in the order the names would be added. Returns the indices of keys in the
// order of the filled list.
std::vector<std::size_t> FilledListOrder(const std::vector<std::string>& keys);
