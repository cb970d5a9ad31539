// Arbitrary bytes as a bookmark file, as read and, if it declares UTF-8, as
// converted: the scan stays within the data and yields one whole entry per mark.
#include "importexport/bookmark_scan.h"
#include "importexport/cp1252.h"
#include "tests/fuzz/large_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<char> text = AsFile(data, size);
  CheckScan(text, ScanBookmarks, CountBookmarkMarks);
  if (!DeclaresUtf8(std::string_view(text.data(), text.size()))) return 0;
  text.resize(Utf8ToCp1252(text.data(), text.size()));  // converted where it lies, as a file is
  CheckScan(text, ScanBookmarks, CountBookmarkMarks);
  return 0;
}
