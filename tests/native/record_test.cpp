// The record layout, link classification, name order and link equality.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "addressdb/record.h"

namespace {

AddressRecord Named(const std::string& name) {
  AddressRecord r;
  std::memset(&r, 0, sizeof r);
  SetFieldText(r.name, name);
  return r;
}

}  // namespace

TEST(RecordLayout, FieldsLieAtTheirFileOffsets) {
  EXPECT_EQ(offsetof(AddressRecord, type), 0u);
  EXPECT_EQ(offsetof(AddressRecord, name), 1u);
  EXPECT_EQ(offsetof(AddressRecord, link), 129u);
  EXPECT_EQ(offsetof(AddressRecord, description), 385u);
  EXPECT_EQ(sizeof(AddressRecord), 641u);
}

TEST(RecordLayout, NameOf127CharactersEndsInTheLastByte) {
  AddressRecord r;
  std::memset(&r, 'x', sizeof r);
  SetFieldText(r.name, std::string(200, 'N'));
  EXPECT_EQ(FieldText(r.name), std::string(127, 'N'));
  EXPECT_EQ(r.name[127], '\0');
  EXPECT_EQ(r.link[0], 'x') << "the cut text must not spill into the next field";
  SetFieldText(r.link, std::string(255, 'L'));
  EXPECT_EQ(FieldText(r.link).size(), 255u);
}

TEST(RecordLayout, FieldWithoutNulIsReadWithinItsWidth) {
  AddressRecord r;
  std::memset(&r, 'A', sizeof r);
  EXPECT_EQ(FieldText(r.name).size(), 128u);
  EXPECT_EQ(FieldText(r.link).size(), 256u);
  EXPECT_EQ(FieldText(r.description).size(), 256u);
}

struct ClassifyCase {
  const char* link;
  LinkType expected;
};

class ClassifyLinkTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyLinkTest, Classifies) {
  AddressRecord r;
  std::memset(&r, 0, sizeof r);
  r.type = 77;
  SetFieldText(r.link, GetParam().link);
  ClassifyLink(r);
  EXPECT_EQ(static_cast<int>(r.type), static_cast<int>(GetParam().expected))
      << "link: " << GetParam().link;
}

INSTANTIATE_TEST_SUITE_P(
    Links, ClassifyLinkTest,
    ::testing::Values(
        ClassifyCase{"http://www.example.org/", LinkType::Www},
        ClassifyCase{"HTTP://WWW.EXAMPLE.ORG", LinkType::Www},
        ClassifyCase{"hTtP:", LinkType::Www},
        ClassifyCase{"http:", LinkType::Www},
        ClassifyCase{"https://secure.example.org", LinkType::Unknown},
        ClassifyCase{"http", LinkType::Unknown},
        ClassifyCase{"ftp://ftp.example.org/pub", LinkType::Ftp},
        ClassifyCase{"FTP:", LinkType::Ftp},
        ClassifyCase{"ftp", LinkType::Unknown},
        ClassifyCase{"mailto:jemand@example.org", LinkType::Email},
        ClassifyCase{"MailTo:x", LinkType::Email},
        ClassifyCase{"mailto", LinkType::Unknown},
        ClassifyCase{"news:comp.lang.c", LinkType::News},
        ClassifyCase{"news:see http://example.org", LinkType::News},
        ClassifyCase{"Gopher://gopher.example.org", LinkType::Gopher},
        ClassifyCase{"archie:query", LinkType::Archie},
        ClassifyCase{"file:///c:/autoexec.bat", LinkType::Local},
        ClassifyCase{"FILE:", LinkType::Local},
        ClassifyCase{"", LinkType::Unknown},
        ClassifyCase{" http://example.org", LinkType::Unknown},
        ClassifyCase{"\xC4http://example.org", LinkType::Unknown},
        ClassifyCase{"\xE4rchie:", LinkType::Unknown},
        ClassifyCase{"www.example.org", LinkType::Unknown},
        ClassifyCase{"telnet://host", LinkType::Unknown}));

TEST(ClassifyLink, LinkWithoutNulInItsFieldIsClassifiedFromItsBeginning) {
  AddressRecord r;
  std::memset(&r, 'z', sizeof r);
  std::memcpy(r.link, "ftp:", 4);
  ClassifyLink(r);
  EXPECT_EQ(r.type, static_cast<std::uint8_t>(LinkType::Ftp));
}

TEST(NameOrder, CapitalsBeforeSmallLettersAndUmlautsLast) {
  EXPECT_LT(CompareNames(Named("Bank"), Named("Zoo")), 0);
  EXPECT_LT(CompareNames(Named("Zoo"), Named("alpha")), 0);
  EXPECT_LT(CompareNames(Named("B"), Named("a")), 0);
  EXPECT_LT(CompareNames(Named("a"), Named("b")), 0);
  EXPECT_LT(CompareNames(Named("zzz"), Named("\xC4pfel")), 0);
  EXPECT_LT(CompareNames(Named("~"), Named("\x80")), 0);
  EXPECT_LT(CompareNames(Named("Ab"), Named("Abc")), 0);
  EXPECT_GT(CompareNames(Named("Abc"), Named("Ab")), 0);
  EXPECT_EQ(CompareNames(Named("Gleich"), Named("Gleich")), 0);
  EXPECT_LT(CompareNames(Named(""), Named("A")), 0);
}

TEST(NameOrder, BytesBehindTheTerminatorDoNotCount) {
  AddressRecord a = Named("Name");
  AddressRecord b = Named("Name");
  std::memcpy(a.name + 5, "tail", 4);
  EXPECT_EQ(CompareNames(a, b), 0);
}

struct LinkPair {
  const char* a;
  const char* b;
  bool equal;
};

class LinksEqualTest : public ::testing::TestWithParam<LinkPair> {};

TEST_P(LinksEqualTest, Compares) {
  EXPECT_EQ(LinksEqual(GetParam().a, GetParam().b), GetParam().equal)
      << GetParam().a << " / " << GetParam().b;
  EXPECT_EQ(LinksEqual(GetParam().b, GetParam().a), GetParam().equal);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, LinksEqualTest,
    ::testing::Values(LinkPair{"http://EXAMPLE.org/A", "HTTP://example.ORG/a", true},
                      LinkPair{"http://example.org", "http://example.org/", false},
                      LinkPair{"http://x.de/\xE4", "http://x.de/\xC4", false},
                      LinkPair{"http://x.de/\xE4", "HTTP://X.DE/\xE4", true},
                      LinkPair{"", "", true},
                      LinkPair{"a", "", false},
                      LinkPair{"[", "{", false},
                      LinkPair{"@", "`", false}));

TEST(FindLinkIn, ReturnsTheLowerOfTwoEqualRecords) {
  AddressRecord records[3];
  std::memset(records, 0, sizeof records);
  SetFieldText(records[0].link, "http://a.de");
  SetFieldText(records[1].link, "http://B.de");
  SetFieldText(records[2].link, "HTTP://b.DE");
  EXPECT_EQ(FindLinkIn(records, 3, "http://b.de"), 1);
  EXPECT_EQ(FindLinkIn(records, 3, "http://b.de/"), -1);
  EXPECT_EQ(FindLinkIn(records, 0, "http://a.de"), -1);
}
