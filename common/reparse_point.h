// Junctions and symbolic links (reparse points) lead a copy or a deletion
// elsewhere, into a system folder prepared in advance for instance: neither
// setup nor qxuninst goes through one in the installation folder or below it,
// and both look again just before each copy or deletion.
#pragma once

#include <string>
#include <string_view>

// Whether the folder, or the path of any component of name joined behind it
// (the last one included), is a reparse point.
bool ThroughReparsePoint(std::string_view folder, std::string_view name);
