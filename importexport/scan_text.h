// What the scans of outside files take from the data they hold whole: runs of
// characters up to a stop and the text of such a run, never past the end.
// Inline: they run once or twice for every entry of a large file.
#pragma once

#include <cstddef>
#include <string_view>

// Characters from `from` up to the first `stop`, at most `limit`, never past the end.
inline std::size_t RunUntil(std::string_view data, std::size_t from, char stop, std::size_t limit) {
  std::size_t n = 0;
  while (n < limit && from + n < data.size() && data[from + n] != stop) ++n;
  return n;
}

// The text of length bytes at from; empty from the end of the data on.
inline std::string_view Piece(std::string_view data, std::size_t from, std::size_t length) {
  if (from >= data.size()) return {};
  return data.substr(from, length);
}
