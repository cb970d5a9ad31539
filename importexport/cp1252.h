// Bookmark files of current browsers are UTF-8 and say so; the catalogue holds
// Windows-1252 texts. These turn such a file into the code page of the catalogue.
#pragma once

#include <string>
#include <string_view>

// True when the data begins with the UTF-8 byte-order mark, or holds a META
// tag that declares charset=UTF-8 (letters in any case).
bool DeclaresUtf8(std::string_view data);

// The text in Windows-1252, a byte-order mark at its start dropped. A
// malformed sequence (each maximal part of one) and every character the code
// page lacks become "?": no look-alike is chosen, so no full-width quote or
// backslash turns into markup or a path.
std::string Utf8ToCp1252(std::string_view data);
