// The scan of a Netscape bookmark file: every HREF= mark gives one entry, its
// link the quoted value and its name the text after the tag's ">".
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "addressdb/record.h"

// Whether a chosen file's title is "bookmark.htm", ASCII letters in any case.
bool IsBookmarkFileTitle(std::string_view title);

// Files shorter than this hold no entries worth reading.
constexpr std::size_t MinimumBookmarkFileSize = 140;

// Number of marks "HREF=" (any case) that begin before the last nine bytes.
std::size_t CountBookmarkMarks(std::string_view data);

// For every mark in file order: clears entry, fills link, name and type (local
// links rewritten) and calls store(handled), handled counting from 1. Every
// search stops at the end of the data: a missing quote, ">" or "<" takes the
// text up to the end.
void ScanBookmarks(std::string_view data, AddressRecord& entry,
                   const std::function<void(std::size_t handled)>& store);
