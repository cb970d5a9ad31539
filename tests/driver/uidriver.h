// UI driver: free functions that let a test program work another program's
// windows from outside, the way a person would (start it, find its windows,
// switch tabs, type, click, answer message boxes, take pictures, see it exit).
// Texts are CP-1252 byte strings, as the programs under test are ANSI programs.
// Built for Windows (mingw) and run under Wine; every measured Wine quirk that
// shaped a function is noted beside it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A started program. Owns the process handle: closed when the object dies or
// by Close(); the process itself keeps running until it ends or is killed.
struct Process {
  HANDLE handle = nullptr;
  DWORD pid = 0;

  Process() = default;
  Process(HANDLE h, DWORD id) : handle(h), pid(id) {}
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  ~Process();

  bool Valid() const { return handle != nullptr; }
};

void Close(Process& process);
// For a test's clean-up after a failure: a program left running would keep
// Wine busy and confuse the next test that looks for the same windows.
void KillProgram(Process& process);

// Starts exePath with args (appended after the quoted exe path) in currentDir
// (empty = the driver's own). Returns an invalid Process on failure.
Process StartProgram(const std::string& exePath, const std::string& args,
                     const std::string& currentDir);
// False on timeout; exitCode is set only when the process ended.
bool WaitForExit(Process& process, int timeoutMs, DWORD& exitCode);

// Polls condition every few milliseconds until it holds or timeoutMs passes.
// Needed after anything posted: the target handles it whenever it gets to it.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

// Visible top-level window of process pid (0 = any) whose caption is exactly
// title and, unless className is nullptr, whose class is className.
// nullptr on timeout.
HWND WaitForWindow(DWORD pid, const std::string& title, const char* className,
                   int timeoutMs);
// True once window no longer exists (or is hidden) within timeoutMs.
bool WaitForWindowGone(HWND window, int timeoutMs);
// Visible top-level windows of process pid, e.g. to prove nothing was shown.
std::vector<HWND> TopLevelWindows(DWORD pid);

// Property sheets.
HWND TabControl(HWND sheet);
std::vector<std::string> TabTitles(HWND sheet);
int CurrentTab(HWND sheet);
HWND CurrentPage(HWND sheet);
// Posts PSM_SETCURSEL, then waits (up to timeoutMs) until both the tab control
// and the sheet report the new page. False if that did not happen.
bool SelectTab(HWND sheet, int index, int timeoutMs = 5000);

// Controls.
// Posted, never sent: the click may open a modal box, and a sent BM_CLICK
// would then not return until someone answered that box.
void ClickButton(HWND button);
// Types as a person would: selects the whole content (EM_SETSEL 0,-1) and
// then sends one WM_CHAR per character, so the edit control's own rules
// (limit, read-only, ES_NUMBER, ...) apply and EN_CHANGE comes per keystroke.
// '\n' is typed as Return ('\r'). Characters go as UTF-16 (WM_CHAR sent wide,
// from CP-1252), so the result does not depend on the driver's code page.
// Returns once all characters were handled.
void TypeText(HWND edit, const std::string& text);
// Replaces the whole text at once with WM_SETTEXT (no keystrokes).
void SetText(HWND control, const std::string& text);
// WM_GETTEXT; measured under Wine to return CP-1252 texts intact.
std::string GetText(HWND control);
// True once GetText(control) == text within timeoutMs.
bool WaitForText(HWND control, const std::string& text, int timeoutMs);

// List boxes (single selection).
std::vector<std::string> ListItems(HWND listBox);
int ListSelection(HWND listBox);
// LB_SETCURSEL, then, if the list has LBS_NOTIFY (as a real click would),
// posts WM_COMMAND LBN_SELCHANGE (and, for doubleClick, LBN_DBLCLK after it)
// to the parent. Returns false if the index is not in the list.
bool SelectListItem(HWND listBox, int index, bool doubleClick = false);

// Message boxes.
struct MessageBoxInfo {
  HWND window = nullptr;
  std::string title, text;
  UINT icon = 0;             // MB_ICONEXCLAMATION, MB_ICONQUESTION, MB_ICONHAND, MB_ICONASTERISK or 0
  std::vector<int> buttons;  // IDOK, IDYES, ... of the visible buttons, in window order
  HWND owner = nullptr;
};
// A visible top-level "#32770" window of pid (0 = any) with that title.
bool WaitForMessageBox(DWORD pid, const std::string& title, int timeoutMs, MessageBoxInfo& out);
// Which standard icon a message box shows (see the .cpp for how under Wine).
UINT MessageBoxIcon(HWND box);
// Posts BM_CLICK to the button with that id, or WM_COMMAND(id) to the box if
// it has no such button (as Esc does for IDCANCEL). False if the box is
// gone or hidden (already answered).
bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId);

// Pictures.
// Brings window to the front, waits until its picture is stable and writes
// the window's screen rectangle as a 24-bit BMP. False on any failure.
bool SaveWindowPicture(HWND window, const std::string& bmpPath);
// Folder for pictures: QX_PICTURES (a Unix path, mapped to Wine's Z: drive;
// a Windows path is kept) or the current directory. Created if missing.
// No trailing backslash.
std::string PicturesDir();
