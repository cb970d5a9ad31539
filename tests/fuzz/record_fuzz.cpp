// Arbitrary bytes as a data file: classifying, comparing, finding and sorting
// damaged records stays within the records and sorts as a bubble sort would.
#include <cstdlib>
#include <cstring>

#include "addressdb/record.h"  // with the fixed-width types and vector its calls take

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t count = size / RecordSize;
  if (count == 0) return 0;
  // Exactly the records, on the heap, so that any read past them is caught.
  std::vector<AddressRecord> records(count);
  std::memcpy(records.data(), data, count * RecordSize);

  for (AddressRecord& r : records) ClassifyLink(r);
  const long found = FindLinkIn(records.data(), count, FieldText(records[count - 1].link));
  if (found < 0 || found > static_cast<long>(count - 1)) std::abort();

  std::vector<AddressRecord> expected = records;
  for (std::size_t n = count - 1; n >= 1; --n)
    for (std::size_t i = 0; i < n; ++i)
      if (CompareNames(expected[i], expected[i + 1]) > 0) std::swap(expected[i], expected[i + 1]);
  std::vector<const AddressRecord*> order;
  for (const AddressRecord& r : records) order.push_back(&r);
  SortByName(order);
  for (std::size_t i = 0; i < count; ++i)
    if (std::memcmp(order[i], &expected[i], RecordSize) != 0) std::abort();
  return 0;
}
