// A small portable checksum over bytes (32-bit FNV-1a). The start-up check of
// the dialog resources uses it, both inside the program and in the build tool
// tools/ressum.cpp that computes the expected values from the compiled
// resources; so this file must not depend on the Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

// The 32-bit FNV-1a hash of `size` bytes at `data`. `data` may be null when
// `size` is 0; the result is then the hash of no bytes (0x811C9DC5).
std::uint32_t Checksum32(const void* data, std::size_t size);
