// The Import and Export pages of the real program under Wine: their start
// states, every import and export with its cases in a table (the WWW
// page showing what an import stored), real browser exports from the
// samples, and imports killed part-way.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>

#include "manager/resource.h"
#include "tests/win/manager_run.h"

namespace {

const char kBookmarkDialog[] = "QX Internet 2.0 - Netscape Bookmarkdatei laden";
// The pages' buttons, in short for the tables.
constexpr int Bookmarks = IDC_SOURCE_BOOKMARKS, Hotlist = IDC_SOURCE_HOTLIST, Favorites = IDC_TARGET_FAVORITES,
              Document = IDC_TARGET_HTML, Skip = IDC_POLICY_SKIP, Ask = IDC_POLICY_ASK,
              Overwrite = IDC_POLICY_OVERWRITE;
const std::string kShortcut = "[InternetShortcut]\r\nURL=";


// The favourites folder the program reads at start, put back afterwards; a test
// that wants none (or another) sets its own value over it.
class Pages : public ::testing::Test {
 protected:
  Pages() { std::filesystem::create_directories(fav_); }
  TestFolder folder_;
  const std::string fav_ = folder_.path() + "\\a\\b";  // deep: names leading out land in the test folder
  const UserValue favorites_{kShellFolders, "Favorites", fav_.c_str()};
};

// The page's buttons by name, those checked and those greyed; each run looks at
// them at start: the favourites button is there only with a favourites folder.
// On both pages, the second button is the file's (the bookmark file, the HTML document).
std::string Buttons(HWND page) {
  const std::pair<int, const char*> buttons[] = {
      {Favorites, " favorites"}, {Bookmarks, " file"}, {Skip, " skip"}, {Ask, " ask"}, {Overwrite, " overwrite"},
      {IDC_TYPE_WEB, " www"}, {IDC_TYPE_FTP, " ftp"}, {IDC_TYPE_EMAIL, " email"}, {IDC_TYPE_NEWS, " news"},
      {IDC_TYPE_GOPHER, " gopher"}, {IDC_TYPE_ARCHIE, " archie"}, {IDC_TYPE_LOCAL, " local"}};
  std::string checked = "checked:", greyed = "; greyed:";
  for (const auto& [id, name] : buttons) {
    if (IsDlgButtonChecked(page, id)) checked += name;
    if (!IsWindowEnabled(GetDlgItem(page, id))) greyed += name;
  }
  return checked + greyed;
}
const std::string kStartState = "checked: file skip www ftp email; greyed: favorites";
const std::string kFavoritesState = "checked: favorites skip www ftp email; greyed:";

const std::vector<std::string> kStored = {"0|Alt|http://alt.example/|Beschreibung"};
const std::string kPolicyFile =
    "<A HREF=\"http://neu.example/\">Neu</A>\n<A HREF=\"HTTP://ALT.EXAMPLE/\">Alt neu</A>\n"
    "<A HREF=\"news:x\">N</A>\n<A HREF=\"irc://chat/\">Chat</A>\n<A HREF=\"http://neu.example/\">Aaa</A>\n";
const std::vector<std::string> kSkipped = {kStored[0], "255|Chat|irc://chat/|", "0|Neu|http://neu.example/|"};
// Overwritten in place, unsorted, descriptions kept; under Ask the first overwritten, the second skipped.
const std::vector<std::string> kOverwritten = {"0|Alt neu|HTTP://ALT.EXAMPLE/|Beschreibung",
                                               "255|Chat|irc://chat/|", "0|Aaa|http://neu.example/|"};
const std::vector<std::string> kAsked = {kOverwritten[0], kSkipped[1], kSkipped[2]};
const std::string kAskedAgain = "0|Alt drei|http://alt.EXAMPLE/|Beschreibung";
const std::string kAsk = "' eingetragen ! \xDC" "berschreiben ?";

struct ImportCase {
  int source, policy;         // policy 0: Skip, then Overwrite with the file the dialog offers
  std::string file, content;  // file "": bookmark.htm, the dialog cancelled; content "@x": the sample x
  std::vector<std::string> after;  // for a sample: records that must be among its entries
  Boxes boxes = {};
  // The data file at each box, one for each: under Ask, the entries before the question
  // stored, one by one.
  std::vector<std::vector<std::string>> asked = {};
};
void PrintTo(const ImportCase& c, std::ostream* out) {
  *out << (c.source == Bookmarks ? "bookmarks " : "hotlist ") << (c.file.empty() ? "(cancelled)" : c.file) << ", "
       << (c.policy == Skip ? "skip" : c.policy == Ask ? "ask" : "skip, overwrite") << ": " << c.content.substr(0, 40);
}
class Import : public Pages, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(Import, StoresWhatTheFileHolds) {
  const ImportCase& c = GetParam();
  const bool sample = c.content[0] == '@';
  if (sample) QX_NEED_SAMPLES();
  const std::string text = sample ? ReadBytes(QX_SAMPLE("") + c.content.substr(1)) : c.content;
  WriteBytes(c.file.empty() ? "bookmark.htm" : c.file, text);  // there, though its dialog is cancelled
  WriteBytes("qxinetvz.dat", RecordsFile(sample ? std::vector<std::string>{} : kStored));
  const UserValue noFavorites(kShellFolders, "Favorites", "");
  {
    ManagerRun run(folder_.path(), 7);
    EXPECT_EQ(Buttons(run.page), kStartState);
    const char* dialog = c.source == Bookmarks ? kBookmarkDialog : "QX Internet 2.0 - Mosaic Hotlist laden";
    run.atBox = [&](std::size_t i) { EXPECT_EQ(StoredRecords("qxinetvz.dat"), c.asked.at(i)) << "at box " << i; };
    ASSERT_TRUE(run.Run({c.source, c.policy ? c.policy : Skip}, dialog,
                        (c.file.empty() ? "" : folder_.path() + "\\" + c.file).c_str(), c.boxes));
    ASSERT_TRUE(c.policy != 0 || run.Run({Overwrite}, dialog, "*"));
    // The WWW page, shown again, lists what the import left (its names are the page's own tests').
    ASSERT_TRUE(SelectTab(run.sheet, 0));
    const std::vector<std::string> now = StoredRecords("qxinetvz.dat");
    EXPECT_EQ(ListItems(GetDlgItem(CurrentPage(run.sheet), IDC_LIST)).size(),
              std::count_if(now.begin(), now.end(), [](const std::string& r) { return r[0] == '0'; })) << "WWW page";
  }
  const std::vector<std::string> stored = StoredRecords("qxinetvz.dat");
  if (!sample) { EXPECT_EQ(stored, c.after); }
  // A sample: one entry per anchor, some of them checked with their text converted from UTF-8.
  std::size_t anchors = 0;
  for (std::size_t at = 0; (at = text.find("<A HREF=\"", at)) != std::string::npos; ++at) ++anchors;
  EXPECT_TRUE(!sample || stored.size() == anchors) << stored.size() << " entries of " << anchors << " anchors";
  for (const std::string& r : c.after) EXPECT_EQ(std::count(stored.begin(), stored.end(), r), 1) << r;
}

INSTANTIATE_TEST_SUITE_P(Files, Import, ::testing::ValuesIn(std::vector<ImportCase>{
    // A real browser's export, under the title in capitals.
    {Bookmarks, Skip, "BOOKMARK.HTM", "@bookmarks/firefox-nested.htm",
     {"0|Welcome \x97 Statistics Done Wrong|http://www.statisticsdonewrong.com/|",
      "0|Timeline of the Elves in Tolkien\x92s works | LotrProject Blog|"
      "http://lotrproject.com/blog/2013/02/08/timeline-of-the-elves-in-tolkiens-works/|"}},
    {Bookmarks, Skip, "bookmark.htm", kPolicyFile, kSkipped},
    {Bookmarks, 0, "bookmark.htm", kPolicyFile, kOverwritten},
    // The third answer alone between two boxes: that record written in place.
    {Bookmarks, Ask, "bookmark.htm", kPolicyFile + "<A HREF=\"http://alt.EXAMPLE/\">Alt drei</A>\n" +
     "<A HREF=\"http://NEU.example/\">Neu drei</A>\n", {kAskedAgain, kSkipped[1], kSkipped[2]},
     {{"Der Link 'HTTP://ALT.EXAMPLE/' ist bereits unter dem Namen 'Alt" + kAsk, IDYES},
      {"Der Link 'http://neu.example/' ist bereits unter dem Namen 'Neu" + kAsk, IDNO},
      {"Der Link 'http://alt.EXAMPLE/' ist bereits unter dem Namen 'Alt neu" + kAsk, IDYES},
      {"Der Link 'http://NEU.example/' ist bereits unter dem Namen 'Neu" + kAsk, IDNO}},
     {{kStored[0], kSkipped[2]}, kAsked, kAsked, {kAskedAgain, kSkipped[1], kSkipped[2]}}},
    {Bookmarks, Skip, "bookmarks.htm", kPolicyFile, kStored}, {Bookmarks, Skip, "", kPolicyFile, kStored},
    // Declared UTF-8: converted to Windows-1252, a character it lacks becoming "?".
    {Bookmarks, Skip, "bookmark.htm", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
     "<DT><A HREF=\"http://z\xC3\xBC" "ge.example/\">Z\xC3\xBC" "ge \xE2\x80\x94 \xE2\x82\xAC \xE4\xB8\xAD</A>\n"
     "</DL><p>\n</HTML>\n", {kStored[0], "0|Z\xFC" "ge \x97 \x80 ?|http://z\xFC" "ge.example/|"}},
    // Just below and at the least size a bookmark file has (MinimumBookmarkFileSize, 140 bytes).
    {Bookmarks, Skip, "bookmark.htm", std::string(139, 'x'), kStored,
     {{"Keine Eintr\xE4ge in Bookmarkdatei !", IDOK}}, {kStored}},
    {Bookmarks, Skip, "bookmark.htm", std::string(140, 'x'), kStored},
    // The hotlist's lines are the scanner's (its own tests); here the dialog's file
    // titles (".HOT" anywhere in them, but not ".hOt") and the boxes of the page.
    {Hotlist, Skip, "list.HOT.bak", "HOTLIST\r\nItem: Neu\r\nhttp://neu/\r\n", {kStored[0], "0|Neu|http://neu/|"}},
    {Hotlist, Skip, "favor.hOt", "Hotlist\r\nItem: Neu\r\nhttp://x/\r\n", kStored},
    {Hotlist, Skip, "leer.hot", "", kStored, {{"Kein Speicher zum Einlesen der Hotlistdatei !", IDOK}}, {kStored}},
    {Hotlist, Skip, "favor.hot", "\r\nHotlist\r\n", kStored, {{"Keine Hotlistdatei !", IDOK}}, {kStored}}}));

TEST_F(Pages, FavoritesImport) {
  QX_NEED_SAMPLES();  // no data file yet: the program starts with an empty one
  WriteBytes(fav_ + "\\Bing.url", ReadBytes(QX_SAMPLE("favorites/Bing.url")));
  // Each file's link ("": no URL line); one outside the folder, which only an ANSI look-alike
  // of the full-width backslash in the name of another would reach; a text file and a folder
  // named like a shortcut.
  const std::pair<std::string, std::string> files[] = {{"Start.url", "http://start/"}, {"Anders.URL", "ftp://s/"},
      {"Leer.url", ""}, {std::string(200, 'N') + ".url", "http://lang/"}, {"..\\raus.url", "http://raus/"},
      {"Text.txt", "http://text/"}, {"drinnen", "http://drinnen/"}};
  for (const auto& [name, link] : files)
    WriteBytes(fav_ + "\\" + name, link.empty() ? "[InternetShortcut]\r\nX=1\r\n" : kShortcut + link + "\r\n");
  MoveFileW(L"a\\b\\drinnen", L"a\\b\\..\xFF3Craus.url");  // from the test folder, the current one
  CreateDirectoryA((fav_ + "\\Ordner.url").c_str(), nullptr);
  {
    ManagerRun run(folder_.path(), 7);
    EXPECT_EQ(Buttons(run.page), kFavoritesState);
    ASSERT_TRUE(run.Run({IDC_SOURCE_FAVORITES, Skip}, nullptr, nullptr));
  }
  const std::vector<std::string> stored = StoredRecords("qxinetvz.dat");
  EXPECT_EQ(std::multiset<std::string>(stored.begin(), stored.end()), (std::multiset<std::string>{
      "0|Bing|http://go.microsoft.com/fwlink/p/?LinkId=255142|", "0|Start|http://start/|", "255|Leer||",
      "1|Anders.URL|ftp://s/|", "0|..?raus|http://drinnen/|", "0|" + std::string(127, 'N') + "|http://lang/|"}));
}

// A 60,000-link import ended once its data file has grown past a share of it
// (one to 24 fortieths) and a random moment more, so that the kills land
// part-way however loaded the machine: the data file is always one that entry-by-entry
// additions pass through, the backup one they passed through before (or none
// yet), and the next start opens them. Run to its end, the import leaves exactly
// their pair. The links are FTP links, so that the WWW page, filled at each
// start, stays short.
TEST_F(Pages, KilledImport) {
  // The new links in file order: every 40th link is an earlier one in capitals, skipped.
  std::vector<AddressRecord> added = {MakeRecord("Alt", "http://alt.example/", "Beschreibung")};
  std::string file;
  for (int i = 0; i < 60000; ++i) {
    const bool earlier = i % 40 == 39;
    const std::string name = "L" + std::to_string(i * 7919 % 60000);
    const std::string link = (earlier ? "FTP://L" : "ftp://l") + std::to_string(earlier ? i - 20 : i) + "/";
    file += "<DT><A HREF=\"" + link + "\">" + name + "</A>\n";
    if (!earlier) added.push_back(MakeRecord(name, link));
  }
  WriteBytes("bookmark.htm", file);
  // The file once it holds n records: each addition appended and all bubble-sorted leaves
  // the first n of them in stable name order.
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < added.size(); ++i) order.push_back(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return CompareNames(added[a], added[b]) < 0; });
  const auto state = [&](std::size_t n) {
    std::string bytes;
    for (std::size_t i : order) if (i < n) bytes += Bytes({added[i]});
    return bytes;
  };

  const unsigned seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  std::mt19937 random(seed);
  int partWay = 0;
  // Round 0 runs to its end; the others are killed.
  for (int round = 0; round <= 24; ++round) {
    const std::size_t grown = added.size() * round / 40 * RecordSize;
    const DWORD delay = random() % 30;
    SCOPED_TRACE("round " + std::to_string(round) + " (0: not killed), killed " + std::to_string(delay) +
                 " ms after " + std::to_string(grown) + " bytes");
    WriteBytes("qxinetvz.dat", Bytes({added[0]}));
    DeleteFileA("qxinetvz.bak");
    {
      ManagerRun run(folder_.path(), 7);
      ASSERT_TRUE(run.Begin({Bookmarks, Skip}, kBookmarkDialog, (folder_.path() + "\\bookmark.htm").c_str()));
      WIN32_FILE_ATTRIBUTE_DATA data{};
      EXPECT_TRUE(WaitUntil([&] {
        return GetFileAttributesExA("qxinetvz.dat", GetFileExInfoStandard, &data) && data.nFileSizeLow >= grown;
      }, kWaitMs)) << data.nFileSizeLow << " bytes; seen: " << Seen(run.process);
      ASSERT_TRUE(round > 0 || run.Finish());
      Sleep(delay);
      if (round > 0) KillProgram(run.process);
    }
    ASSERT_NE(ManagerRun(folder_.path(), 0).page, nullptr);
    const std::string data = ReadBytes("qxinetvz.dat"), backup = ReadBytes("qxinetvz.bak");
    const std::size_t count = data.size() / RecordSize, saved = backup.size() / RecordSize;
    // No backup: none yet. Compared whole, as tens of megabytes are not worth printing.
    EXPECT_TRUE(data == state(count) && backup == state(saved) && saved <= count) << count << ", backup " << saved;
    EXPECT_TRUE(round > 0 || (count == added.size() && saved == count - 1)) << count << ", backup " << saved;
    if (round > 0 && count > 1 && count < added.size()) ++partWay;
  }
  std::printf("kills that left an import part-way: %d of 24\n", partWay);
  EXPECT_GE(partWay, 6) << "too few kills landed during the import to prove anything";
}

