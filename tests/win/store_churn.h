// The seeded sequence of changes that the kill test's worker makes to the
// store, and the same changes made to records in memory, so that the test
// knows every state the data file may be found in.
#pragma once

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "addressdb/record.h"
#include "tests/win/test_folder.h"

struct Change {
  enum Kind { Add, Rename, Delete } kind;
  long position;  // Rename, Delete
  std::string name;
  std::string link;  // Add
};

// The next change for a store of count records; keeps the store near 1,500.
inline Change NextChange(std::mt19937& rng, long count) {
  Change c{};
  unsigned pick = rng() % 3;
  c.kind = count < 1400 ? Change::Add : count > 1600 ? Change::Delete : Change::Kind(pick);
  c.position = count > 0 ? static_cast<long>(rng() % static_cast<unsigned>(count)) : 0;
  c.name = "N" + std::to_string(rng() % 1000000);
  c.link = "http://" + std::to_string(rng()) + ".example/";
  return c;
}

inline void ApplyChange(const Change& c, std::vector<AddressRecord>& records) {
  auto byName = [](const AddressRecord& a, const AddressRecord& b) {
    return CompareNames(a, b) < 0;
  };
  switch (c.kind) {
    case Change::Add:
      records.push_back(MakeRecord(c.name, c.link));
      std::stable_sort(records.begin(), records.end(), byName);
      break;
    case Change::Rename:
      SetFieldText(records[c.position].name, c.name);
      std::stable_sort(records.begin(), records.end(), byName);
      break;
    case Change::Delete:
      records.erase(records.begin() + c.position);
      break;
  }
}
