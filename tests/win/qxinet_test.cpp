// The real qxinet.exe under Wine, worked from outside as a person would: start-
// up, the ten-tab sheet, closing, refused data files, a second instance, the
// favourites folder, and copies of the program with changed templates.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "common/center_math.h"
#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"

namespace {

const char kCaption[] = "QX Internet 2.0 - Internetadressen verwalten";
const char kBoxTitle[] = "QX Internet 2.0";
const char kEmpty[] = "Adressdatei ist leer !";
const char kWrongFormat[] = "Falsches Dateiformat !";
const char kCannotOpen[] = "Adressdatei kann nicht ge\xF6" "ffnet werden !";
const char kOtherInstance[] =
    "Adressdatenbank ist bereits von einer anderen Instanz dieses Programms ge\xF6"
    "ffnet ! Programm wird beendet !";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const int kWait = 20000;

std::string WindowsPath(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

std::string QxinetExe() { return WindowsPath(QXINET_EXE); }

std::string TwoRecords() {
  return Bytes(MakeRecord("Beispiel", "http://www.example.org/", "Ein Beispiel")) +
         Bytes(MakeRecord("Dateien", "ftp://ftp.example.org/pub/", "Ablage"));
}

// A started qxinet that is ended at the end of the test whatever happened.
struct Running {
  Process process;
  HWND sheet = nullptr;
  ~Running() {
    if (process.Valid()) {
      DWORD code;
      if (!WaitForExit(process, 0, code)) KillProgram(process);
    }
  }
};

void ExpectBox(DWORD pid, const char* text, HWND owner) {
  MessageBoxInfo box;
  ASSERT_TRUE(WaitForMessageBox(pid, kBoxTitle, kWait, box)) << "no box: " << text;
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(box.owner, owner);
  EXPECT_TRUE(AnswerMessageBox(box, IDOK));
  EXPECT_TRUE(WaitForWindowGone(box.window, kWait));
}

// Starts qxinet in the folder; answers the empty-file box if the file is empty.
void StartToSheet(Running& run, const std::string& folder, bool emptyFile,
                  const std::string& exe = QxinetExe()) {
  run.process = StartProgram(exe, "", folder);
  ASSERT_TRUE(run.process.Valid());
  if (emptyFile) ExpectBox(run.process.pid, kEmpty, nullptr);
  run.sheet = WaitForWindow(run.process.pid, kCaption, nullptr, kWait);
  ASSERT_NE(run.sheet, nullptr) << "the sheet did not appear";
}

void CloseAndExpectExitZero(Running& run) {
  PostMessageA(run.sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = 99;
  ASSERT_TRUE(WaitForExit(run.process, kWait, code));
  EXPECT_EQ(code, 0u);
}

// Starts qxinet, which must show the message without an owner and, once it is
// answered, end with exit code 0: a sheet would keep it running.
void StartRefused(Running& run, const std::string& folder, const char* message) {
  run.process = StartProgram(QxinetExe(), "", folder);
  ASSERT_TRUE(run.process.Valid());
  ExpectBox(run.process.pid, message, nullptr);
  DWORD code = 99;
  ASSERT_TRUE(WaitForExit(run.process, kWait, code)) << "still running after: " << message;
  EXPECT_EQ(code, 0u);
}

class QxinetTest : public ::testing::Test {
 protected:
  TestFolder folder_;
};

// The first start creates an empty data file; a second copy may open it too
// while it holds no records.
TEST_F(QxinetTest, FirstStartInAnEmptyFolderAndASecondBesideIt) {
  Running first;
  StartToSheet(first, folder_.path(), true);
  EXPECT_TRUE(FileExists("qxinetvz.dat"));
  EXPECT_EQ(ReadBytes("qxinetvz.dat").size(), 0u);
  Running second;
  StartToSheet(second, folder_.path(), true);
  EXPECT_NE(first.sheet, second.sheet);
  CloseAndExpectExitZero(second);
  CloseAndExpectExitZero(first);
}

// The sheet's tabs, frame and place; and, against a sheet of the same ten
// templates and header without the program's callback, exactly 30 pixels less
// height.
TEST_F(QxinetTest, TheSheet) {
  static const char* const templates[10] = {"DLG_LINK", "DLG_LINK", "DLG_LINK", "DLG_LINK",
                                            "DLG_LINK", "DLG_LINK", "DLG_LINK", "DLG_IMPORT",
                                            "DLG_EXPORT", "DLG_INFO"};
  static const char* const titles[10] = {" WWW ",    " FTP ",    " Email ",  " News ",
                                         " Gopher ", " Archie ", " Lokal ",  " Import ",
                                         " Export ", " Info "};
  InitCommonControls();
  std::array<PROPSHEETPAGEA_V1, 10> pages{};
  for (int i = 0; i < 10; ++i) {
    pages[i].dwSize = sizeof(PROPSHEETPAGEA_V1);
    pages[i].dwFlags = PSP_USETITLE;
    pages[i].hInstance = GetModuleHandleA(nullptr);
    pages[i].pszTemplate = templates[i];
    pages[i].pszTitle = titles[i];
  }
  PROPSHEETHEADERA header{};
  header.dwSize = PROPSHEETHEADERA_V1_SIZE;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_MODELESS;
  header.hInstance = GetModuleHandleA(nullptr);
  header.pszCaption = "Vergleich";
  header.nPages = 10;
  header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages.data());
  HWND reference = reinterpret_cast<HWND>(PropertySheetA(&header));
  ASSERT_NE(reference, nullptr);
  RECT ref;
  GetWindowRect(reference, &ref);
  DestroyWindow(reference);

  WriteBytes("qxinetvz.dat", TwoRecords());
  Running run;
  StartToSheet(run, folder_.path(), false);
  RECT own, desk;
  GetWindowRect(run.sheet, &own);
  EXPECT_EQ(own.right - own.left, ref.right - ref.left);
  EXPECT_EQ(own.bottom - own.top, ref.bottom - ref.top - 30);

  EXPECT_EQ(TabTitles(run.sheet), (std::vector<std::string>(titles, titles + 10)));
  LONG style = GetWindowLongA(run.sheet, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_EQ(GetWindow(run.sheet, GW_OWNER), nullptr);
  GetWindowRect(GetDesktopWindow(), &desk);
  CenterPoint p = CenterPosition(desk.left, desk.top, desk.right - desk.left, desk.bottom - desk.top,
                                 own.right - own.left, own.bottom - own.top);
  EXPECT_EQ(own.left, p.x);
  EXPECT_EQ(own.top, p.y);
  CloseAndExpectExitZero(run);
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  return children;
}

RECT RectInParent(HWND parent, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Each page of the running program holds the controls of its template, in
// template order, at the pixel rectangles that the same template gets here,
// where the dialog manager converts it with the same font, shown or hidden
// as the template has it. Going through the pages and closing leaves the data
// file as it was.
TEST_F(QxinetTest, PagesShowTheirControlsWhereTheirTemplatesPutThem) {
  const std::string before = TwoRecords();
  WriteBytes("qxinetvz.dat", before);
  Running run;
  StartToSheet(run, folder_.path(), false);
  HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(host, nullptr);
  const struct {
    int tab;
    const char* dialog;
  } pages[] = {{0, "DLG_LINK"}, {6, "DLG_LINK"}, {7, "DLG_IMPORT"}, {8, "DLG_EXPORT"}, {9, "DLG_INFO"}};
  for (const auto& p : pages) {
    SCOPED_TRACE(p.dialog);
    ASSERT_TRUE(SelectTab(run.sheet, p.tab));
    HWND page = CurrentPage(run.sheet);
    ASSERT_NE(page, nullptr);
    HWND local = CreateDialogParamA(GetModuleHandleA(nullptr), p.dialog, host, PlainDialog, 0);
    ASSERT_NE(local, nullptr);
    std::vector<HWND> shown = Children(page), expected = Children(local);
    ASSERT_GE(expected.size(), 10u);
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
      SCOPED_TRACE("control " + std::to_string(i) + " " + GetText(expected[i]));
      EXPECT_EQ(GetDlgCtrlID(shown[i]), GetDlgCtrlID(expected[i]));
      EXPECT_EQ(ClassOf(shown[i]), ClassOf(expected[i]));
      // The same texts, but for the selected entry's link and description on a category page.
      const int id = GetDlgCtrlID(shown[i]);
      EXPECT_TRUE(GetText(shown[i]) == GetText(expected[i]) || (p.tab <= 6 && (id == 102 || id == 103)))
          << GetText(shown[i]);
      EXPECT_EQ(GetWindowLongA(shown[i], GWL_STYLE) & WS_VISIBLE,
                GetWindowLongA(expected[i], GWL_STYLE) & WS_VISIBLE);
      RECT a = RectInParent(page, shown[i]), b = RectInParent(local, expected[i]);
      EXPECT_TRUE(EqualRect(&a, &b)) << "{" << a.left << "," << a.top << "," << a.right << ","
                                     << a.bottom << "} instead of {" << b.left << "," << b.top
                                     << "," << b.right << "," << b.bottom << "}";
    }
    DestroyWindow(local);
  }
  DestroyWindow(host);
  CloseAndExpectExitZero(run);
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), before);
  EXPECT_FALSE(FileExists("qxinetvz.bak"));
}

// What stands in the way at start-up.
enum class Obstacle { WrongSize, Locked, FirstInstance };

struct Refusal {
  Obstacle obstacle;
  const char* message;
};

class QxinetRefusedTest : public QxinetTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(QxinetRefusedTest, ShowsItsBoxEndsAndLeavesTheFile) {
  const Obstacle obstacle = GetParam().obstacle;
  const std::string before = obstacle == Obstacle::WrongSize ? std::string(642, 'x') : TwoRecords();
  WriteBytes("qxinetvz.dat", before);
  HANDLE lock = INVALID_HANDLE_VALUE;
  if (obstacle == Obstacle::Locked)
    lock = CreateFileA("qxinetvz.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  Running first;
  if (obstacle == Obstacle::FirstInstance) StartToSheet(first, folder_.path(), false);

  Running run;
  StartRefused(run, folder_.path(), GetParam().message);
  if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
  if (first.sheet != nullptr) {
    EXPECT_TRUE(SelectTab(first.sheet, 1)) << "the first instance must work on";
    CloseAndExpectExitZero(first);
  }
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), before);
}

