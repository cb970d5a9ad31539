// setup.exe under Wine, worked from outside: the wizard from the package
// folder, its start-up refusals, installation runs that succeed or fail, and
// cancelling; checked against the files and the registry of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/win/package_helpers.h"
#include "tests/win/test_folder.h"

namespace {

const char kBoxTitle[] = "QX Setup v1.0 - Fehler";
const char kAborted[] = "Installation abgebrochen !";
const int kBack = 0x3023, kNext = 0x3024, kFinish = 0x3025;

struct Wizard : Running {
  HWND frame = nullptr;
  HWND Button(int id) const { return GetDlgItem(frame, id); }
  bool Usable(int id) const { return IsWindowVisible(Button(id)) && IsWindowEnabled(Button(id)); }
  HWND Control(int id) const { return GetDlgItem(CurrentPage(frame), id); }
  // Presses a wizard button and waits for the next page.
  void Go(int id) {
    HWND before = CurrentPage(frame);
    ClickButton(Button(id));
    ASSERT_TRUE(WaitUntil([&] { return CurrentPage(frame) != before; }, kWait));
  }
};

void StartWizard(Wizard& w, const std::string& dir, const std::string& name) {
  w.process = StartProgram(PackageFile("setup.exe"), "", dir);
  ASSERT_TRUE(w.process.Valid());
  w.frame = WaitForWindow(w.process.pid, "QX Setup v1.0 - " + name, "#32770", kWait);
  ASSERT_NE(w.frame, nullptr);
}

// Rows of the control's picture that hold dark pixels: the height of its text.
int InkHeight(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  int first = -1, last = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (GetRValue(GetPixel(memory, x, y)) < 64) {
        if (first < 0) first = y;
        last = y;
      }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return first < 0 ? 0 : last - first + 1;
}

HWND ChildWithText(HWND parent, const char* text) {
  return FindWindowExA(parent, nullptr, "Static", text);
}

// The worked example from the package folder, with a detour through a changed
// directory; the run itself, its files and registry values; then the
// installed program is used and the uninstall entry removes it again.
TEST(SetupTest, InstallUseUninstallFromThePackageFolder) {
  const std::string target = "C:\\Programme\\QX Internet";
  ForgetInstallation("QX Internet");
  PlaceUninstaller(false);
  DeleteFileA((target + "\\qxinet.exe").c_str());
  RemoveDirectoryA(target.c_str());
  Wizard w;
  StartWizard(w, PackageFile(""), "QX Internet");

  HWND name = w.Control(101);
  EXPECT_EQ(GetText(name), "QX Internet");
  EXPECT_TRUE(w.Usable(kNext) && !w.Usable(kBack));
  HWND welcome = ChildWithText(CurrentPage(w.frame), "Willkommen zur Installation von");
  ASSERT_NE(welcome, nullptr);
  SavePicture(w.frame, "setup-1-start");
  EXPECT_GE(InkHeight(name), 2 * InkHeight(welcome)) << "the name is not in the large font";

  w.Go(kNext);
  EXPECT_EQ(GetText(w.Control(101)), target);
  SavePicture(w.frame, "setup-2-directory");
  TypeText(w.Control(101), "C:\\Andere Stelle");
  w.Go(kNext);
  EXPECT_EQ(GetText(w.Control(101)),
            "Das Programm \"QX Internet\" wird installiert im Verzeichnis \"C:\\Andere Stelle\" ...");
  EXPECT_TRUE(w.Usable(kBack) && w.Usable(kNext));
  w.Go(kBack);
  EXPECT_EQ(GetText(w.Control(101)), "C:\\Andere Stelle");
  EXPECT_TRUE(w.Usable(kNext) && !w.Usable(kBack));
  TypeText(w.Control(101), target);
  w.Go(kNext);
  EXPECT_EQ(GetText(w.Control(102)), "\"Weiter\" um die Installation zu starten...");
  SavePicture(w.frame, "setup-3-install");
  EXPECT_EQ(GetText(w.frame), "QX Setup v1.0 - QX Internet");

  HWND status = w.Control(102);
  ClickButton(w.Button(kNext));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(w.Button(kFinish)) && !w.Usable(kFinish); }, 1500));
  EXPECT_FALSE(IsWindowVisible(w.Button(kNext)) || IsWindowVisible(w.Button(kBack)));
  SYSTEMTIME t;
  GetLocalTime(&t);
  EXPECT_EQ(FollowTexts(status, [&] { return w.Usable(kFinish); }),
            (std::vector<std::string>{"Verzeichnis anlegen...", "Dateien kopieren...",
                                      "Eintr\xE4ge in Registrierung setzen...",
                                      "Installation erfolgreich abgeschlossen..."}));
  EXPECT_EQ(GetText(w.Control(101)), "Installieren...");
  EXPECT_EQ(GetText(w.Button(kFinish)), "&Schlie\xDF" "en");

  EXPECT_EQ(ReadBytes(target + "\\qxinet.exe"), ReadBytes(PackageFile("qxinet.exe")));
  const std::string uninstaller = WindowsDirectory() + "\\qxuninst.exe";
  EXPECT_EQ(ReadBytes(uninstaller), ReadBytes(PackageFile("qxuninst.exe")));
  EXPECT_EQ(GetFileAttributesA(uninstaller.c_str()), 0x25u);
  const std::string key = std::string(kAppsKey) + "\\QX Internet";
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key, "InstallPath"), target);
  int day, month, year, hour, minute, second;
  const std::string date = RegText(HKEY_LOCAL_MACHINE, key, "InstallDate");
  ASSERT_EQ(std::sscanf(date.c_str(), "%d.%d.%d, %d:%d:%d", &day, &month, &year, &hour, &minute,
                        &second), 6) << date;
  char expected[64];
  std::snprintf(expected, sizeof expected, "%d.%d.%d, %02d:%02d:%02d", day, month, year, hour, minute, second);
  EXPECT_EQ(date, expected);
  EXPECT_EQ(year, t.wYear);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key + "\\DelFiles", "File1"), "qxinet.exe");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key + "\\DelFiles", "File2"), kMissing);
  const std::string entry = std::string(kUninstallKey) + "\\QX Internet";
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, entry, "DisplayName"), "QX Internet");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, entry, "UninstallString"), "qxuninst.exe QX Internet");

  ClickButton(w.Button(kFinish));
  ExpectExitZero(w);

  {  // The installed program starts, with a data folder of its own.
    TestFolder data;
    Running q;
    q.process = StartProgram(target + "\\qxinet.exe", "", data.path());
    ExpectBox(q.process.pid, "QX Internet 2.0", "Adressdatei ist leer !", nullptr);
    HWND sheet = WaitForWindow(q.process.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
    ASSERT_NE(sheet, nullptr);
    PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectExitZero(q);
  }
  SetRegText(HKEY_CURRENT_USER, key, "BookmarkFile", "C:\\bookmark.htm");  // as qxinet keeps its paths

  std::vector<std::string> stages = {kRead, "Dateien l\xF6schen...", "L\xF6schen : qxinet.exe ..."};
  stages.insert(stages.end(), kStagesAfterFiles.begin(), kStagesAfterFiles.end());
  EXPECT_EQ(Uninstall("QX Internet", 102), stages);
  EXPECT_FALSE(FileExists(target));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key) || KeyExists(HKEY_CURRENT_USER, key) ||
               KeyExists(HKEY_LOCAL_MACHINE, entry));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kAppsKey) && KeyExists(HKEY_CURRENT_USER, kAppsKey));
  EXPECT_TRUE(FileExists(uninstaller));
}

