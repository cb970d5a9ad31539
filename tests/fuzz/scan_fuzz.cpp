// Arbitrary bytes as a hotlist and as a bookmark file, the latter as read
// and, if it declares UTF-8, as converted: the check of the hotlist's first
// line and each scan stay within the data, and each scan yields one whole
// entry per mark. An input whose first byte is odd
// stands for the rest repeated to about 1 MB: a pattern that costs more than
// its length (a search begun again at every mark) then runs past the
// per-input time limit.
#include <cstdlib>

#include "importexport/bookmark_scan.h"
#include "importexport/cp1252.h"
#include "importexport/hotlist_scan.h"

// Takes its own copy: exactly the data, on the heap, so that a read past it is caught.
template <typename Scan, typename Count>
static void Check(const std::vector<char> bytes, Scan scan, Count count) {
  const std::string_view data(bytes.data(), bytes.size());
  AddressRecord entry;
  std::size_t seen = 0;
  scan(data, entry, [&](std::size_t handled) {
    if (handled != ++seen || entry.name[127] != '\0' || entry.link[255] != '\0') std::abort();
  });
  if (seen != count(data)) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bool repeat = size > 1 && data[0] % 2;
  std::vector<char> text(data + repeat, data + size);
  IsHotlist(std::string_view(text.data(), text.size()));  // the file's first line, read as it is: no more
  while (repeat && text.size() + size <= (1 << 20)) text.insert(text.end(), data + 1, data + size);
  Check(text, ScanHotlist, CountHotlistMarks);
  Check(text, ScanBookmarks, CountBookmarkMarks);
  if (!DeclaresUtf8(std::string_view(text.data(), text.size()))) return 0;
  text.resize(Utf8ToCp1252(text.data(), text.size()));  // converted where it lies, as a file is
  Check(text, ScanBookmarks, CountBookmarkMarks);
  return 0;
}
