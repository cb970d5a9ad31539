// The category pages and the entry dialog of the real qxinet.exe, worked from
// outside under Wine, each road checked against the bytes of qxinetvz.dat.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"

namespace {

const int kWait = 20000;
const char kBox[] = "QX Internet 2.0";
const char kNoName[] = "Kein Name eingetragen !";
const char kBadLink[] = "Ung\xFCltiger Link !";
const char* const kPresets[7] = {"http://", "ftp://", "mailto:", "news:", "gopher:", "archie:", "file:"};

// The bytes of the data file, read once the sheet has handled what was sent
// before: the store's operations must not meet a reader. While qxinet holds
// the file (open without sharing) they are read through its named mapping,
// the size from the folder entry.
std::string DataFileBytes(HWND sheet) {
  DWORD_PTR result;
  if (sheet) SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "qxinetfilemap");
  if (mapping == nullptr) return ReadBytes("qxinetvz.dat");
  WIN32_FIND_DATAA entry{};
  HANDLE find = FindFirstFileA("qxinetvz.dat", &entry);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
  std::string bytes = view ? std::string(view, entry.nFileSizeLow) : std::string();
  if (view) UnmapViewOfFile(view);
  CloseHandle(mapping);
  return bytes;
}

// The data file as "type|name|link|description" per record; fails the test
// on a size that is no multiple of 641 or a text field without its NUL.
std::vector<std::string> Stored(HWND sheet) {
  std::string bytes = DataFileBytes(sheet);
  EXPECT_EQ(bytes.size() % RecordSize, 0u);
  std::vector<std::string> out;
  for (std::size_t at = 0; at + RecordSize <= bytes.size(); at += RecordSize) {
    std::string r = std::to_string(static_cast<unsigned char>(bytes[at]));
    for (auto [offset, width] : {std::pair{1, 128}, {129, 256}, {385, 256}}) {
      std::string field = bytes.substr(at + offset, width);
      EXPECT_NE(field.find('\0'), std::string::npos);
      r += "|" + field.substr(0, field.find('\0'));
    }
    out.push_back(r);
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
    std::string bytes;
    for (const AddressRecord& r : records) bytes += Bytes(r);
    WriteBytes("qxinetvz.dat", bytes);
    app_ = StartProgram(WindowsPath(QXINET_EXE), "", folder_.path());
    if (records.empty()) ExpectBox("Adressdatei ist leer !");
    sheet_ = WaitForWindow(app_.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
    ASSERT_NE(sheet_, nullptr);
  }
  static std::string WindowsPath(std::string path) {
    for (char& c : path) c = c == '/' ? '\\' : c;
    return "Z:" + path;
  }
  // Shows the tab and waits until the page has taken over its selection.
  HWND Page(int tab) {
    EXPECT_TRUE(SelectTab(sheet_, tab));
    HWND page = CurrentPage(sheet_);
    HWND list = GetDlgItem(page, 101);
    int sel = ListSelection(list);
    std::string link;
    if (sel >= 0) link = LinkOf(ListItems(list)[sel]);
    EXPECT_TRUE(WaitForText(GetDlgItem(page, 102), link, kWait));
    return page;
  }
  std::vector<std::string> Stored() { return ::Stored(sheet_); }
  // The link the record of that name holds in the data file.
  std::string LinkOf(const std::string& name) {
    for (const std::string& r : Stored()) {
      std::size_t a = r.find('|'), b = r.find('|', a + 1);
      if (r.substr(a + 1, b - a - 1) == name) return r.substr(b + 1, r.find('|', b + 1) - b - 1);
    }
    return "";
  }
  void Select(HWND page, const std::string& name, bool doubleClick = false) {
    std::vector<std::string> items = ListItems(GetDlgItem(page, 101));
    int index = -1;
    for (std::size_t i = 0; i < items.size(); ++i) if (items[i] == name) index = int(i);
    ASSERT_TRUE(SelectListItem(GetDlgItem(page, 101), index, doubleClick)) << name;
    ASSERT_TRUE(WaitForText(GetDlgItem(page, 102), LinkOf(name), kWait));
  }
  HWND OpenDialog(HWND page, int button) {
    ClickButton(GetDlgItem(page, button));
    HWND dialog = WaitForWindow(app_.pid, "QX Internet", "#32770", kWait);
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }
  static void Fill(HWND dialog, const char* name, const char* link, const char* description) {
    if (name) SetText(GetDlgItem(dialog, 101), name);
    if (link) SetText(GetDlgItem(dialog, 102), link);
    if (description) SetText(GetDlgItem(dialog, 103), description);
  }
  void ExpectBox(const std::string& text, int answer = IDOK) {
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(app_.pid, kBox, kWait, box)) << text;
    EXPECT_EQ(box.text, text);
    AnswerMessageBox(box, answer);
    EXPECT_TRUE(WaitForWindowGone(box.window, kWait));
  }
  void ExpectStored(const std::vector<std::string>& expected) {
    EXPECT_EQ(Stored(), expected);
  }
  // Saves or cancels; with a refusal the box is answered and the dialog stays.
  void Press(HWND dialog, int button, const char* refusal = nullptr) {
    ClickButton(GetDlgItem(dialog, button));
    if (refusal) ExpectBox(refusal);
    EXPECT_EQ(WaitForWindowGone(dialog, refusal ? 300 : kWait), refusal == nullptr);
  }

  TestFolder folder_;
  Process app_;
  HWND sheet_ = nullptr;
};

