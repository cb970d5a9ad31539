// The name sort gives exactly the order of a bubble sort with whole-record
// swaps, for the disorders the store meets: any; one record appended to a
// sorted store; one record of a sorted store renamed.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "addressdb/record.h"

// The reference: all n - 1 passes, swap only when the first name is greater.
static void BubbleSort(std::vector<AddressRecord>& r) {
  for (std::size_t n = r.size(); n-- > 1;)
    for (std::size_t i = 0; i < n; ++i)
      if (CompareNames(r[i], r[i + 1]) > 0) std::swap(r[i], r[i + 1]);
}

// Few letters and short names: many duplicates and shared prefixes, capitals,
// bytes above 127; random bytes behind the terminators, as changed records
// carry, which also tell records of equal names apart.
static AddressRecord Make(std::mt19937& rng) {
  AddressRecord r;
  for (std::size_t i = 0; i < sizeof r; ++i) reinterpret_cast<unsigned char*>(&r)[i] = rng() & 0xFF;
  // Up to three of the ten letters, then the literal's own terminator.
  for (unsigned i = 0, n = rng() % 4; i <= n; ++i) r.name[i] = "ABabZ \xE4\xC4\x80~"[i < n ? rng() % 10 : 10];
  return r;
}

TEST(Sort, SameRecordsInTheOrderOfABubbleSort) {
  for (int disorder = 0; disorder < 3; ++disorder)
    for (unsigned seed = 0; seed < 60; ++seed) {
      std::mt19937 rng(seed + 1000 * disorder);
      std::vector<AddressRecord> records(disorder == 0 ? rng() % 200 : 1 + rng() % 100);
      for (AddressRecord& r : records) r = Make(rng);
      if (disorder > 0) BubbleSort(records);
      if (disorder == 1) records.push_back(Make(rng));
      if (disorder == 2) SetFieldText(records[rng() % records.size()].name, Make(rng).name);
      std::vector<AddressRecord> expected = records;
      BubbleSort(expected);
      std::vector<const AddressRecord*> order;
      for (const AddressRecord& x : records) order.push_back(&x);
      SortByName(order);
      for (std::size_t i = 0; i < order.size(); ++i)
        ASSERT_EQ(std::memcmp(order[i], &expected[i], RecordSize), 0) << disorder << "/" << seed << "/" << i;
    }
}
