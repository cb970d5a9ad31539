// The Import and Export pages of the real program under Wine: their start
// states, every import and export road with its cases in a table (the WWW
// page showing what an import stored), real browser exports from the
// samples, and imports killed part-way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <set>

#include "tests/win/manager_run.h"
#include "tests/win/test_folder.h"

namespace {

using Boxes = std::vector<std::pair<std::string, int>>;
const char kBookmarks[] = "QX Internet 2.0 - Netscape Bookmarkdatei laden";
const char kHotlist[] = "QX Internet 2.0 - Mosaic Hotlist laden";
const char kHtml[] = "QX Internet 2.0 - Speichern als HTML-Dokument";
const std::string kShortcut = "[InternetShortcut]\r\nURL=";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class Pages : public ::testing::Test {
 protected:
  // The favourites folder the program reads at start ("": none), restored afterwards.
  void SetFavorites(const std::string& path) {
    if (key_ == nullptr) {
      RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                      nullptr);
      RegQueryValueExA(key_, "Favorites", nullptr, nullptr, saved_, &(savedSize_ = sizeof saved_));
    }
    RegSetValueExA(key_, "Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   DWORD(path.size() + 1));
    CreateDirectoryA((folder_.path() + "\\a").c_str(), nullptr);
    CreateDirectoryA(fav_.c_str(), nullptr);
  }
  ~Pages() override {
    if (key_ != nullptr) RegSetValueExA(key_, "Favorites", 0, REG_SZ, saved_, savedSize_);
    RegCloseKey(key_);
  }
  TestFolder folder_;
  const std::string fav_ = folder_.path() + "\\a\\b";  // deep: names leading out land in the test folder
  HKEY key_ = nullptr;
  BYTE saved_[MAX_PATH] = "";
  DWORD savedSize_ = 0;
};

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

TEST_F(Pages, StartStates) {
  WriteBytes("qxinetvz.dat", RecordsFile({"0|A|http://a/|"}));
  for (bool favorites : {false, true}) {
    SetFavorites(favorites ? fav_ : "");
    for (int tab : {7, 8}) {
      SCOPED_TRACE(std::to_string(tab) + (favorites ? " with favourites" : ""));
      ManagerRun run(folder_.path(), tab);
      for (int id = 110; id <= 116; ++id) EXPECT_EQ(Checked(run.page, id), id <= 112) << id;
      EXPECT_EQ(Enabled(run.page, 101), favorites);
      EXPECT_EQ(Checked(run.page, 101), favorites);
      EXPECT_EQ(Checked(run.page, 102), !favorites);
      for (int id = 104; id <= 106; ++id) EXPECT_EQ(Enabled(run.page, id), tab == 7 || favorites);
      EXPECT_EQ(Checked(run.page, 104), tab == 7 || favorites);
      if (!favorites || tab == 7) continue;
      // An HTML document meets no existing files: its choice greys the policy, still checked.
      for (int target : {102, 101}) {
        SendMessageA(GetDlgItem(run.page, target), BM_CLICK, 0, 0);
        for (int id = 104; id <= 106; ++id) EXPECT_EQ(Enabled(run.page, id), target == 101);
        EXPECT_TRUE(Checked(run.page, 104) && Checked(run.page, target));
        EXPECT_FALSE(Checked(run.page, 203 - target));
      }
    }
  }
}

const std::vector<std::string> kStored = {"0|Alt|http://alt.example/|Beschreibung"};
const std::string kPolicyFile =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
    "<DT><A HREF=\"http://neu.example/\" ADD_DATE=\"1\">Neu</A>\n"
    "<DT><A HREF=\"HTTP://ALT.EXAMPLE/\">Alt neu</A>\n<DT><A HREF=\"news:de.comp\">Gruppe</A>\n"
    "<DT><A HREF=\"irc://chat/\">Chat</A>\n<DT><A HREF=\"http://neu.example/\">Aaa</A>\n</DL><p>\n";
const std::vector<std::string> kSkipped = {kStored[0], "255|Chat|irc://chat/|",
                                           "0|Neu|http://neu.example/|"};
// Overwritten in place, unsorted, descriptions kept.
const std::vector<std::string> kOverwritten = {"0|Alt neu|HTTP://ALT.EXAMPLE/|Beschreibung",
                                               "255|Chat|irc://chat/|", "0|Aaa|http://neu.example/|"};
Boxes Questions(int first, int second) {
  const std::string tail = "' eingetragen ! \xDC" "berschreiben ?";
  return {{"Der Link 'HTTP://ALT.EXAMPLE/' ist bereits unter dem Namen 'Alt" + tail, first},
          {"Der Link 'http://neu.example/' ist bereits unter dem Namen 'Neu" + tail, second}};
}

struct ImportCase {
  int source, policy;         // policy 0: 104, then 106 with the file the dialog offers
  std::string file, content;  // content "@x": the sample x
  const char* typed;          // "": the dialog is cancelled
  Boxes boxes;
  std::vector<std::string> after;  // for a sample: records that must be among its entries
};
class Import : public Pages, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(Import, StoresWhatTheFileHolds) {
  const ImportCase& c = GetParam();
  const bool sample = c.content[0] == '@';
  if (sample) QX_NEED_SAMPLES();
  WriteBytes(c.file, sample ? ReadBytes(WindowsPath(QX_SAMPLES "/" + c.content.substr(1))) : c.content);
  WriteBytes("qxinetvz.dat", RecordsFile(sample ? std::vector<std::string>{} : kStored));
  {
    ManagerRun run(folder_.path(), 7);
    const char* dialog = c.source == 102 ? kBookmarks : kHotlist;
    const std::string path = *c.typed ? folder_.path() + "\\" + c.typed : "";
    ASSERT_TRUE(run.Run({c.source, c.policy ? c.policy : 104}, dialog, path.c_str(), c.boxes));
    if (c.policy == 0) {
      ASSERT_TRUE(run.Run({106}, dialog, "*"));
    }
    if (!sample) {  // the WWW page, shown again, lists what the import left
      ASSERT_TRUE(SelectTab(run.sheet, 0));
      const std::vector<std::string> shown = ListItems(GetDlgItem(CurrentPage(run.sheet), 101));
      std::multiset<std::string> www;
      for (const std::string& r : c.after) if (r[0] == '0') www.insert(r.substr(2, r.find('|', 2) - 2));
      EXPECT_EQ(std::multiset<std::string>(shown.begin(), shown.end()), www);
    }
  }
  const std::vector<std::string> stored = StoredRecords("qxinetvz.dat");
  if (!sample) {
    EXPECT_EQ(stored, c.after);
    return;
  }
  // A sample: one entry per anchor, some of them checked with their text converted from UTF-8.
  const std::string text = ReadBytes(c.file);
  std::size_t anchors = 0;
  for (std::size_t at = 0; (at = text.find("<A HREF=\"", at)) != std::string::npos; ++at) ++anchors;
  EXPECT_EQ(stored.size(), anchors);
  for (const std::string& r : c.after) EXPECT_EQ(std::count(stored.begin(), stored.end(), r), 1) << r;
}

INSTANTIATE_TEST_SUITE_P(Files, Import, ::testing::Values(
    ImportCase{102, 104, "bookmark.htm", "@bookmarks/firefox-nested.htm", "bookmark.htm", {},
               {"0|Welcome \x97 Statistics Done Wrong|http://www.statisticsdonewrong.com/|",
                "255|Recent tags|place:type=6&sort=14&maxResults=10|",
                "0|Programming in Lua|http://www.lua.org/pil/|",
                "0|Timeline of the Elves in Tolkien\x92s works | LotrProject Blog|"
                "http://lotrproject.com/blog/2013/02/08/timeline-of-the-elves-in-tolkiens-works/|"}},
    ImportCase{102, 104, "BOOKMARK.HTM", "@bookmarks/chromium-nested.htm", "BOOKMARK.HTM", {},
               {"255|Framasoft ~ Page portail du r\xE9seau|https://framasoft.org/|",
                "0|Overview \x97 Sphinx 1.4.4 documentation|http://www.sphinx-doc.org/en/stable/|"}},
    ImportCase{102, 104, "bookmark.htm", kPolicyFile, "bookmark.htm", {}, kSkipped},
    ImportCase{102, 0, "bookmark.htm", kPolicyFile, "bookmark.htm", {}, kOverwritten},
    ImportCase{102, 105, "bookmark.htm", kPolicyFile, "bookmark.htm", Questions(IDYES, IDYES),
               kOverwritten},
    ImportCase{102, 105, "bookmark.htm", kPolicyFile, "bookmark.htm", Questions(IDNO, IDNO), kSkipped},
    ImportCase{102, 104, "bookmarks.htm", kPolicyFile, "bookmarks.htm", {}, kStored},
    ImportCase{102, 104, "bookmark.htm", kPolicyFile, "", {}, kStored},
    ImportCase{102, 104, "bookmark.htm", std::string(139, 'x'), "bookmark.htm",
               {{"Keine Eintr\xE4ge in Bookmarkdatei !", IDOK}}, kStored},
    ImportCase{102, 104, "bookmark.htm", std::string(140, 'x'), "bookmark.htm", {}, kStored},
    ImportCase{103, 104, "favor.hot", "HOTLIST\r\nItem: Neu\r\nhttp://neu/\r\n", "favor.hot", {},
               {kStored[0], "0|Neu|http://neu/|"}},
    ImportCase{103, 104, "FAVOR.HOT", "Hotlist\r\nITEM= Neu\r\n http://neu/\r\nItem: N\r\nnews:x\r\n",
               "FAVOR.HOT", {}, {kStored[0], "0|Neu|http://neu/|"}},
    ImportCase{103, 104, "list.hot.bak", "hotlist\nitem: Post\r\nmailto:a@b.de", "list.hot.bak", {},
               {kStored[0], "2|Post|mailto:a@b.de|"}},
    ImportCase{103, 104, "favor.hOt", "Hotlist\r\nItem: Neu\r\nhttp://x/\r\n", "favor.hOt", {}, kStored},
    ImportCase{103, 104, "favor.hot", "\r\nHotlist\r\n", "favor.hot", {{"Keine Hotlistdatei !", IDOK}},
               kStored},
    ImportCase{103, 104, "favor.hot", "", "favor.hot",
               {{"Kein Speicher zum Einlesen der Hotlistdatei !", IDOK}}, kStored}));

TEST_F(Pages, FavoritesImport) {
  QX_NEED_SAMPLES();
  SetFavorites(fav_);
  WriteBytes("qxinetvz.dat", "");
  WriteBytes(fav_ + "\\Bing.url", ReadBytes(WindowsPath(QX_SAMPLES "/favorites/Bing.url")));
  const std::pair<std::string, std::string> files[] = {
      {"Start.url", kShortcut + "http://start/\r\n"}, {"Zwei.url", kShortcut + "http://start/\r\n"},
      {"Anders.URL", kShortcut + "ftp://s/\r\n"}, {"Leer.url", "[InternetShortcut]\r\nX=1\r\n"},
      {std::string(200, 'N') + ".url", kShortcut + "http://lang/\r\n"}, {"Text.txt", kShortcut}};
  for (const auto& [name, content] : files) WriteBytes(fav_ + "\\" + name, content);
  // A folder named like a shortcut; a full-width backslash, whose ANSI look-alike would lead out.
  CreateDirectoryA((fav_ + "\\Ordner.url").c_str(), nullptr);
  WriteBytes(folder_.path() + "\\a\\raus.url", kShortcut + "http://draussen/\r\n");
  const std::string inside = kShortcut + "http://drinnen/\r\n";
  DWORD written;
  HANDLE file = CreateFileW((std::wstring(fav_.begin(), fav_.end()) + L"\\..\xFF3Craus.url").c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_TRUE(WriteFile(file, inside.data(), DWORD(inside.size()), &written, nullptr) && CloseHandle(file));
  {
    ManagerRun run(folder_.path(), 7);
    ASSERT_TRUE(run.Run({101, 104}, nullptr, nullptr));
  }
  const std::vector<std::string> got = StoredRecords("qxinetvz.dat");
  std::multiset<std::string> stored(got.begin(), got.end());
  const std::string expected[] = {"0|Bing|http://go.microsoft.com/fwlink/p/?LinkId=255142|",
                                  "1|Anders.URL|ftp://s/|", "255|Leer||",
                                  "0|" + std::string(127, 'N') + "|http://lang/|", "0|..?raus|http://drinnen/|"};
  for (const std::string& r : expected)
    EXPECT_EQ(stored.count(r), 1u) << r;
  // The second file of one link met the policy, whichever the folder yielded first.
  EXPECT_EQ(stored.count("0|Start|http://start/|") + stored.count("0|Zwei|http://start/|"), 1u);
  EXPECT_EQ(got.size(), 6u);
}

// The data file as entry-by-entry additions leave it once it holds count
// records: a new link appended and all sorted by name, a known one skipped.
std::string LiteralFile(const std::vector<AddressRecord>& start,
                        const std::vector<AddressRecord>& entries, std::size_t count) {
  std::vector<const AddressRecord*> records;
  for (const AddressRecord& r : start) records.push_back(&r);
  for (const AddressRecord& e : entries) {
    if (records.size() >= count) break;
    if (std::none_of(records.begin(), records.end(), [&e](const AddressRecord* r) {
          return LinksEqual(FieldText(r->link), FieldText(e.link));
        })) {
      records.push_back(&e);
      SortByName(records);
    }
  }
  std::string bytes;
  for (const AddressRecord* r : records) bytes += Bytes(*r);
  return records.size() == count ? bytes : "no such state";
}

// A 5,000-link import ended at moments spread over its whole run: the data
// file is always one the entry-by-entry road passes through, the backup one
// it passed through before (or none yet), and the next start opens them.
// Run to its end, the import leaves exactly the road's pair.
TEST_F(Pages, KilledImport) {
  std::string file = "<DL><p>\n";
  std::vector<AddressRecord> entries;
  for (int i = 0; i < 5000; ++i) {
    // Every 40th link is an earlier one in capitals, which is skipped.
    const std::string link = i % 40 == 39 ? "HTTP://L" + std::to_string(i - 20) + "/"
                                          : "http://l" + std::to_string(i) + "/";
    const std::string name = "L" + std::to_string(i * 7919 % 5000);
    file += "<DT><A HREF=\"" + link + "\">" + name + "</A>\n";
    entries.push_back(MakeRecord(name, link));
  }
  WriteBytes("bookmark.htm", file);
  const std::vector<AddressRecord> start = {MakeRecord("Alt", "http://alt.example/", "Beschreibung")};
  std::mt19937 random(std::random_device{}());
  DWORD whole = 0;
  int partWay = 0;
  for (int round = 0; round <= 24; ++round) {
    const DWORD delay = round == 0 ? 0 : (round - 1) * whole / 23 + random() % 50;
    SCOPED_TRACE(round == 0 ? std::string("not killed") : "killed after " + std::to_string(delay) + " ms");
    WriteBytes("qxinetvz.dat", Bytes(start[0]));
    DeleteFileA("qxinetvz.bak");
    {
      ManagerRun run(folder_.path(), 7);
      ASSERT_TRUE(run.Begin({102, 104}, kBookmarks, (folder_.path() + "\\bookmark.htm").c_str()));
      const DWORD begun = GetTickCount();
      if (round == 0) {
        ASSERT_TRUE(run.Finish());
        whole = GetTickCount() - begun;
      } else {
        Sleep(delay);
        KillProgram(run.process);
      }
    }
    {
      ManagerRun again(folder_.path(), 0);
      ASSERT_NE(again.page, nullptr);
    }
    const std::string data = ReadBytes("qxinetvz.dat"), backup = ReadBytes("qxinetvz.bak");
    const std::size_t count = data.size() / RecordSize, saved = backup.size() / RecordSize;
    EXPECT_EQ(data, LiteralFile(start, entries, count));
    if (round == 0) {
      EXPECT_EQ(count, 1u + 5000 - 5000 / 40);
      EXPECT_EQ(backup, LiteralFile(start, entries, count - 1));
    } else if (FileExists("qxinetvz.bak")) {
      EXPECT_LE(saved, count);
      EXPECT_EQ(backup, LiteralFile(start, entries, saved));
    }
    if (round > 0 && count > 1 && count < 1u + 5000 - 5000 / 40) ++partWay;
  }
  std::printf("kills that left an import part-way: %d of 24\n", partWay);
}

struct ExportCase {
  int target, policy;
  std::vector<int> answers;
  std::string typed, result;  // HTML: "" cancels; the text of Seite.url, or of the document
  std::vector<std::string> records;
};
class Export : public Pages, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(Export, WritesTheFiles) {
  const ExportCase& c = GetParam();
  SetFavorites(c.target == 101 ? fav_ : "");
  const std::string seite = fav_ + "\\Seite.url", old = "[DEFAULT]\r\nBASEURL=http://eins/\r\n";
  WriteBytes(seite, old + kShortcut + "http://alt/\r\nIconIndex=1\r\n");
  WriteBytes("seite", "altes Dokument");
  WriteBytes("qxinetvz.dat", RecordsFile(c.records));
  Boxes boxes;
  for (int answer : c.answers)
    boxes.push_back({"Der Eintrag '" + seite + "' existiert bereits ! \xDC" "berschreiben ?", answer});
  {
    ManagerRun run(folder_.path(), 8);
    const std::string path = c.typed.empty() ? "" : folder_.path() + "\\" + c.typed;
    const bool dialog = c.target == 102 && !c.records.empty();
    ASSERT_TRUE(run.Run({c.target, c.policy}, dialog ? kHtml : nullptr, path.c_str(), boxes));
  }
  if (c.target == 102) {
    EXPECT_EQ(ReadBytes("seite"), c.result.empty() ? "altes Dokument" : c.result);
    EXPECT_FALSE(FileExists("seite.htm"));
    return;
  }
  EXPECT_EQ(ReadBytes(seite), old + kShortcut + c.result + "\r\nIconIndex=1\r\n");
  EXPECT_EQ(ReadBytes(fav_ + "\\Dateien.url"), kShortcut + std::string("ftp://f/\r\n"));
  std::set<std::string> files;  // every file below the test folder: nothing more was written
  std::function<void(const std::string&)> list = [&](const std::string& below) {
    WIN32_FIND_DATAA e;
    HANDLE find = FindFirstFileA((folder_.path() + below + "\\*").c_str(), &e);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &e)) {
      const std::string name = below + "\\" + e.cFileName;
      if (e.cFileName[0] == '.') continue;
      if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) list(name); else files.insert(name);
    }
    FindClose(find);
  };
  list("");
  EXPECT_EQ(files, (std::set<std::string>{"\\a\\b\\Dateien.url", "\\a\\b\\Seite.url", "\\qxinetvz.dat", "\\seite"}));
}

