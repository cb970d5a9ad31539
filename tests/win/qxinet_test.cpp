// The real qxinet.exe under Wine, worked from outside: the first start, two
// instances side by side, and every start that is refused, by a box or, for a
// copy of the program with a changed template, silently.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"

namespace {

const char kCaption[] = "QX Internet 2.0 - Internetadressen verwalten";
const char kBoxTitle[] = "QX Internet 2.0";
const int kWait = 20000;

std::string QxinetExe() {
  std::string path = "Z:" QXINET_EXE;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

std::string TwoRecords() {
  return Bytes(MakeRecord("Beispiel", "http://www.example.org/", "Ein Beispiel")) +
         Bytes(MakeRecord("Dateien", "ftp://ftp.example.org/pub/", "Ablage"));
}

// A started qxinet, ended at the end of the test whatever happened.
struct Running {
  Process process;
  HWND sheet = nullptr;
  ~Running() {
    DWORD code;
    if (process.Valid() && !WaitForExit(process, 0, code)) KillProgram(process);
  }
  // The box the program shows unowned (answered), then the sheet if sheet is set.
  void Start(const std::string& folder, const char* box, bool toSheet,
             const std::string& exe = QxinetExe()) {
    process = StartProgram(exe, "", folder);
    ASSERT_TRUE(process.Valid());
    MessageBoxInfo shown;
    if (box) {
      ASSERT_TRUE(WaitForMessageBox(process.pid, kBoxTitle, kWait, shown)) << "no box: " << box;
      EXPECT_EQ(shown.text, box);
      EXPECT_EQ(shown.icon, static_cast<UINT>(MB_ICONEXCLAMATION));
      EXPECT_EQ(shown.owner, nullptr);
      EXPECT_TRUE(AnswerMessageBox(shown, IDOK));
    }
    if (toSheet) sheet = WaitForWindow(process.pid, kCaption, nullptr, kWait);
    ASSERT_TRUE(!toSheet || sheet != nullptr) << "the sheet did not appear";
  }
  // Closed (unless it ends by itself) and ended with exit code 0.
  void ExpectEnd() {
    if (sheet) PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 99;
    ASSERT_TRUE(WaitForExit(process, kWait, code)) << "still running";
    EXPECT_EQ(code, 0u);
  }
};

class QxinetTest : public ::testing::Test {
 protected:
  TestFolder folder_;
};

// The first start creates an empty data file; a second copy may open it too
// while it holds no records.
TEST_F(QxinetTest, FirstStartInAnEmptyFolderAndASecondBesideIt) {
  Running first, second;
  first.Start(folder_.path(), "Adressdatei ist leer !", true);
  EXPECT_TRUE(FileExists("qxinetvz.dat"));
  EXPECT_EQ(ReadBytes("qxinetvz.dat").size(), 0u);
  second.Start(folder_.path(), "Adressdatei ist leer !", true);
  second.ExpectEnd();
  first.ExpectEnd();
}

// Instances in two folders each show their own file, and closing leaves it as it was.
TEST_F(QxinetTest, InstancesInTwoFoldersEachShowTheirOwnFile) {
  const std::string other = folder_.path() + "\\anderswo";
  ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
  WriteBytes("qxinetvz.dat", TwoRecords());
  WriteBytes(other + "\\qxinetvz.dat", Bytes(MakeRecord("Dort", "http://dort/")));
  Running here, there;
  here.Start(folder_.path(), nullptr, true);
  there.Start(other, nullptr, true);
  EXPECT_EQ(ListItems(GetDlgItem(CurrentPage(here.sheet), 101)),
            (std::vector<std::string>{"Beispiel"}));
  EXPECT_EQ(ListItems(GetDlgItem(CurrentPage(there.sheet), 101)), std::vector<std::string>{"Dort"});
  there.ExpectEnd();
  here.ExpectEnd();
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), TwoRecords());
  EXPECT_FALSE(FileExists("qxinetvz.bak"));
}

enum class Obstacle { WrongSize, Locked, FirstInstance };

class QxinetRefusedTest : public QxinetTest,
                          public ::testing::WithParamInterface<std::pair<Obstacle, const char*>> {};

// The box without an owner, then the end with exit code 0: a sheet would keep
// it running. The file stays as it was, and a first instance works on.
TEST_P(QxinetRefusedTest, ShowsItsBoxEndsAndLeavesTheFile) {
  const Obstacle obstacle = GetParam().first;
  const std::string before = obstacle == Obstacle::WrongSize ? std::string(642, 'x') : TwoRecords();
  WriteBytes("qxinetvz.dat", before);
  HANDLE lock = INVALID_HANDLE_VALUE;
  if (obstacle == Obstacle::Locked)
    lock = CreateFileA("qxinetvz.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  Running first, run;
  if (obstacle == Obstacle::FirstInstance) first.Start(folder_.path(), nullptr, true);
  run.Start(folder_.path(), GetParam().second, false);
  run.ExpectEnd();
  if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
  if (first.sheet != nullptr) {
    EXPECT_TRUE(SelectTab(first.sheet, 1)) << "the first instance must work on";
    first.ExpectEnd();
  }
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), before);
}

INSTANTIATE_TEST_SUITE_P(Obstacles, QxinetRefusedTest, ::testing::Values(
    std::make_pair(Obstacle::WrongSize, "Falsches Dateiformat !"),
    std::make_pair(Obstacle::Locked, "Adressdatei kann nicht ge\xF6" "ffnet werden !"),
    std::make_pair(Obstacle::FirstInstance, "Adressdatenbank ist bereits von einer anderen "
                   "Instanz dieses Programms ge\xF6" "ffnet ! Programm wird beendet !")));

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
    HMODULE image = LoadLibraryExA(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(image, c.dialog, RT_DIALOG);
    ASSERT_NE(found, nullptr);
    std::string data(static_cast<const char*>(LockResource(LoadResource(image, found))),
                     SizeofResource(image, found));
    FreeLibrary(image);
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
  run.Start(folder_.path(), nullptr, !c.refused, copy);
  if (!c.refused) return run.ExpectEnd();
  DWORD code = 99;
  EXPECT_TRUE(WaitUntil([&] { return !TopLevelWindows(run.process.pid).empty() ||
                                     WaitForExit(run.process, 0, code); }, kWait));
  EXPECT_TRUE(TopLevelWindows(run.process.pid).empty()) << "a window was shown";
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