struct NewCase {
  int tab;
  const char *name, *link, *description, *refusal;
  int listedOn;  // tab whose list shows the new entry, -1 when nothing is stored
};

TEST_F(PagesTest, NewEntries) {
  Start({MakeRecord("Aaa", "http://www.example.org/")});
  const NewCase cases[] = {
      {0, "B Web", "http://b.example/", "Seite", nullptr, 0},
      {1, "C Ftp", "ftp://c.example/pub", "", nullptr, 1},
      {2, "D Post", "mailto:d@example.org", "Brief", nullptr, 2},
      {3, "E News", "news:de.comp", "", nullptr, 3},
      {4, "F Gopher", "gopher://f.example/", "", nullptr, 4},
      {5, "G Archie", "archie:g", "", nullptr, 5},
      {6, "H Datei", "file:///c:/h.txt", "lokal \xE4", nullptr, 6},
      {0, "I Ftp vom Web", "ftp://i.example/", "", nullptr, 1},
      {0, "J Doppelt", "HTTP://WWW.Example.ORG/", "", "Link ist bereits eingetragen !", -1},
  };
  std::vector<std::string> expected = Stored();
  for (const NewCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND page = Page(c.tab);
    HWND dialog = OpenDialog(page, 106);
    EXPECT_EQ(GetText(GetDlgItem(dialog, 102)), kPresets[c.tab]);
    Fill(dialog, c.name, c.link, c.description);
    if (c.tab == 6) {
      EXPECT_TRUE(SaveWindowPicture(dialog, PicturesDir() + "\\entry-dialog.bmp"));
    }
    Press(dialog, 104);
    if (c.refusal) ExpectBox(c.refusal);
    if (c.listedOn >= 0)
      expected.push_back(std::to_string(c.listedOn == 6 ? 16 : c.listedOn) + "|" + c.name + "|" +
                         c.link + "|" + c.description);
    ExpectStored(expected);
    std::vector<std::string> here = ListItems(GetDlgItem(Page(c.tab), 101));
    EXPECT_EQ(std::count(here.begin(), here.end(), c.name), c.listedOn == c.tab ? 1 : 0);
    if (c.listedOn < 0) continue;
    HWND shown = Page(c.listedOn);
    Select(shown, c.name);
    EXPECT_EQ(GetText(GetDlgItem(shown, 103)), c.description);
  }
}

TEST_F(PagesTest, EntryDialogChecksAndCuts) {
  Start({MakeRecord("Aaa", "http://a/")});
  std::vector<std::string> expected = Stored();
  HWND dialog = OpenDialog(Page(0), 106);
  const struct { const char *name, *link, *refusal; } cases[] = {
      {"", "", kNoName}, {"", "http://x/", kNoName}, {"N", "", "Kein Link eingetragen !"},
      {"N", "https://x/", kBadLink}, {"N", "www.example.org", kBadLink}};
  for (const auto& c : cases) {
    Fill(dialog, c.name, c.link, "d");
    Press(dialog, 104, c.refusal);
    EXPECT_EQ(GetText(GetDlgItem(dialog, 101)), c.name);
    EXPECT_EQ(GetText(GetDlgItem(dialog, 102)), c.link);
  }
  // Enter and Escape close nothing: what is typed after them reaches the dialog.
  HWND name = GetDlgItem(dialog, 101);
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) PostMessageA(name, WM_KEYDOWN, key, 0);
  PostMessageA(name, EM_SETSEL, 0, -1);
  PostMessageA(name, WM_CHAR, 'x', 0);
  EXPECT_TRUE(WaitForText(name, "x", kWait));
  Press(dialog, 105);
  ExpectStored(expected);

  dialog = OpenDialog(Page(0), 106);
  const std::string longName(130, 'n'), longLink = "http://" + std::string(300, 'l'),
                    longText(300, 'd');
  Fill(dialog, longName.c_str(), longLink.c_str(), longText.c_str());
  Press(dialog, 104);
  expected.push_back("0|" + longName.substr(0, 127) + "|" + longLink.substr(0, 255) + "|" +
                     longText.substr(0, 255));
  ExpectStored(expected);
}

