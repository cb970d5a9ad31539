// The import's in-memory catalogue against the entry-by-entry import: every addition
// appended and bubble-sorted, every lookup a scan from the front, every
// overwrite the first 385 bytes, the backup the file before the addition.
// What a scan from the front answers is pinned down by the record tests.
// Every bubble sort here also checks the store's name sort against it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
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

TEST(ImportImage, AnswersAsEntryByEntry) {
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

// Name, link and description (which tells the records apart) of each
// record, by their first bytes: the records below are zero behind short texts.
const AddressRecord& Deref(const AddressRecord& r) { return r; }
const AddressRecord& Deref(const AddressRecord* r) { return *r; }
template <typename Records>
std::string Texts(const Records& records) {
  std::string texts;
  for (const auto& r : records)
    texts.append(Deref(r).name, 4).append(Deref(r).link, 16).append(Deref(r).description, 8);
  return texts;
}

std::string Recased(std::string link, std::mt19937& rng) {
  for (char& c : link)
    if (std::isalpha(static_cast<unsigned char>(c)) && rng() % 2) c = static_cast<char>(c ^ 0x20);
  return link;
}

// Thousands of additions, each after a few renames (now and then many),
// against stable sorts of the whole file: few names, so that renamed and new
// records meet many of an equal name, renames to a name already stored or to
// the same one, links stored more than once and looked up in other capitals.
TEST(ImportImage, RenamesBetweenAdditionsAsStableSorts) {
  static const char* const names[] = {"A", "B", "Ba", "a", "\xE4", "M", ""};
  std::mt19937 rng(18);
  int serial = 0;
  auto make = [&](std::string link) {
    AddressRecord r{};
    SetFieldText(r.name, names[rng() % 7]);
    SetFieldText(r.link, Recased(std::move(link), rng));
    SetFieldText(r.description, std::to_string(serial++));
    return r;
  };
  std::deque<AddressRecord> records;
  std::vector<AddressRecord*> file;
  auto sort = [&] {
    std::stable_sort(file.begin(), file.end(),
                     [](const AddressRecord* a, const AddressRecord* b) { return CompareNames(*a, *b) < 0; });
  };
  for (int i = 0; i < 300; ++i) {
    records.push_back(make("http://h" + std::to_string(rng() % 100) + "/"));
    file.push_back(&records.back());
  }
  sort();
  std::vector<AddressRecord> stored, backup;
  for (const AddressRecord* r : file) stored.push_back(*r);
  ImportImage image(stored.data(), stored.size());

  for (int step = 0; step < 1500; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    for (unsigned renames = step % 100 == 99 ? 60 : rng() % 4; renames > 0; --renames) {
      const AddressRecord entry = make(std::string(FieldText(file[rng() % file.size()]->link)));
      std::size_t found = 0;
      while (!LinksEqual(FieldText(file[found]->link), FieldText(entry.link))) ++found;
      ASSERT_EQ(image.Find(FieldText(entry.link)), static_cast<long>(found));
      std::memcpy(file[found], &entry, 1 + 128 + 256);
      image.Overwrite(found, entry);
    }
    // The file before the addition, renamed ones in their old places as
    // they were then.
    if (step > 0) ASSERT_EQ(Texts(image.BeforeLastAddition()), Texts(backup));

    const AddressRecord entry = make("http://n" + std::to_string(step) + "/");
    ASSERT_EQ(image.Find(FieldText(entry.link)), -1);
    backup.clear();
    for (const AddressRecord* r : file) backup.push_back(*r);
    records.push_back(entry);
    file.push_back(&records.back());
    sort();
    image.Add(entry);
    ASSERT_EQ(Texts(image.Records()), Texts(file));
  }
  EXPECT_EQ(Bytes(image.Records()), Bytes(std::vector<const AddressRecord*>(file.begin(), file.end())));
}

}  // namespace
