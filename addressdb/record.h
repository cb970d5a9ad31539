// One address entry as it lies in the data file, its link categories, and the
// rules that classify, order and compare entries. No platform calls here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

enum class LinkType : std::uint8_t {
  Www = 0,
  Ftp = 1,
  Email = 2,
  News = 3,
  Gopher = 4,
  Archie = 5,
  Local = 16,
  Unknown = 255,
};

// The same 641 bytes in memory and in the file: no padding, no multi-byte numbers.
struct AddressRecord {
  std::uint8_t type;       // a LinkType value
  char name[128];          // at most 127 characters and a NUL
  char link[256];          // at most 255 characters and a NUL
  char description[256];   // at most 255 characters and a NUL
};

constexpr std::size_t RecordSize = 641;
static_assert(sizeof(AddressRecord) == RecordSize, "a record is 641 bytes");
static_assert(alignof(AddressRecord) == 1, "records lie back to back in the file");

// The text of a field: the bytes before its first NUL. A damaged record whose
// field holds no NUL yields the whole field and never reads past it.
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return std::string_view(field, n);
}

// Copies text into a field, cut to fit, and ends it with a NUL.
template <std::size_t N>
void SetFieldText(char (&field)[N], std::string_view text) {
  std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  for (std::size_t i = 0; i < n; ++i) field[i] = text[i];
  field[n] = '\0';
}

// The categories, in the order of the pages that list them: the start that
// makes a link one of them, and the start a new link of it is given.
struct LinkCategory {
  LinkType type;
  std::string_view prefix, preset;
};
extern const std::array<LinkCategory, 7> kLinkCategories;

// The one case rule of links, marks and file names: ASCII letters in small
// case, every other byte as it is.
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether text begins with prefix, ASCII letters matching in either case.
inline bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
  return true;
}

// The category of a link, from its first bytes only ("http:", "ftp:", ...);
// ASCII letters match in either case, every other byte exactly.
LinkType LinkTypeOf(std::string_view link);

// Sets record.type from record.link.
void ClassifyLink(AddressRecord& record);

// Name order: unsigned bytes, case-sensitive; <0, 0 or >0.
int CompareNames(const AddressRecord& a, const AddressRecord& b);

// Link equality: same length, same bytes, a-z equal to A-Z.
bool LinksEqual(std::string_view a, std::string_view b);

// Puts the records into ascending name order; records with equal names keep
// their order. The result is exactly that of a bubble sort with whole-record
// swaps. Only pointers move: the store writes the records out in this order
// into a new file. A single record out of place (the one just appended or
// renamed) costs one search and one move, any other disorder n log n
// comparisons. Returns false when the order was already right.
bool SortByName(std::vector<const AddressRecord*>& records);

// Position of the first record whose link equals link, or -1.
long FindLinkIn(const AddressRecord* records, std::size_t count, std::string_view link);

// A record and the position of the data file it is to be written at.
struct Placed {
  long position;
  const AddressRecord* record;
};
