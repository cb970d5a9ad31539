// Composing a text into a fixed buffer: either the whole text fits, or the
// caller learns that it would not and the buffer holds nothing usable.
#pragma once

#include <cstddef>
#include <cstdio>

// snprintf into buffer; false (and an empty buffer) when the text would be cut.
template <std::size_t N, typename... Args>
bool FormatWhole(char (&buffer)[N], const char* format, Args... args) {
  const int n = std::snprintf(buffer, N, format, args...);
  if (n < 0 || static_cast<std::size_t>(n) >= N) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

// snprintf into buffer, cutting what does not fit: for texts that are only shown.
template <std::size_t N, typename... Args>
void FormatShown(char (&buffer)[N], const char* format, Args... args) {
  std::snprintf(buffer, N, format, args...);
}
