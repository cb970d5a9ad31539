// The category pages, the entry dialog and the browser start of the real qxinet.exe
// under Wine, worked from outside; every road checked against the bytes of qxinetvz.dat.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"

namespace {

const int kWait = 20000;
const char kBadLink[] = "Ung\xFCltiger Link !", kKnown[] = "Link ist bereits eingetragen !";
using Texts = std::vector<std::string>;

class PagesTest : public ::testing::Test {
 protected:
  ~PagesTest() override { KillProgram(app_); }
  void Start(const std::vector<AddressRecord>& records) {
    std::string bytes;
    for (const AddressRecord& r : records) bytes += Bytes(r);
    WriteBytes("qxinetvz.dat", bytes);
    app_ = StartProgram("Z:" QXINET_EXE, "", folder_.path());  // Wine takes '/' as well
    sheet_ = WaitForWindow(app_.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
    ASSERT_NE(sheet_, nullptr);
  }
  // The records as "type|name|link|description", read once the sheet has handled what
  // was sent before, so that no reader meets the store at work; while qxinet holds the
  // file (without sharing), through its named mapping.
  Texts Stored() {
    DWORD_PTR result;
    SendMessageTimeoutA(sheet_, WM_NULL, 0, 0, SMTO_NORMAL, kWait, &result);
    std::string bytes = ReadBytes("qxinetvz.dat");  // empty while qxinet holds the file
    if (HANDLE map = OpenFileMappingA(FILE_MAP_READ, FALSE, "qxinetfilemap")) {
      WIN32_FIND_DATAA entry{};
      FindClose(FindFirstFileA("qxinetvz.dat", &entry));
      auto view = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
      bytes.assign(view, entry.nFileSizeLow), UnmapViewOfFile(view), CloseHandle(map);
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
    return button == 104 || button == 106 ? WaitForWindow(app_.pid, "QX Internet", "#32770", kWait) : page;
  }
  // Sets the fields given (nullptr keeps one) and presses a button of the entry dialog.
  // A refused save leaves it open with the typed texts, and neither Enter nor Escape
  // closes it (what is typed after them reaches it); then it is cancelled.
  void Enter(HWND dialog, std::array<const char*, 3> texts, int button, const char* refusal = nullptr) {
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
      EXPECT_TRUE(WaitUntil([&] { return GetText(name) == "x"; }, kWait));
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
  // The list of a page once the link given is on show.
  Texts Shown(int tab, const std::string& link = "") {
    HWND page = Press(tab, -1, 0);
    EXPECT_TRUE(WaitUntil([&] { return GetText(GetDlgItem(page, 102)) == link; }, kWait));
    return ListItems(GetDlgItem(page, 101));
  }

  TestFolder folder_;
  Process app_;
  HWND sheet_ = nullptr;
};

// Changes, deletions and new entries on every page, with what each refuses, down to an
// empty store, where no button but "new" does anything.
TEST_F(PagesTest, ChangeDeleteAndNewEntries) {
  // Not in name order: only a re-sort puts Alpha first.
  Start({MakeRecord("Beta", "http://b/", "b"), MakeRecord("Alpha", "http://a/", "a"),
         MakeRecord("Gamma", "http://g/", "g")});
  const std::string alpha = "0|Alpha|http://a/|a", beta = "0|Beta|http://b/|neu", zeta = "0|Zeta|http://a/|a",
                    gamma = "1|Gamma|ftp://g/|g2", aaa = "0|Aaa|http://aa/|", ask = "' wirklich l\xF6schen ?",
                    d = "16|Datei|file:///c:/h.txt|\xE4";
  // Input longer than a field is cut to it.
  const std::string name(127, 'n'), longName = name + "nnn", text(300, 'd');
  const std::string link = "http://" + std::string(293, 'l');
  const std::string cut = "0|" + name + "|" + link.substr(0, 255) + "|" + text.substr(0, 255);
  // refusal: for a deletion, the name asked about; else the dialog's refusal, or kKnown, the page's.
  const struct { int tab, item, button; std::array<const char*, 3> texts; const char* refusal; Texts stored; }
      steps[] = {
          {0, 1, 104, {nullptr, nullptr, "neu"}, nullptr, {beta, alpha, "0|Gamma|http://g/|g"}},
          // Refused with another name, then cancelled: sorted, no record changed.
          {0, 1, 104, {"Aaa", "https://b/", "x"}, kBadLink, {alpha, beta, "0|Gamma|http://g/|g"}},
          {0, 0, 104, {"Zeta"}, nullptr, {beta, "0|Gamma|http://g/|g", zeta}},
          {0, 1, 104, {nullptr, "ftp://g/"}, nullptr, {beta, "1|Gamma|ftp://g/|g", zeta}},
          {0, 1, 105, {}, "Zeta", {beta, "1|Gamma|ftp://g/|g", zeta}},
          {0, 1, 105, {}, "Zeta", {beta, "1|Gamma|ftp://g/|g"}},
          // The ftp page's list, made last, holds record positions; this addition on another page moves them.
          {1, 0, 104, {nullptr, nullptr, "g2"}, nullptr, {beta, gamma}},
          {0, -1, 106, {"Aaa", "http://aa/"}, nullptr, {aaa, beta, gamma}},
          {1, 0, 105, {}, "Gamma", {aaa, beta}},
          // Typed on the web page, stored as a file link by its link.
          {0, -1, 106, {"Datei", "file:///c:/h.txt", "\xE4"}, nullptr, {aaa, beta, d}},
          {0, -1, 106, {"Doppelt", "HTTP://AA/"}, kKnown, {aaa, beta, d}},
          {0, -1, 106, {"", ""}, "Kein Name eingetragen !", {aaa, beta, d}},
          {0, -1, 106, {"N", ""}, "Kein Link eingetragen !", {aaa, beta, d}},
          {0, -1, 106, {longName.c_str(), link.c_str(), text.c_str()}, nullptr, {aaa, beta, d, cut}},
          {6, 0, 105, {}, "Datei", {aaa, beta, cut}},
          {0, 2, 105, {}, name.c_str(), {aaa, beta}},
          {0, 0, 105, {}, "Aaa", {beta}},
          {0, 0, 105, {}, "Beta", {}}};
  for (const auto& s : steps) {
    HWND dialog = Press(s.tab, s.item, s.button);
    if (s.button != 105) Enter(dialog, s.texts, 104, s.refusal == kKnown ? nullptr : s.refusal);
    if (s.button != 105 && s.refusal == kKnown) Box(kKnown);
    if (s.button == 105) Box("Den Eintrag '" + std::string(s.refusal) + ask, &s == &steps[4] ? IDNO : IDYES);
    if (s.button == 105 && s.stored.empty()) Box("Adressdatei ist leer !");
    EXPECT_EQ(Stored(), s.stored) << &s - steps;
  }
  // Empty lists; change, delete and open do nothing, so that the new-entry dialog (with
  // the page's link preset) opened after them is the only other window.
  const char* presets[] = {"http://", "ftp://", "mailto:", "news:", "gopher:", "archie:", "file:"};
  for (int tab = 0; tab < 7; ++tab) {
    EXPECT_EQ(Shown(tab), Texts{});
    for (int button : {104, 105, 107}) ClickButton(GetDlgItem(CurrentPage(sheet_), button));
    HWND dialog = Press(tab, -1, 106);
    EXPECT_TRUE(GetText(GetDlgItem(dialog, 102)) == presets[tab] && TopLevelWindows(app_.pid).size() == 2);
    Enter(dialog, {}, 105);
  }
}

// The shortcut files in the current folder, made the temporary one of the program under test.
int Shortcuts() {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA("qxl*", &entry);
  int count = find != INVALID_HANDLE_VALUE;
  while (count && FindNextFileA(find, &entry)) ++count;
  return count && FindClose(find) ? count : 0;
}

// The stand-in opener takes the place of the system's rundll32.exe, and a copy
// lies in the data folder, where a bare "rundll32" would be found first. The
// window is minimised at once and answers while the opener runs, a second
// start included; the shortcuts go once the opener has ended, or with the program.
TEST_F(PagesTest, LaunchWaitsAwayFromTheWindow) {
  char system[MAX_PATH] = "";
  const std::string opener = std::string(system, GetSystemDirectoryA(system, MAX_PATH)) + "\\rundll32.exe";
  ASSERT_TRUE(CopyFileA(opener.c_str(), (opener + ".qx").c_str(), FALSE));
  std::shared_ptr<void> put(nullptr, [&](void*) { CopyFileA((opener + ".qx").c_str(), opener.c_str(), 0); });
  for (const std::string& copy : {opener, folder_.path() + "\\rundll32.exe"})
    ASSERT_TRUE(CopyFileA(OPENER_STANDIN_EXE, copy.c_str(), FALSE)) << copy;
  // Wine runs its own rundll32 from the system folder unless told to take the file.
  UserValue native("Software\\Wine\\DllOverrides", "rundll32.exe", "native");
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "QxOpenerRelease");
  SetEnvironmentVariableA("QX_OPENER_LOG", "opener.log");  // inherited, as are these
  SetEnvironmentVariableA("TMP", folder_.path().c_str());
  const std::vector<AddressRecord> records = {MakeRecord("Eins", "http://example.org/eins?a=1&b=%20"),
                                              MakeRecord("Zwei", "http://example.org/zwei")};
  Start(records);
  std::string notes;
  auto launch = [&](int item) {  // Eins by the button, Zwei by a double click
    Press(0, item, item ? 0 : 107, item == 1);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) != FALSE; }, 1000));
    notes += opener + "|" + records[item].link + "\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes("opener.log") == notes; }, kWait)) << notes;
    DWORD_PTR result;
    EXPECT_TRUE(SendMessageTimeoutA(sheet_, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) && Shortcuts() > 0);
    PostMessageA(sheet_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) == FALSE; }, kWait));
  };
  for (bool close : {false, true}) {  // two starts, the openers released; one start, the program closed
    for (int i = close; i < 2; ++i) launch(i);
    if (close) PostMessageA(sheet_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(!close || WaitForSingleObject(app_.handle, kWait) == WAIT_OBJECT_0);
    SetEvent(release);
    notes += close ? "end\n" : "end\nend\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes("opener.log") == notes && Shortcuts() == 0; }, kWait));
    ResetEvent(release);
  }

  // Started without a temporary folder: no shortcut, so nothing is started.
  SetEnvironmentVariableA("TMP", (folder_.path() + "\\fehlt").c_str());
  Start(records);
  SetEnvironmentVariableA("TMP", std::getenv("TMP"));  // the C library's copy stays as it was
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
  EXPECT_TRUE(!IsIconic(sheet_) && ReadBytes("opener.log") == notes);
}

}  // namespace
