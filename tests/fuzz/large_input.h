// An input whose first byte is odd stands for the rest repeated to about
// 1 MB: a pattern that costs more than its length (a search begun again at
// every mark) then runs past the per-input time limit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<char> AsFile(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || (data[0] & 1) == 0) return std::vector<char>(data, data + size);
  const std::size_t kLarge = 1 << 20;
  std::vector<char> file;
  file.reserve(kLarge);
  while (file.size() + size - 1 <= kLarge) file.insert(file.end(), data + 1, data + size);
  return file;
}
