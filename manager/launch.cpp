// LaunchLink: an Internet Shortcut file in the user's temporary folder, opened
// by the system's "rundll32 url.dll,FileProtocolHandler", removed by a thread
// of its own once the opener and what it started are done.
#include "manager/launch.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "addressdb/store.h"
#include "importexport/favorite_names.h"
#include "manager/messages.h"

namespace {

const char kCannotStart[] = "Internet-Explorer konnte nicht gestartet werden !";
const DWORD kWaitMs = 60000;

// The shortcut and the name reserved for it; both are removed afterwards.
// The folder that holds them is the opener's current folder.
struct ShortcutFile {
  char path[MAX_PATH] = "";
  char reserved[MAX_PATH] = "";
  char folder[MAX_PATH] = "";
};

void RemoveShortcut(const ShortcutFile& file) {
  if (file.path[0] != '\0') DeleteFileA(file.path);
  if (file.reserved[0] != '\0') DeleteFileA(file.reserved);
}

bool WriteAll(HANDLE file, const std::string& text) {
  DWORD written = 0;
  return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

// The name comes from the program, never from the entry, so an entry's name
// cannot point the file elsewhere. GetTempFileNameA reserves a unique ".tmp"
// name; the shortcut takes the same stem with ".url", which the opener needs
// to know the file for an Internet Shortcut, and is created only if new. The
// path is kept only for a file made here: a name that proved taken belongs to
// another file, which must be neither opened nor deleted.
bool MakeShortcut(std::string_view link, ShortcutFile& file) {
  file.path[0] = '\0';
  DWORD n = GetTempPathA(MAX_PATH, file.folder);
  if (n == 0 || n >= MAX_PATH) return false;
  const std::string content = "[InternetShortcut]\r\nURL=" + std::string(link) + "\r\n";
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (GetTempFileNameA(file.folder, "qxl", 0, file.reserved) == 0) {
      file.reserved[0] = '\0';
      return false;
    }
    std::size_t length = std::strlen(file.reserved);
    if (length < 4) break;
    char candidate[MAX_PATH];
    std::memcpy(candidate, file.reserved, length + 1);
    std::memcpy(candidate + length - 4, ".url", 4);
    HANDLE handle = CreateFileA(candidate, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      std::memcpy(file.path, candidate, length + 1);
      bool ok = WriteAll(handle, content);
      CloseHandle(handle);
      return ok;
    }
    DWORD error = GetLastError();
    DeleteFileA(file.reserved);
    file.reserved[0] = '\0';
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return false;
}

// The started program hands the shortcut on to another process, which reads
// it a moment later (under Wine: "rundll32 ieframe.dll,OpenURL"), so the file
// must outlive the opener; the job collects the processes it starts. A browser
// started by them lives on in the job, though: once the opener itself has
// ended, the others get a few seconds to read the file, not the whole minute.
// Without a job nothing tells when they are done: they get those seconds in full.
const DWORD kHandOnMs = 10000;

bool JobDone(HANDLE job) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
  return job != nullptr &&
         QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info,
                                   nullptr) &&
         info.ActiveProcesses == 0;
}

// The wait happens on a thread of its own, so that the window answers its
// user meanwhile. Set at the program's end: every wait ends at once and
// removes its shortcut. Both lists belong to the window's thread.
HANDLE StopWaiting = nullptr;
std::vector<HANDLE> WaitingThreads;

// True when the program ends within ms; without the event, just the pause.
bool Stopped(DWORD ms) {
  if (StopWaiting == nullptr) {
    Sleep(ms);
    return false;
  }
  return WaitForSingleObject(StopWaiting, ms) == WAIT_OBJECT_0;
}

// One started opener with its job and its shortcut; the waiting thread owns it.
struct PendingLaunch {
  HANDLE job;
  HANDLE process;
  ShortcutFile shortcut;
};

