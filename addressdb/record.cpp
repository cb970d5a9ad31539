// Classification, name order, link comparison and sorting of address records.
#include "addressdb/record.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

unsigned char AsciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(static_cast<unsigned char>(text[i])) !=
        AsciiLower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

struct Prefix {
  std::string_view text;
  LinkType type;
};

constexpr std::array<Prefix, 7> kPrefixes = {{
    {"http:", LinkType::Www},
    {"ftp:", LinkType::Ftp},
    {"mailto:", LinkType::Email},
    {"news:", LinkType::News},
    {"gopher:", LinkType::Gopher},
    {"archie:", LinkType::Archie},
    {"file:", LinkType::Local},
}};

}  // namespace

LinkType LinkTypeOf(std::string_view link) {
  LinkType type = LinkType::Unknown;
  for (const Prefix& p : kPrefixes)
    if (StartsWithIgnoringAsciiCase(link, p.text)) type = p.type;
  return type;
}

void ClassifyLink(AddressRecord& record) {
  record.type = static_cast<std::uint8_t>(LinkTypeOf(FieldText(record.link)));
}

int CompareNames(const AddressRecord& a, const AddressRecord& b) {
  std::string_view x = FieldText(a.name), y = FieldText(b.name);
  std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char cx = static_cast<unsigned char>(x[i]);
    unsigned char cy = static_cast<unsigned char>(y[i]);
    if (cx != cy) return cx < cy ? -1 : 1;
  }
  if (x.size() == y.size()) return 0;
  return x.size() < y.size() ? -1 : 1;
}

bool LinksEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithIgnoringAsciiCase(a, b);
}

void SortRecordsInPlace(AddressRecord* records, std::size_t count) {
  if (count < 2) return;

  std::size_t sortedPrefix = 1;
  while (sortedPrefix < count &&
         CompareNames(records[sortedPrefix - 1], records[sortedPrefix]) <= 0)
    ++sortedPrefix;
  if (sortedPrefix == count) return;

  if (sortedPrefix == count - 1) {
    // Only the last record is out of place: it goes behind every record whose
    // name is not greater, as the bubble sort would carry it.
    AddressRecord last;
    std::memcpy(&last, &records[count - 1], RecordSize);
    AddressRecord* pos = std::upper_bound(
        records, records + count - 1, last,
        [](const AddressRecord& a, const AddressRecord& b) { return CompareNames(a, b) < 0; });
    std::memmove(pos + 1, pos, static_cast<std::size_t>(records + count - 1 - pos) * RecordSize);
    std::memcpy(pos, &last, RecordSize);
    return;
  }

  // General disorder: a stable sort of positions, then the permutation is
  // applied cycle by cycle with one record of temporary space.
  std::vector<std::size_t> order(count);
  for (std::size_t i = 0; i < count; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [records](std::size_t a, std::size_t b) {
    return CompareNames(records[a], records[b]) < 0;
  });
  std::vector<bool> placed(count, false);
  AddressRecord temp;
  for (std::size_t start = 0; start < count; ++start) {
    if (placed[start] || order[start] == start) {
      placed[start] = true;
      continue;
    }
    std::memcpy(&temp, &records[start], RecordSize);
    std::size_t dst = start;
    while (order[dst] != start) {
      std::memcpy(&records[dst], &records[order[dst]], RecordSize);
      placed[dst] = true;
      dst = order[dst];
    }
    std::memcpy(&records[dst], &temp, RecordSize);
    placed[dst] = true;
  }
}

long FindLinkIn(const AddressRecord* records, std::size_t count, std::string_view link) {
  for (std::size_t i = 0; i < count; ++i)
    if (LinksEqual(FieldText(records[i].link), link)) return static_cast<long>(i);
  return -1;
}
