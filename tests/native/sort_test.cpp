// The name sort gives exactly the order of a bubble sort with whole-record
// swaps, whatever the disorder.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <tuple>
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

// The disorders the store meets: any; one record appended to a sorted store;
// one record of a sorted store renamed.
enum class Disorder { Any, Appended, Renamed };

class SortAgainstBubbleSort : public ::testing::TestWithParam<std::tuple<Disorder, int>> {};

TEST_P(SortAgainstBubbleSort, SameRecordsInTheSameOrder) {
  const Disorder disorder = std::get<0>(GetParam());
  std::mt19937 rng(static_cast<unsigned>(std::get<1>(GetParam())) + 1000 * static_cast<unsigned>(disorder));
  const std::size_t count = disorder == Disorder::Any ? rng() % 200 : 1 + rng() % 100;
  std::vector<AddressRecord> records;
  for (std::size_t i = 0; i < count; ++i)
    records.push_back(Make(RandomName(rng), static_cast<int>(i), rng));
  if (disorder != Disorder::Any) BubbleSort(records);
  if (disorder == Disorder::Appended) records.push_back(Make(RandomName(rng), 9999, rng));
  if (disorder == Disorder::Renamed) SetFieldText(records[rng() % count].name, RandomName(rng));
  std::vector<AddressRecord> expected = records;
  BubbleSort(expected);
  SortRecords(records);
  ExpectSameBytes(records, expected);
}

INSTANTIATE_TEST_SUITE_P(Seeds, SortAgainstBubbleSort,
                         ::testing::Combine(::testing::Values(Disorder::Any, Disorder::Appended,
                                                              Disorder::Renamed),
                                            ::testing::Range(0, 60)));
