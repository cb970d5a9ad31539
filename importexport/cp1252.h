// Bookmark files of current browsers are UTF-8 and say so; the catalogue holds
// Windows-1252 texts. These turn such a file into the code page of the catalogue.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// True when the data begins with the UTF-8 byte-order mark, or holds a META
// tag that declares charset=UTF-8 (letters in any case).
bool DeclaresUtf8(std::string_view data);

// The text in Windows-1252, a byte-order mark at its start dropped. A
// malformed sequence (each maximal part of one) and every character the code
// page lacks become "?": no look-alike is chosen, so no full-width quote or
// backslash turns into markup or a path. Converted in place, since the text
// never grows (a file read whole needs no second buffer); returns its length.
std::size_t Utf8ToCp1252(char* data, std::size_t size);

// A file name as the platform gives it (UTF-16) in Windows-1252, with the
// same rule: a character the code page lacks becomes "?", never a look-alike
// (a full-width backslash must not become a separator).
std::string Utf16ToCp1252(std::u16string_view text);

// Windows-1252 text as the platform reads it in UTF-16; the five bytes the
// code page leaves free become the C1 controls of the same number.
std::u16string Cp1252ToUtf16(std::string_view text);
