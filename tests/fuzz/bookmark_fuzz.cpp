// Arbitrary bytes as a bookmark file, as read and, if it declares UTF-8, as
// converted: the scan stays within the data and yields one whole entry per mark.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "importexport/bookmark_scan.h"
#include "importexport/cp1252.h"
#include "tests/fuzz/large_input.h"

static void Scan(std::string_view text) {
  std::vector<char> bytes(text.begin(), text.end());  // exactly the data, on the heap
  const std::string_view data(bytes.data(), bytes.size());
  AddressRecord entry;
  std::size_t seen = 0;
  ScanBookmarks(data, entry, [&](std::size_t handled) {
    if (handled != ++seen || entry.name[127] != '\0' || entry.link[255] != '\0') std::abort();
  });
  if (seen != CountBookmarkMarks(data)) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<char> text = AsFile(data, size);
  const std::string raw(text.begin(), text.end());
  Scan(raw);
  // Converted where it lies, as a file is.
  if (DeclaresUtf8(raw)) Scan(std::string_view(text.data(), Utf8ToCp1252(text.data(), text.size())));
  return 0;
}
