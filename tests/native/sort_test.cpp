// The name sort gives exactly the order of a bubble sort with whole-record
// swaps, whatever the disorder.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "addressdb/record.h"

namespace {

// The reference: all n - 1 passes, swap only when the first name is greater.
void BubbleSort(std::vector<AddressRecord>& r) {
  for (std::size_t n = r.size() - 1; n >= 1 && r.size() > 1; --n)
    for (std::size_t i = 0; i < n; ++i)
      if (CompareNames(r[i], r[i + 1]) > 0) std::swap(r[i], r[i + 1]);
}

AddressRecord Make(const std::string& name, int serial, std::mt19937& rng) {
  AddressRecord r;
  // Garbage behind the terminators, as changed records carry.
  for (std::size_t i = 0; i < sizeof r; ++i)
    reinterpret_cast<unsigned char*>(&r)[i] = static_cast<unsigned char>(rng());
  SetFieldText(r.name, name);
  SetFieldText(r.link, "http://serial/" + std::to_string(serial));
  r.type = 0;
  return r;
}

std::string RandomName(std::mt19937& rng) {
  // Few letters and short names: many duplicates and shared prefixes,
  // capitals, and bytes above 127.
  static const char alphabet[] = {'A', 'B', 'a', 'b', 'Z', ' ', '\xE4', '\xC4', '\x80', '~'};
  std::string s(rng() % 4, 'x');
  for (char& c : s) c = alphabet[rng() % sizeof alphabet];
  return s;
}

// The store's sort: pointers ordered, then the records written out in that order.
void SortRecords(std::vector<AddressRecord>& r) {
  std::vector<const AddressRecord*> order;
  for (const AddressRecord& x : r) order.push_back(&x);
  SortByName(order);
  std::vector<AddressRecord> out;
  for (const AddressRecord* x : order) out.push_back(*x);
  r = out;
}

void ExpectSameBytes(const std::vector<AddressRecord>& a, const std::vector<AddressRecord>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i)
    ASSERT_EQ(std::memcmp(&a[i], &b[i], RecordSize), 0) << "record " << i << " differs";
}

}  // namespace

class SortAgainstBubbleSort : public ::testing::TestWithParam<int> {};

TEST_P(SortAgainstBubbleSort, RandomNamesFullOfDuplicates) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()));
  const std::size_t count = rng() % 200;
  std::vector<AddressRecord> records;
  for (std::size_t i = 0; i < count; ++i)
    records.push_back(Make(RandomName(rng), static_cast<int>(i), rng));
  std::vector<AddressRecord> expected = records;
  BubbleSort(expected);
  SortRecords(records);
  ExpectSameBytes(records, expected);
}

TEST_P(SortAgainstBubbleSort, OneAppendedToASortedStore) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()) + 1000);
  std::vector<AddressRecord> records;
  const std::size_t count = 1 + rng() % 100;
  for (std::size_t i = 0; i < count; ++i)
    records.push_back(Make(RandomName(rng), static_cast<int>(i), rng));
  BubbleSort(records);
  records.push_back(Make(RandomName(rng), 9999, rng));
  std::vector<AddressRecord> expected = records;
  BubbleSort(expected);
  SortRecords(records);
  ExpectSameBytes(records, expected);
}

TEST_P(SortAgainstBubbleSort, OneRenamedInASortedStore) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()) + 2000);
  std::vector<AddressRecord> records;
  const std::size_t count = 1 + rng() % 100;
  for (std::size_t i = 0; i < count; ++i)
    records.push_back(Make(RandomName(rng), static_cast<int>(i), rng));
  BubbleSort(records);
  SetFieldText(records[rng() % count].name, RandomName(rng));
  std::vector<AddressRecord> expected = records;
  BubbleSort(expected);
  SortRecords(records);
  ExpectSameBytes(records, expected);
}

INSTANTIATE_TEST_SUITE_P(Seeds, SortAgainstBubbleSort, ::testing::Range(0, 60));

TEST(Sort, SmallCases) {
  std::mt19937 rng(7);
  struct Case {
    std::vector<std::string> in, out;
  } cases[] = {
      {{}, {}},
      {{"x"}, {"x"}},
      {{"b", "B", "a"}, {"B", "a", "b"}},
      {{"Bank", "alpha", "Zoo"}, {"Bank", "Zoo", "alpha"}},
      {{"\xC4rger", "zebra", "Anton"}, {"Anton", "zebra", "\xC4rger"}},
      {{"A", "B", "C", "0"}, {"0", "A", "B", "C"}},
  };
  for (const Case& c : cases) {
    std::vector<AddressRecord> r;
    for (std::size_t i = 0; i < c.in.size(); ++i) r.push_back(Make(c.in[i], int(i), rng));
    SortRecords(r);
    ASSERT_EQ(r.size(), c.out.size());
    for (std::size_t i = 0; i < r.size(); ++i) EXPECT_EQ(FieldText(r[i].name), c.out[i]);
  }
}

TEST(Sort, EqualNamesKeepTheirOrderWhenTheLastMovesBetweenThem) {
  std::mt19937 rng(3);
  std::vector<AddressRecord> r = {Make("A", 0, rng), Make("M", 1, rng), Make("M", 2, rng),
                                  Make("Z", 3, rng), Make("M", 4, rng)};
  SortRecords(r);
  const char* links[] = {"http://serial/0", "http://serial/1", "http://serial/2",
                         "http://serial/4", "http://serial/3"};
  for (std::size_t i = 0; i < r.size(); ++i) EXPECT_EQ(FieldText(r[i].link), links[i]);
}
