// setup.exe and qxuninst.exe from the package folder under Wine, worked from
// outside and checked against the files and the registry of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"

namespace {

using Texts = std::vector<std::string>;
const int kWait = 20000, kBack = 0x3023, kNext = 0x3024, kFinish = 0x3025;
const char kSetupBox[] = "QX Setup v1.0 - Fehler", kUninstallBox[] = "QX Uninstall v1.0 - Fehler";
const std::string kApps = "Software\\QXApps\\", kEntries = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kRead = "Eintr\xE4ge aus Registry lesen...", kUninstaller = "C:\\windows\\qxuninst.exe";
const HKEY kLM = HKEY_LOCAL_MACHINE, kCU = HKEY_CURRENT_USER;

// Wine takes the Unix path of the package folder on its drive Z:, slashes included.
std::string Package(const std::string& name) { return "Z:" QX_PACKAGE_DIR "/" + name; }

std::string RegText(HKEY root, const std::string& key, const std::string& value) {
  char text[1024];
  DWORD size = sizeof text;
  return RegGetValueA(root, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) ? "-" : text;
}
bool KeyExists(HKEY root, const std::string& key) {
  HKEY k;
  return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS && !RegCloseKey(k);
}
void SetRegText(HKEY root, const std::string& key, const std::string& value, const std::string& text) {
  RegSetKeyValueA(root, key.c_str(), value.c_str(), REG_SZ, text.c_str(), DWORD(text.size() + 1));
}
// No installation of that name; the uninstaller in the Windows directory or not.
void Forget(const std::string& name, bool uninstaller) {
  for (HKEY root : {kLM, kCU}) RegDeleteTreeA(root, (kApps + name).c_str());
  RegDeleteTreeA(kLM, (kEntries + name).c_str());
  SetFileAttributesA(kUninstaller.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(kUninstaller.c_str());
  if (uninstaller) CopyFileA(Package("qxuninst.exe").c_str(), kUninstaller.c_str(), FALSE);
}

// A started program, killed at the end of the test if it still runs.
struct Running {
  Process process;
  HWND window = nullptr;
  DWORD code = 99;
  ~Running() {
    if (process.Valid() && !WaitForExit(process, 0, code)) KillProgram(process);
  }
  void ExpectExitZero() { EXPECT_TRUE(WaitForExit(process, kWait, code) && code == 0); }
  // Expects and answers the box; alone: the program shows no other window.
  void ExpectBox(const char* title, const std::string& text, HWND owner, bool alone = false) {
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(process.pid, title, kWait, box)) << text;
    EXPECT_EQ(box.text, text);
    EXPECT_TRUE(box.icon == MB_ICONEXCLAMATION && box.owner == owner);
    EXPECT_TRUE(!alone || TopLevelWindows(process.pid) == std::vector<HWND>{box.window});
    EXPECT_TRUE(AnswerMessageBox(box, IDOK) && WaitForWindowGone(box.window, kWait));
  }
  // Exactly this command line, as the platform's list of programs starts it.
  void StartCommand(std::string line) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &info));
    CloseHandle(info.hThread);
    process = Process{info.hProcess, info.dwProcessId};
  }
};

// The non-empty texts the control shows, in order, until done() holds. Read with
// GetWindowTextA, not WM_GETTEXT, which would wait while the program sleeps.
Texts FollowTexts(HWND control, const std::function<bool()>& done) {
  Texts seen;
  WaitUntil([&] {
    char text[512];
    const std::string now(text, GetWindowTextA(control, text, sizeof text));
    if (!now.empty() && (seen.empty() || seen.back() != now)) seen.push_back(now);
    return done();
  }, 40000);
  return seen;
}

void Picture(HWND window, const std::string& name) { EXPECT_TRUE(SaveWindowPicture(window, PicturesDir() + "\\" + name + ".bmp")); }

struct Wizard : Running {
  Wizard(const std::string& dir, const std::string& name) {
    process = StartProgram(Package("setup.exe"), "", dir);
    window = WaitForWindow(process.pid, "QX Setup v1.0 - " + name, "#32770", kWait);
  }
  HWND Button(int id) const { return GetDlgItem(window, id); }
  bool Usable(int id) const { return IsWindowVisible(Button(id)) && IsWindowEnabled(Button(id)); }
  HWND Control(int id) const { return GetDlgItem(CurrentPage(window), id); }
  void Go(int id) {  // to another page
    HWND before = CurrentPage(window);
    ClickButton(Button(id));
    ASSERT_TRUE(WaitUntil([&] { return CurrentPage(window) != before; }, kWait));
  }
};

