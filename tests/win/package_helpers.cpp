// Helpers of the installer and uninstaller tests.
#include "tests/win/package_helpers.h"

#include <gtest/gtest.h>

std::string PackageFile(const std::string& name) {
  std::string dir = QX_PACKAGE_DIR;
  for (char& c : dir)
    if (c == '/') c = '\\';
  return "Z:" + dir + "\\" + name;
}

std::string WindowsDirectory() {
  char dir[MAX_PATH];
  GetWindowsDirectoryA(dir, MAX_PATH);
  return dir;
}

std::string RegText(HKEY root, const std::string& key, const char* value) {
  char text[1024];
  DWORD size = sizeof text;
  if (RegGetValueA(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return kMissing;
  return text;
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

void SetRegText(HKEY root, const std::string& key, const char* value, const std::string& text) {
  RegSetKeyValueA(root, key.c_str(), value, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void ForgetInstallation(const std::string& name) {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kAppsKey) + "\\" + name).c_str());
  RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kAppsKey) + "\\" + name).c_str());
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + name).c_str());
}

void PlaceUninstaller(bool present) {
  const std::string uninstaller = WindowsDirectory() + "\\qxuninst.exe";
  SetFileAttributesA(uninstaller.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(uninstaller.c_str());
  if (present) CopyFileA(PackageFile("qxuninst.exe").c_str(), uninstaller.c_str(), FALSE);
}

Running::~Running() {
  DWORD code;
  if (process.Valid() && !WaitForExit(process, 0, code)) KillProgram(process);
}

Process StartCommand(const std::string& commandLine, const std::string& dir) {
  std::string line = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                      &startup, &info))
    return Process{};
  CloseHandle(info.hThread);
  return Process{info.hProcess, info.dwProcessId};
}

void ExpectExitZero(Running& run) {
  DWORD code = 99;
  ASSERT_TRUE(WaitForExit(run.process, kWait, code)) << "still running";
  EXPECT_EQ(code, 0u);
}

void ExpectBox(DWORD pid, const char* title, const std::string& text, HWND owner) {
  MessageBoxInfo box;
  ASSERT_TRUE(WaitForMessageBox(pid, title, kWait, box)) << "no box: " << text;
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(box.owner, owner);
  EXPECT_TRUE(AnswerMessageBox(box, IDOK));
  EXPECT_TRUE(WaitForWindowGone(box.window, kWait));
}

// The text as the window manager keeps it: WM_GETTEXT would wait while the
// program sleeps between its stages.
std::string StoredText(HWND control) {
  wchar_t wide[512];
  const int n = InternalGetWindowText(control, wide, 512);
  char text[1024];
  const int m = WideCharToMultiByte(1252, 0, wide, n, text, sizeof text, nullptr, nullptr);
  return std::string(text, m);
}

std::vector<std::string> FollowTexts(HWND control, const std::function<bool()>& done) {
  std::vector<std::string> seen;
  WaitUntil([&] {
    const std::string text = StoredText(control);
    // Empty: not yet set, or the window is gone.
    if (!text.empty() && (seen.empty() || seen.back() != text)) seen.push_back(text);
    return done();
  }, 40000);
  return seen;
}

void SavePicture(HWND window, const std::string& name) {
  EXPECT_TRUE(SaveWindowPicture(window, PicturesDir() + "\\" + name + ".bmp")) << name;
}

std::string Key(const char* parent, const std::string& name) { return std::string(parent) + "\\" + name; }

std::vector<std::string> Uninstall(const std::string& name, int button, bool abandoned) {
  Running run;
  run.process = StartCommand("qxuninst.exe " + name, WindowsDirectory());
  EXPECT_TRUE(run.process.Valid());
  HWND dialog = WaitForWindow(run.process.pid, "QX Uninstall v1.0", "#32770", kWait);
  EXPECT_NE(dialog, nullptr);
  if (dialog == nullptr) return {};
  EXPECT_EQ(GetText(GetDlgItem(dialog, 101)), ("Deinstallation von Programm : " + name).substr(0, 127));
  if (name == "QX Internet") SavePicture(dialog, "qxuninst");
  ClickButton(GetDlgItem(dialog, button));
  std::vector<std::string> seen = FollowTexts(GetDlgItem(dialog, 105), [&] {
    MessageBoxInfo box;
    return !IsWindow(dialog) || (abandoned && WaitForMessageBox(run.process.pid, kUninstallBoxTitle, 0, box));
  });
  // The abandon status is set after the box and the dialog closes at once:
  // the test sees the box and the closing.
  if (abandoned) ExpectBox(run.process.pid, kUninstallBoxTitle, "Kein Eintrag f\xFCr Installationsverzeichnis in Registry gefunden !", dialog);
  EXPECT_TRUE(WaitForWindowGone(dialog, kWait));
  ExpectExitZero(run);
  return seen;
}