INSTANTIATE_TEST_SUITE_P(Obstacles, QxinetRefusedTest,
                         ::testing::Values(Refusal{Obstacle::WrongSize, kWrongFormat},
                                           Refusal{Obstacle::Locked, kCannotOpen},
                                           Refusal{Obstacle::FirstInstance, kOtherInstance}));

struct FavoritesCase {
  const char* value;  // nullptr: no value at all
  bool launchEnabled;
};

class QxinetFavoritesTest : public QxinetTest,
                            public ::testing::WithParamInterface<FavoritesCase> {};

TEST_P(QxinetFavoritesTest, SheetOpensWithOrWithoutTheFolder) {
  UserValue value(kShellFolders, "Favorites", GetParam().value);
  WriteBytes("qxinetvz.dat", TwoRecords());
  Running run;
  StartToSheet(run, folder_.path(), false);
  HWND page = CurrentPage(run.sheet);
  ASSERT_NE(page, nullptr);
  HWND launch = GetDlgItem(page, 107);
  ASSERT_NE(launch, nullptr);
  EXPECT_EQ(IsWindowEnabled(launch) != FALSE, GetParam().launchEnabled);
  CloseAndExpectExitZero(run);
}

INSTANTIATE_TEST_SUITE_P(Values, QxinetFavoritesTest,
                         ::testing::Values(FavoritesCase{nullptr, false},
                                           FavoritesCase{"", false},
                                           FavoritesCase{"C:\\users\\Public\\Favorites", true}));