const std::vector<std::string> kFavorites = {
    "0|..\\..\\raus|http://raus/|", "1|Dateien|ftp://f/|", "3|Gruppe|news:x|",
    "0|Seite|http://eins/|", "0|Seite|http://zwei/|", "0|x/../../raus|http://raus/|",
    // Devices, streams and lines of their own, in name or link: none may be written.
    "0|CON:|http://1/|", "0|NUL:|http://1/|", "0|COM1:|http://1/|", "0|LPT1:x|http://1/|", "0|CON :|http://1/|",
    "0|COM\xB9|http://1/|", "0|COM\xB2|http://1/|", "0|com\xB3.x|http://1/|", "0|LPT\xB9|http://1/|", "0|a:b|http://1/|",
    "0|desktop.ini:x|http://1/|", "0|:b|http://1/|", "0|N\r\nIconFile=\\\\host\\share\\x.ico|http://1/|",
    "0|L|http://1/\r\nIconFile=\\\\host\\share\\x.ico|", "0|L2|http://1/\nIconIndex=3|", "0|T\tx|http://1/|"};
const std::string kHead =
    "<html>\r\n<!-- Erzeugt von QX Internet -->\r\n<head><title>Links aus QX Internet</title></head>\r\n"
    "<body bgcolor=#c0c0c0>\r\n<basefont size=2  face=\"Arial\",\"MS Sans Serife\">\r\n"
    "<font size=3  face=\"Arial\",\"MS Sans Serife\">Links aus QX Internet</font>\r\n"
    "<hr align=center width=100% size=3>\r\n\r\n";