// Starts "qxuninst.exe NAME", presses a button (102 removes, 103 cancels) and
// returns the status texts until the dialog closed; abandoned: with the box of
// a missing installation directory, after which the dialog closes at once.
Texts Uninstall(const std::string& name, int button, bool abandoned = false) {
  Running run;
  run.StartCommand("qxuninst.exe " + name);
  HWND dialog = WaitForWindow(run.process.pid, "QX Uninstall v1.0", "#32770", kWait);
  if (dialog == nullptr) return {"no dialog"};
  EXPECT_EQ(GetText(GetDlgItem(dialog, 101)), ("Deinstallation von Programm : " + name).substr(0, 127));
  if (name == "QX Internet") Picture(dialog, "qxuninst");
  ClickButton(GetDlgItem(dialog, button));
  MessageBoxInfo box;
  Texts seen = FollowTexts(GetDlgItem(dialog, 105), [&] {
    return !IsWindow(dialog) || (abandoned && WaitForMessageBox(run.process.pid, kUninstallBox, 0, box));
  });
  if (abandoned) run.ExpectBox(kUninstallBox, "Kein Eintrag f\xFCr Installationsverzeichnis in Registry gefunden !", dialog);
  EXPECT_TRUE(WaitForWindowGone(dialog, kWait));
  run.ExpectExitZero();
  return seen;
}

// The worked example from the package folder with a detour through another
// directory; then the installed program is used and removed again.
TEST(PackageTest, InstallUseUninstall) {
  const std::string target = "C:\\Programme\\QX Internet", key = kApps + "QX Internet", entry = kEntries + "QX Internet";
  Forget("QX Internet", false);
  DeleteFileA((target + "\\qxinet.exe").c_str());
  Wizard w(Package(""), "QX Internet");
  EXPECT_EQ(GetText(w.Control(101)), "QX Internet");
  EXPECT_TRUE(w.Usable(kNext) && !w.Usable(kBack));
  Picture(w.window, "setup-1-start");
  w.Go(kNext);
  EXPECT_EQ(GetText(w.Control(101)), target);
  EXPECT_TRUE(w.Usable(kNext) && !w.Usable(kBack));
  Picture(w.window, "setup-2-directory");
  TypeText(w.Control(101), "C:\\Andere Stelle");
  w.Go(kNext);
  EXPECT_EQ(GetText(w.Control(101)), "Das Programm \"QX Internet\" wird installiert im Verzeichnis \"C:\\Andere Stelle\" ...");
  EXPECT_TRUE(w.Usable(kNext) && w.Usable(kBack));
  w.Go(kBack);
  EXPECT_EQ(GetText(w.Control(101)), "C:\\Andere Stelle");
  TypeText(w.Control(101), target);
  w.Go(kNext);
  EXPECT_EQ(GetText(w.Control(102)) + GetText(w.window), "\"Weiter\" um die Installation zu starten...QX Setup v1.0 - QX Internet");
  Picture(w.window, "setup-3-install");
  HWND status = w.Control(102);
  ClickButton(w.Button(kNext));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(w.Button(kFinish)) && !w.Usable(kFinish); }, 1500));
  EXPECT_EQ(FollowTexts(status, [&] { return w.Usable(kFinish); }),
            (Texts{"Verzeichnis anlegen...", "Dateien kopieren...", "Eintr\xE4ge in Registrierung setzen...",
                   "Installation erfolgreich abgeschlossen..."}));
  EXPECT_EQ(GetText(w.Control(101)) + GetText(w.Button(kFinish)), "Installieren...&Schlie\xDF" "en");
  EXPECT_EQ(ReadBytes(target + "\\qxinet.exe"), ReadBytes(Package("qxinet.exe")));
  EXPECT_EQ(GetFileAttributesA(kUninstaller.c_str()), 0x25u);
  EXPECT_TRUE(std::regex_match(RegText(kLM, key, "InstallDate"), std::regex("[1-9]\\d?\\.[1-9]\\d?\\.20\\d\\d, [0-2]\\d:[0-5]\\d:[0-5]\\d")));
  EXPECT_EQ(RegText(kLM, key, "InstallPath") + "|" + RegText(kLM, key + "\\DelFiles", "File1") + "|" +
                RegText(kLM, entry, "DisplayName") + "|" + RegText(kLM, entry, "UninstallString"),
            target + "|qxinet.exe|QX Internet|qxuninst.exe QX Internet");
  ClickButton(w.Button(kFinish));
  w.ExpectExitZero();

  {  // the installed program starts, with a data folder of its own
    TestFolder data;
    Running q;
    q.process = StartProgram(target + "\\qxinet.exe", "", data.path());
    q.ExpectBox("QX Internet 2.0", "Adressdatei ist leer !", nullptr);
    EXPECT_TRUE(WaitForWindow(q.process.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait));
  }
  SetRegText(kCU, key, "BookmarkFile", "C:\\bookmark.htm");  // as qxinet keeps its paths
  SetRegText(kLM, key + "\\DelFiles", "File3", "extra.txt");    // File1 and File3, no File2
  WriteBytes(target + "\\extra.txt", "x");

  EXPECT_EQ(Uninstall("QX Internet", 102),
            (Texts{kRead, "Dateien l\xF6schen...", "L\xF6schen : qxinet.exe ...", "L\xF6schen : extra.txt ...",
                   "Verzeichnis l\xF6schen...", "Eintr\xE4ge aus Registry l\xF6schen...", "Deinstallation beendet..."}));
  EXPECT_FALSE(FileExists(target) || KeyExists(kLM, key) || KeyExists(kCU, key) || KeyExists(kLM, entry));
  EXPECT_TRUE(KeyExists(kLM, kApps) && KeyExists(kCU, kApps) && FileExists(kUninstaller));
}

