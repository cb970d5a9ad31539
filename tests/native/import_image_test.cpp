// The import's in-memory catalogue against the entry-by-entry import: every
// addition appended and put in name order as the bubble sort leaves it (a
// stable sort), every lookup a scan from the front, every overwrite the first
// 385 bytes, the backup the file before the addition. The scan from the
// front and the index, written apart, are held to each other. A bubble sort that swaps
// only when the first name is greater is a stable sort: every sort here holds
// the store's name sort to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "addressdb/import_image.h"

// Few names and links, in capitals and small letters, sharing prefixes (names
// also beyond their first 16 bytes) and with bytes above 127, so that lookups
// hit, miss and meet duplicates (links numbered up to `numbers` for a larger
// file); garbage behind the terminators, which also tells equal names apart.
static AddressRecord Random(std::mt19937& rng, unsigned numbers) {
  static const char* const names[] = {"A", "a", "B", "Ba", "b", "\xE4", "\xC4", "", "Z", "AB",
                                      "Ab", "\x80", "~", " A", "Lange Bezeichnun", "Lange Bezeichnung",
                                      "Lange Bezeichnung A"};
  static const char* const links[] = {"http://a/", "HTTP://A/", "http://a", "ftp://\xE4/",
                                      "ftp://\xC4/", "FTP://\xE4/", "http://b/", "news:x", ""};
  AddressRecord r;
  for (std::size_t i = 0; i < sizeof r; ++i) reinterpret_cast<char*>(&r)[i] = char(rng());
  SetFieldText(r.name, names[rng() % std::size(names)]);
  SetFieldText(r.link, links[rng() % std::size(links)] + (numbers ? std::to_string(rng() % numbers) : ""));
  return r;
}

// The file in name order, whole records moved; the store's name sort must
// give the same order. `keep` false only checks the sort (as the store sorts
// after a rename).
static void Sort(std::vector<AddressRecord>& file, bool keep) {
  std::vector<const AddressRecord*> order, stable;
  for (const AddressRecord& r : file) order.push_back(&r);
  stable = order;
  std::stable_sort(stable.begin(), stable.end(),
                   [](const AddressRecord* a, const AddressRecord* b) { return CompareNames(*a, *b) < 0; });
  SortByName(order);
  ASSERT_TRUE(order == stable) << "the store's name sort differs from the stable sort";
  if (!keep) return;
  static std::vector<AddressRecord> sorted;  // its memory used again: no page faults
  sorted.clear();
  for (const AddressRecord* r : stable) sorted.push_back(*r);
  file.swap(sorted);
}

static bool Same(const std::vector<const AddressRecord*>& image, const std::vector<AddressRecord>& file) {
  auto same = [](const AddressRecord& a, const AddressRecord* b) { return !std::memcmp(&a, b, RecordSize); };
  return std::equal(file.begin(), file.end(), image.begin(), image.end(), same);
}

// Small files, a third of them stored out of name order and longer than the
// few records a sort leaves to insertion (where an unstable sort would pass
// unseen), and one of thousands of records: between entries found or not,
// renames by stored links, now and then sixty at once.
TEST(ImportImage, AnswersAsEntryByEntry) {
  for (unsigned seed = 0; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const bool big = seed == 0;
    std::vector<AddressRecord> file(big ? 300 : rng() % (seed % 3 ? 12 : 40)), backup;
    for (AddressRecord& r : file) r = Random(rng, big ? 100 : 0);
    if (seed % 3 != 0) Sort(file, true);
    ImportImage image(file.data(), file.size());
    const int steps = big ? 1500 : 60;
    backup.reserve(file.size() + steps);  // a copy at every addition, in the same memory
    bool added = false;
    auto enter = [&](const AddressRecord& entry, bool rename) {
      const long found = FindLinkIn(file.data(), file.size(), FieldText(entry.link));
      ASSERT_EQ(image.Find(FieldText(entry.link)), found);
      if (found < 0) {
        backup = file;
        added = true;
        file.push_back(entry);
        Sort(file, true);
        image.Add(entry);
      } else if (rename || rng() % 4 != 0) {  // else skipped
        std::memcpy(&file[found], &entry, offsetof(AddressRecord, description));
        image.Overwrite(static_cast<std::size_t>(found), entry);
        if (!big) Sort(file, false);  // the large file: its sorts at additions are enough
      }
    };
    for (int step = 0; step < steps; ++step) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
      for (unsigned renames = step % 100 == 99 ? 60 : rng() % 3; renames > 0 && !file.empty(); --renames) {
        AddressRecord entry = Random(rng, 0);
        std::memcpy(entry.link, file[rng() % file.size()].link, sizeof entry.link);
        ASSERT_NO_FATAL_FAILURE(enter(entry, true));
      }
      ASSERT_NO_FATAL_FAILURE(enter(Random(rng, big ? 100000 : 0), false));
      ASSERT_TRUE(Same(image.Records(), file));
      ASSERT_EQ(image.Added(), added);
      if (added) ASSERT_TRUE(Same(image.BeforeLastAddition(), backup));
    }
  }
}