TEST_F(PagesTest, ChangeEntries) {
  // Not in name order: only a re-sort puts Alpha first.
  Start({MakeRecord("Beta", "http://b/", "b"), MakeRecord("Alpha", "http://a/", "a"),
         MakeRecord("Gamma", "http://g/", "g")});
  const struct {
    const char *select, *name, *link, *description, *refusal;
    std::vector<std::string> stored;
  } cases[] = {
      {"Beta", nullptr, nullptr, "neu", nullptr,
       {"0|Beta|http://b/|neu", "0|Alpha|http://a/|a", "0|Gamma|http://g/|g"}},
      // Refused with another name, then cancelled: sorted, no record changed.
      {"Beta", "Aaa", "https://b/", "x", kBadLink,
       {"0|Alpha|http://a/|a", "0|Beta|http://b/|neu", "0|Gamma|http://g/|g"}},
      {"Alpha", "Zeta", nullptr, nullptr, nullptr,
       {"0|Beta|http://b/|neu", "0|Gamma|http://g/|g", "0|Zeta|http://a/|a"}},
      {"Gamma", nullptr, "ftp://g/", nullptr, nullptr,
       {"0|Beta|http://b/|neu", "1|Gamma|ftp://g/|g", "0|Zeta|http://a/|a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.select);
    HWND page = Page(0);
    Select(page, c.select);
    HWND dialog = OpenDialog(page, 104);
    Fill(dialog, c.name, c.link, c.description);
    Press(dialog, 104, c.refusal);
    if (c.refusal) Press(dialog, 105);
    ExpectStored(c.stored);
  }
  EXPECT_EQ(ListItems(GetDlgItem(Page(0), 101)), (std::vector<std::string>{"Beta", "Zeta"}));
  EXPECT_EQ(ListItems(GetDlgItem(Page(1), 101)), std::vector<std::string>{"Gamma"});
}

TEST_F(PagesTest, DeleteDownToAnEmptyStore) {
  Start({MakeRecord("Alpha", "http://a/"), MakeRecord("Beta", "http://b/")});
  const struct {
    const char* select;
    int answer;
    std::vector<std::string> stored;
  } cases[] = {{"Beta", IDNO, {"0|Alpha|http://a/|", "0|Beta|http://b/|"}},
               {"Beta", IDYES, {"0|Alpha|http://a/|"}},
               {"Alpha", IDYES, {}}};
  for (const auto& c : cases) {
    HWND page = Page(0);
    Select(page, c.select);
    ClickButton(GetDlgItem(page, 105));
    ExpectBox(std::string("Den Eintrag '") + c.select + "' wirklich l\xF6schen ?", c.answer);
    if (c.stored.empty()) ExpectBox("Adressdatei ist leer !");
    ExpectStored(c.stored);
  }
  EXPECT_EQ(ReadBytes("qxinetvz.dat").size(), 0u);
  // Without records every list is empty, and change, delete and open do
  // nothing: the new-entry dialog that follows them is the only window shown.
  for (int tab = 0; tab < 7; ++tab) {
    HWND page = Page(tab);
    EXPECT_TRUE(ListItems(GetDlgItem(page, 101)).empty());
    EXPECT_EQ(GetText(GetDlgItem(page, 103)), "");
    for (int button : {104, 105, 107}) ClickButton(GetDlgItem(page, button));
    Press(OpenDialog(page, 106), 105);
    EXPECT_EQ(TopLevelWindows(app_.pid).size(), 1u);
  }
}

// A page's list holds record positions; another page's addition moves them.
TEST_F(PagesTest, ListsAndStalePositions) {
  Start({MakeRecord("heise online", "http://www.heise.de/", "Nachrichten"),
         MakeRecord("Wikipedia", "http://de.wikipedia.org/", "Die freie Enzyklop\xE4" "die"),
         MakeRecord("Apache", "http://www.apache.org/", "Der Webserver und seine Verwandten"),
         MakeRecord("Dateien", "ftp://ftp.example.org/", "Ablage")});
  HWND www = Page(0);
  EXPECT_EQ(ListItems(GetDlgItem(www, 101)),
            (std::vector<std::string>{"Apache", "heise online", "Wikipedia"}));
  EXPECT_EQ(ListSelection(GetDlgItem(www, 101)), 0);
  EXPECT_EQ(GetText(GetDlgItem(www, 103)), "Der Webserver und seine Verwandten");
  EXPECT_TRUE(SaveWindowPicture(sheet_, PicturesDir() + "\\page-www-filled.bmp"));
  EXPECT_EQ(ListItems(GetDlgItem(Page(1), 101)), std::vector<std::string>{"Dateien"});

  HWND dialog = OpenDialog(Page(0), 106);
  Fill(dialog, "Archiv", "http://archive.org/", nullptr);
  Press(dialog, 104);
  std::vector<std::string> stored = {"0|Apache|http://www.apache.org/|Der Webserver und seine Verwandten",
                                     "0|Archiv|http://archive.org/|", "1|Dateien|ftp://ftp.example.org/|Ablage",
                                     "0|Wikipedia|http://de.wikipedia.org/|Die freie Enzyklop\xE4" "die",
                                     "0|heise online|http://www.heise.de/|Nachrichten"};
  ExpectStored(stored);
  ClickButton(GetDlgItem(Page(1), 105));
  ExpectBox("Den Eintrag 'Dateien' wirklich l\xF6schen ?", IDYES);
  stored.erase(stored.begin() + 2);
  ExpectStored(stored);
}

// Sets a text value under HKEY_CURRENT_USER, or removes it (nullptr), and puts
// back what was there when the test ends.
class RegistryValue {
 public:
  RegistryValue(const char* key, const char* name, const char* value) : name_(name) {
    RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    DWORD size = sizeof saved_;
    had_ = RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(saved_), &size) == 0;
    Set(value);
  }
  ~RegistryValue() {
    Set(had_ ? saved_ : nullptr);
    RegCloseKey(key_);
  }

 private:
  void Set(const char* value) {
    if (!value) RegDeleteValueA(key_, name_);
    else RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), lstrlenA(value) + 1);
  }
  HKEY key_ = nullptr;
  const char* name_;
  char saved_[MAX_PATH] = "";
  bool had_ = false;
};