struct RefusalCase {
  const char* ini;  // nullptr: no setup.ini at all
  const char* message;
};

TEST(SetupTest, FaultyParameterFileEndsBeforeTheWizard) {
  const char* const tail = " \nProgramm abgebrochen !";
  const RefusalCase cases[] = {
      {nullptr, "Parameterdatei setup.ini nicht gefunden !"},
      {"[InstDir]\nDir=C:\\X\n[CopyFiles]\nCOFile1=a\nCNFile1=a\n", "Programmbezeichnung in setup.ini nicht gefunden !"},
      {"[ProgrammName]\nName=P\n[CopyFiles]\nCOFile1=a\nCNFile1=a\n", "Zielverzeichnis in setup.ini nicht gefunden !"},
      {"[ProgrammName]\nName=P\n[InstDir]\nDir=C:\\X\n[CopyFiles]\nCNFile1=a\n", "Quelldateien in setup.ini nicht gefunden !"},
      {"[ProgrammName]\nName=P\n[InstDir]\nDir=C:\\X\n[CopyFiles]\nCOFile1=a\n", "Zieldateien in setup.ini nicht gefunden !"},
  };
  for (const RefusalCase& c : cases) {
    TestFolder folder;
    if (c.ini != nullptr) WriteBytes("setup.ini", c.ini);
    Running run;
    run.process = StartProgram(PackageFile("setup.exe"), "", folder.path());
    ASSERT_TRUE(run.process.Valid());
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(run.process.pid, kBoxTitle, kWait, box));
    EXPECT_EQ(TopLevelWindows(run.process.pid), std::vector<HWND>{box.window}) << c.message;
    ExpectBox(run.process.pid, kBoxTitle, std::string(c.message) + tail, nullptr);
    ExpectExitZero(run);
  }
}

