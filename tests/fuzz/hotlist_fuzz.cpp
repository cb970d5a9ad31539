// Arbitrary bytes as a hotlist: the scan stays within the data and yields one
// whole entry per mark.
#include "importexport/hotlist_scan.h"
#include "tests/fuzz/large_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  CheckScan(AsFile(bytes, size), ScanHotlist, CountHotlistMarks);
  return 0;
}
