// The real qxinet.exe under Wine, worked from outside as a person would: start-
// up, the ten-tab sheet, closing, refused data files, a second instance, the
// favourites folder, the Info page, and pictures of every tab.
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
void StartToSheet(Running& run, const std::string& folder, bool emptyFile) {
  run.process = StartProgram(QxinetExe(), "", folder);
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

TEST_F(QxinetTest, FirstStartInAnEmptyFolder) {
  Running run;
  StartToSheet(run, folder_.path(), true);
  std::string data = folder_.path() + "\\qxinetvz.dat";
  EXPECT_TRUE(FileExists(data));
  EXPECT_EQ(ReadBytes(data).size(), 0u);
  CloseAndExpectExitZero(run);
}

TEST_F(QxinetTest, TheSheet) {
  WriteBytes("qxinetvz.dat", TwoRecords());
  Running run;
  StartToSheet(run, folder_.path(), false);

  EXPECT_EQ(TabTitles(run.sheet),
            (std::vector<std::string>{" WWW ", " FTP ", " Email ", " News ", " Gopher ",
                                      " Archie ", " Lokal ", " Import ", " Export ", " Info "}));
  EXPECT_EQ(CurrentTab(run.sheet), 0);
  for (int id : {IDOK, IDCANCEL, 0x3021 /* Apply */, IDHELP}) {
    HWND button = GetDlgItem(run.sheet, id);
    EXPECT_TRUE(button == nullptr || !IsWindowVisible(button)) << "button " << id;
  }
  LONG style = GetWindowLongA(run.sheet, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_EQ(GetWindow(run.sheet, GW_OWNER), nullptr);

  RECT desk, own;
  GetWindowRect(GetDesktopWindow(), &desk);
  GetWindowRect(run.sheet, &own);
  CenterPoint p = CenterPosition(desk.left, desk.top, desk.right - desk.left,
                                 desk.bottom - desk.top, own.right - own.left,
                                 own.bottom - own.top);
  EXPECT_EQ(own.left, p.x);
  EXPECT_EQ(own.top, p.y);

  // Minimising works; restoring brings it back.
  PostMessageA(run.sheet, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(run.sheet) != FALSE; }, kWait));
  PostMessageA(run.sheet, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(run.sheet) == FALSE; }, kWait));

  CloseAndExpectExitZero(run);
}

// A sheet of the same ten templates and header, without the program's
// callback: the program's sheet must be exactly 30 pixels lower.
TEST_F(QxinetTest, SheetIsThirtyPixelsLowerThanItsOwnLayout) {
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
  RECT own;
  GetWindowRect(run.sheet, &own);
  EXPECT_EQ(own.right - own.left, ref.right - ref.left);
  EXPECT_EQ(own.bottom - own.top, ref.bottom - ref.top - 30);
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
// where the dialog manager converts it with the same font; the templates'
// dialog units themselves are checked by the template layout tests.
TEST_F(QxinetTest, PagesShowTheirControlsWhereTheirTemplatesPutThem) {
  WriteBytes("qxinetvz.dat", TwoRecords());
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
      EXPECT_EQ(GetText(shown[i]), GetText(expected[i]));
      RECT a = RectInParent(page, shown[i]), b = RectInParent(local, expected[i]);
      EXPECT_TRUE(EqualRect(&a, &b)) << "{" << a.left << "," << a.top << "," << a.right << ","
                                     << a.bottom << "} instead of {" << b.left << "," << b.top
                                     << "," << b.right << "," << b.bottom << "}";
    }
    DestroyWindow(local);
  }
  DestroyWindow(host);
  CloseAndExpectExitZero(run);
}

TEST_F(QxinetTest, ClosingLeavesTheDataFileAsItWas) {
  const std::string before = TwoRecords();
  WriteBytes("qxinetvz.dat", before);
  Running run;
  StartToSheet(run, folder_.path(), false);
  for (int tab : {1, 7, 8, 9, 0}) ASSERT_TRUE(SelectTab(run.sheet, tab));
  CloseAndExpectExitZero(run);
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), before);
  EXPECT_FALSE(FileExists("qxinetvz.bak"));
}

TEST_F(QxinetTest, DataFileOfTheWrongSize) {
  const std::string before(642, 'x');
  WriteBytes("qxinetvz.dat", before);
  Running run;
  StartRefused(run, folder_.path(), kWrongFormat);
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), before);
}

TEST_F(QxinetTest, DataFileThatCannotBeOpened) {
  WriteBytes("qxinetvz.dat", TwoRecords());
  HANDLE lock = CreateFileA("qxinetvz.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Running run;
  StartRefused(run, folder_.path(), kCannotOpen);
  CloseHandle(lock);
}

TEST_F(QxinetTest, SecondInstanceWhileTheFirstHoldsRecords) {
  const std::string before = TwoRecords();
  WriteBytes("qxinetvz.dat", before);
  Running first;
  StartToSheet(first, folder_.path(), false);

  Running second;
  StartRefused(second, folder_.path(), kOtherInstance);

  EXPECT_TRUE(IsWindow(first.sheet));
  EXPECT_TRUE(SelectTab(first.sheet, 1));
  CloseAndExpectExitZero(first);
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), before);
}

