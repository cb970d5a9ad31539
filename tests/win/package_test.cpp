// setup.exe and qxuninst.exe from the package folder under Wine, worked from
// outside and checked against the files and the registry of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <regex>
#include <tuple>

#include "tests/win/manager_run.h"
#include "tests/win/test_folder.h"

const int kWait = kWaitMs, kBack = 0x3023, kNext = 0x3024, kFinish = 0x3025;
const char kSetupBox[] = "QX Setup v1.0 - Fehler", kUninstallBox[] = "QX Uninstall v1.0 - Fehler";
const std::string kApps = "Software\\QXApps\\", kUninstaller = "C:\\windows\\qxuninst.exe";
const std::string kEntries = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const HKEY kLM = HKEY_LOCAL_MACHINE, kCU = HKEY_CURRENT_USER;
// The status texts of an uninstallation, joined by "|": the reading, and the removal of the listed files.
const std::string kRead = "Eintr\xE4ge aus Registry lesen...", kRemoving = kRead + "|Dateien l\xF6schen...|";
const std::string kRemoved =
    "|Verzeichnis l\xF6schen...|Eintr\xE4ge aus Registry l\xF6schen...|Deinstallation beendet...";
// The boxes that abandon a removal: no installation directory, a listed file that stays.
const std::string kNoDirectory = "Kein Eintrag f\xFCr Installationsverzeichnis in Registry gefunden !";
const std::string kStays = " konnte nicht gel\xF6scht werden ! \nDeinstallation abgebrochen !";

// Wine takes the Unix path of the package folder on its drive Z:, slashes included.
std::string Package(const std::string& name) { return "Z:" QX_PACKAGE_DIR "/" + name; }

