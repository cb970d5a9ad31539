// Arbitrary bytes as a hotlist: the scan stays within the data and yields one
// whole entry per mark.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "importexport/hotlist_scan.h"
#include "tests/fuzz/large_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::vector<char> copy = AsFile(bytes, size);  // exactly the data, on the heap
  const std::string_view data(copy.data(), copy.size());
  AddressRecord entry;
  std::size_t seen = 0;
  ScanHotlist(data, entry, [&](std::size_t handled) {
    if (handled != ++seen || entry.name[127] != '\0' || entry.link[255] != '\0') std::abort();
  });
  if (seen != CountHotlistMarks(data)) std::abort();
  return 0;
}