TEST_F(QxinetTest, SecondInstanceWhileTheFirstHoldsAnEmptyFile) {
  Running first;
  StartToSheet(first, folder_.path(), true);
  Running second;
  StartToSheet(second, folder_.path(), true);
  EXPECT_NE(first.sheet, second.sheet);
  CloseAndExpectExitZero(second);
  CloseAndExpectExitZero(first);
}

// Sets or removes the "Favorites" value for the life of the object.
class FavoritesValue {
 public:
  explicit FavoritesValue(const char* value) {
    RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key_, nullptr);
    DWORD size = sizeof saved_;
    had_ = RegQueryValueExA(key_, "Favorites", nullptr, nullptr,
                            reinterpret_cast<BYTE*>(saved_), &size) == ERROR_SUCCESS;
    if (value)
      RegSetValueExA(key_, "Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     static_cast<DWORD>(std::strlen(value) + 1));
    else
      RegDeleteValueA(key_, "Favorites");
  }
  ~FavoritesValue() {
    if (had_)
      RegSetValueExA(key_, "Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_),
                     static_cast<DWORD>(std::strlen(saved_) + 1));
    else
      RegDeleteValueA(key_, "Favorites");
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  char saved_[MAX_PATH] = "";
  bool had_ = false;
};

struct FavoritesCase {
  const char* value;  // nullptr: no value at all
  bool launchEnabled;
};

class QxinetFavoritesTest : public QxinetTest,
                            public ::testing::WithParamInterface<FavoritesCase> {};

TEST_P(QxinetFavoritesTest, SheetOpensWithOrWithoutTheFolder) {
  FavoritesValue value(GetParam().value);
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

TEST_F(QxinetTest, InfoPageShowsItsTexts) {
  WriteBytes("qxinetvz.dat", TwoRecords());
  Running run;
  StartToSheet(run, folder_.path(), false);
  ASSERT_TRUE(SelectTab(run.sheet, 9));
  HWND page = CurrentPage(run.sheet);
  ASSERT_NE(page, nullptr);
  std::vector<std::string> texts;
  for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[32];
    GetClassNameA(c, cls, sizeof cls);
    if (std::string(cls) == "Static" && IsWindowVisible(c)) texts.push_back(GetText(c));
  }
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[0], "QX Internet f\xFCr Microsoft Windows 95 - Internetadressen verwalten");
  for (const std::string& t : texts) EXPECT_FALSE(t.empty());
  CloseAndExpectExitZero(run);
}

TEST_F(QxinetTest, PicturesOfEveryTab) {
  WriteBytes("qxinetvz.dat", TwoRecords());
  Running run;
  StartToSheet(run, folder_.path(), false);
  const char* names[10] = {"www",    "ftp",    "email",  "news",   "gopher",
                           "archie", "lokal",  "import", "export", "info"};
  for (int tab = 0; tab < 10; ++tab) {
    ASSERT_TRUE(SelectTab(run.sheet, tab));
    std::string file = PicturesDir() + "\\tab-" + std::to_string(tab) + "-" + names[tab] + ".bmp";
    EXPECT_TRUE(SaveWindowPicture(run.sheet, file)) << file;
    EXPECT_GT(ReadBytes(file).size(), 10000u) << file;
  }
  CloseAndExpectExitZero(run);
}

// A copy of the program whose Info page template was changed afterwards ends at
// once with exit code 0 and shows nothing.
TEST_F(QxinetTest, ChangedTemplateEndsTheProgramSilently) {
  std::string image = ReadBytes(QxinetExe());
  ASSERT_GT(image.size(), 0u);
  // The first line of the Info page, as the template stores it (UTF-16LE).
  const std::string line = "QX Internet f\xFCr Microsoft Windows 95";
  std::string wide;
  for (char c : line) {
    wide += c;
    wide += '\0';
  }
  std::size_t at = image.find(wide);
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(image.find(wide, at + 1), std::string::npos) << "the text must be unique";
  image[at] = 'Y';
  const std::string copy = folder_.path() + "\\qxinet-changed.exe";
  WriteBytes(copy, image);
  WriteBytes("qxinetvz.dat", TwoRecords());

  Running run;
  run.process = StartProgram(copy, "", folder_.path());
  ASSERT_TRUE(run.process.Valid());
  DWORD code = 99;
  bool ended = false;
  for (int waited = 0; waited < kWait && !ended; waited += 50) {
    EXPECT_TRUE(TopLevelWindows(run.process.pid).empty()) << "a window was shown";
    ended = WaitForExit(run.process, 50, code);
  }
  ASSERT_TRUE(ended);
  EXPECT_EQ(code, 0u);

  // The unchanged program, started the same way, does show its sheet.
  Running good;
  StartToSheet(good, folder_.path(), false);
  CloseAndExpectExitZero(good);
}

}  // namespace