const std::string kFoot = "\r\n<hr align=center width=100% size=3>\r\n</body>\r\n</html>\r\n";

INSTANTIATE_TEST_SUITE_P(Targets, Export, ::testing::Values(
    ExportCase{101, 104, {}, "", "http://alt/", kFavorites},
    ExportCase{101, 105, {IDNO, IDNO}, "", "http://alt/", kFavorites},
    ExportCase{101, 105, {IDYES, IDNO}, "", "http://eins/", kFavorites},
    ExportCase{101, 106, {}, "", "http://zwei/", kFavorites},
    ExportCase{102, 104, {}, "seite", kHead + "<br><a href=\"http://a/?x=\"1\"&y\">Z\xFCge & <b></a>\r\n"
               "<br><a href=\"gibt's\">Ohne</a>\r\n<br><a href=\"ftp://f/\">F</a>\r\n" + kFoot,
               {"0|Z\xFCge & <b>|http://a/?x=\"1\"&y|", "3|Gruppe|news:x|", "255|Ohne|gibt's|",
                "1|F|ftp://f/|"}},
    ExportCase{102, 110, {}, "seite", kHead + kFoot, {"0|W|http://w/|", "3|N|news:n|"}},
    ExportCase{102, 104, {}, "", "", {"0|W|http://w/|"}},
    ExportCase{102, 104, {}, "", "", {}}));

}  // namespace
