// The bookmark and hotlist scans over tables of files, entry by entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "importexport/bookmark_scan.h"
#include "importexport/hotlist_scan.h"

namespace {

struct ScanCase {
  std::string data;
  std::vector<std::string> expected;  // type|name|link per entry
};

template <typename Scan, typename Count>
void ExpectEntries(Scan scan, Count count, const ScanCase& c) {
  // Exactly the data on the heap, so that a read past its end is caught.
  std::vector<char> bytes(c.data.begin(), c.data.end());
  const std::string_view data(bytes.data(), bytes.size());
  AddressRecord entry;
  std::vector<std::string> got;
  scan(data, entry, [&](std::size_t handled) {
    EXPECT_EQ(handled, got.size() + 1);
    got.push_back(std::to_string(entry.type) + "|" + std::string(FieldText(entry.name)) + "|" +
                  std::string(FieldText(entry.link)));
  });
  EXPECT_EQ(got, c.expected);
  EXPECT_EQ(count(data), c.expected.size());
}

const std::string kPad(12, ' ');  // keeps a mark out of the last nine bytes
// A ">" as the 256th character of the link: the search for ">" begins after it.
const std::string kLong = "http://" + std::string(248, 'a') + ">" + std::string(44, 'b');

class BookmarkScan : public ::testing::TestWithParam<ScanCase> {};
TEST_P(BookmarkScan, YieldsTheEntries) { ExpectEntries(ScanBookmarks, CountBookmarkMarks, GetParam()); }

INSTANTIATE_TEST_SUITE_P(Files, BookmarkScan, ::testing::Values(
    ScanCase{"<A HREF=\"http://a.de/\" ADD_DATE=\"1\">Alpha</A><a href=\"ftp://b/\">Beta</a>"
             "<A Href=\"news:c\" X=\">\">Gamma &amp; Co</A>" + kPad,
             {"0|Alpha|http://a.de/", "1|Beta|ftp://b/", "3|\">Gamma &amp; Co|news:c"}},
    ScanCase{"<a HREF=\"x\">", {}}, ScanCase{"HREF=\"abcd", {"255||abcd"}}, ScanCase{"HREF=\"abc", {}},
    ScanCase{"HREF=\"ab\">nam", {"255|nam|ab"}},
    ScanCase{"<A HREF=\"" + kLong + "\">N</A>" + kPad, {"0|N|" + kLong.substr(0, 255)}},
    ScanCase{"<A HREF=\"http://x/\">" + std::string(130, 'n') + "</A>" + kPad,
             {"0|" + std::string(127, 'n') + "|http://x/"}},
    ScanCase{"<A HREF=\"file:///C|/dir/page.htm\">1</A><A HREF=\"FILE:///C|/x.htm\">2</A>"
             "<A HREF=\"file://host/x.htm\">3</A><A HREF=\"file:\">4</A>" + kPad,
             {"16|1|file:C|\\dir\\page.htm", "16|2|file:C|\\x.htm", "16|3|file:\\\\host\\x.htm",
              "16|4|file:"}},
    ScanCase{"<A HREF=\"http://a/?HREF=xy\">n</A>" + kPad, {"0|n|http://a/?HREF=xy", "255|n|y"}},
    ScanCase{"....<A HREF=\"http://a/\">Nam", {"0|Nam|http://a/"}},
    ScanCase{"....<A HREF=\"http://abc", {"0||http://abc"}}));

class HotlistScan : public ::testing::TestWithParam<ScanCase> {};
TEST_P(HotlistScan, YieldsTheEntries) { ExpectEntries(ScanHotlist, CountHotlistMarks, GetParam()); }

INSTANTIATE_TEST_SUITE_P(Files, HotlistScan, ::testing::Values(
    ScanCase{"HOTLIST\r\nitem=   Start  \r\n  http://a.de/ \r\nITEM: FTP\r\nftp://b/\r\n",
             {"0|Start  |http://a.de/ ", "1|FTP|ftp://b/"}},
    ScanCase{"Hotlist\r\nItem: Items for sale\r\nfile:///C|/item.htm\r\n",
             {"16|Items for sale|file:C|\\item.htm", "16|for sale|file:C|\\item.htm", "255|tm|"}},
    // LF-only lines: the name takes 128 characters, the link begins two behind them.
    ScanCase{"Hotlist\nItem: A\nhttp://a/\n" + std::string(120, 'x'),
             {"255|A\nhttp://a/\n" + std::string(115, 'x') + "|xx"}},
    ScanCase{"Hotlist\r\nItem: Nur Name", {"255|Nur Name|"}},
    ScanCase{"Hotlist Item", {"255||"}}));

}  // namespace
