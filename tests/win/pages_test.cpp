// The category pages, the entry dialog and the browser start of the real qxinet.exe
// under Wine, worked from outside; every change checked against the bytes of qxinetvz.dat.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "manager/resource.h"
#include "tests/win/manager_run.h"
#include "tests/win/test_folder.h"

namespace {

const int kWait = kWaitMs;
const char kBadLink[] = "Ung\xFCltiger Link !", kKnown[] = "Link ist bereits eingetragen !";
using Texts = std::vector<std::string>;

// The shortcut files in the temporary folder that the launch test gives the program.
std::string Shortcuts() {
  std::string names;
  std::error_code none;  // no folder before the launch test makes it
  for (const auto& file : std::filesystem::directory_iterator("temp", none))
    names += " " + file.path().filename().string();
  return names;
}

class PagesTest : public ::testing::Test {
 protected:
  void Start(const std::vector<AddressRecord>& records) {
    std::string bytes;
    for (const AddressRecord& r : records) bytes += Bytes(r);
    WriteBytes("qxinetvz.dat", bytes);
    KillProgram(app_.process);
    app_.process = StartProgram("Z:" QXINET_EXE, "", folder_.path());  // Wine takes '/' as well
    sheet_ = WaitForWindow(app_.process.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
    ASSERT_NE(sheet_, nullptr) << Seen();
  }
  // Whether the sheet has handled the message (and all sent before it).
  bool Answers(UINT message = WM_NULL, WPARAM wParam = 0) {
    DWORD_PTR result;
    return SendMessageTimeoutA(sheet_, message, wParam, 0, SMTO_NORMAL, kWait, &result) != 0;
  }
  // What a failed wait saw: the program's windows, the shortcut files, the opener's log.
  std::string Seen() {
    return "\n" + ::Seen(app_.process) + "\nshortcuts:" + Shortcuts() + "\nopener log:\n" + ReadBytes("opener.log");
  }
  // The records, read once the sheet has handled what was sent before, so that no
  // reader meets the store at work.
  Texts Stored() {
    EXPECT_TRUE(Answers()) << Seen();
    return StoredRecords("qxinetvz.dat");
  }
  // Tab selected, item selected (-1: none), button pressed; the entry dialog if one opens.
  HWND Press(int tab, int item, int button, bool doubleClick = false) {
    EXPECT_TRUE(SelectTab(sheet_, tab)) << Seen();
    HWND page = CurrentPage(sheet_);
    EXPECT_TRUE(item < 0 || SelectListItem(GetDlgItem(page, IDC_LIST), item, doubleClick));
    if (button) ClickButton(GetDlgItem(page, button));
    return button == IDC_CHANGE || button == IDC_NEW ? WaitForWindow(app_.process.pid, "QX Internet", "#32770", kWait) : page;
  }
  // Sets the fields given (nullptr keeps one) and presses a button of the entry dialog.
  // A refused save leaves it open with the typed texts, and neither Enter nor Escape
  // closes it (what is typed after them reaches it); then it is cancelled.
  void Enter(HWND dialog, std::array<const char*, 3> texts, int button, const char* refusal = nullptr) {
    EXPECT_NE(dialog, nullptr) << Seen();
    for (int i = 0; i < 3; ++i)
      if (texts[i]) SetText(GetDlgItem(dialog, IDC_NAME + i), texts[i]);
    ClickButton(GetDlgItem(dialog, button));
    if (refusal) {
      Box(refusal);
      for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(!texts[i] || GetText(GetDlgItem(dialog, IDC_NAME + i)) == texts[i]) << texts[i];
      HWND name = GetDlgItem(dialog, IDC_NAME);
      for (UINT key : {VK_RETURN, VK_ESCAPE}) PostMessageA(name, WM_KEYDOWN, key, 0);
      PostMessageA(name, EM_SETSEL, 0, -1), PostMessageA(name, WM_CHAR, 'x', 0);
      EXPECT_TRUE(WaitUntil([&] { return GetText(name) == "x"; }, kWait)) << GetText(name) << Seen();
      ClickButton(GetDlgItem(dialog, IDC_CANCEL));
    }
    EXPECT_TRUE(WaitForWindowGone(dialog, kWait)) << Seen();
  }
  void Box(const std::string& text, int answer = IDOK) {
    EXPECT_TRUE(app_.ExpectBox("QX Internet 2.0", text, sheet_, answer)) << Seen();
  }
  // The list of a page once the link given is on show.
  Texts Shown(int tab, const std::string& link = "") {
    HWND page = Press(tab, -1, 0);
    HWND shown = GetDlgItem(page, IDC_LINKTEXT);
    EXPECT_TRUE(WaitUntil([&] { return GetText(shown) == link; }, kWait)) << GetText(shown) << Seen();
    return ListItems(GetDlgItem(page, IDC_LIST));
  }

  TestFolder folder_;
  Running app_;
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
          {0, 1, IDC_CHANGE, {nullptr, nullptr, "neu"}, nullptr, {beta, alpha, "0|Gamma|http://g/|g"}},
          // Refused with another name, then cancelled: sorted, no record changed.
          {0, 1, IDC_CHANGE, {"Aaa", "https://b/", "x"}, kBadLink, {alpha, beta, "0|Gamma|http://g/|g"}},
          {0, 0, IDC_CHANGE, {"Zeta"}, nullptr, {beta, "0|Gamma|http://g/|g", zeta}},
          {0, 1, IDC_CHANGE, {nullptr, "ftp://g/"}, nullptr, {beta, "1|Gamma|ftp://g/|g", zeta}},
          {0, 1, IDC_DELETE, {}, "Zeta", {beta, "1|Gamma|ftp://g/|g", zeta}},
          {0, 1, IDC_DELETE, {}, "Zeta", {beta, "1|Gamma|ftp://g/|g"}},
          // The ftp page's list, made last, holds record positions; this addition on another page moves them.
          {1, 0, IDC_CHANGE, {nullptr, nullptr, "g2"}, nullptr, {beta, gamma}},
          {0, -1, IDC_NEW, {"Aaa", "http://aa/"}, nullptr, {aaa, beta, gamma}},
          {1, 0, IDC_DELETE, {}, "Gamma", {aaa, beta}},
          // Typed on the web page, stored as a file link by its link.
          {0, -1, IDC_NEW, {"Datei", "file:///c:/h.txt", "\xE4"}, nullptr, {aaa, beta, d}},
          {0, -1, IDC_NEW, {"Doppelt", "HTTP://AA/"}, kKnown, {aaa, beta, d}},
          {0, -1, IDC_NEW, {"", ""}, "Kein Name eingetragen !", {aaa, beta, d}},
          {0, -1, IDC_NEW, {"N", ""}, "Kein Link eingetragen !", {aaa, beta, d}},
          {0, -1, IDC_NEW, {longName.c_str(), link.c_str(), text.c_str()}, nullptr, {aaa, beta, d, cut}},
          {6, 0, IDC_DELETE, {}, "Datei", {aaa, beta, cut}},
          {0, 2, IDC_DELETE, {}, name.c_str(), {aaa, beta}},
          {0, 0, IDC_DELETE, {}, "Aaa", {beta}},
          {0, 0, IDC_DELETE, {}, "Beta", {}}};
  for (const auto& s : steps) {
    HWND dialog = Press(s.tab, s.item, s.button);
    if (s.button != IDC_DELETE) Enter(dialog, s.texts, IDC_SAVE, s.refusal == kKnown ? nullptr : s.refusal);
    if (s.button != IDC_DELETE && s.refusal == kKnown) Box(kKnown);
    if (s.button == IDC_DELETE) Box("Den Eintrag '" + std::string(s.refusal) + ask, &s == &steps[4] ? IDNO : IDYES);
    if (s.button == IDC_DELETE && s.stored.empty()) Box("Adressdatei ist leer !");
    EXPECT_EQ(Stored(), s.stored) << &s - steps;
  }
  // Empty lists; change, delete and open do nothing, so that the new-entry dialog (with
  // the page's link preset) opened after them is the only other window.
  const char* presets[] = {"http://", "ftp://", "mailto:", "news:", "gopher:", "archie:", "file:"};
  for (int tab = 0; tab < 7; ++tab) {
    EXPECT_EQ(Shown(tab), Texts{});
    for (int button : {IDC_CHANGE, IDC_DELETE, IDC_LAUNCH}) ClickButton(GetDlgItem(CurrentPage(sheet_), button));
    HWND dialog = Press(tab, -1, IDC_NEW);
    EXPECT_TRUE(GetText(GetDlgItem(dialog, IDC_LINK)) == presets[tab] && TopLevelWindows(app_.process.pid).size() == 2);
    Enter(dialog, {}, IDC_CANCEL);
  }
}

// The stand-in opener takes the place of the system's rundll32.exe, and a copy
// lies in the data folder, where a bare "rundll32" would be found first. A link
// with a line break starts nothing. The window is minimised at once and answers
// while the opener runs (in the temporary folder), a second start included; the
// shortcuts go once the opener has ended, at the session's end, or with the program.
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
  const std::string temp = folder_.path() + "\\temp";  // the program's temporary folder, inherited
  CreateDirectoryA(temp.c_str(), nullptr), SetEnvironmentVariableA("TMP", temp.c_str());
  SetEnvironmentVariableA("QX_OPENER_LOG", (folder_.path() + "\\opener.log").c_str());  // the same
  const std::vector<AddressRecord> records = {MakeRecord("Eins", "http://example.org/eins?a=1&b=%20"),
                                              MakeRecord("Zwei", "http://example.org/zwei"),
                                              MakeRecord("Zwischen", "http://example.org/\r\nIconFile=x")};
  Start(records);
  Press(0, 2, IDC_LAUNCH), Box("Internet-Explorer konnte nicht gestartet werden !");
  EXPECT_TRUE(!IsIconic(sheet_) && Shortcuts().empty() && ReadBytes("opener.log").empty()) << Seen();
  std::string notes;
  auto launch = [&](int item) {  // Eins by the button, Zwei by a double click
    Press(0, item, item ? 0 : IDC_LAUNCH, item == 1);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) != FALSE; }, kWait)) << Seen();
    notes += opener + "|" + temp + "|" + records[item].link + "\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes("opener.log") == notes; }, kWait)) << notes << Seen();
    EXPECT_TRUE(Answers() && !Shortcuts().empty()) << Seen();
    PostMessageA(sheet_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) == FALSE; }, kWait)) << Seen();
  };
  // Two starts, the openers released; one start, the session ended, which takes the
  // shortcut before the opener is released; one start, the program closed.
  for (int round = 0; round < 3; ++round) {
    for (int i = round > 0; i < 2; ++i) launch(i);
    EXPECT_TRUE(round != 1 || (Answers(WM_ENDSESSION, TRUE) && Shortcuts().empty())) << Seen();
    if (round == 2) PostMessageA(sheet_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(round < 2 || WaitForSingleObject(app_.process.handle, kWait) == WAIT_OBJECT_0) << Seen();
    SetEvent(release);
    notes += round ? "end\n" : "end\nend\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes("opener.log") == notes && Shortcuts().empty(); }, kWait))
        << Seen();
    ResetEvent(release);
  }

  // Started without a temporary folder: no shortcut, so nothing is started.
  SetEnvironmentVariableA("TMP", (folder_.path() + "\\fehlt").c_str());
  Start(records);
  SetEnvironmentVariableA("TMP", std::getenv("TMP"));  // the C library's copy stays as it was
  Press(0, -1, IDC_LAUNCH);
  Box("Internet-Explorer konnte nicht gestartet werden !");
  EXPECT_FALSE(IsIconic(sheet_)) << Seen();
  // Without favourites the button is disabled on every page; a double click only selects.
  // A launch it posted would have ended before the second tab switch is handled.
  KillProgram(app_.process);
  UserValue favorites("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "Favorites", nullptr);
  Start(records);
  for (int tab = 6; tab >= 0; --tab)
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Press(tab, -1, 0), IDC_LAUNCH))) << tab;
  Press(0, 1, 0, true);
  Shown(1);
  EXPECT_EQ(Shown(0, "http://example.org/zwei"), (Texts{"Eins", "Zwei", "Zwischen"}));
  EXPECT_TRUE(!IsIconic(sheet_) && ReadBytes("opener.log") == notes) << Seen();
}

}  // namespace
