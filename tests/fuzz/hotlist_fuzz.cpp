// Arbitrary bytes as a hotlist: the scan stays within the data, yields one
// entry per counted mark, and every entry's fields end inside their width.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "importexport/hotlist_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Exactly the data on the heap, so that any read past it is caught.
  std::vector<char> bytes(data, data + size);
  std::string_view view(bytes.data(), bytes.size());
  IsHotlist(view);
  AddressRecord entry;
  std::size_t seen = 0;
  ScanHotlist(view, entry, [&](std::size_t handled) {
    if (handled != ++seen) std::abort();
    if (entry.name[127] != '\0' || entry.link[255] != '\0') std::abort();
  });
  if (seen != CountHotlistMarks(view)) std::abort();
  return 0;
}
