// The import's in-memory catalogue against the literal road: every addition
// appended and bubble-sorted, every lookup a scan from the front, every
// overwrite the first 385 bytes, the backup the file before the addition.
// What a scan from the front answers is pinned down by the record tests.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "addressdb/import_image.h"

namespace {

// Few names and links, in capitals and small letters and with umlauts in
// either case, so that lookups hit, miss and meet duplicates; garbage
// behind the terminators.
AddressRecord Random(std::mt19937& rng) {
  static const char* const names[] = {"A", "a", "B", "Ba", "b", "\xE4", "\xC4", "", "Z", "AB"};
  static const char* const links[] = {"http://a/", "HTTP://A/", "http://a", "ftp://\xE4/",
                                      "ftp://\xC4/", "FTP://\xE4/", "http://b/", "news:x", ""};
  AddressRecord r;
  for (std::size_t i = 0; i < sizeof r; ++i) reinterpret_cast<char*>(&r)[i] = char(rng());
  SetFieldText(r.name, names[rng() % 10]);
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

TEST(ImportImage, AnswersAsTheLiteralRoad) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    std::vector<AddressRecord> literal(rng() % 12), backup;
    for (AddressRecord& r : literal) r = Random(rng);
    auto bubbleSort = [&literal] {
      for (std::size_t n = literal.size(); n-- > 1;)
        for (std::size_t i = 0; i < n; ++i)
          if (CompareNames(literal[i], literal[i + 1]) > 0) std::swap(literal[i], literal[i + 1]);
    };
    if (seed % 3 != 0) bubbleSort();  // else a file left out of order
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
        bubbleSort();
        image.Add(entry);
      } else if (rng() % 4 != 0) {  // overwritten; else skipped
        std::memcpy(&literal[found], &entry, 1 + 128 + 256);
        image.Overwrite(static_cast<std::size_t>(found), entry);
      }
      ASSERT_EQ(Bytes(image.Records()), Bytes(literal));
      ASSERT_EQ(image.Added(), added);
      if (added) ASSERT_EQ(Bytes(image.BeforeLastAddition()), Bytes(backup));
    }
  }
}

}  // namespace
