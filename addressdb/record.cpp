// Classification, name order, link comparison and sorting of address records.
#include "addressdb/record.h"

#include <algorithm>
#include <array>

const std::array<LinkCategory, 7> kLinkCategories = {{
    {LinkType::Www, "http:", "http://"},
    {LinkType::Ftp, "ftp:", "ftp://"},
    {LinkType::Email, "mailto:", "mailto:"},
    {LinkType::News, "news:", "news:"},
    {LinkType::Gopher, "gopher:", "gopher:"},
    {LinkType::Archie, "archie:", "archie:"},
    {LinkType::Local, "file:", "file:"},
}};

LinkType LinkTypeOf(std::string_view link) {
  LinkType type = LinkType::Unknown;
  for (const LinkCategory& c : kLinkCategories)
    if (StartsWithIgnoringAsciiCase(link, c.prefix)) type = c.type;
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

bool SortByName(std::vector<const AddressRecord*>& records) {
  const std::size_t count = records.size();
  auto less = [](const AddressRecord* a, const AddressRecord* b) {
    return CompareNames(*a, *b) < 0;
  };
  std::size_t sorted = 1;
  while (sorted < count && CompareNames(*records[sorted - 1], *records[sorted]) <= 0) ++sorted;
  if (sorted >= count) return false;

  // One record out of place at 'sorted'. If the rest is in order with it
  // left out, it is the only one to move; the bubble sort carries a record
  // that is too small down behind every record not greater than it, and one
  // that is too big up in front of the first record greater than it.
  const AddressRecord* odd = records[sorted];
  bool restSorted = true;
  for (std::size_t i = sorted + 1; i < count && restSorted; ++i) {
    const AddressRecord* before = i == sorted + 1 ? records[sorted - 1] : records[i - 1];
    restSorted = CompareNames(*before, *records[i]) <= 0;
  }
  if (restSorted) {
    auto begin = records.begin();
    auto gap = begin + static_cast<std::ptrdiff_t>(sorted);
    auto at = std::upper_bound(begin, gap, odd, less);
    std::rotate(at, gap, gap + 1);
    return true;
  }
  // The record before 'sorted' may be the one out of place (a renamed record
  // that now sorts later): take it out and check the rest once more.
  const AddressRecord* big = records[sorted - 1];
  restSorted = true;
  for (std::size_t i = sorted; i < count && restSorted; ++i) {
    const AddressRecord* before = i == sorted ? (sorted >= 2 ? records[sorted - 2] : nullptr)
                                              : records[i - 1];
    restSorted = before == nullptr || CompareNames(*before, *records[i]) <= 0;
  }
  if (restSorted) {
    auto from = records.begin() + static_cast<std::ptrdiff_t>(sorted - 1);
    // In front of the first later record that is not smaller: the moved
    // record came before those with an equal name and stays before them.
    auto to = std::lower_bound(from + 1, records.end(), big, less);
    std::rotate(from, from + 1, to);
    return true;
  }
  std::stable_sort(records.begin(), records.end(), less);
  return true;
}

long FindLinkIn(const AddressRecord* records, std::size_t count, std::string_view link) {
  for (std::size_t i = 0; i < count; ++i)
    if (LinksEqual(FieldText(records[i].link), link)) return static_cast<long>(i);
  return -1;
}
