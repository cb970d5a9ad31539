// The record layout, link classification, name order, link equality, and
// where a centred window goes.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "addressdb/record.h"
#include "common/center_math.h"

namespace {

AddressRecord Filled(char c) {
  AddressRecord r;
  std::memset(&r, c, sizeof r);
  return r;
}

AddressRecord Named(const std::string& name) {
  AddressRecord r = Filled(0);
  SetFieldText(r.name, name);
  return r;
}

// The file's offsets; a text cut to its field, ending in its last byte; a
// field without a terminator read within its width.
TEST(Record, FieldsKeepToTheirBytes) {
  EXPECT_EQ(std::vector<std::size_t>({offsetof(AddressRecord, type), offsetof(AddressRecord, name),
                                      offsetof(AddressRecord, link),
                                      offsetof(AddressRecord, description), sizeof(AddressRecord)}),
            std::vector<std::size_t>({0, 1, 129, 385, 641}));
  AddressRecord r = Filled('x');
  SetFieldText(r.name, std::string(200, 'N'));
  EXPECT_EQ(FieldText(r.name), std::string(127, 'N'));
  EXPECT_EQ(r.link[0], 'x') << "the cut text must not spill into the next field";
  SetFieldText(r.link, std::string(255, 'L'));
  EXPECT_EQ(FieldText(r.link).size(), 255u);
  r = Filled('A');
  EXPECT_EQ(FieldText(r.name).size() + FieldText(r.link).size() + FieldText(r.description).size(),
            128u + 256u + 256u);
}

TEST(Record, ClassifiesLinksByTheirExactAsciiPrefix) {
  const std::pair<const char*, LinkType> cases[] = {
      {"http://www.example.org/", LinkType::Www}, {"HTTP://WWW.EXAMPLE.ORG", LinkType::Www},
      {"hTtP:", LinkType::Www}, {"https://secure.example.org", LinkType::Unknown},
      {"http", LinkType::Unknown}, {"ftp://ftp.example.org/pub", LinkType::Ftp},
      {"FTP:", LinkType::Ftp}, {"ftp", LinkType::Unknown}, {"MailTo:x", LinkType::Email},
      {"mailto", LinkType::Unknown}, {"news:see http://example.org", LinkType::News},
      {"Gopher://gopher.example.org", LinkType::Gopher}, {"archie:query", LinkType::Archie},
      {"file:///c:/autoexec.bat", LinkType::Local}, {"FILE:", LinkType::Local},
      {"", LinkType::Unknown}, {" http://example.org", LinkType::Unknown},
      {"\xC4http://example.org", LinkType::Unknown}, {"\xE4rchie:", LinkType::Unknown},
      {"www.example.org", LinkType::Unknown}, {"telnet://host", LinkType::Unknown}};
  for (const auto& [link, type] : cases) {
    AddressRecord r = Filled(0);
    r.type = 77;
    SetFieldText(r.link, link);
    ClassifyLink(r);
    EXPECT_EQ(r.type, static_cast<std::uint8_t>(type)) << link;
  }
  AddressRecord r = Filled('z');
  std::memcpy(r.link, "ftp:", 4);
  ClassifyLink(r);
  EXPECT_EQ(r.type, static_cast<std::uint8_t>(LinkType::Ftp)) << "a link without terminator";
}

TEST(Record, NamesOrderCapitalsBeforeSmallLettersAndUmlautsLast) {
  const char* const ascending[] = {"", "A", "Ab", "Abc", "B", "Bank", "Zoo", "a", "alpha", "b",
                                   "zzz", "~", "\x80", "\xC4pfel"};
  for (std::size_t i = 0; i + 1 < std::size(ascending); ++i) {
    EXPECT_LT(CompareNames(Named(ascending[i]), Named(ascending[i + 1])), 0) << ascending[i];
    EXPECT_GT(CompareNames(Named(ascending[i + 1]), Named(ascending[i])), 0) << ascending[i];
  }
  AddressRecord a = Named("Name");
  std::memcpy(a.name + 5, "tail", 4);
  EXPECT_EQ(CompareNames(a, Named("Name")), 0) << "bytes behind the terminator";
}

TEST(Record, LinksEqualIgnoringAsciiCaseOnly) {
  const struct { const char *a, *b; bool equal; } pairs[] = {
      {"http://EXAMPLE.org/A", "HTTP://example.ORG/a", true},
      {"http://example.org", "http://example.org/", false}, {"http://x.de/\xE4", "http://x.de/\xC4", false},
      {"http://x.de/\xE4", "HTTP://X.DE/\xE4", true}, {"", "", true}, {"a", "", false},
      {"[", "{", false}, {"@", "`", false}};
  for (const auto& p : pairs) {
    EXPECT_EQ(LinksEqual(p.a, p.b), p.equal) << p.a << " / " << p.b;
    EXPECT_EQ(LinksEqual(p.b, p.a), p.equal) << p.b << " / " << p.a;
  }
  AddressRecord records[3] = {Filled(0), Filled(0), Filled(0)};
  SetFieldText(records[0].link, "http://a.de");
  SetFieldText(records[1].link, "http://B.de");
  SetFieldText(records[2].link, "HTTP://b.DE");
  EXPECT_EQ(FindLinkIn(records, 3, "http://b.de"), 1) << "the lower of two equal records";
  EXPECT_EQ(FindLinkIn(records, 3, "http://b.de/"), -1);
  EXPECT_EQ(FindLinkIn(records, 0, "http://a.de"), -1);
}

// Each half rounded down on its own (an even reference and an odd window tell
// that from halving the difference), clamped at 0 on the left and top only.
TEST(Center, HalvesRoundedDownAndClampedAtZero) {
  const int cases[][8] = {{0, 0, 801, 601, 300, 201, 250, 200}, {100, 40, 400, 300, 101, 99, 250, 141},
                          {0, 0, 300, 200, 801, 601, 0, 0},     {0, 0, 300, 600, 801, 100, 0, 250},
                          {900, 700, 200, 200, 50, 50, 975, 775}};
  for (const auto& c : cases) {
    const CenterPoint p = CenterPosition(c[0], c[1], c[2], c[3], c[4], c[5]);
    EXPECT_EQ(p.x, c[6]) << c[0] << "," << c[1];
    EXPECT_EQ(p.y, c[7]) << c[0] << "," << c[1];
  }
}

}  // namespace