// A failed case prints what it tries; as a tuple it would print the whole long document.
struct ExportCase {
  const char* what;
  int target;
  int policy = Skip;   // Ask: both questions about Seite.url come, the first answered yes
  int unchecked = 0;   // a category box clicked off before the run
  std::string result;  // the link in Seite.url, or the text of the document ("": its dialog cancelled or none)
  std::vector<std::string> records;
  bool held = false;  // Seite.url held open, without sharing, by another program
};
void PrintTo(const ExportCase& c, std::ostream* out) { *out << c.what; }
class Export : public Pages, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(Export, WritesTheFiles) {
  const ExportCase& c = GetParam();
  const bool favorites = c.target == Favorites;
  const UserValue folder(kShellFolders, "Favorites", favorites ? fav_.c_str() : "");
  const std::string seite = fav_ + "\\Seite.url", old = "[DEFAULT]\r\nBASEURL=http://eins/\r\n";
  WriteBytes(seite, old + kShortcut + "http://alt/\r\nIconIndex=1\r\n");
  WriteBytes("seite", "altes Dokument");
  WriteBytes("qxinetvz.dat", RecordsFile(c.records));
  const std::string ask = "Der Eintrag '" + seite + "' existiert bereits ! \xDC" "berschreiben ?";
  HANDLE held = c.held ? CreateFileA(seite.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
  {
    ManagerRun run(folder_.path(), 8);
    const std::string documentOnly = "checked: file www ftp email; greyed: favorites skip ask overwrite";
    EXPECT_EQ(Buttons(run.page), favorites ? kFavoritesState : documentOnly);
    // An HTML document meets no existing files: its choice greys the policy.
    SendMessageA(GetDlgItem(run.page, Document), BM_CLICK, 0, 0);
    EXPECT_EQ(Buttons(run.page), favorites ? "checked: file skip www ftp email; greyed: skip ask overwrite" : documentOnly);
    const char* dialog = favorites || c.records.empty() ? nullptr : "QX Internet 2.0 - Speichern als HTML-Dokument";
    std::vector<int> clicks = {c.target, c.policy};
    if (c.unchecked) clicks.push_back(c.unchecked);
    ASSERT_TRUE(run.Run(clicks, dialog, (c.result.empty() ? "" : folder_.path() + "\\seite").c_str(),
                        c.policy == Ask ? Boxes{{ask, IDYES}, {ask, IDNO}} : Boxes{}));
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(run.page, Skip)) != FALSE, favorites);  // the favourites, chosen again
  }
  CloseHandle(held);
  const std::string got = ReadBytes(favorites ? seite : "seite");
  const std::string want = favorites ? old + kShortcut + c.result + "\r\nIconIndex=1\r\n"
                                     : c.result.empty() ? "altes Dokument" : c.result;
  const auto same = std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin();
  EXPECT_TRUE(got == want) << got.substr(0, 200) << "\n...: the same up to byte " << same << " of " << want.size();
  EXPECT_EQ(ReadBytes(fav_ + "\\Dateien.url"), favorites ? kShortcut + "ftp://f/\r\n" : "");
  std::set<std::string> files;  // every other file below the test folder: nothing more was written
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder_.path()))
    if (e.is_regular_file()) files.insert(e.path().string().substr(folder_.path().size()));
  files.erase("\\a\\b\\Dateien.url");
  EXPECT_EQ(files, (std::set<std::string>{"\\a\\b\\Seite.url", "\\qxinetvz.dat", "\\seite"}));
}