// Waits for the opener, at most a minute, then for the processes it started.
void WaitForReaders(const PendingLaunch& launch) {
  const DWORD start = GetTickCount();
  const HANDLE ends[] = {launch.process, StopWaiting};
  if (WaitForMultipleObjects(StopWaiting != nullptr ? 2 : 1, ends, FALSE, kWaitMs) != WAIT_OBJECT_0)
    return;
  const DWORD openerEnded = GetTickCount();
  while (!JobDone(launch.job) && GetTickCount() - openerEnded < kHandOnMs &&
         GetTickCount() - start < kWaitMs) {
    if (Stopped(20)) return;
  }
}

DWORD WINAPI WaitAndRemove(void* parameter) {
  PendingLaunch* launch = static_cast<PendingLaunch*>(parameter);
  WaitForReaders(*launch);
  RemoveShortcut(launch->shortcut);
  if (launch->job != nullptr) CloseHandle(launch->job);
  CloseHandle(launch->process);
  delete launch;
  return 0;
}

// Hands the wait to a thread of its own; where none can be made, the wait
// happens here, as the one way left to remove the file in time.
void WaitAway(PendingLaunch* launch) {
  for (auto it = WaitingThreads.begin(); it != WaitingThreads.end();) {
    if (WaitForSingleObject(*it, 0) != WAIT_OBJECT_0) {
      ++it;
      continue;
    }
    CloseHandle(*it);
    it = WaitingThreads.erase(it);
  }
  if (StopWaiting == nullptr) StopWaiting = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = StopWaiting != nullptr
                      ? CreateThread(nullptr, 0, WaitAndRemove, launch, 0, nullptr)
                      : nullptr;
  if (thread == nullptr) {
    WaitAndRemove(launch);
    return;
  }
  WaitingThreads.push_back(thread);
}

// The opener from the system folder: a bare "rundll32" would be looked for in
// the current folder first, which is the data folder and anyone's to fill.
bool OpenerCommand(const char* shortcut, char (&program)[MAX_PATH], std::string& command) {
  const UINT n = GetSystemDirectoryA(program, MAX_PATH);
  if (n == 0 || n + sizeof "\\rundll32.exe" > MAX_PATH) return false;
  std::strcat(program, "\\rundll32.exe");
  command = std::string("\"") + program + "\" url.dll,FileProtocolHandler " + shortcut;
  return true;
}

}  // namespace

void EndLaunches() {
  if (StopWaiting == nullptr) return;
  SetEvent(StopWaiting);
  for (HANDLE thread : WaitingThreads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  WaitingThreads.clear();
  // A launch after this one waits in full again.
  ResetEvent(StopWaiting);
}

bool LaunchLink(long position) {
  if (position < 0 || position >= RecordCount()) return false;
  ShortcutFile shortcut;
  // Without the file the opener would get nothing to open, yet the start
  // would count as success: nothing is started then. Nor for a link with a
  // line break, which would add keys of its own to the shortcut.
  const std::string_view link = FieldText(RecordAt(position).link);
  if (!FavoriteLinkWritable(link) || !MakeShortcut(link, shortcut)) {
    RemoveShortcut(shortcut);
    ErrorBox(kCannotStart);
    return false;
  }

  char program[MAX_PATH];
  std::string command;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION process{};
  // Started suspended so that it is in the job before it can start others;
  // in the temporary folder, so that nothing it starts looks for files beside
  // the user's data.
  const bool started =
      OpenerCommand(shortcut.path, program, command) &&
      CreateProcessA(program, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                     shortcut.folder, &startup, &process) != FALSE;
  if (started) {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (job != nullptr && !AssignProcessToJobObject(job, process.hProcess)) {
      CloseHandle(job);
      job = nullptr;
    }
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    WaitAway(new PendingLaunch{job, process.hProcess, shortcut});
    return true;
  }
  // Removed before the message, so that no file waits for the user's answer.
  RemoveShortcut(shortcut);
  ErrorBox(kCannotStart);
  return false;
}
