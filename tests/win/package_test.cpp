// setup.exe and qxuninst.exe from the package folder under Wine, worked from
// outside and checked against the files and the registry of the test prefix.
#include <windows.h>
#include <sddl.h>

#include <array>
#include <filesystem>
#include <regex>

#include "installer/resource.h"
#include "tests/win/manager_run.h"

// The wizard's status line; the uninstaller's has another number under the same name.
const int kWizardStatus = IDC_STATUS;
#undef IDC_STATUS
#include "uninstaller/resource.h"

const int kBack = 0x3023, kNext = 0x3024, kFinish = 0x3025;  // the wizard's buttons
const char kSetupBox[] = "QX Setup v1.0 - Fehler", kUninstallBox[] = "QX Uninstall v1.0 - Fehler";
const std::string kApps = "Software\\QXApps\\", kUninstaller = "C:\\windows\\qxuninst.exe";
// Read-only, system, archive: as setup marks the uninstaller.
const DWORD kMarked = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
const std::string kEntries = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const HKEY kLM = HKEY_LOCAL_MACHINE, kCU = HKEY_CURRENT_USER;
// The status texts of an uninstallation as Follow() tells them: the reading,
// the removal of the listed files, and the end of a complete run.
const std::string kRead = "|Eintr\xE4ge aus Registry lesen...", kRemoving = kRead + "|Dateien l\xF6schen...";
const std::string kRemoved =
    "|Verzeichnis l\xF6schen...|Eintr\xE4ge aus Registry l\xF6schen...|Deinstallation beendet...";

// Wine takes the Unix path of the package folder on its drive Z:, slashes included.
std::string Package(const std::string& name) { return "Z:" QX_PACKAGE_DIR "/" + name; }
// A symbolic link to a folder, as a full path.
const std::string kLink = std::regex_replace("Z:" QX_LINK_DIR, std::regex("/"), "\\");

// The access list of a folder as text.
std::string AccessList(const std::string& folder) {
  char sd[4096], *text = nullptr;
  DWORD size;
  if (!GetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, sd, sizeof sd, &size) ||
      !ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr))
    return "unreadable";
  return std::unique_ptr<char, decltype(&LocalFree)>(text, LocalFree).get();
}

// Which keys of an installation are there: "machine" (HKLM\Software\QXApps\name),
// "user" (HKCU's), "entry" (the uninstall entry), each followed by a blank.
bool HasKey(HKEY root, const std::string& key) {
  HKEY k;
  return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS && RegCloseKey(k) == ERROR_SUCCESS;
}
std::string KeysLeft(const std::string& name) {
  return std::string(HasKey(kLM, kApps + name) ? "machine " : "") + (HasKey(kCU, kApps + name) ? "user " : "") +
         (HasKey(kLM, kEntries + name) ? "entry " : "");
}
void Forget(const std::string& name) {  // no installation of that name
  for (HKEY root : {kLM, kCU}) RegDeleteTreeA(root, (kApps + name).c_str());
  RegDeleteTreeA(kLM, (kEntries + name).c_str());
}

// What the program shows until done() holds: each new text of the status line
// after a "|", each box of that title after "|!" (answered; one not owned by
// window says so).
// After a box the status line is no longer read: an abandoned removal says so
// only for a moment. Read with GetWindowTextA, not WM_GETTEXT, which would
// wait while the program sleeps.
std::string Follow(Running& run, HWND window, HWND status, const char* title, const std::function<bool()>& done) {
  std::string seen, last;
  const bool ended = WaitUntil([&] {
    const bool finished = done();  // then the status line once more: it may have changed just before
    char text[512] = "";
    GetWindowTextA(status, text, sizeof text);  // seen under Wine: bytes of no text from a window going away
    const std::string now = IsWindow(status) ? text : "";
    if (seen.find("|!") == std::string::npos && !now.empty() && now != last) seen += "|" + (last = now);
    MessageBoxInfo box;
    if (WaitForMessageBox(run.process.pid, title, 0, box)) {
      seen += (box.owner == window ? "|!" : "|!(another owner) ") + box.text;
      AnswerMessageBox(box, IDOK), WaitForWindowGone(box.window, kWaitMs);
    }
    return finished;
  }, kWaitMs);
  EXPECT_TRUE(ended) << "followed: " << seen << "; seen: " << Seen(run.process);
  return seen;
}

