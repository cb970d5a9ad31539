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

class PagesTest : public ::testing::Test {
 protected:
  ~PagesTest() override {
    if (app_.Valid()) KillProgram(app_);
  }
  void Start(const std::vector<AddressRecord>& records) {
    std::string bytes, exe = "Z:" QXINET_EXE;
    for (const AddressRecord& r : records) bytes += Bytes(r);
    WriteBytes("qxinetvz.dat", bytes);
    std::replace(exe.begin(), exe.end(), '/', '\\');
    app_ = StartProgram(exe, "", folder_.path());
    if (records.empty()) Box("Adressdatei ist leer !");
    sheet_ =
        WaitForWindow(app_.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
    ASSERT_NE(sheet_, nullptr);
  }
  // The records as "type|name|link|description", read once the sheet has handled what
  // was sent before, so that no reader meets the store at work; while qxinet holds the
  // file (without sharing), through its named mapping.
  Texts Stored() {
    DWORD_PTR result;
    SendMessageTimeoutA(sheet_, WM_NULL, 0, 0, SMTO_NORMAL, kWait, &result);
    std::string bytes = "";
    if (HANDLE map = OpenFileMappingA(FILE_MAP_READ, FALSE, "qxinetfilemap")) {
      WIN32_FIND_DATAA entry{};
      FindClose(FindFirstFileA("qxinetvz.dat", &entry));
      auto view = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
      bytes.assign(view, entry.nFileSizeLow), UnmapViewOfFile(view), CloseHandle(map);
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
  // Tab selected, item selected (-1: none), button pressed; the entry dialog if one opens.
  HWND Press(int tab, int item, int button, bool doubleClick = false) {
    EXPECT_TRUE(SelectTab(sheet_, tab));
    HWND page = CurrentPage(sheet_);
    EXPECT_TRUE(item < 0 || SelectListItem(GetDlgItem(page, 101), item, doubleClick));
    if (button) ClickButton(GetDlgItem(page, button));
    return button == 104 || button == 106 ? WaitForWindow(app_.pid, "QX Internet", "#32770", kWait)
                                          : page;
  }
  // Sets the fields given (nullptr keeps one) and presses a button of the entry dialog.
  // A refused save leaves it open with the typed texts, and neither Enter nor Escape
  // closes it (what is typed after them reaches it); then it is cancelled.
  void Enter(HWND dialog, std::array<const char*, 3> texts, int button,
             const char* refusal = nullptr) {
    for (int i = 0; i < 3; ++i)
      if (texts[i]) SetText(GetDlgItem(dialog, 101 + i), texts[i]);
    ClickButton(GetDlgItem(dialog, button));
    if (refusal) {
      Box(refusal);
      for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(!texts[i] || GetText(GetDlgItem(dialog, 101 + i)) == texts[i]) << texts[i];
      HWND name = GetDlgItem(dialog, 101);
      for (UINT key : {VK_RETURN, VK_ESCAPE}) PostMessageA(name, WM_KEYDOWN, key, 0);
      PostMessageA(name, EM_SETSEL, 0, -1), PostMessageA(name, WM_CHAR, 'x', 0);
      EXPECT_TRUE(WaitForText(name, "x", kWait));
      ClickButton(GetDlgItem(dialog, 105));
    }
    EXPECT_TRUE(WaitForWindowGone(dialog, kWait));
  }
  void Box(const std::string& text, int answer = IDOK) {
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(app_.pid, "QX Internet 2.0", kWait, box)) << text;
    EXPECT_EQ(box.text, text);
    AnswerMessageBox(box, answer), WaitForWindowGone(box.window, kWait);
  }
  // The list of a page once the link and description given are on show.
  Texts Shown(int tab, const std::string& link = "", const std::string& description = "") {
    HWND page = Press(tab, -1, 0);
    EXPECT_TRUE(WaitForText(GetDlgItem(page, 102), link, kWait) &&
                WaitForText(GetDlgItem(page, 103), description, kWait));
    return ListItems(GetDlgItem(page, 101));
  }

  TestFolder folder_;
  Process app_;
  HWND sheet_ = nullptr;
};

TEST_F(PagesTest, NewEntries) {
  Start({MakeRecord("Aaa", "http://www.example.org/")});
  const std::string longName(130, 'n'), longLink = "http://" + std::string(253, 'l'),
                    longText(260, 'd');
  // type -1: the page refuses the link; -2: the dialog refuses the input; -3: cancelled.
  const struct {
    int tab;
    const char *preset, *name, *link, *refusal;
    int type;
    const char* description = "\xE4";
  } cases[] = {
      {6, "file:", "Datei", "file:///c:/h.txt", nullptr, 16},
      {0, "http://", "Web", "http://b/", nullptr, 0},
      {0, "http://", "X Ftp vom Web", "ftp://i/", nullptr, 1},
      {0, "http://", "Doppelt", "HTTP://WWW.Example.ORG/", "Link ist bereits eingetragen !", -1},
      {0, "http://", "", "", "Kein Name eingetragen !", -2},
      {0, "http://", "N", "", "Kein Link eingetragen !", -2},
      {0, "http://", "N", "https://x/", kBadLink, -2},
      {1, "ftp://", "", nullptr, nullptr, -3},
      {2, "mailto:", "", nullptr, nullptr, -3},
      {3, "news:", "", nullptr, nullptr, -3},
      {4, "gopher:", "", nullptr, nullptr, -3},
      {5, "archie:", "", nullptr, nullptr, -3},
      // Longer input is cut to the fields' widths.
      {0, "http://", longName.c_str(), longLink.c_str(), nullptr, 0, longText.c_str()}};
  Texts expected = {"0|Aaa|http://www.example.org/|"};
  for (const auto& c : cases) {
    HWND dialog = Press(c.tab, -1, 106);
    EXPECT_EQ(GetText(GetDlgItem(dialog, 102)), c.preset);
    Enter(dialog, {c.name, c.link, c.description}, c.type == -3 ? 105 : 104,
          c.type == -2 ? c.refusal : nullptr);
    if (c.type == -1) Box(c.refusal);
    const std::string name = std::string(c.name).substr(0, 127);
    if (c.type >= 0)
      expected.push_back(std::to_string(c.type) + "|" + name + "|" +
                         std::string(c.link).substr(0, 255) + "|" +
                         std::string(c.description).substr(0, 255));
    EXPECT_EQ(Stored(), expected) << c.name;
    Texts www = Shown(0, "http://www.example.org/"),
          other = c.type > 0 ? Shown(std::min(c.type, 6), c.link, "\xE4") : Texts{};
    EXPECT_EQ(std::count(www.begin(), www.end(), name), c.type == 0) << c.name;
    EXPECT_EQ(std::count(other.begin(), other.end(), name), c.type > 0) << c.name;
  }
}

TEST_F(PagesTest, ChangeAndDeleteDownToAnEmptyStore) {
  // Not in name order: only a re-sort puts Alpha first.
  Start({MakeRecord("Beta", "http://b/", "b"), MakeRecord("Alpha", "http://a/", "a"),
         MakeRecord("Gamma", "http://g/", "g")});
  const std::string alpha = "0|Alpha|http://a/|a", beta = "0|Beta|http://b/|neu",
                    gamma = "1|Gamma|ftp://g/|g", zeta = "0|Zeta|http://a/|a";
  const struct {
    int tab, item, button;
    std::array<const char*, 3> texts;
    const char* refusal;
    Texts stored;
  } steps[] = {
      {0, 1, 104, {nullptr, nullptr, "neu"}, nullptr, {beta, alpha, "0|Gamma|http://g/|g"}},
      // Refused with another name, then cancelled: sorted, no record changed.
      {0, 1, 104, {"Aaa", "https://b/", "x"}, kBadLink, {alpha, beta, "0|Gamma|http://g/|g"}},
      {0, 0, 104, {"Zeta"}, nullptr, {beta, "0|Gamma|http://g/|g", zeta}},
      {0, 1, 104, {nullptr, "ftp://g/"}, nullptr, {beta, gamma, zeta}},
      {0, 1, 105, {}, "Zeta", {beta, gamma, zeta}},
      {0, 1, 105, {}, "Zeta", {beta, gamma}},
      {1, 0, 105, {}, "Gamma", {beta}},
      {0, 0, 105, {}, "Beta", {}}};
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    HWND dialog = Press(s.tab, s.item, s.button);
    if (s.button == 105) {
      Box(std::string("Den Eintrag '") + s.refusal + "' wirklich l\xF6schen ?",
          i == 4 ? IDNO : IDYES);
      if (s.stored.empty()) Box("Adressdatei ist leer !");
    } else {
      Enter(dialog, s.texts, 104, s.refusal);
    }
    EXPECT_EQ(Stored(), s.stored) << i;
  }
  // An empty store: empty lists, and change, delete and open do nothing; the new-entry
  // dialog opened after them is the only window besides the sheet.
  for (int tab = 0; tab < 7; ++tab) {
    EXPECT_EQ(Shown(tab), Texts{});
    for (int button : {104, 105, 107}) ClickButton(GetDlgItem(CurrentPage(sheet_), button));
  }
  Enter(Press(0, -1, 106), {}, 105);
  EXPECT_EQ(TopLevelWindows(app_.pid).size(), 1u);
}

// A page's list holds record positions; another page's addition moves them.
TEST_F(PagesTest, ListsAndStalePositions) {
  Start({MakeRecord("heise online", "http://www.heise.de/"),
         MakeRecord("Wikipedia", "http://de.wikipedia.org/"),
         MakeRecord("Apache", "http://www.apache.org/", "Server"),
         MakeRecord("Dateien", "ftp://ftp.example.org/")});
  EXPECT_EQ(Shown(0, "http://www.apache.org/", "Server"),
            (Texts{"Apache", "heise online", "Wikipedia"}));
  EXPECT_EQ(Shown(1, "ftp://ftp.example.org/"), Texts{"Dateien"});
  Enter(Press(0, -1, 106), {"Archiv", "http://archive.org/", nullptr}, 104);
  Texts stored = Stored();  // Apache, Archiv, Dateien, Wikipedia, heise online
  Press(1, -1, 105);
  Box("Den Eintrag 'Dateien' wirklich l\xF6schen ?", IDYES);
  stored.erase(stored.begin() + 2);
  EXPECT_EQ(Stored(), stored);
}

std::string UnixPath(const std::string& path) {
  auto toUnix = reinterpret_cast<char*(CDECL*)(const WCHAR*)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  return toUnix(std::wstring(path.begin(), path.end()).c_str());  // a few bytes not freed
}

// The files of the program's shortcut names in the temporary folder.
int Shortcuts() {
  char folder[MAX_PATH];
  WIN32_FIND_DATAA entry;
  std::string pattern = std::string(folder, GetTempPathA(MAX_PATH, folder)) + "qxl*";
  HANDLE find = FindFirstFileA(pattern.c_str(), &entry);
  int count = find != INVALID_HANDLE_VALUE;
  while (count && FindNextFileA(find, &entry)) ++count;
  return count && FindClose(find) ? count : 0;
}

// The stand-in browser that Wine's winebrowser starts is a shell script that logs its
// argument; named .exe, which Wine creates executable.
TEST_F(PagesTest, ButtonAndDoubleClickHandTheLinkToTheBrowser) {
  const std::string script = UnixPath(folder_.path() + "\\browser.exe");
  WriteBytes("browser.exe", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" +
                                UnixPath(folder_.path() + "\\browser.log") + "'\n");
  UserValue browser("Software\\Wine\\WineBrowser", "Browsers", script.c_str());
  const std::vector<AddressRecord> records = {
      MakeRecord("Eins", "http://example.org/eins?a=1&b=%20"),
      MakeRecord("Zwei", "http://example.org/zwei")};
  Start(records);
  const int shortcuts = Shortcuts();  // of other runs
  for (bool doubleClick : {false, true}) {
    Press(0, doubleClick, doubleClick ? 0 : 107, doubleClick);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) != FALSE; }, kWait));
    EXPECT_TRUE(WaitUntil([&] { return Shortcuts() == shortcuts; }, kWait));
    PostMessageA(sheet_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) == FALSE; }, kWait));
  }
  const std::string links = "http://example.org/eins?a=1&b=%20\nhttp://example.org/zwei\n";
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes("browser.log") == links; }, kWait))
      << ReadBytes("browser.log");
  // Started without a temporary folder: no shortcut, so nothing is started.
  KillProgram(app_);
  char temp[MAX_PATH] = "";
  GetEnvironmentVariableA("TMP", temp, MAX_PATH);
  SetEnvironmentVariableA("TMP", (folder_.path() + "\\fehlt").c_str());  // inherited
  Start(records);
  SetEnvironmentVariableA("TMP", temp);
  Press(0, -1, 107);
  Box("Internet-Explorer konnte nicht gestartet werden !");
  EXPECT_FALSE(IsIconic(sheet_));

  // Without favourites the button is disabled on every page; a double click only selects.
  // A launch it posted would have ended before the second tab switch is handled.
  KillProgram(app_);
  UserValue favorites("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "Favorites", nullptr);
  Start(records);
  for (int tab = 6; tab >= 0; --tab)
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Press(tab, -1, 0), 107))) << tab;
  Press(0, 1, 0, true);
  Shown(1);
  EXPECT_EQ(Shown(0, "http://example.org/zwei"), (Texts{"Eins", "Zwei"}));
  EXPECT_FALSE(IsIconic(sheet_));
  EXPECT_EQ(ReadBytes("browser.log"), links);
}

