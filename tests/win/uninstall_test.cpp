// qxuninst.exe under Wine, started as the platform's uninstall list starts it:
// removal runs over prepared installations, and refusals.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win/package_helpers.h"
#include "tests/win/test_folder.h"

namespace {


struct RemovalCase {
  const char* installPath;   // nullptr: no installation key at all
  std::vector<int> listed;   // File%d values, each naming file%d.txt
  bool unlistedFile;         // keep.txt lies in the directory, not listed
  std::vector<std::string> statuses;
};

std::string FileName(int n) { return "file" + std::to_string(n) + ".txt"; }

TEST(UninstallTest, RemovalRuns) {
  const std::string name = "QX Probe", dir = "C:\\QXRemove";
  const std::string files = "Dateien l\xF6schen...";
  PlaceUninstaller(true);
  const std::vector<RemovalCase> cases = {
      {"C:\\QXRemove", {1, 3}, true,
       {kRead, files, "L\xF6schen : file1.txt ...", "L\xF6schen : file3.txt ..."}},
      {"C:\\QXRemove\\", {2}, false, {kRead, files, "L\xF6schen : file2.txt ..."}},
      {nullptr, {}, false, {kRead}},
      {"", {1}, false, {kRead}},
  };
  for (const RemovalCase& c : cases) {
    SCOPED_TRACE(c.installPath == nullptr ? "no key" : c.installPath);
    const bool removed = c.statuses.size() > 1;
    ForgetInstallation(name);
    CreateDirectoryA(dir.c_str(), nullptr);
    if (c.unlistedFile) WriteBytes(dir + "\\keep.txt", "x");
    if (c.installPath != nullptr) SetRegText(HKEY_LOCAL_MACHINE, Key(kAppsKey, name), "InstallPath", c.installPath);
    for (int n : c.listed) {
      WriteBytes(dir + "\\" + FileName(n), "x");
      SetRegText(HKEY_LOCAL_MACHINE, Key(kAppsKey, name) + "\\DelFiles", ("File" + std::to_string(n)).c_str(),
                 FileName(n));
    }
    SetRegText(HKEY_CURRENT_USER, Key(kAppsKey, name), "BookmarkFile", "C:\\bookmark.htm");
    SetRegText(HKEY_LOCAL_MACHINE, Key(kUninstallKey, name), "DisplayName", name);

    std::vector<std::string> expected = c.statuses;
    if (removed) expected.insert(expected.end(), kStagesAfterFiles.begin(), kStagesAfterFiles.end());
    EXPECT_EQ(Uninstall(name, 102, !removed), expected);
    for (int n : c.listed) EXPECT_NE(FileExists(dir + "\\" + FileName(n)), removed) << n;
    EXPECT_EQ(FileExists(dir), !removed || c.unlistedFile);
    EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, Key(kAppsKey, name)), !removed && c.installPath != nullptr);
    EXPECT_NE(KeyExists(HKEY_CURRENT_USER, Key(kAppsKey, name)), removed);
    EXPECT_NE(KeyExists(HKEY_LOCAL_MACHINE, Key(kUninstallKey, name)), removed);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kAppsKey) && KeyExists(HKEY_CURRENT_USER, kAppsKey));
    EXPECT_TRUE(FileExists(WindowsDirectory() + "\\qxuninst.exe"));
    for (const char* f : {"keep.txt", "file1.txt"}) DeleteFileA((dir + "\\" + f).c_str());
    RemoveDirectoryA(dir.c_str());
  }
  ForgetInstallation(name);
}

// Without a name, or with blanks only, there is only the box; "&Abbrechen"
// and a name too long for the heading change nothing.
TEST(UninstallTest, RefusalsChangeNothing) {
  PlaceUninstaller(true);
  for (const char* command : {"qxuninst.exe", "qxuninst.exe   \t "}) {
    Running run;
    run.process = StartCommand(command, WindowsDirectory());
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(run.process.pid, kUninstallBoxTitle, kWait, box));
    EXPECT_EQ(TopLevelWindows(run.process.pid), std::vector<HWND>{box.window});
    ExpectBox(run.process.pid, kUninstallBoxTitle, "QXUninstall braucht eine Programmbezeichnung als Parameter !", nullptr);
    ExpectExitZero(run);
  }
  const std::string longName(98, 'L');
  for (const std::string& name : {std::string("QX Probe"), longName}) {
    SetRegText(HKEY_LOCAL_MACHINE, Key(kAppsKey, name), "InstallPath", "C:\\QXKeep");
    CreateDirectoryA("C:\\QXKeep", nullptr);
    if (name == longName) {
      EXPECT_EQ(Uninstall(name, 102, true), std::vector<std::string>{kRead});
    } else {
      EXPECT_EQ(Uninstall(name, 103), std::vector<std::string>{});
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Key(kAppsKey, name)) && FileExists("C:\\QXKeep"));
    RemoveDirectoryA("C:\\QXKeep");
    ForgetInstallation(name);
  }
}

}  // namespace
