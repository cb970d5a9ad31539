// UI driver: works another program's windows from outside (see uidriver.h).
#include "tests/driver/uidriver.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstring>

// Short enough that a test hardly waits longer than needed, long enough not
// to keep a core busy while Wine's other process does the work.
constexpr DWORD kPollMs = 15;

std::vector<HWND> TopLevelWindows(DWORD pid, const std::string* title, const char* className) {
  std::vector<HWND> all, found;
  EnumWindows([](HWND w, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(w), TRUE; },
              reinterpret_cast<LPARAM>(&all));
  for (HWND window : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // GetWindowTextA reads the caption the system keeps for a foreign window
    // without sending it a message, so a busy target cannot block the search.
    char caption[1024] = "", name[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (IsWindowVisible(window) && (pid == 0 || owner == pid) && (!title || caption == *title) &&
        (!className || (GetClassNameA(window, name, sizeof name) && !std::strcmp(name, className))))
      found.push_back(window);
  }
  return found;
}

void KillProgram(Process& process) {
  if (process.handle != nullptr && TerminateProcess(process.handle, 255)) WaitForSingleObject(process.handle, 5000);
}

Process StartProgram(const std::string& exePath, const std::string& args, const std::string& currentDir) {
  std::string commandLine = "\"" + exePath + "\"" + (args.empty() ? "" : " " + args);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Under Wine a start fails now and then on a loaded machine (measured: now
  // and then in a test that starts a few hundred programs under load): it is
  // tried again, each failure said with its code.
  for (int attempt = 1; !CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info);
       ++attempt, Sleep(500)) {
    std::printf("%s: CreateProcess failed, error %lu\n", exePath.c_str(), GetLastError());
    if (attempt == 5) return Process{};
  }
  CloseHandle(info.hThread);
  return Process{info.hProcess, info.dwProcessId};
}

bool WaitForExit(Process& process, int timeoutMs, DWORD& exitCode) {
  return process.handle != nullptr && WaitForSingleObject(process.handle, timeoutMs) == WAIT_OBJECT_0 &&
         GetExitCodeProcess(process.handle, &exitCode);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  for (const DWORD start = GetTickCount(); !condition(); Sleep(kPollMs))
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return condition();
  return true;
}

HWND WaitForWindow(DWORD pid, const std::string& title, const char* className, int timeoutMs) {
  std::vector<HWND> windows;
  WaitUntil([&] { return !(windows = TopLevelWindows(pid, &title, className)).empty(); }, timeoutMs);
  HWND found = windows.empty() ? nullptr : windows.front();
  // A window is visible before its thread has finished showing and
  // activating it; a sent message is handled only once that thread is back
  // in its message loop. Measured under Wine: without this, bringing the
  // window to the front at once could leave its caption drawn as inactive.
  if (found != nullptr) SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
  return found;
}

// A window that no longer exists is not visible either.
bool WaitForWindowGone(HWND window, int timeoutMs) {
  return WaitUntil([&] { return !IsWindowVisible(window); }, timeoutMs);
}

// Texts as the system keeps them: a message would wait for a busy window.
std::string Seen(const Process& process) {
  auto caption = [](HWND w) { char t[512] = ""; return GetWindowTextA(w, t, sizeof t), std::string(t); };
  if (process.handle == nullptr) return "not started";
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.handle, &code);
  std::string seen = code == STILL_ACTIVE ? "running; windows:" : "ended (" + std::to_string(code) + "); windows:";
  for (HWND w : TopLevelWindows(process.pid)) {
    seen += (IsIconic(w) ? " minimised '" : IsWindowEnabled(w) ? " '" : " disabled '") + caption(w) + "'";
    for (HWND c = nullptr; (c = FindWindowExA(w, c, "Static", nullptr));) seen += " [" + caption(c) + "]";
  }
  return seen;
}

HWND CurrentPage(HWND sheet) { return PropSheet_GetCurrentPageHwnd(sheet); }

// Posted because leaving or entering a page may show a modal box (a page that
// refuses to be left), and a sent message would wait for that box.
bool SelectTab(HWND sheet, int index, int timeoutMs) {
  return PostMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0) && WaitUntil([&] {
    return TabCtrl_GetCurSel(PropSheet_GetTabControl(sheet)) == index &&
           CurrentPage(sheet) == PropSheet_IndexToHwnd(sheet, index) && IsWindowVisible(CurrentPage(sheet));
  }, timeoutMs);
}

void ClickButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void SetText(HWND control, const std::string& text) { SetWindowTextA(control, text.c_str()); }

// Measured under Wine to return CP-1252 texts intact. No text of the programs
// under test comes near the buffer's size.
std::string GetText(HWND control) {
  char text[4096] = "";
  return std::string(text, SendMessageA(control, WM_GETTEXT, sizeof text, LPARAM(text)));
}

// Sent wide: under Wine an ANSI LB_GETTEXT across processes returns only the
// first character of the item.
std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  wchar_t text[1024];
  char narrow[4096];
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count && SendMessageW(list, LB_GETTEXTLEN, i, 0) < 1024; ++i) {
    const int length = int(SendMessageW(list, LB_GETTEXT, i, LPARAM(text)));
    // 1252: the code page the programs under test write their texts in.
    items.emplace_back(narrow, WideCharToMultiByte(1252, 0, text, length, narrow, sizeof narrow, nullptr, nullptr));
  }
  return items;
}

bool WaitForMessageBox(DWORD pid, const std::string& title, int timeoutMs, MessageBoxInfo& out) {
  HWND box = WaitForWindow(pid, title, "#32770", timeoutMs);
  if (box == nullptr) return false;
  // The text's control has the id 0xFFFF, as under Windows.
  out = MessageBoxInfo{box, GetWindow(box, GW_OWNER), GetText(GetDlgItem(box, 0xFFFF))};
  return true;
}

// The box ends on the command as on a click of its button. An answered box is
// hidden at once but may be destroyed only later.
bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId) {
  return IsWindowVisible(box.window) && PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
}
