// The category pages, the entry dialog and the browser start of the real qxinet.exe
// under Wine, worked from outside; every road checked against the bytes of qxinetvz.dat.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"

namespace {

const int kWait = 20000;
const char kBadLink[] = "Ung\xFCltiger Link !";
using Texts = std::vector<std::string>;

// The records as "type|name|link|description", read once the sheet has handled what
// was sent before, so that no reader meets the store at work; while qxinet holds the
// file (without sharing), through its named mapping.
Texts Stored(HWND sheet) {
  DWORD_PTR result;
  SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_NORMAL, kWait, &result);
  std::string bytes;
  if (HANDLE map = OpenFileMappingA(FILE_MAP_READ, FALSE, "qxinetfilemap")) {
    WIN32_FIND_DATAA entry{};
    FindClose(FindFirstFileA("qxinetvz.dat", &entry));
    auto view = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
    bytes.assign(view, entry.nFileSizeLow);
    UnmapViewOfFile(view), CloseHandle(map);
  } else {
    bytes = ReadBytes("qxinetvz.dat");
  }
  EXPECT_EQ(bytes.size() % RecordSize, 0u);
  Texts out;
  for (std::size_t at = 0; at + RecordSize <= bytes.size(); at += RecordSize) {
    out.push_back(std::to_string(static_cast<unsigned char>(bytes[at])));
    for (std::size_t field : {1, 129, 385}) out.back() += "|" + std::string(&bytes[at + field]);
  }
  return out;
}

class PagesTest : public ::testing::Test {
 protected:
  ~PagesTest() override {
    DWORD code;
    if (app_.Valid() && !WaitForExit(app_, 0, code)) KillProgram(app_);
  }
  void Start(const std::vector<AddressRecord>& records) {
    std::string bytes, exe = "Z:" QXINET_EXE;
    for (const AddressRecord& r : records) bytes += Bytes(r);
    WriteBytes("qxinetvz.dat", bytes);
    std::replace(exe.begin(), exe.end(), '/', '\\');
    app_ = StartProgram(exe, "", folder_.path());
    if (records.empty()) Box("Adressdatei ist leer !");
    sheet_ = WaitForWindow(app_.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
    ASSERT_NE(sheet_, nullptr);
  }
  // The page on show once it shows its selection (a refill first empties field 102).
  HWND Page(int tab) {
    EXPECT_TRUE(SelectTab(sheet_, tab));
    HWND page = CurrentPage(sheet_), list = GetDlgItem(page, 101);
    EXPECT_TRUE(WaitUntil([&] { return ListItems(list).empty() || !GetText(GetDlgItem(page, 102)).empty(); }, kWait));
    return page;
  }
  Texts List(int tab) { return ListItems(GetDlgItem(Page(tab), 101)); }
  void Select(HWND page, const std::string& name, const std::string& link, bool doubleClick = false) {
    Texts items = ListItems(GetDlgItem(page, 101));
    int item = int(std::find(items.begin(), items.end(), name) - items.begin());
    ASSERT_TRUE(SelectListItem(GetDlgItem(page, 101), item, doubleClick)) << name;
    ASSERT_TRUE(WaitForText(GetDlgItem(page, 102), link, kWait));
  }
  HWND Dialog(HWND page, int button) {
    ClickButton(GetDlgItem(page, button));
    return WaitForWindow(app_.pid, "QX Internet", "#32770", kWait);
  }
  // Sets the fields given (nullptr keeps one) and presses a button; after a refusal the
  // dialog must still be open.
  void Enter(HWND dialog, std::array<const char*, 3> texts, int button, const char* refusal = nullptr) {
    for (int i = 0; i < 3; ++i) if (texts[i]) SetText(GetDlgItem(dialog, 101 + i), texts[i]);
    ClickButton(GetDlgItem(dialog, button));
    if (refusal) Box(refusal);
    EXPECT_EQ(WaitForWindowGone(dialog, refusal ? 300 : kWait), refusal == nullptr);
  }
  void Box(const std::string& text, int answer = IDOK) {
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(app_.pid, "QX Internet 2.0", kWait, box)) << text;
    EXPECT_EQ(box.text, text);
    AnswerMessageBox(box, answer), WaitForWindowGone(box.window, kWait);
  }

  TestFolder folder_;
  Process app_;
  HWND sheet_ = nullptr;
};

