// The 32-bit FNV-1a checksum used by the start-up check of the dialog resources.
#include "manager/checksum.h"

std::uint32_t Checksum32(const void* data, std::size_t size) {
  const std::uint32_t kOffsetBasis = 0x811C9DC5u;
  const std::uint32_t kPrime = 0x01000193u;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  std::uint32_t hash = kOffsetBasis;
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= kPrime;
  }
  return hash;
}