// The data of one of this test's own dialog templates, the same as qxinet's.
std::string OwnTemplate(const char* name) {
  HRSRC found = FindResourceA(nullptr, name, RT_DIALOG);
  if (found == nullptr) return {};
  return std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                     SizeofResource(nullptr, found));
}

// Replaces the last letter of the one ASCII text (stored as UTF-16) with X.
void ChangeText(std::string& data, const std::string& text) {
  std::string wide;
  for (char c : text) wide += {c, '\0'};
  std::size_t at = data.find(wide);
  ASSERT_NE(at, std::string::npos) << text;
  ASSERT_EQ(data.find(wide, at + 1), std::string::npos) << text;
  data[at + wide.size() - 2] = 'X';
}

struct TemplateChange {
  const char* dialog;
  void (*change)(std::string&);  // nullptr: the name is changed, the template is missing
  bool refused;
};

void PrintTo(const TemplateChange& c, std::ostream* os) { *os << c.dialog; }

class QxinetChangedTemplateTest : public QxinetTest,
                                  public ::testing::WithParamInterface<TemplateChange> {};

// A copy of the program with one template changed ends at once with exit
// code 0 and shows nothing, unless the template is not one that it checks.
TEST_P(QxinetChangedTemplateTest, EndsSilentlyOnlyForTheCheckedTemplates) {
  const TemplateChange& c = GetParam();
  const std::string copy = folder_.path() + "\\qxinet-changed.exe";
  if (c.change) {
    ASSERT_TRUE(CopyFileA(QxinetExe().c_str(), copy.c_str(), FALSE));
    std::string data = OwnTemplate(c.dialog);
    ASSERT_FALSE(data.empty());
    c.change(data);
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(UpdateResourceA(update, RT_DIALOG, c.dialog, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
                                &data[0], static_cast<DWORD>(data.size())));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
  } else {
    // In the resource directory; DLG_LINX keeps the directory's order.
    std::string image = ReadBytes(QxinetExe());
    ChangeText(image, c.dialog);
    WriteBytes(copy, image);
  }
  WriteBytes("qxinetvz.dat", TwoRecords());

  Running run;
  if (!c.refused) {
    StartToSheet(run, folder_.path(), false, copy);
    CloseAndExpectExitZero(run);
    return;
  }
  run.process = StartProgram(copy, "", folder_.path());
  ASSERT_TRUE(run.process.Valid());
  DWORD code = 99;
  bool ended = false;
  for (int waited = 0; waited < kWait && !ended; waited += 50) {
    ASSERT_TRUE(TopLevelWindows(run.process.pid).empty()) << "a window was shown";
    ended = WaitForExit(run.process, 50, code);
  }
  ASSERT_TRUE(ended);
  EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, QxinetChangedTemplateTest,
    ::testing::Values(
        TemplateChange{"DLG_INFO", [](std::string& d) { ChangeText(d, "Sicherungskopie"); }, true},
        TemplateChange{"DLG_LINK", [](std::string& d) { ChangeText(d, "MS-I&Explorer"); }, true},
        TemplateChange{"DLG_INPUT", [](std::string& d) { d[2] |= WS_SYSMENU >> 16; }, true},
        TemplateChange{"DLG_INFO", [](std::string& d) { d.insert(d.end(), 4, 0); }, true},
        TemplateChange{"DLG_LINK", nullptr, true},
        TemplateChange{"DLG_IMPORT", [](std::string& d) { ChangeText(d, "&Importieren"); }, false},
        TemplateChange{"DLG_INPUT", [](std::string&) {}, false}));

}  // namespace