// The text of a value, "-" if there is none; without a value name "key" if the key is there.
std::string Reg(HKEY root, const std::string& key, const char* value = nullptr) {
  char text[1024] = "key";
  DWORD size = sizeof text;
  HKEY k;
  if (!value) return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) || RegCloseKey(k) ? "-" : text;
  return RegGetValueA(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) ? "-" : text;
}
void SetReg(HKEY root, const std::string& key, const char* value, const std::string& text) {
  RegSetKeyValueA(root, key.c_str(), value, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}
void Forget(const std::string& name) {  // no installation of that name
  for (HKEY root : {kLM, kCU}) RegDeleteTreeA(root, (kApps + name).c_str());
  RegDeleteTreeA(kLM, (kEntries + name).c_str());
}

// The non-empty texts the control shows, in order and joined by "|", until
// done() holds. Read with GetWindowTextA, not WM_GETTEXT, which would wait
// while the program sleeps.
std::string FollowTexts(HWND control, const std::function<bool()>& done) {
  std::string seen, last;
  WaitUntil([&] {
    char text[512];
    const std::string now(text, GetWindowTextA(control, text, sizeof text));
    if (!now.empty() && now != last) seen += (seen.empty() ? "" : "|") + (last = now);
    return done();
  }, 40000);
  return seen;
}

struct Wizard : Running {
  HWND window;
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

// Starts "qxuninst.exe NAME" (exe: the copy to start), presses a button (102
// removes, 103 cancels) and returns the status texts until the dialog closed;
// with a box text: until that box, which abandons the run, after which the
// dialog closes at once.
std::string Uninstall(const std::string& name, int button, const std::string& box, const std::string& exe) {
  Running run;
  run.process = StartProgram(exe, name, "C:\\");
  HWND dialog = WaitForWindow(run.process.pid, "QX Uninstall v1.0", "#32770", kWait);
  EXPECT_EQ(GetText(GetDlgItem(dialog, 101)), ("Deinstallation von Programm : " + name).substr(0, 127));
  ClickButton(GetDlgItem(dialog, button));
  MessageBoxInfo shown;
  std::string seen = FollowTexts(GetDlgItem(dialog, 105), [&] {
    return !IsWindow(dialog) || (!box.empty() && WaitForMessageBox(run.process.pid, kUninstallBox, 0, shown));
  });
  if (!box.empty()) run.ExpectBox(kUninstallBox, box, dialog);
  run.ExpectEnd();
  return seen;
}

// The worked example from the package folder with a detour through another
// directory; then the installation is removed again.
TEST(PackageTest, InstallUninstall) {
  const std::string target = "C:\\Programme\\QX Internet", key = kApps + "QX Internet";
  const std::string entry = kEntries + "QX Internet", other = "C:\\Andere Stelle";
  Forget("QX Internet");
  SetFileAttributesA(kUninstaller.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(kUninstaller.c_str());
  Wizard w(Package(""), "QX Internet");  // each Go() shows the button it presses usable
  EXPECT_TRUE(GetText(w.Control(101)) == "QX Internet" && !w.Usable(kBack));
  w.Go(kNext);
  EXPECT_TRUE(GetText(w.Control(101)) == target && !w.Usable(kBack));
  TypeText(w.Control(101), other);
  w.Go(kNext);
  EXPECT_EQ(GetText(w.Control(101)),
            "Das Programm \"QX Internet\" wird installiert im Verzeichnis \"" + other + "\" ...");
  w.Go(kBack);
  EXPECT_EQ(GetText(w.Control(101)), other);
  TypeText(w.Control(101), target);
  w.Go(kNext);
  EXPECT_EQ(GetText(w.Control(102)) + GetText(w.window),
            "\"Weiter\" um die Installation zu starten...QX Setup v1.0 - QX Internet");
  HWND status = w.Control(102);  // asked now: the wizard answers no messages while it installs
  ClickButton(w.Button(kNext));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(w.Button(kFinish)) && !w.Usable(kFinish); }, 1500));
  EXPECT_EQ(FollowTexts(status, [&] { return w.Usable(kFinish); }),
            "Verzeichnis anlegen...|Dateien kopieren...|Eintr\xE4ge in Registrierung setzen...|"
            "Installation erfolgreich abgeschlossen...");
  EXPECT_EQ(GetText(w.Control(101)) + GetText(w.Button(kFinish)), "Installieren...&Schlie\xDF" "en");
  EXPECT_EQ(ReadBytes(target + "\\qxinet.exe"), ReadBytes(Package("qxinet.exe")));
  EXPECT_EQ(GetFileAttributesA(kUninstaller.c_str()), 0x25u);
  EXPECT_TRUE(std::regex_match(Reg(kLM, key, "InstallDate"), std::regex("\\d+\\.\\d+\\.20\\d\\d, .{8}")));
  EXPECT_EQ(Reg(kLM, key, "InstallPath") + "|" + Reg(kLM, key + "\\DelFiles", "File1") + "|" +
                Reg(kLM, entry, "DisplayName") + "|" + Reg(kLM, entry, "UninstallString"),
            target + "|qxinet.exe|QX Internet|qxuninst.exe QX Internet");
  ClickButton(w.Button(kFinish));
  w.ExpectEnd();

  SetReg(kCU, key, "BookmarkFile", "C:\\bookmark.htm");  // as qxinet keeps its paths
  SetReg(kLM, key + "\\DelFiles", "File3", "extra.txt");    // File1 and File3, no File2
  WriteBytes(target + "\\extra.txt", "x");
  {  // While the installed program runs, its file stays, and so do the entries.
    TestFolder data;
    WriteBytes("qxinetvz.dat", Bytes(MakeRecord("QX", "http://qx/")));  // no box about an empty file
    Running program(target + "\\qxinet.exe", "", data.path());
    ASSERT_TRUE(WaitForWindow(program.process.pid, "QX Internet 2.0 - Internetadressen verwalten", 0, kWait));
    EXPECT_EQ(Uninstall("QX Internet", 102, "Datei qxinet.exe" + kStays, kUninstaller),
              kRemoving + "L\xF6schen : qxinet.exe ...");
    EXPECT_EQ(Reg(kLM, key) + Reg(kCU, key) + Reg(kLM, entry), "keykeykey");
  }  // and ends
  EXPECT_EQ(Uninstall("QX Internet", 102, "", kUninstaller),
            kRemoving + "L\xF6schen : qxinet.exe ...|L\xF6schen : extra.txt ..." + kRemoved);
  EXPECT_EQ(Reg(kLM, key) + Reg(kCU, key) + Reg(kLM, entry) + Reg(kLM, kApps) + Reg(kCU, kApps), "---keykey");
  EXPECT_TRUE(!FileExists(target) && FileExists(kUninstaller));
}