// Both programs refuse to start without what they need: only their box, then
// exit code 0 (which fault of setup.ini gives which message is tested
// natively). Abandoned and cancelled removals touch nothing; a complete one
// leaves a file it was not given, and so the directory.
TEST(PackageTest, RefusedStarts) {
  TestFolder empty;
  Running setup;
  setup.process = StartProgram(Package("setup.exe"), "", empty.path());
  setup.ExpectBox(kSetupBox, "Parameterdatei setup.ini nicht gefunden ! \nProgramm abgebrochen !", nullptr, true);
  setup.ExpectExitZero();
  Forget("-", true);
  for (const char* command : {"qxuninst.exe", "qxuninst.exe   \t "}) {
    Running run;
    run.StartCommand(command);
    run.ExpectBox(kUninstallBox, "QXUninstall braucht eine Programmbezeichnung als Parameter !", nullptr, true);
    run.ExpectExitZero();
  }
  // In C:\QXKeep, a.txt is listed in DelFiles and b.txt is not; left: which of
  // a.txt, b.txt, the machine key and the per-user key are there afterwards.
  const std::string tooLong(98, 'L'), dir = "C:\\QXKeep\\";
  const struct {
    std::string name;
    const char* installPath;  // nullptr: no machine key
    const char* listed;       // File1 of DelFiles
    int button;
    Texts seen;
    const char* left;
  } removals[] = {
      {"QX Probe", nullptr, "a.txt", 102, {kRead}, "abU"}, {tooLong, "C:\\QXKeep", "a.txt", 102, {kRead}, "abMU"},
      {"QX Probe", "", "a.txt", 102, {kRead}, "abMU"}, {"QX Probe", "C:\\QXKeep", "a.txt", 103, {}, "abMU"},
      {"QX Probe", "C:\\QXKeep\\", "a.txt", 102, {kRead, "Dateien l\xF6schen...", "L\xF6schen : a.txt ...", "Verzeichnis l\xF6schen...",
                                           "Eintr\xE4ge aus Registry l\xF6schen...", "Deinstallation beendet..."}, "b"},
      {"QX Probe", "C:\\QXKeep\\Neu", "..\\a.txt", 102, {kRead, "Dateien l\xF6schen...", "L\xF6schen : ..\\a.txt ...",
                                           "Verzeichnis l\xF6schen...", "Eintr\xE4ge aus Registry l\xF6schen...", "Deinstallation beendet..."}, "ab"},
  };
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const auto& r : removals) {
    if (r.installPath) SetRegText(kLM, kApps + r.name, "InstallPath", r.installPath);
    if (r.installPath) SetRegText(kLM, kApps + r.name + "\\DelFiles", "File1", r.listed);
    SetRegText(kCU, kApps + r.name, "BookmarkFile", "x");
    for (const char* file : {"a.txt", "b.txt"}) WriteBytes(dir + file, file);
    EXPECT_EQ(Uninstall(r.name, r.button, r.seen.size() == 1), r.seen) << r.name;
    EXPECT_EQ(std::string(FileExists(dir + "a.txt") ? "a" : "") + (FileExists(dir + "b.txt") ? "b" : "") +
                  (KeyExists(kLM, kApps + r.name) ? "M" : "") + (KeyExists(kCU, kApps + r.name) ? "U" : ""), r.left) << r.name;
    Forget(r.name, true);
  }
  for (const char* file : {"a.txt", "b.txt"}) DeleteFileA((dir + file).c_str());
  RemoveDirectoryA(dir.c_str());
}