// Names leading out of the folder; a device, a stream and a link with a line of its own:
// none may be written. Every other such name and link is refused in the native tests.
const std::vector<std::string> kFavorites = {
    "0|..\\..\\raus|http://raus/|", "1|Dateien|ftp://f/|", "3|Gruppe|news:x|", "0|Seite|http://eins/|",
    "0|Seite|http://zwei/|", "0|x/../../raus|http://raus/|", "0|COM\xB9|http://1/|", "0|a:b|http://1/|",
    "0|L|http://1/\r\nIconFile=\\\\host\\share\\x.ico|"};
const std::string kHead =
    "<html>\r\n<!-- Erzeugt von QX Internet -->\r\n<head><title>Links aus QX Internet</title></head>\r\n"
    "<body bgcolor=#c0c0c0>\r\n<basefont size=2  face=\"Arial\",\"MS Sans Serife\">\r\n"
    "<font size=3  face=\"Arial\",\"MS Sans Serife\">Links aus QX Internet</font>\r\n"
    "<hr align=center width=100% size=3>\r\n\r\n";
const std::string kFoot = "\r\n<hr align=center width=100% size=3>\r\n</body>\r\n</html>\r\n";

// A document of some 160 KB, more than one piece of its writing: every byte arrives, in order,
// as the records give it (nothing escaped; News left out, links of no known category not).
ExportCase LongDocument() {
  std::string result = kHead + "<br><a href=\"http://a/?x=\"1\"&y\">Z\xFCge & <b></a>\r\n"
                       "<br><a href=\"gibt's\">Ohne</a>\r\n<br><a href=\"ftp://f/\">F</a>\r\n";
  std::vector<std::string> records = {"0|Z\xFCge & <b>|http://a/?x=\"1\"&y|", "3|Gruppe|news:x|",
                                      "255|Ohne|gibt's|", "1|F|ftp://f/|"};
  for (int i = 1000; i < 1400; ++i) {
    const std::string name = "Seite " + std::to_string(i) + std::string(110, 'n');
    const std::string link = "http://example.org/" + std::to_string(i) + std::string(230, 'l');
    records.push_back("0|" + name + "|" + link + "|");
    result += "<br><a href=\"" + link + "\">" + name + "</a>\r\n";
  }
  return {.what = "a long document", .target = Document, .result = result + kFoot, .records = records};
}

INSTANTIATE_TEST_SUITE_P(Targets, Export, ::testing::ValuesIn(std::vector<ExportCase>{
    {.what = "favourites, existing skipped", .target = Favorites, .result = "http://alt/", .records = kFavorites},
    {.what = "favourites overwritten", .target = Favorites, .policy = Overwrite, .result = "http://zwei/",
     .records = kFavorites},
    {.what = "favourites asked", .target = Favorites, .policy = Ask, .result = "http://eins/", .records = kFavorites},
    {.what = "no records: no document", .target = Document, .result = "", .records = {}}, LongDocument(),
    // Held by another program, the file exists all the same: asked about (and not written).
    {.what = "favourites held", .target = Favorites, .policy = Ask, .result = "http://alt/", .records = kFavorites,
     .held = true},
    {.what = "no record of a category chosen", .target = Document, .unchecked = IDC_TYPE_WEB, .result = kHead + kFoot,
     .records = {"0|W|http://w/|", "3|N|news:n|"}},
    {.what = "the document's dialog cancelled", .target = Document, .result = "", .records = {"0|W|http://w/|"}}}));

}  // namespace
