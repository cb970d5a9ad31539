// The bookmark and hotlist scans over tables of files, entry by entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "importexport/bookmark_scan.h"
#include "importexport/hotlist_scan.h"

namespace {

struct Entry {
  std::string name, link;
  int type;
  bool operator==(const Entry& o) const { return name == o.name && link == o.link && type == o.type; }
};
void PrintTo(const Entry& e, std::ostream* os) { *os << "{" << e.name << "|" << e.link << "|" << e.type << "}"; }

struct ScanCase {
  const char* what;
  std::string data;
  std::vector<Entry> expected;
};

template <typename Scan>
std::vector<Entry> ScanAll(Scan scan, const std::string& data) {
  // Exactly the data on the heap, so that a read past its end is caught.
  std::vector<char> bytes(data.begin(), data.end());
  std::string_view view(bytes.data(), bytes.size());
  AddressRecord entry;
  std::vector<Entry> got;
  std::size_t last = 0;
  scan(view, entry, [&](std::size_t handled) {
    EXPECT_EQ(handled, ++last);
    got.push_back({std::string(FieldText(entry.name)), std::string(FieldText(entry.link)), entry.type});
  });
  return got;
}

const std::string kPad(12, ' ');  // keeps a mark out of the last nine bytes
// A ">" as the 256th character: the search for ">" must begin after it.
const std::string kLong300 = "http://" + std::string(248, 'a') + ">" + std::string(44, 'b');

class BookmarkScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(BookmarkScan, YieldsTheEntries) {
  const ScanCase& c = GetParam();
  std::vector<Entry> got = ScanAll(ScanBookmarks, c.data);
  EXPECT_EQ(got, c.expected);
  EXPECT_EQ(CountBookmarkMarks(c.data), c.expected.size());
}

INSTANTIATE_TEST_SUITE_P(Files, BookmarkScan, ::testing::Values(
    ScanCase{"marks in any case, further attributes",
             "<A HREF=\"http://a.de/\" ADD_DATE=\"1\">Alpha</A><a href=\"ftp://b/\">Beta</a>"
             "<A Href=\"news:c\" X=\">\">Gamma &amp; Co</A>" + kPad,
             {{"Alpha", "http://a.de/", 0}, {"Beta", "ftp://b/", 1}, {"\">Gamma &amp; Co", "news:c", 3}}},
    ScanCase{"no mark in the last nine bytes", "<a HREF=\"x\">", {}},
    ScanCase{"a mark just before the last nine bytes", "HREF=\"ab\">nam", {{"nam", "ab", 255}}},
    ScanCase{"300-character link: 255 stored, '>' searched 256 on",
             "<A HREF=\"" + kLong300 + "\">N</A>" + kPad,
             {{"N", kLong300.substr(0, 255), 0}}},
    ScanCase{"a name over 127 characters",
             "<A HREF=\"http://x/\">" + std::string(130, 'n') + "</A>" + kPad,
             {{std::string(127, 'n'), "http://x/", 0}}},
    ScanCase{"local links rewritten",
             "<A HREF=\"file:///C|/dir/page.htm\">1</A><A HREF=\"FILE:///C|/x.htm\">2</A>"
             "<A HREF=\"file://host/x.htm\">3</A><A HREF=\"file:\">4</A>" + kPad,
             {{"1", "file:C|\\dir\\page.htm", 16}, {"2", "file:C|\\x.htm", 16},
              {"3", "file:\\\\host\\x.htm", 16}, {"4", "file:", 16}}},
    ScanCase{"a mark inside text already taken",
             "<A HREF=\"http://a/?HREF=xy\">n</A>" + kPad,
             {{"n", "http://a/?HREF=xy", 0}, {"n", "y", 255}}},
    ScanCase{"data ending inside a name", "....<A HREF=\"http://a/\">Nam", {{"Nam", "http://a/", 0}}},
    ScanCase{"data ending inside a link", "....<A HREF=\"http://abc", {{"", "http://abc", 0}}}));

class HotlistScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(HotlistScan, YieldsTheEntries) {
  const ScanCase& c = GetParam();
  EXPECT_EQ(ScanAll(ScanHotlist, c.data), c.expected);
  EXPECT_EQ(CountHotlistMarks(c.data), c.expected.size());
}

INSTANTIATE_TEST_SUITE_P(Files, HotlistScan, ::testing::Values(
    ScanCase{"blanks before dropped, after kept",
             "HOTLIST\r\nitem=   Start  \r\n  http://a.de/ \r\nITEM: FTP\r\nftp://b/\r\n",
             {{"Start  ", "http://a.de/ ", 0}, {"FTP", "ftp://b/", 1}}},
    ScanCase{"Item inside a name and a link starts further entries",
             "Hotlist\r\nItem: Items for sale\r\nfile:///C|/item.htm\r\n",
             {{"Items for sale", "file:C|\\item.htm", 16}, {"for sale", "file:C|\\item.htm", 16},
              {"tm", "", 255}}},
    ScanCase{"LF-only lines: 128 characters taken for the name",
             "Hotlist\nItem: A\nhttp://a/\n" + std::string(120, 'x'),
             {{"A\nhttp://a/\n" + std::string(115, 'x'), "xx", 255}}},
    ScanCase{"data ending inside an item", "Hotlist\r\nItem: Nur Name", {{"Nur Name", "", 255}}},
    ScanCase{"data ending right after the mark", "Hotlist Item", {{"", "", 255}}}));

TEST(FileChecks, TitlesAndHeads) {
  EXPECT_TRUE(IsBookmarkFileTitle("BOOKMARK.HTM"));
  EXPECT_FALSE(IsBookmarkFileTitle("bookmarks.htm"));
  EXPECT_FALSE(IsBookmarkFileTitle("bookmark.bak"));
  for (const char* t : {"favor.hot", "FAVOR.HOT", "list.hot.bak", "a.Hot", "a.HOt"})
    EXPECT_TRUE(IsHotlistFileTitle(t)) << t;
  for (const char* t : {"favor.hOt", "favor.hoT", "favorhot"}) EXPECT_FALSE(IsHotlistFileTitle(t)) << t;
  EXPECT_TRUE(IsHotlist("hOTLIST"));
  EXPECT_FALSE(IsHotlist("Hotlis"));
  EXPECT_FALSE(IsHotlist("\r\nHotlist"));
}

}  // namespace