// From a folder without the uninstaller: the runs go on without it.
TEST(PackageTest, InstallationRuns) {
  const std::string one = "COFile1=a.txt\nCNFile1=a1.txt\n", aborted = "Installation abgebrochen !";
  const struct {
    std::string copyFiles;  // section CopyFiles of setup.ini
    const char* directory;  // typed on the directory page
    Texts messages;         // the boxes of the run, in order
    const char* status;     // nullptr: cancelled on the directory page
  } cases[] = {
      {"COFile1=a.txt\nCNFile2=a.txt\n", "C:\\QXTest", {"Keine Dateien zu kopieren !?", aborted}, "Dateien kopieren..."},
      {one, "C:\\QXTest\\A\\B\\", {}, "Installation erfolgreich abgeschlossen..."},
      {one, "rel\\dir", {}, "Installation erfolgreich abgeschlossen..."},  // below setup's current folder
      {one, "C:\\QXCancel", {}, nullptr},
      {one, "", {"Installations-Verzeichnis konnte nicht erzeugt werden", aborted}, "Verzeichnis anlegen..."},
      {"COFile1=fehlt.txt\nCNFile1=a1.txt\n", "C:\\QXTest", {"Fehler beim Kopieren der Dateien !", aborted}, "Dateien kopieren..."},
  };
  for (const auto& c : cases) {
    Forget("QX Probe", false);
    TestFolder folder;
    WriteBytes("setup.ini", "[ProgrammName]\nName=QX Probe\n[InstDir]\nDir=C:\\QX\n[CopyFiles]\n" +
                                c.copyFiles + "[DelFiles]\nDFile1=a1.txt\n");
    WriteBytes("a.txt", "a");
    Wizard w(folder.path(), "QX Probe");
    w.Go(kNext);
    SetText(w.Control(101), c.directory);
    if (c.status != nullptr) {
      w.Go(kNext);
      ClickButton(w.Button(kNext));
      for (const std::string& m : c.messages) w.ExpectBox(kSetupBox, m, w.window);  // owned by the wizard
      EXPECT_TRUE(WaitUntil([&] { return w.Usable(kFinish); }, kWait));
      EXPECT_EQ(GetText(w.Control(102)), c.status);
    }
    ClickButton(w.Button(c.status ? kFinish : IDCANCEL));
    w.ExpectExitZero();
    const bool installed = c.status && c.messages.empty();
    EXPECT_EQ(FileExists(c.directory), c.status && *c.directory != '\0');  // made in step 1
    EXPECT_EQ(ReadBytes(c.directory + std::string("\\a1.txt")) + RegText(kLM, kApps + "QX Probe\\DelFiles", "File1") + "|" +
                  RegText(kLM, kApps + "QX Probe", "InstallPath"), installed ? "aa1.txt|" + std::string(c.directory) : "-|-");
    EXPECT_EQ(KeyExists(kLM, kApps + "QX Probe") + KeyExists(kLM, kEntries + "QX Probe"), 2 * installed) << c.directory;
  }
}

}  // namespace
