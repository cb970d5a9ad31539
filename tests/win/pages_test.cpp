// The category pages, the entry dialog and the browser start of the real qxinet.exe
// under Wine, worked from outside; every change checked against the bytes of qxinetvz.dat.
#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "manager/resource.h"
#include "tests/win/manager_run.h"

namespace {

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
    KillProgram(app_.process);  // which holds the data file
    WriteBytes("qxinetvz.dat", Bytes(records));
    app_.process = StartProgram("Z:" QXINET_EXE, "", folder_.path());  // Wine takes '/' as well
    sheet_ = WaitForWindow(app_.process.pid, kSheetTitle, nullptr, kWaitMs);
    ASSERT_NE(sheet_, nullptr) << Seen();
  }
  // Whether the sheet has handled the message (and all sent before it).
  bool Answers(UINT message = WM_NULL, WPARAM wParam = 0) {
    return SendMessageTimeoutA(sheet_, message, wParam, 0, SMTO_NORMAL, kWaitMs, nullptr) != 0;
  }
  // What a failed wait saw: the program's windows, the shortcut files, the opener's log.
  std::string Seen() {
    return "\n" + ::Seen(app_.process) + "\nshortcuts:" + Shortcuts() + "\nopener log:\n" + ReadBytes("opener.log");
  }
  // Tab selected, item selected (-1: none), button pressed; the entry dialog if one opens.
  // LB_SETCURSEL notifies no one, so the page is told as by a click; posted, as the page
  // may answer with a modal box.
  HWND Press(int tab, int item, int button, bool doubleClick = false) {
    EXPECT_TRUE(SelectTab(sheet_, tab, kWaitMs)) << Seen();
    HWND page = CurrentPage(sheet_), list = GetDlgItem(page, IDC_LIST);
    EXPECT_TRUE(item < 0 || SendMessageA(list, LB_SETCURSEL, item, 0) != LB_ERR) << item;
    for (int code : {LBN_SELCHANGE, doubleClick ? LBN_DBLCLK : 0})
      if (item >= 0 && code) PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_LIST, code), LPARAM(list));
    if (button) ClickButton(GetDlgItem(page, button));
    if (button != IDC_CHANGE && button != IDC_NEW) return page;
    return WaitForWindow(app_.process.pid, "QX Internet", "#32770", kWaitMs);
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
      PostMessageA(name, EM_SETSEL, 0, -1);
      PostMessageA(name, WM_CHAR, 'x', 0);
      EXPECT_TRUE(WaitUntil([&] { return GetText(name) == "x"; }, kWaitMs)) << GetText(name) << Seen();
      ClickButton(GetDlgItem(dialog, IDC_CANCEL));
    }
    EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs)) << Seen();
  }
  void Box(const std::string& text, int answer = IDOK) {
    EXPECT_TRUE(app_.ExpectBox("QX Internet 2.0", text, sheet_, answer)) << Seen();
  }
  // The list of a page once the link given is on show.
  Texts Shown(int tab, const std::string& link = "") {
    HWND shown = GetDlgItem(Press(tab, -1, 0), IDC_LINKTEXT);
    EXPECT_TRUE(WaitUntil([&] { return GetText(shown) == link; }, kWaitMs)) << GetText(shown) << Seen();
    return ListItems(GetDlgItem(CurrentPage(sheet_), IDC_LIST));
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
  const std::string gw = "0|Gamma|http://g/|g", gf = "1|Gamma|ftp://g/|g";
  // On a tab, an item selected (-1: none) and a button pressed. The entry dialog gets the
  // texts (nullptr keeps a field) and is saved; refused: its refusal, after which it is
  // cancelled; told: the page's box that follows. A deletion asks about a name first.
  struct Step {
    int tab, item, button;
    std::array<const char*, 3> texts{};
    const char *refused = nullptr, *told = nullptr, *asked = nullptr;
    int answer = IDYES;  // to the question of a deletion
    Texts stored;
  };
  const Step steps[] = {
      {.tab = 0, .item = 1, .button = IDC_CHANGE, .texts = {nullptr, nullptr, "neu"}, .stored = {beta, alpha, gw}},
      // Refused with another name, then cancelled: sorted, no record changed.
      {.tab = 0, .item = 1, .button = IDC_CHANGE, .texts = {"Aaa", "https://b/", "x"}, .refused = kBadLink,
       .stored = {alpha, beta, gw}},
      {.tab = 0, .item = 0, .button = IDC_CHANGE, .texts = {"Zeta"}, .stored = {beta, gw, zeta}},
      {.tab = 0, .item = 1, .button = IDC_CHANGE, .texts = {nullptr, "ftp://g/"}, .stored = {beta, gf, zeta}},
      {.tab = 0, .item = 1, .button = IDC_DELETE, .asked = "Zeta", .answer = IDNO, .stored = {beta, gf, zeta}},
      {.tab = 0, .item = 1, .button = IDC_DELETE, .asked = "Zeta", .stored = {beta, gf}},
      // The ftp page's list, made last, holds record positions; the addition after it, on another page, moves them.
      {.tab = 1, .item = 0, .button = IDC_CHANGE, .texts = {nullptr, nullptr, "g2"}, .stored = {beta, gamma}},
      {.tab = 0, .item = -1, .button = IDC_NEW, .texts = {"Aaa", "http://aa/"}, .stored = {aaa, beta, gamma}},
      {.tab = 1, .item = 0, .button = IDC_DELETE, .asked = "Gamma", .stored = {aaa, beta}},
      // Typed on the web page, stored as a file link by its link.
      {.tab = 0, .item = -1, .button = IDC_NEW, .texts = {"Datei", "file:///c:/h.txt", "\xE4"}, .stored = {aaa, beta, d}},
      {.tab = 0, .item = -1, .button = IDC_NEW, .texts = {"Doppelt", "HTTP://AA/"}, .told = kKnown, .stored = {aaa, beta, d}},
      {.tab = 0, .item = -1, .button = IDC_NEW, .texts = {"", ""}, .refused = "Kein Name eingetragen !",
       .stored = {aaa, beta, d}},
      {.tab = 0, .item = -1, .button = IDC_NEW, .texts = {"N", ""}, .refused = "Kein Link eingetragen !",
       .stored = {aaa, beta, d}},
      {.tab = 0, .item = -1, .button = IDC_NEW, .texts = {longName.c_str(), link.c_str(), text.c_str()},
       .stored = {aaa, beta, d, cut}},
      {.tab = 6, .item = 0, .button = IDC_DELETE, .asked = "Datei", .stored = {aaa, beta, cut}},
      {.tab = 0, .item = 2, .button = IDC_DELETE, .asked = name.c_str(), .stored = {aaa, beta}},
      {.tab = 0, .item = 0, .button = IDC_DELETE, .asked = "Aaa", .stored = {beta}},
      {.tab = 0, .item = 0, .button = IDC_DELETE, .told = "Adressdatei ist leer !", .asked = "Beta", .stored = {}}};
  for (const Step& s : steps) {
    HWND dialog = Press(s.tab, s.item, s.button);
    if (s.asked) Box("Den Eintrag '" + std::string(s.asked) + ask, s.answer);
    else Enter(dialog, s.texts, IDC_SAVE, s.refused);
    if (s.told) Box(s.told);
    // Read once the sheet has handled what was sent before, so that no reader meets the store at work.
    EXPECT_TRUE(Answers()) << Seen();
    EXPECT_EQ(StoredRecords("qxinetvz.dat"), s.stored) << "step " << &s - steps << " on tab " << s.tab;
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
// lies in the data folder, where a bare "rundll32" would be found first. Without
// a temporary folder there is no shortcut, so nothing is started, and a link with
// a line break starts nothing. The window is minimised at once and answers while
// the opener runs (in the temporary folder), a second start included; the
// shortcuts go once the opener has ended, at the session's end, or with the program.
TEST_F(PagesTest, LaunchWaitsAwayFromTheWindow) {
  const std::string opener = std::string(std::getenv("SystemRoot")) + "\\system32\\rundll32.exe";
  ASSERT_TRUE(CopyFileA(opener.c_str(), (opener + ".qx").c_str(), FALSE));
  std::shared_ptr<void> put(nullptr, [&](void*) { CopyFileA((opener + ".qx").c_str(), opener.c_str(), FALSE); });
  for (const std::string& copy : {opener, folder_.path() + "\\rundll32.exe"})
    ASSERT_TRUE(CopyFileA(OPENER_STANDIN_EXE, copy.c_str(), FALSE)) << copy;
  // Wine runs its own rundll32 from the system folder unless told to take the file.
  UserValue native("Software\\Wine\\DllOverrides", "rundll32.exe", "native");
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "QxOpenerRelease");
  const std::string temp = folder_.path() + "\\temp";  // the program's temporary folder, inherited
  SetEnvironmentVariableA("TMP", temp.c_str());
  SetEnvironmentVariableA("QX_OPENER_LOG", (folder_.path() + "\\opener.log").c_str());  // the same
  const std::vector<AddressRecord> records = {MakeRecord("Eins", "http://example.org/eins?a=1&b=%20"),
      MakeRecord("Zwei", "http://example.org/zwei"), MakeRecord("Zwischen", "http://example.org/\r\nIconFile=x")};
  Start(records);
  // Eins while the temporary folder is missing, then Zwischen with the folder made.
  for (int item : {0, 2}) {
    Press(0, item, IDC_LAUNCH), Box("Internet-Explorer konnte nicht gestartet werden !");
    EXPECT_TRUE(!IsIconic(sheet_) && Shortcuts().empty() && ReadBytes("opener.log").empty()) << Seen();
    CreateDirectoryA(temp.c_str(), nullptr);
  }
  // Two starts, the openers released; one start, the session ended, which takes the
  // shortcut before the opener is released; one start, the program closed.
  std::string notes;
  for (int round = 0; round < 3; ++round) {
    for (int item = round > 0; item < 2; ++item) {  // Eins by the button, Zwei by a double click
      Press(0, item, item ? 0 : IDC_LAUNCH, item == 1);
      notes += opener + "|" + temp + "|" + records[item].link + "\n";
      EXPECT_TRUE(WaitUntil([&] { return IsIconic(sheet_) && ReadBytes("opener.log") == notes; }, kWaitMs))
          << notes << Seen();
      EXPECT_TRUE(Answers() && !Shortcuts().empty()) << Seen();
      ShowWindow(sheet_, SW_RESTORE);  // sent to the window's thread, done on return
    }
    EXPECT_TRUE(round != 1 || (Answers(WM_ENDSESSION, TRUE) && Shortcuts().empty())) << Seen();
    EXPECT_TRUE(round < 2 || app_.ExpectEnd(sheet_));
    SetEvent(release);
    notes += round ? "end\n" : "end\nend\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes("opener.log") == notes && Shortcuts().empty(); }, kWaitMs))
        << Seen();
    ResetEvent(release);
  }

  // Without favourites the button is disabled on every page; a double click only selects.
  // A launch it posted would have ended before the second tab switch is handled.
  UserValue favorites(kShellFolders, "Favorites", nullptr);
  Start(records);
  for (int tab = 6; tab >= 0; --tab)
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Press(tab, -1, 0), IDC_LAUNCH))) << tab;
  Press(0, 1, 0, true);
  Shown(1);
  EXPECT_EQ(Shown(0, "http://example.org/zwei"), (Texts{"Eins", "Zwei", "Zwischen"}));
  EXPECT_TRUE(!IsIconic(sheet_) && ReadBytes("opener.log") == notes) << Seen();
  SetEnvironmentVariableA("TMP", std::getenv("TMP"));  // the C library's copy stays as it was
}

}  // namespace