// Starts "qxuninst.exe NAME" (exe: the copy to start), presses a button
// (IDC_REMOVE or IDC_CANCEL) and follows the run until the program ended.
std::string Uninstall(const std::string& name, int button, const std::string& exe = kUninstaller) {
  Running run(exe, name, "C:\\");
  HWND dialog = WaitForWindow(run.process.pid, "QX Uninstall v1.0", "#32770", kWaitMs);
  EXPECT_EQ(GetText(GetDlgItem(dialog, IDC_HEADING)), ("Deinstallation von Programm : " + name).substr(0, 127))
      << Seen(run.process);
  ClickButton(GetDlgItem(dialog, button));
  const std::string seen =
      Follow(run, dialog, GetDlgItem(dialog, IDC_STATUS), kUninstallBox, [&] { return !IsWindow(dialog); });
  run.ExpectEnd();
  return seen;
}

// Each run from a folder of its own: the package's setup.ini and files (no
// CopyFiles given), or a setup.ini of QX Probe with that section and a.txt
// beside it, but no uninstaller (the run goes on without it). Each run types
// another directory first, which the install page shows, and comes back; then
// the directory given, cancelled there if the run is to show nothing. While
// the directory page is shown, setup.ini is rewritten with a pair and a listed
// file out of the target folder: every run uses what was checked, as what it
// shows, a1.txt and File1 tell. The package, installed last, is then removed:
// first while the installed program runs, then after it ended.
TEST(PackageTest, InstallAndRemove) {
  const std::string one = "COFile1=a.txt\nCNFile1=a1.txt\n", aborted = "|!Installation abgebrochen !";
  const std::string made = "|Verzeichnis anlegen...", copying = made + "|Dateien kopieren...";
  const std::string done =
      copying + "|Eintr\xE4ge in Registrierung setzen...|Installation erfolgreich abgeschlossen...";
  const std::string target = "C:\\Programme\\QX Internet", other = "C:\\Andere Stelle";
  for (const char* left : {"C:\\QXTest", "C:\\QXCopy", "C:\\QXCancel", "C:\\Programme"})  // by an earlier run
    std::filesystem::remove_all(left);
  SetFileAttributesA(kUninstaller.c_str(), FILE_ATTRIBUTE_NORMAL);
  WriteBytes(kUninstaller, "old");  // an earlier uninstaller, marked as setup marks it: replaced
  SetFileAttributesA(kUninstaller.c_str(), kMarked);
  const struct {
    const char* what;
    std::string copyFiles, directory;
    std::string seen;         // status texts and boxes; none: cancelled on the directory page
    bool folderLeft = true;   // the directory is there afterwards
    std::string copied = "";  // what a1.txt in it holds
    std::string listed = "";  // File1 of DelFiles
    std::string installPath = "";  // <folder>: setup's current folder
    std::string keys = "";    // as KeysLeft tells them
  } rows[] = {
      {.what = "no pair complete", .copyFiles = "COFile1=a.txt\nCNFile2=a.txt\n", .directory = "C:\\QXTest",
       .seen = copying + "|!Keine Dateien zu kopieren !?" + aborted},
      {.what = "relative, stored as a full path below setup's folder, its backslash kept", .copyFiles = one,
       .directory = "rel\\A\\B\\", .seen = done, .copied = "a", .listed = "a1.txt",
       .installPath = "<folder>\\rel\\A\\B\\", .keys = "machine entry "},
      {.what = "cancelled", .copyFiles = one, .directory = "C:\\QXCancel", .seen = "", .folderLeft = false},
      {.what = "no directory", .copyFiles = one, .directory = "",
       .seen = made + "|!Installations-Verzeichnis konnte nicht erzeugt werden" + aborted, .folderLeft = false},
      {.what = "a source missing", .copyFiles = "COFile1=b.txt\nCNFile1=a1.txt\n", .directory = "C:\\QXCopy",
       .seen = copying + "|!Fehler beim Kopieren der Dateien !" + aborted},
      {.what = "a symbolic link", .copyFiles = one, .directory = kLink,
       .seen = made + "|!Installations-Verzeichnis ist ein Verweis auf ein anderes Verzeichnis !" + aborted},
      // Wine gives its user all rights on every folder: the one the first row made is refused.
      {.what = "a folder others may change", .copyFiles = one, .directory = "C:\\QXTest",
       .seen = made + "|!Installations-Verzeichnis kann auch von anderen Benutzern ge\xE4ndert werden !" + aborted},
      {.what = "the package", .copyFiles = "", .directory = target, .seen = done, .listed = "qxinet.exe",
       .installPath = target, .keys = "machine entry "}};
  for (const auto& row : rows) {
    const std::string name = row.copyFiles.empty() ? "QX Internet" : "QX Probe", key = kApps + name;
    Forget(name);
    TestFolder folder;
    WriteBytes("setup.ini", "[ProgrammName]\nName=QX Probe\n[InstDir]\nDir=C:\\QX\n[CopyFiles]\n" + row.copyFiles +
                                "[DelFiles]\nDFile1=a1.txt\n");
    WriteBytes("a.txt", "a");
    for (const char* file : {"setup.ini", "qxinet.exe", "qxuninst.exe"})  // the package over the probe's setup.ini
      if (row.copyFiles.empty()) CopyFileA(Package(file).c_str(), file, FALSE);
    for (const char* file : {"qxinet.exe", "qxuninst.exe"}) SetFileAttributesA(file, FILE_ATTRIBUTE_READONLY);  // a CD
    Running w(Package("setup.exe"), "", folder.path());
    HWND window = WaitForWindow(w.process.pid, "QX Setup v1.0 - " + name, "#32770", kWaitMs);
    const auto button = [&](int id) { return GetDlgItem(window, id); };
    const auto usable = [&](int id) { return IsWindowVisible(button(id)) && IsWindowEnabled(button(id)); };
    const auto control = [&](int id) { return GetDlgItem(CurrentPage(window), id); };
    const auto go = [&](int id) {  // to another page, by a button that must be usable
      HWND before = CurrentPage(window);
      ClickButton(button(id));
      EXPECT_TRUE(WaitUntil([&] { return CurrentPage(window) != before; }, kWaitMs)) << id << Seen(w.process);
    };
    const auto page = [&](int id) {  // its first text once Back is disabled, as the page posts it
      const bool back = !WaitUntil([&] { return !usable(kBack); }, kWaitMs);
      return GetText(control(id)) + (back ? " <Back" : "");
    };
    EXPECT_EQ(page(IDC_PROGRAM_NAME), name) << Seen(w.process);
    go(kNext);
    EXPECT_EQ(page(IDC_TARGET_DIRECTORY), row.copyFiles.empty() ? target : "C:\\QX");
    EXPECT_EQ(SendMessageA(control(IDC_TARGET_DIRECTORY), EM_GETLIMITTEXT, 0, 0), 259);
    WriteBytes("setup.ini", "[CopyFiles]\nCOFile1=a.txt\nCNFile1=..\\out.txt\n[DelFiles]\nDFile1=..\\out.txt\n");
    SetText(control(IDC_TARGET_DIRECTORY), other);
    go(kNext);
    EXPECT_EQ(GetText(control(IDC_MESSAGE)),
              "Das Programm \"" + name + "\" wird installiert im Verzeichnis \"" + other + "\" ...");
    go(kBack);
    EXPECT_EQ(page(IDC_TARGET_DIRECTORY), other);
    SetText(control(IDC_TARGET_DIRECTORY), row.directory);
    if (!row.seen.empty()) {
      go(kNext);
      HWND status = control(kWizardStatus);  // asked now: the wizard answers no messages while it installs
      ClickButton(button(kNext));
      EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(button(kFinish)) && !usable(kFinish); }, kWaitMs))
          << Seen(w.process);
      EXPECT_EQ(Follow(w, window, status, kSetupBox, [&] { return usable(kFinish); }), row.seen);
      EXPECT_EQ(GetText(button(kFinish)), "&Schlie\xDF" "en");
    }
    ClickButton(button(row.seen.empty() ? IDCANCEL : kFinish));
    w.ExpectEnd();
    EXPECT_EQ(FileExists(row.directory), row.folderLeft) << row.what;
    EXPECT_EQ(ReadBytes(row.directory + "\\a1.txt"), row.copied) << row.what;
    EXPECT_EQ(RegistryText(kLM, key + "\\DelFiles", "File1").value_or(""), row.listed) << row.what;
    EXPECT_EQ(RegistryText(kLM, key, "InstallPath").value_or(""),
              std::regex_replace(row.installPath, std::regex("<folder>"), folder.path())) << row.what;
    EXPECT_EQ(KeysLeft(name), row.keys) << row.what;
  }
  const std::string key = kApps + "QX Internet", entry = kEntries + "QX Internet";
  const std::string date = RegistryText(kLM, key, "InstallDate").value_or("");
  EXPECT_TRUE(std::regex_match(date, std::regex("\\d+\\.\\d+\\.20\\d\\d, \\d\\d:\\d\\d:\\d\\d"))) << date;
  EXPECT_EQ(GetFileAttributesA(kUninstaller.c_str()), kMarked);
  EXPECT_EQ(GetFileAttributesA((target + "\\qxinet.exe").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(RegistryText(kLM, entry, "DisplayName"), "QX Internet");
  EXPECT_EQ(RegistryText(kLM, entry, "UninstallString"), "qxuninst.exe QX Internet");
  EXPECT_TRUE(ReadBytes(kUninstaller) == ReadBytes(Package("qxuninst.exe")));
  // Its own access list: not the inherited one, which lets in Everyone (Wine) or all users (C:\ of Windows).
  EXPECT_FALSE(std::regex_search(AccessList(target), std::regex(";(WD|AU)\\)|unreadable"))) << AccessList(target);
  SetRegistryText(kCU, key, "BookmarkFile", "C:\\bookmark.htm");  // as qxinet keeps its paths
  SetRegistryText(kLM, key + "\\DelFiles", "File3", "extra.txt");    // File1 and File3, no File2
  WriteBytes(target + "\\extra.txt", "x");
  SetFileAttributesA((target + "\\extra.txt").c_str(), FILE_ATTRIBUTE_READONLY);  // removed all the same
  {  // While the installed program runs, its file stays, and so do the entries.
    TestFolder data;
    WriteBytes("qxinetvz.dat", Bytes({MakeRecord("QX", "http://qx/")}));  // no box about an empty file
    Running program(target + "\\qxinet.exe", "", data.path());
    ASSERT_TRUE(WaitForWindow(program.process.pid, kSheetTitle, 0, kWaitMs)) << Seen(program.process);
    EXPECT_EQ(Uninstall("QX Internet", IDC_REMOVE),
              kRemoving + "|L\xF6schen : qxinet.exe ...|!Datei qxinet.exe konnte nicht gel\xF6scht werden ! \n"
                          "Deinstallation abgebrochen !");
    EXPECT_EQ(KeysLeft("QX Internet"), "machine user entry ");
  }  // and ends
  EXPECT_EQ(Uninstall("QX Internet", IDC_REMOVE),
            kRemoving + "|L\xF6schen : qxinet.exe ...|L\xF6schen : extra.txt ..." + kRemoved);
  EXPECT_EQ(KeysLeft("QX Internet"), "");
  EXPECT_TRUE(HasKey(kLM, "Software\\QXApps") && HasKey(kCU, "Software\\QXApps"));
  EXPECT_TRUE(!FileExists(target) && FileExists(kUninstaller));
}

// Both programs refuse to start without what they need: only their box, then
// exit code 0 (which fault of setup.ini gives which message is tested
// natively; here a source out of the package folder and a program name whose
// uninstall entry is another program's, which only setup itself reads). Abandoned and
// cancelled removals touch nothing; a complete one leaves a file it was not
// given, and so the directory.
TEST(PackageTest, RefusedStarts) {
  TestFolder folder;
  const std::string setup = Package("setup.exe"), uninstaller = Package("qxuninst.exe");
  SetRegistryText(kLM, kEntries + "QX Fremd", "UninstallString", "C:\\Fremd\\uninst.exe");  // another product's entry
  for (const auto& [exe, ini, text] : std::vector<std::array<std::string, 3>>{
           {setup, "", "Parameterdatei setup.ini nicht gefunden ! \nProgramm abgebrochen !"},
           {uninstaller, "", "QXUninstall braucht eine Programmbezeichnung als Parameter !"},
           {setup, "[ProgrammName]\nName=P\n[InstDir]\nDir=P\n[CopyFiles]\nCOFile1=..\\a\nCNFile1=a",
            "Quelldatei in setup.ini au\xDF" "erhalb des Quellverzeichnisses ! \nProgramm abgebrochen !"},
           {setup, "[ProgrammName]\nName=QX Fremd\n[InstDir]\nDir=P\n[CopyFiles]\nCOFile1=a\nCNFile1=a",
            "Programmbezeichnung in setup.ini geh\xF6rt zu einem anderen Programm ! \nProgramm abgebrochen !"}}) {
    if (!ini.empty()) WriteBytes("setup.ini", ini);
    Running run(exe, "", folder.path());
    run.ExpectBox(exe == uninstaller ? kUninstallBox : kSetupBox, text, nullptr);
    run.ExpectEnd();
  }
  Forget("QX Fremd");

  // In the folder, File1 of DelFiles is listed and b.txt is not: none of the
  // removals deletes a.txt (there or where the link leads) or b.txt. The
  // folder without its drive would be it from the uninstaller's current folder C:\.
  const std::string probe = "QX Probe", keep = folder.path(), dir = keep + "\\";
  const auto refused = [&](const std::string& path, const char* why) {
    return kRead + "|!Installationsverzeichnis " + path + why + " ! \nDeinstallation abgebrochen !";
  };
  const std::string noPath = kRead + "|!Kein Eintrag f\xFCr Installationsverzeichnis in Registry gefunden !";
  const struct {
    const char* what;
    std::string name, installPath, listed;  // installPath "": no machine key
    int button;
    std::string seen, keys;  // keys: as KeysLeft tells them
  } rows[] = {
      {.what = "no machine key", .name = probe, .installPath = "", .listed = "a.txt", .button = IDC_REMOVE,
       .seen = noPath, .keys = "user "},
      {.what = "a name too long for the key", .name = std::string(98, 'L'), .installPath = keep, .listed = "a.txt",
       .button = IDC_REMOVE, .seen = noPath, .keys = "machine user "},
      {.what = "cancelled", .name = probe, .installPath = keep, .listed = "a.txt", .button = IDC_CANCEL, .seen = "",
       .keys = "machine user "},
      {.what = "no full path", .name = probe, .installPath = keep.substr(3), .listed = "a.txt", .button = IDC_REMOVE,
       .seen = refused(keep.substr(3), " ist kein vollst\xE4ndiger Pfad"), .keys = "machine user "},
      {.what = "a symbolic link", .name = probe, .installPath = kLink, .listed = "a.txt", .button = IDC_REMOVE,
       .seen = refused(kLink, " ist ein Verweis auf ein anderes Verzeichnis"), .keys = "machine user "},
      {.what = "a listed file out of the folder", .name = probe, .installPath = keep + "\\Neu", .listed = "..\\a.txt",
       .button = IDC_REMOVE, .seen = kRemoving + "|L\xF6schen : ..\\a.txt ..." + kRemoved, .keys = ""},
      {.what = "a listed file already gone: removed", .name = probe, .installPath = dir, .listed = "gone.txt",
       .button = IDC_REMOVE, .seen = kRemoving + "|L\xF6schen : gone.txt ..." + kRemoved, .keys = ""}};
  for (const auto& row : rows) {
    if (!row.installPath.empty()) SetRegistryText(kLM, kApps + row.name, "InstallPath", row.installPath.c_str());
    if (!row.installPath.empty()) SetRegistryText(kLM, kApps + row.name + "\\DelFiles", "File1", row.listed.c_str());
    SetRegistryText(kCU, kApps + row.name, "BookmarkFile", "x");
    for (const char* file : {"a.txt", "b.txt"}) WriteBytes(dir + file, file), WriteBytes(kLink + "\\" + file, file);
    EXPECT_EQ(Uninstall(row.name, row.button, uninstaller), row.seen) << row.what;
    EXPECT_TRUE(FileExists(dir + "a.txt") && FileExists(kLink + "\\a.txt") && FileExists(dir + "b.txt")) << row.what;
    EXPECT_EQ(KeysLeft(row.name), row.keys) << row.what;
    Forget(row.name);
  }
}

// What Windows reads of a program before it starts it: the execution level
// its manifest asks for, whether it names Windows 7, 8, 8.1 and 10 (and 11),
// and each DLL it imports that Windows does not always take from its own folder.
std::string StartedAs(const std::string& exe) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;  // RT_MANIFEST
  if (found == nullptr) return "no manifest";
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                             SizeofResource(module, found));
  std::smatch level;
  std::regex_search(manifest, level, std::regex("requestedExecutionLevel level=\"(\\w+)\" uiAccess=\"false\""));
  std::string seen = level.str(1);
  for (const char* os : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                         "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
    seen += manifest.find(std::string("<supportedOS Id=\"{") + os + "}\"/>") == std::string::npos ? " -" : " os";
  // Mapped as an image (the low bits of the handle say so): addresses are offsets from its start.
  const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module) & ~ULONG_PTR(3));
  const LONG header = reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew;
  const DWORD imports = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + header)
                            ->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  const std::regex known("(kernel32|user32|gdi32|advapi32|comdlg32|msvcrt)\\.dll", std::regex::icase);
  for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); entry->Name; ++entry) {
    const std::string dll = reinterpret_cast<const char*>(base + entry->Name);
    if (!std::regex_match(dll, known)) seen += " " + dll;
  }
  FreeLibrary(module);
  return seen;
}

// The installer and the uninstaller ask for administrator rights, the address
// manager runs with the rights of whoever starts it; all three import only
// KnownDLLs (comctl32 each loads from the system folder itself).
TEST(PackageTest, ManifestsAndImports) {
  for (const auto& [exe, level] : std::vector<std::array<std::string, 2>>{
           {"setup.exe", "requireAdministrator"}, {"qxuninst.exe", "requireAdministrator"}, {"qxinet.exe", "asInvoker"}})
    EXPECT_EQ(StartedAs(Package(exe)), level + " os os os os") << exe;
}
