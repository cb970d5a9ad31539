// The scan of a Mosaic hotlist: every "Item" mark gives one entry, a name line
// followed by a link line.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "addressdb/record.h"

// Whether a chosen file's title holds ".hot", ".Hot", ".HOt" or ".HOT".
bool IsHotlistFileTitle(std::string_view title);

// Whether the data begins with "Hotlist", ASCII letters in any case.
bool IsHotlist(std::string_view data);

// Number of marks "Item" (any case) in the data.
std::size_t CountHotlistMarks(std::string_view data);

// For every mark in file order: clears entry, fills name, link and type (local
// links rewritten) and calls store(handled), handled counting from 1. A line
// that reaches the end of the data without a CR takes the text up to the end.
void ScanHotlist(std::string_view data, AddressRecord& entry,
                 const std::function<void(std::size_t handled)>& store);
