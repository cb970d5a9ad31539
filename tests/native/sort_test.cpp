// The name sort gives exactly the order of a bubble sort with whole-record
// swaps, for the disorders the store meets: any; one record appended to a
// sorted store; one record of a sorted store renamed.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "addressdb/record.h"

namespace {

// The reference: all n - 1 passes, swap only when the first name is greater.
void BubbleSort(std::vector<AddressRecord>& r) {
  for (std::size_t n = r.size(); n-- > 1;)
    for (std::size_t i = 0; i < n; ++i)
      if (CompareNames(r[i], r[i + 1]) > 0) std::swap(r[i], r[i + 1]);
}

// Few letters and short names: many duplicates and shared prefixes, capitals,
// bytes above 127; garbage behind the terminators, as changed records carry.
AddressRecord Make(std::mt19937& rng, int serial) {
  AddressRecord r;
  for (std::size_t i = 0; i < sizeof r; ++i) reinterpret_cast<unsigned char*>(&r)[i] = rng() & 0xFF;
  std::string name(rng() % 4, 'x');
  for (char& c : name) c = "ABabZ \xE4\xC4\x80~"[rng() % 10];
  SetFieldText(r.name, name);
  SetFieldText(r.link, "http://serial/" + std::to_string(serial));
  return r;
}

TEST(Sort, SameRecordsInTheOrderOfABubbleSort) {
  for (int disorder = 0; disorder < 3; ++disorder)
    for (unsigned seed = 0; seed < 60; ++seed) {
      std::mt19937 rng(seed + 1000 * disorder);
      const std::size_t count = disorder == 0 ? rng() % 200 : 1 + rng() % 100;
      std::vector<AddressRecord> records;
      for (std::size_t i = 0; i < count; ++i) records.push_back(Make(rng, static_cast<int>(i)));
      if (disorder > 0) BubbleSort(records);
      if (disorder == 1) records.push_back(Make(rng, 9999));
      if (disorder == 2) SetFieldText(records[rng() % count].name, Make(rng, 0).name);
      std::vector<AddressRecord> expected = records;
      BubbleSort(expected);
      std::vector<const AddressRecord*> order;
      for (const AddressRecord& x : records) order.push_back(&x);
      SortByName(order);
      for (std::size_t i = 0; i < order.size(); ++i)
        ASSERT_EQ(std::memcmp(order[i], &expected[i], RecordSize), 0)
            << "disorder " << disorder << ", seed " << seed << ": record " << i << " differs";
    }
}

}  // namespace