struct RunCase {
  const char* copyFiles;                  // section CopyFiles of setup.ini
  const char* directory;                  // typed on the directory page
  std::vector<std::string> messages;      // the boxes, in order
  const char* status;                     // the status line at the end
  std::vector<std::string> copied;        // files in the target directory afterwards
  std::vector<int> listed;                // File%d values written
};

// Runs the wizard with a parameter file of the case through to the end.
TEST(SetupTest, InstallationRuns) {
  const char* const ok = "Installation erfolgreich abgeschlossen...";
  const std::string any = "COFile1=a.txt\nCNFile1=a1.txt\n";
  const std::vector<RunCase> cases = {
      {"COFile1=a.txt\nCNFile2=a.txt\n", "C:\\QXTest", {"Keine Dateien zu kopieren !?", kAborted},
       "Dateien kopieren...", {}, {}},
      {"COFile1=a.txt\nCNFile1=a1.txt\nCOFile7=b.txt\nCNFile7=b7.txt\nCOFile20=c.txt\n"
       "CNFile20=c20.txt\nCOFile21=a.txt\nCNFile21=a21.txt\nCOFile3=a.txt\nCNFile4=a4.txt\n",
       "C:\\QXTest\\A\\B\\", {}, ok, {"a1.txt", "b7.txt", "c20.txt"}, {1, 7, 20}},
      {any.c_str(), "rel\\sub", {}, ok, {"a1.txt"}, {1, 7, 20}},
      {any.c_str(), "", {"Installations-Verzeichnis konnte nicht erzeugt werden", kAborted},
       "Verzeichnis anlegen...", {}, {}},
      {"COFile1=fehlt.txt\nCNFile1=a1.txt\n", "C:\\QXTest", {"Fehler beim Kopieren der Dateien !", kAborted},
       "Dateien kopieren...", {}, {}},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.directory);
    ForgetInstallation("QX Probe");
    TestFolder folder;
    WriteBytes("setup.ini", std::string("[ProgrammName]\nName=QX Probe\n[InstDir]\nDir=C:\\QXTest\n"
                                        "[CopyFiles]\n") + c.copyFiles +
                                "[DelFiles]\nDFile1=a1.txt\nDFile7=b7.txt\nDFile20=x\nDFile21=y\n");
    for (const char* f : {"a.txt", "b.txt", "c.txt"}) WriteBytes(f, f);
    Wizard w;
    StartWizard(w, folder.path(), "QX Probe");
    w.Go(kNext);
    SetText(w.Control(101), c.directory);
    w.Go(kNext);
    HWND status = w.Control(102);
    ClickButton(w.Button(kNext));
    for (const std::string& m : c.messages) ExpectBox(w.process.pid, kBoxTitle, m, w.frame);
    EXPECT_TRUE(WaitUntil([&] { return w.Usable(kFinish); }, kWait));
    EXPECT_EQ(GetText(status), c.status);
    const std::string dir = c.directory[0] == 'C' ? c.directory : folder.path() + "\\" + c.directory;
    for (const std::string& f : c.copied) EXPECT_TRUE(FileExists(dir + "\\" + f)) << f;
    EXPECT_FALSE(FileExists(dir + "\\a21.txt") || FileExists(dir + "\\a4.txt"));
    const std::string key = std::string(kAppsKey) + "\\QX Probe";
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key, "InstallPath"), c.listed.empty() ? kMissing : c.directory);
    for (int n : {1, 7, 20, 21}) {
      const bool listed = std::find(c.listed.begin(), c.listed.end(), n) != c.listed.end();
      EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, key + "\\DelFiles", ("File" + std::to_string(n)).c_str()) != kMissing,
                listed) << n;
    }
    ClickButton(w.Button(kFinish));
    ExpectExitZero(w);
  }
  ForgetInstallation("QX Probe");
}

// Closing the wizard before the run leaves the system as it was.
TEST(SetupTest, CancelBeforeTheRunWritesNothing) {
  for (int page : {0, 1}) {
    ForgetInstallation("QX Probe");
    PlaceUninstaller(false);
    TestFolder folder;
    WriteBytes("setup.ini", "[ProgrammName]\nName=QX Probe\n[InstDir]\nDir=C:\\QXCancel\n"
                            "[CopyFiles]\nCOFile1=setup.ini\nCNFile1=setup.ini\n");
    Wizard w;
    StartWizard(w, folder.path(), "QX Probe");
    if (page == 1) w.Go(kNext);
    ClickButton(w.Button(IDCANCEL));
    ExpectExitZero(w);
    EXPECT_FALSE(FileExists("C:\\QXCancel"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kAppsKey) + "\\QX Probe"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\QX Probe"));
    EXPECT_FALSE(FileExists(WindowsDirectory() + "\\qxuninst.exe"));
  }
}

}  // namespace
