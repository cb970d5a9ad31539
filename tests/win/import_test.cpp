// The Import page of the real program under Wine: bookmark files (real browser
// exports and generated ones) under each policy, favourites, hotlists, and the
// start states of both pages with their pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

#include "tests/win/manager_run.h"
#include "tests/win/test_folder.h"

namespace {

const char kBookmarkDialog[] = "QX Internet 2.0 - Netscape Bookmarkdatei laden";
const char kHotlistDialog[] = "QX Internet 2.0 - Mosaic Hotlist laden";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kSamples = WindowsPath(QX_SAMPLES);

// Sets the favourites folder for the test; an empty one means none.
struct FavoritesFolder {
  explicit FavoritesFolder(const std::string& path) {
    RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
  }
  ~FavoritesFolder() { RegDeleteValueA(key, "Favorites"); RegCloseKey(key); }
  HKEY key = nullptr;
};

std::string Cp1252(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], int(wide.size())));
  std::string out(wide.size() * 2, '\0');
  out.resize(WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), &out[0],
                                 int(out.size()), "?", nullptr));
  return out;
}

// What a browser export holds, read by other means: its anchors, in the data
// file's order (by name, equal names in file order).
std::vector<std::string> AnchorsOf(const std::string& file) {
  const std::string text = ReadBytes(file);
  std::vector<AddressRecord> records;
  const std::regex anchor("<A HREF=\"([^\"]*)\"[^>]*>([^<]*)</A>", std::regex::icase);
  for (std::sregex_iterator m(text.begin(), text.end(), anchor), end; m != end; ++m)
    records.push_back(MakeRecord(Cp1252((*m)[2]), Cp1252((*m)[1])));
  std::stable_sort(records.begin(), records.end(),
                   [](const AddressRecord& a, const AddressRecord& b) { return CompareNames(a, b) < 0; });
  std::string bytes;
  for (const AddressRecord& r : records) bytes += Bytes(r);
  WriteBytes("expected.dat", bytes);
  return StoredRecords("expected.dat");
}

const std::vector<std::string> kStored = {"0|Alt|http://alt.example/|Beschreibung"};
const std::string kPolicyFile =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
    "<DT><A HREF=\"http://neu.example/\" ADD_DATE=\"1\">Neu</A>\n"
    "<DT><A HREF=\"HTTP://ALT.EXAMPLE/\">Alt neu</A>\n<DT><A HREF=\"news:de.comp\">Gruppe</A>\n"
    "<DT><A HREF=\"irc://chat/\">Chat</A>\n<DT><A HREF=\"http://neu.example/\">Aaa</A>\n</DL><p>\n";
const std::vector<std::string> kSkipped = {kStored[0], "255|Chat|irc://chat/|", "0|Neu|http://neu.example/|"};
const std::vector<std::string> kOverwritten = {"0|Alt neu|HTTP://ALT.EXAMPLE/|Beschreibung",
                                               "255|Chat|irc://chat/|", "0|Aaa|http://neu.example/|"};
const std::pair<std::string, int> Question(const char* link, const char* name, int answer) {
  return {std::string("Der Link '") + link + "' ist bereits unter dem Namen '" + name +
              "' eingetragen ! \xDC" "berschreiben ?", answer};
}

struct ImportCase {
  const char* what;
  int policy;  // 104 to 106; 0: 104, then 106 with the file offered; 103: a hotlist
  std::string file, content;    // content "@x": the sample x
  const char* typed;            // path typed in the dialog; "" cancels
  std::vector<std::pair<std::string, int>> boxes;
  std::vector<std::string> after;  // {"@"}: the anchors of the sample
};

void PrintTo(const ImportCase& c, std::ostream* os) { *os << c.what; }

class ImportTest : public ::testing::TestWithParam<ImportCase> {
 protected:
  TestFolder folder_;
};

TEST_P(ImportTest, StoresWhatTheFileHolds) {
  const ImportCase& c = GetParam();
  const bool sample = c.content[0] == '@';
  WriteBytes(c.file, sample ? ReadBytes(kSamples + "\\" + c.content.substr(1)) : c.content);
  WriteBytes("qxinetvz.dat", RecordsFile(sample ? std::vector<std::string>{} : kStored));
  const std::string path = *c.typed ? folder_.path() + "\\" + c.typed : "";
  {
    ManagerRun run(folder_.path(), 7);
    const bool hotlist = c.policy == 103;
    const int policy = c.policy == 0 ? 104 : c.policy;
    ASSERT_TRUE(run.Run({hotlist ? 103 : 102, hotlist ? 104 : policy},
                        hotlist ? kHotlistDialog : kBookmarkDialog, path.c_str(), c.boxes));
    // The file chosen is offered the next time: taken as offered, under Overwrite.
    if (c.policy == 0) ASSERT_TRUE(run.Run({106}, kBookmarkDialog, "*"));
  }
  std::vector<std::string> expected = c.after;
  if (sample) expected = AnchorsOf(c.file);
  EXPECT_EQ(StoredRecords("qxinetvz.dat"), expected);
}

