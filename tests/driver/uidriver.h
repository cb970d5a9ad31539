// UI driver: free functions that let a test program work another program's
// windows from outside, the way a person would (start it, find its windows,
// switch tabs, type, click, answer message boxes, see it exit).
// Texts are CP-1252 byte strings, as the programs under test are ANSI programs.
// Built for Windows (mingw) and run under Wine; every measured Wine quirk that
// shaped a function is noted beside it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A started program. Its handle is left open: a test starts at most a few
// hundred programs, and an exit code stays readable as long as the test runs.
struct Process { HANDLE handle = nullptr; DWORD pid = 0; };

// For a test's clean-up after a failure: a program left running would keep
// Wine busy and confuse the next test that looks for the same windows.
void KillProgram(Process& process);
// exePath with args in currentDir (empty: the driver's own); invalid on failure.
Process StartProgram(const std::string& exePath, const std::string& args, const std::string& currentDir);
// False on timeout; exitCode is set only when the process ended.
bool WaitForExit(Process& process, int timeoutMs, DWORD& exitCode);

// Polls condition every few milliseconds until it holds or timeoutMs passes.
// Needed after anything posted: the target handles it whenever it gets to it.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

// Visible top-level window of process pid (0 = any) whose caption is exactly
// title and, unless className is nullptr, whose class is className.
HWND WaitForWindow(DWORD pid, const std::string& title, const char* className, int timeoutMs);
// True once window no longer exists (or is hidden) within timeoutMs.
bool WaitForWindowGone(HWND window, int timeoutMs);
// Visible top-level windows of process pid (0 = any), e.g. to prove nothing
// was shown; only those with that caption and class if they are given.
std::vector<HWND> TopLevelWindows(DWORD pid, const std::string* title = nullptr, const char* className = nullptr);
// What a person would see of the program, for a failure message: whether it
// still runs, and each visible window's state, caption and static texts.
std::string Seen(const Process& process);

HWND CurrentPage(HWND sheet);
// Posts PSM_SETCURSEL, then waits until tab control and sheet show the page.
bool SelectTab(HWND sheet, int index, int timeoutMs = 5000);

// Posted, never sent: the click may open a modal box, and a sent BM_CLICK
// would then not return until someone answered that box.
void ClickButton(HWND button);
void SetText(HWND control, const std::string& text);
std::string GetText(HWND control);

std::vector<std::string> ListItems(HWND listBox);

struct MessageBoxInfo { HWND window = nullptr, owner = nullptr; std::string text; };
// A visible top-level "#32770" window of pid (0 = any) with that title.
bool WaitForMessageBox(DWORD pid, const std::string& title, int timeoutMs, MessageBoxInfo& out);
// Posts WM_COMMAND(id), as its button or, for IDCANCEL, Esc does. False if the
// box is already answered.
bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId);