// Both programs refuse to start without what they need: only their box, then
// exit code 0 (which fault of setup.ini gives which message is tested
// natively; here one, a source out of the package folder). Abandoned and cancelled removals
// touch nothing; a complete one leaves a file it was not given, and so the directory.
TEST(PackageTest, RefusedStarts) {
  TestFolder empty;
  const std::string uninstaller = Package("qxuninst.exe");
  const std::string noName = "QXUninstall braucht eine Programmbezeichnung als Parameter !";
  for (const auto& [exe, args, ini, text] : std::vector<std::array<std::string, 4>>{
           {Package("setup.exe"), "", "", "Parameterdatei setup.ini nicht gefunden ! \nProgramm abgebrochen !"},
           {uninstaller, "", "", noName}, {uninstaller, "  \t ", "", noName},
           {Package("setup.exe"), "", "[ProgrammName]\nName=P\n[InstDir]\nDir=P\n"
                                      "[CopyFiles]\nCOFile1=..\\a\nCNFile1=a",
            "Quelldatei in setup.ini au\xDF" "erhalb des Quellverzeichnisses ! \nProgramm abgebrochen !"}}) {
    if (!ini.empty()) WriteBytes("setup.ini", ini);
    Running run;
    run.process = StartProgram(exe, args, empty.path());
    run.ExpectBox(exe == uninstaller ? kUninstallBox : kSetupBox, text, nullptr);
    run.ExpectEnd();
  }
  // In C:\QXKeep, File1 of DelFiles is listed and b.txt is not. Each removal:
  // the name, InstallPath (nullptr: no machine key), File1, how the run goes
  // (a: abandoned, c: cancelled, r: removed), and what is left of a.txt, b.txt,
  // the machine key and the per-user key.
  const std::string probe = "QX Probe", dir = "C:\\QXKeep\\", keep = "C:\\QXKeep", kept = "abkeykey";
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const auto& [name, installPath, listed, run, left] :
       std::vector<std::tuple<std::string, const char*, std::string, char, std::string>>{
           {probe, nullptr, "a.txt", 'a', "ab-key"}, {probe, "", "a.txt", 'a', kept},
           {std::string(98, 'L'), keep.c_str(), "a.txt", 'a', kept}, {probe, keep.c_str(), "a.txt", 'c', kept},
           {probe, dir.c_str(), "a.txt", 'r', "b--"}, {probe, "C:\\QXKeep\\Neu", "..\\a.txt", 'r', "ab--"},
           {probe, keep.c_str(), "gone.txt", 'r', "ab--"}}) {  // a file already gone counts as removed
    if (installPath) SetReg(kLM, kApps + name, "InstallPath", installPath);
    if (installPath) SetReg(kLM, kApps + name + "\\DelFiles", "File1", listed);
    SetReg(kCU, kApps + name, "BookmarkFile", "x");
    for (const char* file : {"a.txt", "b.txt"}) WriteBytes(dir + file, file);
    const std::string removed = kRemoving + "L\xF6schen : " + listed + " ..." + kRemoved;
    EXPECT_EQ(Uninstall(name, run == 'c' ? 103 : 102, run == 'a' ? kNoDirectory : "", uninstaller),
              run == 'c' ? "" : run == 'a' ? kRead : removed);
    EXPECT_EQ(std::string(FileExists(dir + "a.txt") ? "a" : "") + (FileExists(dir + "b.txt") ? "b" : "") +
                  Reg(kLM, kApps + name) + Reg(kCU, kApps + name), left) << name;
    Forget(name);
  }
  for (const char* file : {"a.txt", "b.txt"}) DeleteFileA((dir + file).c_str());
  RemoveDirectoryA(dir.c_str());
}