std::string UnixPath(const std::string& path) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  std::wstring wide(path.begin(), path.end());
  char* unix = toUnix ? toUnix(wide.c_str()) : nullptr;
  std::string out = unix ? unix : "";
  if (unix) HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

// Files of the program's shortcut names left in the temporary folder.
int LeftInTemp() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((std::string(folder) + "qxl*").c_str(), &entry);
  int count = 0;
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry)) ++count;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  return count;
}

// The stand-in browser that Wine's winebrowser starts: a shell script that
// adds its argument to a log. Named .exe, which Wine creates executable.
class LaunchTest : public PagesTest {
 protected:
  LaunchTest()
      : log_(folder_.path() + "\\browser.log"),
        script_((WriteBytes("browser.exe", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" +
                                               UnixPath(log_) + "'\n"),
                 UnixPath(folder_.path() + "\\browser.exe"))),
        browser_("Software\\Wine\\WineBrowser", "Browsers", script_.c_str()) {}
  const std::vector<AddressRecord> records_ = {MakeRecord("Eins", "http://example.org/eins?a=1&b=%20"),
                                               MakeRecord("Zwei", "http://example.org/zwei")};
  std::string log_, script_;
  RegistryValue browser_;
};

TEST_F(LaunchTest, ButtonAndDoubleClickHandTheLinkToTheBrowser) {
  Start(records_);
  for (bool doubleClick : {false, true}) {
    HWND page = Page(0);
    Select(page, doubleClick ? "Zwei" : "Eins", doubleClick);
    if (!doubleClick) ClickButton(GetDlgItem(page, 107));
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) != FALSE; }, kWait));
    EXPECT_EQ(LeftInTemp(), 0);
    PostMessageA(sheet_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) == FALSE; }, kWait));
  }
  const std::string links = "http://example.org/eins?a=1&b=%20\nhttp://example.org/zwei\n";
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(log_) == links; }, kWait)) << ReadBytes(log_);
}

TEST_F(LaunchTest, WithoutFavoritesNothingOpens) {
  RegistryValue none("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                     "Favorites", nullptr);
  Start(records_);
  for (int tab = 0; tab < 7; ++tab) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(tab), 107)));
  Select(Page(0), "Zwei", true);
  Sleep(1500);
  EXPECT_FALSE(IsIconic(sheet_));
  EXPECT_FALSE(FileExists(log_));
}

TEST_F(LaunchTest, OpenerThatCannotStart) {
  WriteBytes("rundll32.exe", "kein Programm");  // found first, in the current folder
  Start(records_);
  ClickButton(GetDlgItem(Page(0), 107));
  ExpectBox("Internet-Explorer konnte nicht gestartet werden !");
  EXPECT_FALSE(IsIconic(sheet_));
  EXPECT_EQ(LeftInTemp(), 0);
}

}  // namespace
