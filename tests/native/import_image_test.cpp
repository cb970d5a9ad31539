// The import's in-memory catalogue against the literal road: every addition
// appended and bubble-sorted, every lookup a scan from the front, every
// overwrite the first 385 bytes, the backup the file before the addition.
// What a scan from the front answers is pinned down by the record tests.
// Every bubble sort here also checks the store's name sort against it.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "addressdb/import_image.h"

namespace {

// Few names and links, in capitals and small letters, sharing prefixes and
// with bytes above 127, so that lookups hit, miss and meet duplicates;
// garbage behind the terminators, which also tells equal names apart.
AddressRecord Random(std::mt19937& rng) {
  static const char* const names[] = {"A", "a", "B", "Ba", "b", "\xE4", "\xC4", "", "Z", "AB",
                                      "Ab", "\x80", "~", " A"};
  static const char* const links[] = {"http://a/", "HTTP://A/", "http://a", "ftp://\xE4/",
                                      "ftp://\xC4/", "FTP://\xE4/", "http://b/", "news:x", ""};
  AddressRecord r;
  for (std::size_t i = 0; i < sizeof r; ++i) reinterpret_cast<char*>(&r)[i] = char(rng());
  SetFieldText(r.name, names[rng() % 14]);
  SetFieldText(r.link, links[rng() % 9]);
  return r;
}

std::string Bytes(const std::vector<const AddressRecord*>& records) {
  std::string bytes;
  for (const AddressRecord* r : records) bytes.append(reinterpret_cast<const char*>(r), RecordSize);
  return bytes;
}
std::string Bytes(const std::vector<AddressRecord>& records) {
  return std::string(reinterpret_cast<const char*>(records.data()), records.size() * RecordSize);
}

// All n - 1 passes, whole-record swaps only when the first name is greater;
// pointers to the records in their order before must come out of the name
// sort in the same order.
void BubbleSort(std::vector<AddressRecord>& records) {
  std::vector<const AddressRecord*> order;
  for (const AddressRecord& r : records) order.push_back(&r);
  SortByName(order);
  const std::string sorted = Bytes(order);
  for (std::size_t n = records.size(); n-- > 1;)
    for (std::size_t i = 0; i < n; ++i)
      if (CompareNames(records[i], records[i + 1]) > 0) std::swap(records[i], records[i + 1]);
  EXPECT_TRUE(sorted == Bytes(records)) << "the name sort differs from the bubble sort";
}

TEST(ImportImage, AnswersAsTheLiteralRoad) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    std::vector<AddressRecord> literal(rng() % (seed % 3 ? 12 : 40)), backup;
    for (AddressRecord& r : literal) r = Random(rng);
    // Else a file left out of order, longer than the few records a sort
    // leaves to insertion, where an unstable sort would pass unseen.
    if (seed % 3 != 0) BubbleSort(literal);
    ImportImage image(literal.data(), literal.size());
    bool added = false;
    for (int step = 0; step < 60; ++step) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
      const AddressRecord entry = Random(rng);
      const long found = FindLinkIn(literal.data(), literal.size(), FieldText(entry.link));
      ASSERT_EQ(image.Find(FieldText(entry.link)), found);
      if (found < 0) {
        backup = literal;
        added = true;
        literal.push_back(entry);
        BubbleSort(literal);
        image.Add(entry);
      } else if (rng() % 4 != 0) {  // overwritten; else skipped
        std::memcpy(&literal[found], &entry, 1 + 128 + 256);
        image.Overwrite(static_cast<std::size_t>(found), entry);
        std::vector<AddressRecord> renamed = literal;  // a sort after a rename
        BubbleSort(renamed);
      }
      ASSERT_EQ(Bytes(image.Records()), Bytes(literal));
      ASSERT_EQ(image.Added(), added);
      if (added) ASSERT_EQ(Bytes(image.BeforeLastAddition()), Bytes(backup));
    }
  }
}

}  // namespace