// From a folder without the uninstaller: the runs go on without it. Each run:
// the section CopyFiles of setup.ini, the directory typed, the boxes of the run
// in order, and the status at the end (nullptr: cancelled on the directory page).
// While the directory page is shown, setup.ini is rewritten with a pair and a
// listed file out of the target folder: every run uses what was checked.
TEST(PackageTest, InstallationRuns) {
  const std::string one = "COFile1=a.txt\nCNFile1=a1.txt\n", aborted = "Installation abgebrochen !";
  const char *done = "Installation erfolgreich abgeschlossen...", *copying = "Dateien kopieren...";
  for (const auto& [copyFiles, directory, messages, status] :
       std::vector<std::tuple<std::string, std::string, std::vector<std::string>, const char*>>{
           {"COFile1=a.txt\nCNFile2=a.txt\n", "C:\\QXTest", {"Keine Dateien zu kopieren !?", aborted}, copying},
           {one, "C:\\QXTest\\A\\B\\", {}, done}, {one, "rel\\dir", {}, done},  // below setup's current folder
           {one, "C:\\QXCancel", {}, nullptr},
           {one, "", {"Installations-Verzeichnis konnte nicht erzeugt werden", aborted},
            "Verzeichnis anlegen..."},
           {"COFile1=b.txt\nCNFile1=a1.txt\n", "C:\\QXTest", {"Fehler beim Kopieren der Dateien !", aborted},
            copying}}) {
    Forget("QX Probe");
    TestFolder folder;
    WriteBytes("setup.ini", "[ProgrammName]\nName=QX Probe\n[InstDir]\nDir=C:\\QX\n[CopyFiles]\n" + copyFiles +
                                "[DelFiles]\nDFile1=a1.txt\n");
    WriteBytes("a.txt", "a");
    Wizard w(folder.path(), "QX Probe");
    w.Go(kNext);
    WriteBytes("setup.ini", "[CopyFiles]\nCOFile1=a.txt\nCNFile1=..\\out.txt\n[DelFiles]\nDFile1=..\\out.txt\n");
    SetText(w.Control(101), directory);
    if (status != nullptr) {
      w.Go(kNext);
      ClickButton(w.Button(kNext));
      for (const std::string& m : messages) w.ExpectBox(kSetupBox, m, w.window);  // owned by the wizard
      EXPECT_TRUE(WaitUntil([&] { return w.Usable(kFinish); }, kWait) && GetText(w.Control(102)) == status)
          << GetText(w.Control(102));
    }
    ClickButton(w.Button(status ? kFinish : IDCANCEL));
    w.ExpectEnd();
    const std::string key = kApps + "QX Probe", made = FileExists(directory) ? "made|" : "";  // in step 1
    EXPECT_EQ(made + ReadBytes(directory + "\\a1.txt") + Reg(kLM, key + "\\DelFiles", "File1") + "|" +
                  Reg(kLM, key, "InstallPath") + "|" + Reg(kLM, key) + Reg(kLM, kEntries + "QX Probe"),
              std::string(status && !directory.empty() ? "made|" : "") +
                  (status && messages.empty() ? "aa1.txt|" + directory + "|keykey" : "-|-|--"))
        << directory;
    EXPECT_FALSE(FileExists(directory + "\\..\\out.txt"));
  }
}
