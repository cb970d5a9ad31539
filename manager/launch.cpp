// LaunchLink: an Internet Shortcut file in the user's temporary folder, opened
// by "rundll32 url.dll,FileProtocolHandler", removed once the opener is done.
#include "manager/launch.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "addressdb/store.h"
#include "manager/messages.h"

namespace {

const char kCannotStart[] = "Internet-Explorer konnte nicht gestartet werden !";
const DWORD kWaitMs = 60000;

// The shortcut and the name reserved for it; both are removed afterwards.
struct ShortcutFile {
  char path[MAX_PATH] = "";
  char reserved[MAX_PATH] = "";
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
  char folder[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, folder);
  if (n == 0 || n >= MAX_PATH) return false;
  const std::string content = "[InternetShortcut]\r\nURL=" + std::string(link) + "\r\n";
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (GetTempFileNameA(folder, "qxl", 0, file.reserved) == 0) {
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

// Waits for the opener, at most a minute. Messages that other programs send
// to our windows meanwhile (a broadcast, a DDE start-up) are answered; the
// user's input waits.
void WaitForOpener(HANDLE job, HANDLE process) {
  const DWORD start = GetTickCount();
  DWORD openerEnded = 0;
  bool ended = false;
  while (GetTickCount() - start < kWaitMs) {
    if (!ended && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
      ended = true;
      openerEnded = GetTickCount();
    }
    if (ended && (JobDone(job) || GetTickCount() - openerEnded >= kHandOnMs)) return;
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE) == WAIT_OBJECT_0) {
      MSG message;
      PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
}

}  // namespace

bool LaunchLink(long position) {
  if (position < 0 || position >= RecordCount()) return false;
  ShortcutFile shortcut;
  // Without the file the opener would get nothing to open, yet the start
  // would count as success: nothing is started then.
  if (!MakeShortcut(FieldText(RecordAt(position).link), shortcut)) {
    RemoveShortcut(shortcut);
    ErrorBox(kCannotStart);
    return false;
  }

  char command[324];
  std::snprintf(command, sizeof command, "rundll32 url.dll,FileProtocolHandler %s", shortcut.path);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION process{};
  // Started suspended so that it is in the job before it can start others.
  const bool started = CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                      nullptr, nullptr, &startup, &process) != FALSE;
  if (started) {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (job != nullptr && !AssignProcessToJobObject(job, process.hProcess)) {
      CloseHandle(job);
      job = nullptr;
    }
    ResumeThread(process.hThread);
    WaitForOpener(job, process.hProcess);
    if (job != nullptr) CloseHandle(job);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  // Removed before the message, so that no file waits for the user's answer.
  RemoveShortcut(shortcut);
  if (!started) ErrorBox(kCannotStart);
  return started;
}