// The stand-in opener takes the place of the system's rundll32.exe, and a copy
// lies in the data folder, where a bare "rundll32" would be found first. The
// window is minimised at once and answers while the opener runs, a second
// start included; the shortcuts go once the opener has ended, or with the program.
TEST_F(PagesTest, LaunchWaitsAwayFromTheWindow) {
  char system[MAX_PATH] = "";
  const std::string opener = std::string(system, GetSystemDirectoryA(system, MAX_PATH)) + "\\rundll32.exe";
  ASSERT_TRUE(MoveFileExA(opener.c_str(), (opener + ".qx").c_str(), MOVEFILE_REPLACE_EXISTING));
  struct PutBack { std::string p; ~PutBack() { MoveFileExA((p + ".qx").c_str(), p.c_str(), MOVEFILE_REPLACE_EXISTING); } } back{opener};
  for (const std::string& copy : {opener, folder_.path() + "\\rundll32.exe"})
    ASSERT_TRUE(CopyFileA(OPENER_STANDIN_EXE, copy.c_str(), FALSE)) << copy;
  // Wine runs its own rundll32 from the system folder unless told to take the file.
  UserValue native("Software\\Wine\\DllOverrides", "rundll32.exe", "native");
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "QxOpenerRelease");
  SetEnvironmentVariableA("QX_OPENER_LOG", "opener.log");  // inherited, in the same current folder
  Start({MakeRecord("Eins", "http://example.org/eins")});
  const int shortcuts = Shortcuts();  // of other runs
  std::string notes;
  auto launch = [&] {
    Press(0, -1, 107);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) != FALSE; }, 1000));
    notes += opener + "|http://example.org/eins\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes("opener.log") == notes; }, kWait)) << ReadBytes("opener.log");
    DWORD_PTR result;
    EXPECT_TRUE(SendMessageTimeoutA(sheet_, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) && Shortcuts() > shortcuts);
    PostMessageA(sheet_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) == FALSE; }, kWait));
  };
  for (bool close : {false, true}) {  // two starts, the openers released; one start, the program closed
    for (int i = close; i < 2; ++i) launch();
    if (close) PostMessageA(sheet_, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code;
    EXPECT_TRUE(!close || WaitForExit(app_, kWait, code));
    SetEvent(release);
    notes += close ? "end\n" : "end\nend\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes("opener.log") == notes && Shortcuts() == shortcuts; }, kWait));
    ResetEvent(release);
  }
  CloseHandle(release);
}

}  // namespace
