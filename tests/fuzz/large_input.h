// An input whose first byte is odd stands for the rest repeated to about
// 1 MB: a pattern that costs more than its length (a search begun again at
// every mark) then runs past the per-input time limit.
#pragma once
#include <cstdint>
#include <vector>

inline std::vector<char> AsFile(const std::uint8_t* data, std::size_t size) {
  std::vector<char> file(data + (size > 1 && data[0] % 2), data + size);
  while (size > 1 && data[0] % 2 && file.size() + size <= (1 << 20)) file.insert(file.end(), data + 1, data + size);
  return file;
}