TEST_F(PagesTest, NewEntries) {
  Start({MakeRecord("Aaa", "http://www.example.org/")});
  const struct { int tab; const char *preset, *name, *link; int type; } cases[] = {
      {0, "http://", "B Web", "http://b/", 0}, {1, "ftp://", "C Ftp", "ftp://c/pub", 1},
      {2, "mailto:", "D Post", "mailto:d@example.org", 2}, {3, "news:", "E News", "news:de.comp", 3},
      {4, "gopher:", "F Gopher", "gopher://f/", 4}, {5, "archie:", "G Archie", "archie:g", 5},
      {6, "file:", "H Datei", "file:///c:/h.txt", 16}, {0, "http://", "I Ftp", "ftp://i/", 1},
      {0, "http://", "J Doppelt", "HTTP://WWW.Example.ORG/", -1}};
  Texts expected = Stored(sheet_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HWND dialog = Dialog(Page(c.tab), 106);
    EXPECT_EQ(GetText(GetDlgItem(dialog, 102)), c.preset);
    const std::string text = c.name + std::string(" \xE4");
    Enter(dialog, {c.name, c.link, text.c_str()}, 104);
    if (c.type < 0) Box("Link ist bereits eingetragen !");
    else expected.push_back(std::to_string(c.type) + "|" + c.name + "|" + c.link + "|" + text);
    EXPECT_EQ(Stored(sheet_), expected);
    const int listedOn = std::min(c.type, 6);
    Texts here = List(c.tab);
    EXPECT_EQ(std::count(here.begin(), here.end(), c.name), c.tab == listedOn);
    if (listedOn < 0) continue;
    Select(Page(listedOn), c.name, c.link);
    EXPECT_EQ(GetText(GetDlgItem(CurrentPage(sheet_), 103)), text);
  }
}

TEST_F(PagesTest, EntryDialogChecksAndCuts) {
  Start({MakeRecord("Aaa", "http://a/")});
  Texts expected = Stored(sheet_);
  HWND dialog = Dialog(Page(0), 106);
  const char* const noName = "Kein Name eingetragen !";
  for (auto c : {std::array<const char*, 3>{"", "", noName}, {"", "http://x/", noName},
                 {"N", "", "Kein Link eingetragen !"}, {"N", "https://x/", kBadLink}, {"N", "x.org", kBadLink}}) {
    Enter(dialog, {c[0], c[1], "d"}, 104, c[2]);
    EXPECT_EQ(GetText(GetDlgItem(dialog, 101)) + "|" + GetText(GetDlgItem(dialog, 102)), std::string(c[0]) + "|" + c[1]);
  }
  EXPECT_TRUE(SaveWindowPicture(dialog, PicturesDir() + "\\entry-dialog.bmp"));
  // Enter and Escape close nothing: what is typed after them reaches the dialog.
  HWND name = GetDlgItem(dialog, 101);
  for (UINT key : {VK_RETURN, VK_ESCAPE}) PostMessageA(name, WM_KEYDOWN, key, 0);
  PostMessageA(name, EM_SETSEL, 0, -1), PostMessageA(name, WM_CHAR, 'x', 0);
  EXPECT_TRUE(WaitForText(name, "x", kWait));
  Enter(dialog, {}, 105);
  EXPECT_EQ(Stored(sheet_), expected);
  const std::string longName(130, 'n'), longLink = "http://" + std::string(300, 'l'), longText(300, 'd');
  Enter(Dialog(Page(0), 106), {longName.c_str(), longLink.c_str(), longText.c_str()}, 104);
  expected.push_back("0|" + longName.substr(0, 127) + "|" + longLink.substr(0, 255) + "|" + longText.substr(0, 255));
  EXPECT_EQ(Stored(sheet_), expected);
}

TEST_F(PagesTest, ChangeAndDeleteDownToAnEmptyStore) {
  // Not in name order: only a re-sort puts Alpha first.
  Start({MakeRecord("Beta", "http://b/", "b"), MakeRecord("Alpha", "http://a/", "a"), MakeRecord("Gamma", "http://g/", "g")});
  const std::string beta = "0|Beta|http://b/|neu", gamma = "0|Gamma|http://g/|g", alpha = "0|Alpha|http://a/|a";
  const struct { int tab; const char *select, *link, *name, *newLink, *description, *refusal; int answer; Texts stored; } steps[] = {
      {0, "Beta", "http://b/", nullptr, nullptr, "neu", nullptr, 0, {beta, alpha, gamma}},
      // Refused with another name, then cancelled: sorted, no record changed.
      {0, "Beta", "http://b/", "Aaa", "https://b/", "x", kBadLink, 0, {alpha, beta, gamma}},
      {0, "Alpha", "http://a/", "Zeta", nullptr, nullptr, nullptr, 0, {beta, gamma, "0|Zeta|http://a/|a"}},
      {0, "Gamma", "http://g/", nullptr, "ftp://g/", nullptr, nullptr, 0, {beta, "1|Gamma|ftp://g/|g", "0|Zeta|http://a/|a"}},
      {0, "Zeta", "http://a/", nullptr, nullptr, nullptr, nullptr, IDNO, {beta, "1|Gamma|ftp://g/|g", "0|Zeta|http://a/|a"}},
      {0, "Zeta", "http://a/", nullptr, nullptr, nullptr, nullptr, IDYES, {beta, "1|Gamma|ftp://g/|g"}},
      {1, "Gamma", "ftp://g/", nullptr, nullptr, nullptr, nullptr, IDYES, {beta}},
      {0, "Beta", "http://b/", nullptr, nullptr, nullptr, nullptr, IDYES, {}}};
  for (const auto& s : steps) {
    HWND page = Page(s.tab);
    Select(page, s.select, s.link);
    if (s.answer) {
      ClickButton(GetDlgItem(page, 105));
      Box(std::string("Den Eintrag '") + s.select + "' wirklich l\xF6schen ?", s.answer);
      if (s.stored.empty()) Box("Adressdatei ist leer !");
    } else {
      HWND dialog = Dialog(page, 104);
      Enter(dialog, {s.name, s.newLink, s.description}, 104, s.refusal);
      if (s.refusal) Enter(dialog, {}, 105);
    }
    EXPECT_EQ(Stored(sheet_), s.stored) << s.select;
  }
  // An empty store: empty lists, and change, delete and open do nothing; the new-entry
  // dialog opened after them is the only window besides the sheet.
  for (int tab = 0; tab < 7; ++tab) {
    HWND page = Page(tab);
    EXPECT_EQ(ListItems(GetDlgItem(page, 101)).size() + GetText(GetDlgItem(page, 103)).size(), 0u);
    for (int button : {104, 105, 107}) ClickButton(GetDlgItem(page, button));
    Enter(Dialog(page, 106), {}, 105);
    EXPECT_EQ(TopLevelWindows(app_.pid).size(), 1u);
  }
}

