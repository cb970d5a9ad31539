// The import's in-memory catalogue against the literal road: every addition
// appended and bubble-sorted, every lookup a scan from the front, every
// overwrite the first 385 bytes, the backup the file before the addition.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "addressdb/import_image.h"

namespace {

AddressRecord Make(const std::string& name, const std::string& link, std::mt19937& rng) {
  AddressRecord r;
  for (std::size_t i = 0; i < sizeof r; ++i)  // garbage behind the terminators
    reinterpret_cast<unsigned char*>(&r)[i] = static_cast<unsigned char>(rng());
  SetFieldText(r.name, name);
  SetFieldText(r.link, link);
  r.type = static_cast<std::uint8_t>(rng() % 3);
  return r;
}

void BubbleSort(std::vector<AddressRecord>& r) {
  for (std::size_t n = r.size() - 1; n >= 1 && r.size() > 1; --n)
    for (std::size_t i = 0; i < n; ++i)
      if (CompareNames(r[i], r[i + 1]) > 0) std::swap(r[i], r[i + 1]);
}

bool Same(const std::vector<const AddressRecord*>& got, const std::vector<AddressRecord>& want) {
  if (got.size() != want.size()) return false;
  for (std::size_t i = 0; i < got.size(); ++i)
    if (std::memcmp(got[i], &want[i], RecordSize) != 0) return false;
  return true;
}

// Few names and links, in capitals and small letters and with umlauts in
// either case, so that lookups hit, miss and meet duplicates.
std::string Pick(std::mt19937& rng, const char* const* words, std::size_t n) {
  return words[rng() % n];
}
const char* const kNames[] = {"A", "a", "B", "Ba", "b", "\xE4", "\xC4", "", "Z", "AB"};
const char* const kLinks[] = {"http://a/", "HTTP://A/", "http://a", "ftp://\xE4/", "ftp://\xC4/",
                              "FTP://\xE4/", "http://b/", "news:x", "NEWS:X", ""};

TEST(ImportImage, AnswersAsTheLiteralRoad) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    std::vector<AddressRecord> literal;  // the data file as entry-by-entry changes leave it
    const std::size_t stored = rng() % 12;
    for (std::size_t i = 0; i < stored; ++i)
      literal.push_back(Make(Pick(rng, kNames, 10), Pick(rng, kLinks, 10), rng));
    if (seed % 3 != 0) BubbleSort(literal);  // sometimes a file left out of order
    ImportImage image(literal.data(), literal.size());
    std::vector<AddressRecord> backup;
    bool added = false;

    for (int step = 0; step < 60; ++step) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
      const AddressRecord entry = Make(Pick(rng, kNames, 10), Pick(rng, kLinks, 10), rng);
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
      }
      ASSERT_TRUE(Same(image.Records(), literal));
      ASSERT_EQ(image.Added(), added);
      if (added) ASSERT_TRUE(Same(image.BeforeLastAddition(), backup));
    }
  }
}

struct Lookup {
  std::vector<std::string> stored;  // links in file order
  std::string link;
  long position;
};

TEST(ImportImage, IndexFindsTheFirstEqualLink) {
  const Lookup rows[] = {
      {{"http://a/", "HTTP://A/", "http://a/"}, "Http://A/", 0},  // duplicates: the first
      {{"http://b/", "HTTP://A/", "http://a/"}, "http://a/", 1},
      {{"http://a/"}, "http://a", -1},                           // no trailing slash
      {{"ftp://\xE4/"}, "FTP://\xE4/", 0},                        // ASCII letters fold
      {{"ftp://\xE4/"}, "ftp://\xC4/", -1},                       // umlauts do not
      {{"", "x"}, "", 0},
      {{}, "http://a/", -1},
  };
  std::mt19937 rng(7);
  for (const Lookup& row : rows) {
    std::vector<AddressRecord> records;
    for (std::size_t i = 0; i < row.stored.size(); ++i)
      records.push_back(Make("N" + std::to_string(i), row.stored[i], rng));
    ImportImage image(records.data(), records.size());
    EXPECT_EQ(image.Find(row.link), row.position) << row.link;
    EXPECT_EQ(FindLinkIn(records.data(), records.size(), row.link), row.position) << row.link;
  }
}

}  // namespace
