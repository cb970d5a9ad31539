// Arbitrary bytes as a bookmark file, as read or after the UTF-8 conversion:
// the scan stays within the data, yields one entry per counted mark, and every
// entry's fields end inside their width.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "importexport/bookmark_scan.h"
#include "importexport/cp1252.h"

namespace {

void Scan(std::string_view data) {
  // Exactly the data on the heap, so that any read past it is caught.
  std::vector<char> bytes(data.begin(), data.end());
  std::string_view view(bytes.data(), bytes.size());
  AddressRecord entry;
  std::size_t seen = 0;
  ScanBookmarks(view, entry, [&](std::size_t handled) {
    if (handled != ++seen) std::abort();
    if (entry.name[127] != '\0' || entry.link[255] != '\0') std::abort();
    if (entry.type == static_cast<std::uint8_t>(LinkType::Local))
      for (char c : FieldText(entry.link))
        if (c == '/') std::abort();
  });
  if (seen != CountBookmarkMarks(view)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view raw(reinterpret_cast<const char*>(data), size);
  Scan(raw);
  if (DeclaresUtf8(raw)) {
    std::string converted = Utf8ToCp1252(raw);
    if (converted.size() > size) std::abort();
    Scan(converted);
  }
  return 0;
}
