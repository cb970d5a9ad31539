// The bookmark and hotlist scans over tables of files, entry by entry.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "importexport/bookmark_scan.h"
#include "importexport/hotlist_scan.h"

TEST(Scan, YieldsTheEntries) {
  // A ">" as the 256th character of the link: the search for ">" begins after it.
  const std::string kLong = "http://" + std::string(248, 'a') + ">" + std::string(44, 'b');
  // Hotlist or not, the data, and type|name|link of each entry. A blank pad
  // keeps a mark out of the last nine bytes.
  const std::vector<std::tuple<bool, std::string, std::vector<std::string>>> cases = {
      {false, "<A HREF=\"http://a.de/\" ADD_DATE=\"1\">Alpha</A><a href=\"ftp://b/\">Beta</a>"
       "<A Href=\"news:c\" X=\">\">Gamma &amp; Co</A>" + std::string(12, ' '),
       {"0|Alpha|http://a.de/", "1|Beta|ftp://b/", "3|\">Gamma &amp; Co|news:c"}},
      {false, "HREF=\"abcd", {"255||abcd"}}, {false, "HREF=\"abc", {}}, {true, "Hotlist Item", {"255||"}},
      {false, "HREF=\"ab\">nam", {"255|nam|ab"}}, {true, "Hotlist\r\nItem: Nur Name", {"255|Nur Name|"}},
      {false, "<A HREF=\"" + kLong + "\">N</A>" + std::string(12, ' '), {"0|N|" + kLong.substr(0, 255)}},
      {false, "<A HREF=\"http://x/\">" + std::string(130, 'n') + "</A>" + std::string(12, ' '),
       {"0|" + std::string(127, 'n') + "|http://x/"}},
      {false, "<A HREF=\"file:///C|/dir/page.htm\">1</A><A HREF=\"FILE:///C|/x.htm\">2</A>"
       "<A HREF=\"file://host/x.htm\">3</A><A HREF=\"FILE:///\">4</A>" + std::string(12, ' '),
       {"16|1|file:C|\\dir\\page.htm", "16|2|file:C|\\x.htm", "16|3|file:\\\\host\\x.htm", "16|4|file:"}},
      {false, "<A HREF=\"http://a/?HREF=xy\">n</A>" "            ", {"0|n|http://a/?HREF=xy", "255|n|y"}},
      {false, "....<A HREF=\"http://a/\">Nam", {"0|Nam|http://a/"}},
      {false, "....<A HREF=\"http://abc", {"0||http://abc"}},
      {true, "HOTLIST\r\nitem=   Start  \r\n  http://a.de/ \r\nITEM: FTP\r\nftp://b/\r\n",
       {"0|Start  |http://a.de/ ", "1|FTP|ftp://b/"}},
      {true, "Hotlist\r\nItem: Items for sale\r\nfile:///C|/item.htm\r\n",
       {"16|Items for sale|file:C|\\item.htm", "16|for sale|file:C|\\item.htm", "255|tm|"}},
      // LF-only lines: the name takes 128 characters, the link begins two behind them.
      {true, "Hotlist\nItem: A\nhttp://a/\n" + std::string(120, 'x'),
       {"255|A\nhttp://a/\n" + std::string(115, 'x') + "|xx"}}};
  for (const auto& [hotlist, text, expected] : cases) {
    // Exactly the data on the heap, so that a read past its end is caught.
    std::vector<char> bytes(text.begin(), text.end());
    const std::string_view data(bytes.data(), bytes.size());
    AddressRecord entry;
    std::vector<std::string> got;
    // The count handed over, and that of the marks, are checked on every input by the fuzz target.
    const auto store = [&](std::size_t) {
      got.push_back(std::to_string(entry.type) + "|" + entry.name + "|" + entry.link);
    };
    hotlist ? ScanHotlist(data, entry, store) : ScanBookmarks(data, entry, store);
    EXPECT_EQ(got, expected) << (hotlist ? "as a hotlist: " : "as a bookmark file: ") << text;
  }
}
