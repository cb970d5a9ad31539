// An input whose first byte is odd stands for the rest repeated to about
// 1 MB: a pattern that costs more than its length (a search begun again at
// every mark) then runs past the per-input time limit. Both scans are held
// to the same rule: they stay within the data and yield one whole entry per mark.
#pragma once
#include <cstdlib>

#include "addressdb/record.h"  // with the fixed-width types, string_view and vector its calls take

inline std::vector<char> AsFile(const std::uint8_t* data, std::size_t size) {
  const bool repeat = size > 1 && data[0] % 2;
  std::vector<char> file(data + repeat, data + size);
  while (repeat && file.size() + size <= (1 << 20)) file.insert(file.end(), data + 1, data + size);
  return file;
}

// Takes its own copy: exactly the data, on the heap, so that a read past it is caught.
template <typename Scan, typename Count>
void CheckScan(const std::vector<char> bytes, Scan scan, Count count) {
  const std::string_view data(bytes.data(), bytes.size());
  AddressRecord entry;
  std::size_t seen = 0;
  scan(data, entry, [&](std::size_t handled) {
    if (handled != ++seen || entry.name[127] != '\0' || entry.link[255] != '\0') std::abort();
  });
  if (seen != count(data)) std::abort();
}