INSTANTIATE_TEST_SUITE_P(Roads, ImportTest, ::testing::Values(
    ImportCase{"Firefox", 104, "bookmark.htm", "@bookmarks/firefox-nested.htm", "bookmark.htm", {}, {}},
    ImportCase{"Chromium", 104, "BOOKMARK.HTM", "@bookmarks/chromium-nested.htm", "BOOKMARK.HTM", {}, {}},
    ImportCase{"Skip", 104, "bookmark.htm", kPolicyFile, "bookmark.htm", {}, kSkipped},
    ImportCase{"Overwrite", 106, "bookmark.htm", kPolicyFile, "bookmark.htm", {}, kOverwritten},
    ImportCase{"SkipThenOverwriteAsOffered", 0, "bookmark.htm", kPolicyFile, "bookmark.htm", {}, kOverwritten},
    ImportCase{"AskYes", 105, "bookmark.htm", kPolicyFile, "bookmark.htm",
               {Question("HTTP://ALT.EXAMPLE/", "Alt", IDYES), Question("http://neu.example/", "Neu", IDYES)},
               kOverwritten},
    ImportCase{"AskNo", 105, "bookmark.htm", kPolicyFile, "bookmark.htm",
               {Question("HTTP://ALT.EXAMPLE/", "Alt", IDNO), Question("http://neu.example/", "Neu", IDNO)},
               kSkipped},
    ImportCase{"OtherName", 104, "bookmarks.htm", kPolicyFile, "bookmarks.htm", {}, kStored},
    ImportCase{"Cancelled", 104, "bookmark.htm", kPolicyFile, "", {}, kStored},
    ImportCase{"Short", 104, "bookmark.htm", std::string(139, 'x'), "bookmark.htm",
               {{"Keine Eintr\xE4ge in Bookmarkdatei !", IDOK}}, kStored},
    ImportCase{"NoMark", 104, "bookmark.htm", std::string(140, 'x'), "bookmark.htm", {}, kStored},
    ImportCase{"Hotlist", 103, "favor.hot", "HOTLIST\r\nItem: Neu\r\nhttp://neu.example/\r\n", "favor.hot",
               {}, {kStored[0], "0|Neu|http://neu.example/|"}},
    ImportCase{"HotlistCapitals", 103, "FAVOR.HOT", "Hotlist\r\nITEM= Neu\r\n news:x\r\n", "FAVOR.HOT", {},
               kStored},
    ImportCase{"HotlistBak", 103, "list.hot.bak", "hotlist\nitem: Post\r\nmailto:a@b.de", "list.hot.bak",
               {}, {kStored[0], "2|Post|mailto:a@b.de|"}},
    ImportCase{"HotlistRefused", 103, "favor.hOt", "Hotlist\r\nItem: Neu\r\nhttp://x/\r\n", "favor.hOt", {},
               kStored},
    ImportCase{"NoHotlist", 103, "favor.hot", "\r\nHotlist\r\n", "favor.hot", {{"Keine Hotlistdatei !", IDOK}},
               kStored},
    ImportCase{"EmptyHotlist", 103, "favor.hot", "", "favor.hot",
               {{"Kein Speicher zum Einlesen der Hotlistdatei !", IDOK}}, kStored}),
    [](const auto& info) { return std::string(info.param.what); });

// A kill at any moment of an import leaves a file that opens again, holding
// entries of the file and nothing else, each once.
TEST(KilledImport, LeavesAFileTheNextStartOpens) {
  for (unsigned round = 1; round <= 3; ++round) {
    TestFolder folder;
    const std::string file = GeneratedBookmarks(1000, round);
    WriteBytes("bookmark.htm", file);
    WriteBytes("qxinetvz.dat", RecordsFile(kStored));
    {
      ManagerRun run(folder.path(), 7);
      ASSERT_TRUE(run.Begin({102}, kBookmarkDialog, (folder.path() + "\\bookmark.htm").c_str()));
      Sleep(100 + (round * 7919) % 1500);
      KillProgram(run.process);
    }
    const std::vector<std::string> stored = StoredRecords("qxinetvz.dat");
    EXPECT_EQ(ReadBytes("qxinetvz.dat").size(), stored.size() * RecordSize);
    std::set<std::string> links;
    for (const std::string& r : stored) {
      const std::string link = r.substr(r.find('|', 2) + 1, r.rfind('|') - r.find('|', 2) - 1);
      EXPECT_TRUE(links.insert(link).second) << r;
      EXPECT_TRUE(r == kStored[0] || file.find("\"" + link + "\"") != std::string::npos) << r;
    }
    EXPECT_EQ(links.count("http://alt.example/"), 1u);
    ManagerRun again(folder.path(), 0);
    EXPECT_NE(again.sheet, nullptr) << "round " << round << ", " << stored.size() << " records";
  }
}

}  // namespace