// A page's list holds record positions; another page's addition moves them.
TEST_F(PagesTest, ListsAndStalePositions) {
  Start({MakeRecord("heise online", "http://www.heise.de/", "Nachrichten"),
         MakeRecord("Wikipedia", "http://de.wikipedia.org/", "Die freie Enzyklop\xE4" "die"),
         MakeRecord("Apache", "http://www.apache.org/", "Der Webserver und seine Verwandten"),
         MakeRecord("Dateien", "ftp://ftp.example.org/", "Ablage")});
  EXPECT_EQ(List(0), (Texts{"Apache", "heise online", "Wikipedia"}));
  EXPECT_EQ(ListSelection(GetDlgItem(CurrentPage(sheet_), 101)), 0);
  EXPECT_EQ(GetText(GetDlgItem(CurrentPage(sheet_), 103)), "Der Webserver und seine Verwandten");
  EXPECT_TRUE(SaveWindowPicture(sheet_, PicturesDir() + "\\page-www-filled.bmp"));
  EXPECT_EQ(List(1), Texts{"Dateien"});
  Enter(Dialog(Page(0), 106), {"Archiv", "http://archive.org/", nullptr}, 104);
  Texts stored = Stored(sheet_);  // Apache, Archiv, Dateien, Wikipedia, heise online
  ClickButton(GetDlgItem(Page(1), 105));
  Box("Den Eintrag 'Dateien' wirklich l\xF6schen ?", IDYES);
  stored.erase(stored.begin() + 2);
  EXPECT_EQ(Stored(sheet_), stored);
}

std::string UnixPath(const std::string& path) {
  auto toUnix = reinterpret_cast<char*(CDECL*)(const WCHAR*)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = toUnix(std::wstring(path.begin(), path.end()).c_str());
  std::string out = unix;
  return HeapFree(GetProcessHeap(), 0, unix), out;
}

// Whether a file of the program's shortcut names is left in the temporary folder.
bool ShortcutLeft() {
  char folder[MAX_PATH];
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((std::string(folder, GetTempPathA(MAX_PATH, folder)) + "qxl*").c_str(), &entry);
  return find != INVALID_HANDLE_VALUE && FindClose(find);
}

// The stand-in browser that Wine's winebrowser starts is a shell script that logs its
// argument; named .exe, which Wine creates executable.
TEST_F(PagesTest, ButtonAndDoubleClickHandTheLinkToTheBrowser) {
  const std::string log = UnixPath(folder_.path() + "\\browser.log"), script = UnixPath(folder_.path() + "\\browser.exe");
  WriteBytes("browser.exe", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log + "'\n");
  RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers", REG_SZ, script.c_str(), DWORD(script.size() + 1));
  Start({MakeRecord("Eins", "http://example.org/eins?a=1&b=%20"), MakeRecord("Zwei", "http://example.org/zwei")});
  for (bool doubleClick : {false, true}) {
    Select(Page(0), doubleClick ? "Zwei" : "Eins", doubleClick ? "http://example.org/zwei" : "http://example.org/eins?a=1&b=%20", doubleClick);
    if (!doubleClick) ClickButton(GetDlgItem(CurrentPage(sheet_), 107));
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) != FALSE; }, kWait));
    EXPECT_FALSE(ShortcutLeft());
    PostMessageA(sheet_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) == FALSE; }, kWait));
  }
  const std::string links = "http://example.org/eins?a=1&b=%20\nhttp://example.org/zwei\n";
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes("browser.log") == links; }, kWait)) << ReadBytes("browser.log");
  WriteBytes("rundll32.exe", "kein Programm");  // found first, in the current folder
  ClickButton(GetDlgItem(Page(0), 107));
  Box("Internet-Explorer konnte nicht gestartet werden !");
  EXPECT_FALSE(IsIconic(sheet_) || ShortcutLeft());
  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers");
}

}  // namespace
