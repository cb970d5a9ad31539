// The record layout, link classification, name order and link equality.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "addressdb/record.h"

// Every byte c, then the name given (an empty one is left as the bytes).
static AddressRecord Filled(char c, const std::string& name = "") {
  AddressRecord r;
  std::memset(&r, c, sizeof r);
  if (!name.empty()) SetFieldText(r.name, name);
  return r;
}

// The file's offsets; a text cut to its field, ending in its last byte; a
// field without a terminator read within its width; names in unsigned byte
// order; links equal ignoring the case of ASCII letters only (a search for
// one is held to the import's index in import_image_test.cpp).
TEST(Record, FieldsNamesAndLinkEquality) {
  static_assert(offsetof(AddressRecord, link) == 129 && offsetof(AddressRecord, description) == 385);
  AddressRecord r = Filled('x', std::string(200, 'N'));  // the cut text must not spill into the link
  EXPECT_EQ(std::string(FieldText(r.name)) + r.link[0], std::string(127, 'N') + 'x');
  r = Filled('A');
  EXPECT_EQ(FieldText(r.name).size() + FieldText(r.link).size() + FieldText(r.description).size(), RecordSize - 1);
  // Names: capitals before small letters, umlauts last (the other way round is
  // held to the import's sort in import_image_test.cpp).
  const char* const ascending[] = {"", "A", "Ab", "Abc", "B", "Bank", "Zoo", "a", "alpha", "b",
                                   "zzz", "~", "\x80", "\xC4pfel"};
  for (std::size_t i = 0; i + 1 < std::size(ascending); ++i) {
    EXPECT_LT(CompareNames(Filled(0, ascending[i]), Filled(0, ascending[i + 1])), 0) << ascending[i];
  }
  EXPECT_EQ(CompareNames(Filled('t', "Name"), Filled(0, "Name")), 0) << "bytes behind the terminator";
  EXPECT_EQ(CompareNames(Filled('N'), Filled('N')), 0) << "names without a terminator, within their field";
  // Equality ignores the case of ASCII letters only.
  const struct { const char *a, *b; bool equal; } pairs[] = {
      {"http://X.org/A", "HTTP://x.ORG/a", true}, {"http://x.org", "http://x.org/", false},
      {"http://x.de/\xE4", "http://x.de/\xC4", false}, {"http://x.de/\xE4", "HTTP://X.DE/\xE4", true},
      {"", "", true}, {"a", "", false}, {"[", "{", false}, {"@", "`", false}};
  for (const auto& p : pairs)  // either way round
    EXPECT_TRUE(LinksEqual(p.a, p.b) == p.equal && LinksEqual(p.b, p.a) == p.equal) << p.a << " / " << p.b;
}

TEST(Record, ClassifiesLinksByTheirExactAsciiPrefix) {
  using T = LinkType;
  const std::pair<const char*, LinkType> cases[] = {
      {"HTTP://X", T::Www}, {"hTtP:", T::Www}, {"https:", T::Unknown}, {"http", T::Unknown}, {"FTP:", T::Ftp},
      {"ftp", T::Unknown}, {"MailTo:x", T::Email}, {"mailto", T::Unknown}, {"FILE:", T::Local},
      {"", T::Unknown}, {"news:http:", T::News}, {"Gopher://g", T::Gopher}, {"archie:q", T::Archie},
      {" http:", T::Unknown}, {"\xC4http:", T::Unknown}, {"\xE4rchie:", T::Unknown}, {"telnet:", T::Unknown}};
  for (char fill : {'\0', 'z'})  // 'z': the link without a terminator
    for (const auto& [link, type] : cases) {
      AddressRecord r = Filled(fill);
      std::memcpy(r.link, link, std::strlen(link));
      ClassifyLink(r);
      EXPECT_EQ(r.type, static_cast<std::uint8_t>(type)) << link << " filled with " << int(fill);
    }
}

