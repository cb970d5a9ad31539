// The address store on real files. Every file call of every store operation
// is made to fail in turn, as a full disk or a locked file would: the data file
// stays the one from before or becomes the one from after, the backup stays
// apart from it, no work file is left, the operation's own message is shown,
// and the store goes on working. An import is swept as one operation. The store ended at random moments by another
// process is store_kill_test.cpp.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "addressdb/store.h"
#include "tests/win/recording_messages.h"
#include "tests/win/test_folder.h"

namespace {

using Strings = std::vector<std::string>;
const char kWrongFormat[] = "Falsches Dateiformat !";
const char kCannotOpen[] = "Adressdatei kann nicht ge\xF6" "ffnet werden !";
const char kCannotMap[] = "Adressdatei kann nicht in Speicher geladen werden !";
const char kCannotWrite[] = "Eintrag konnte nicht in Datei geschrieben werden !";
const char kCannotDelete[] = "Eintrag konnte nicht aus Datei gel\xF6scht werden !";
const std::string kOldBackup = "an older backup";

std::string FileOf(const Strings& names) {
  std::string bytes;
  for (const std::string& n : names) bytes += Bytes(MakeRecord(n, "http://" + n + "/"));
  return bytes;
}

// A file of part of a record is refused unchanged; so are positions outside
// the store; a closed store sorts and finds nothing.
TEST(Store, RefusesWhatIsNotThere) {
  TestFolder folder;
  const std::string part(640, 'q'), two = FileOf({"A", "B"});
  WriteBytes("qxinetvz.dat", part);
  RecordedMessages().clear();
  EXPECT_FALSE(OpenStore());
  EXPECT_EQ(RecordedMessages(), Strings{kWrongFormat});
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), part);
  SortRecords();
  EXPECT_EQ(FindByLink(), -1);
  WriteBytes("qxinetvz.dat", two);
  ASSERT_TRUE(OpenStore());
  EXPECT_FALSE(DeleteRecord(2));
  EXPECT_FALSE(DeleteRecord(-1));
  EXPECT_EQ(RecordedMessages(), (Strings{kWrongFormat, kCannotDelete, kCannotDelete}));
  CloseStore();
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), two);
}

struct Injection {
  int calls = 0, failAt = 0;
  std::string failed;     // the call that was made to fail
  bool dataFile = false;  // it was to open the data file
  bool replaced = false;  // the data file was replaced before that
} fault;

bool Fails(const char* call) {
  if (++fault.calls != fault.failAt) return false;
  fault.failed = call;
  return true;
}

HANDLE WINAPI TryCreateFile(LPCSTR n, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD f,
                            HANDLE t) {
  if (Fails("CreateFileA")) {
    fault.dataFile = std::string(n) == "qxinetvz.dat";
    return SetLastError(ERROR_SHARING_VIOLATION), INVALID_HANDLE_VALUE;
  }
  return CreateFileA(n, a, s, sa, d, f, t);
}
BOOL WINAPI TryWriteFile(HANDLE h, LPCVOID data, DWORD n, LPDWORD written, LPOVERLAPPED o) {
  if (Fails("WriteFile")) {  // the disk fills up half-way
    WriteFile(h, data, n / 2, written, o);
    return SetLastError(ERROR_DISK_FULL), FALSE;
  }
  return WriteFile(h, data, n, written, o);
}
BOOL WINAPI TryCopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists) {
  return Fails("CopyFileA") ? SetLastError(ERROR_DISK_FULL), FALSE : CopyFileA(from, to, failIfExists);
}
BOOL WINAPI TryCreateHardLink(LPCSTR link, LPCSTR target, LPSECURITY_ATTRIBUTES sa) {
  return Fails("CreateHardLinkA") ? SetLastError(ERROR_NOT_SUPPORTED), FALSE
                                  : CreateHardLinkA(link, target, sa);
}
BOOL WINAPI TryMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
  if (Fails("MoveFileExA")) return SetLastError(ERROR_ACCESS_DENIED), FALSE;
  BOOL ok = MoveFileExA(from, to, flags);
  if (ok && std::string(to) == "qxinetvz.dat") fault.replaced = true;
  return ok;
}
BOOL WINAPI TryDeleteFile(LPCSTR name) {
  return Fails("DeleteFileA") ? SetLastError(ERROR_ACCESS_DENIED), FALSE : DeleteFileA(name);
}
HANDLE WINAPI TryCreateFileMapping(HANDLE h, LPSECURITY_ATTRIBUTES sa, DWORD p, DWORD hi, DWORD lo,
                                   LPCSTR name) {
  if (Fails("CreateFileMappingA")) return SetLastError(ERROR_NOT_ENOUGH_MEMORY), nullptr;
  return CreateFileMappingA(h, sa, p, hi, lo, name);
}
LPVOID WINAPI TryMapViewOfFile(HANDLE m, DWORD a, DWORD hi, DWORD lo, SIZE_T n) {
  if (Fails("MapViewOfFile")) return SetLastError(ERROR_NOT_ENOUGH_MEMORY), nullptr;
  return MapViewOfFile(m, a, hi, lo, n);
}

BOOL WINAPI TryFlushFileBuffers(HANDLE h) {
  return Fails("FlushFileBuffers") ? SetLastError(ERROR_DISK_FULL), FALSE : FlushFileBuffers(h);
}
BOOL WINAPI TryFlushViewOfFile(LPCVOID at, SIZE_T n) {
  return Fails("FlushViewOfFile") ? SetLastError(ERROR_LOCK_VIOLATION), FALSE : FlushViewOfFile(at, n);
}

const char* OpenMessage(const std::string& call) {
  return call == "CreateFileA" ? kCannotOpen : kCannotMap;
}

bool AppendB() {
  CurrentRecord = MakeRecord("B", "http://B/");
  return AppendRecord();
}

struct Operation {
  const char* name;
  Strings before;
  std::function<bool()> run;    // on the store as the setup left it
  std::function<void()> setup;  // not counted
  bool backsUp, opens;          // opens: the operation is the opening itself
  // The message when the given call failed before the file was replaced.
  std::function<const char*(const std::string&)> message;
};

const Operation kOperations[] = {
    {"OpenStore", {"A", "C"}, OpenStore, CloseStore, false, true, OpenMessage},
    {"OpenStore with a backup that shares the data file", {"A", "C"}, OpenStore,
     [] {
       CloseStore();
       DeleteFileA("qxinetvz.bak");
       CreateHardLinkA("qxinetvz.bak", "qxinetvz.dat", nullptr);
     },
     false, true, OpenMessage},
    {"AppendRecord", {"A", "C", "E"}, AppendB, nullptr, true, false,
     [](const std::string&) { return kCannotWrite; }},
    {"AppendRecord to an empty file", {}, AppendB, nullptr, true, false,
     [](const std::string& call) {
       return call == "CreateFileA" && fault.failAt == 1 ? kCannotOpen : kCannotWrite;
     }},
    {"DeleteRecord", {"A", "C", "E"}, [] { return DeleteRecord(1); }, nullptr, true, false,
     [](const std::string& call) {
       return call == "CreateFileA"
                  ? "Arbeitsdatei kann nicht angelegt werden, Eintrag nicht gel\xF6scht !"
                  : kCannotDelete;
     }},
    {"SortRecords after a change of name", {"Z", "C", "E"}, [] { return SortRecords(), true; },
     nullptr, false, false, [](const std::string&) -> const char* { return nullptr; }},
    {"WriteRecord", {"A", "C"}, [] { return WriteRecord(1, MakeRecord("C", "http://C/", "neu")), true; },
     nullptr, false, false, [](const std::string&) -> const char* { return nullptr; }},
    // An addition, then an overwrite the backup must not show, in one durable point.
    {"an import", {"A", "C", "E"},
     [] {
       BeginImport();
       AppendB();
       CurrentRecord = MakeRecord("Z", "HTTP://A/");
       OverwriteWithCurrent(FindByLink());
       EndImport();
       return !ImportStopped();
     },
     nullptr, true, false, [](const std::string&) { return kCannotWrite; }},
};

struct Outcome {
  bool result;
  std::string data, backup;
  bool workLeft;
  Strings messages;
};

Outcome RunOnce(const Operation& op, int failAt) {
  TestFolder folder;
  WriteBytes("qxinetvz.dat", FileOf(op.before));
  WriteBytes("qxinetvz.bak", kOldBackup);
  OpenStore();
  if (op.setup) op.setup();
  RecordedMessages().clear();
  fault = Injection{};
  fault.failAt = failAt;
  StoreIo = {TryCreateFile,        TryWriteFile,     TryCopyFile,         TryCreateHardLink,
             TryMoveFileEx,        TryDeleteFile,    TryCreateFileMapping, TryMapViewOfFile,
             TryFlushFileBuffers, TryFlushViewOfFile};
  Outcome o;
  o.result = op.run();
  StoreIo = StoreFileCalls{};
  o.messages = RecordedMessages();
  CloseStore();
  o.data = ReadBytes("qxinetvz.dat");
  o.backup = ReadBytes("qxinetvz.bak");
  o.workLeft = FileExists("qxinetvz.tmp");

  // A change in place must not reach the backup, and the store goes on.
  OpenStore();
  if (StoreHasView()) SetFieldText(RecordAt(0).description, "ge\xE4ndert");
  CloseStore();
  EXPECT_EQ(ReadBytes("qxinetvz.bak"), o.backup) << op.name << ", call " << failAt;
  OpenStore();
  EXPECT_TRUE(AppendB()) << op.name << ", call " << failAt;
  EXPECT_EQ(RecordCount(), static_cast<long>(o.data.size() / RecordSize) + 1) << op.name;
  CloseStore();
  return o;
}

TEST(Store, EveryFailingFileCallLeavesAWholeStore) {
  int injected = 0;
  for (const Operation& op : kOperations) {
    const std::string before = FileOf(op.before);
    const Outcome clean = RunOnce(op, 0);
    const int calls = fault.calls;
    ASSERT_GT(calls, 0) << op.name;
    ASSERT_TRUE(clean.messages.empty()) << op.name;
    EXPECT_TRUE(!op.backsUp || clean.backup == before) << op.name;

    for (int k = 1; k <= calls; ++k, ++injected) {
      RecordedMessages().clear();
      const Outcome o = RunOnce(op, k);
      const std::string where = std::string(op.name) + ", failing call " + std::to_string(k) +
                                " (" + fault.failed + ")";
      EXPECT_FALSE(o.workLeft) << where;
      EXPECT_TRUE(o.data == before || o.data == clean.data) << where;
      // A work file that may not have reached the disk never replaces the data file.
      EXPECT_TRUE(fault.failed != "FlushFileBuffers" || fault.replaced || o.data == before) << where;
      const bool replaced = o.data == clean.data && clean.data != before;
      EXPECT_TRUE(replaced ? !op.backsUp || o.backup == before
                           : o.backup == kOldBackup || o.backup == before) << where;

      // Only a failure while opening speaks; a failed change speaks for itself.
      const bool opening = (fault.failed == "CreateFileA" && fault.dataFile) ||
                           fault.failed == "CreateFileMappingA" || fault.failed == "MapViewOfFile";
      const char* m = nullptr;
      if (fault.replaced || op.opens) {
        if (opening) m = OpenMessage(fault.failed);
      } else if (o.data == before && clean.data != before) {
        m = op.message(fault.failed);
        EXPECT_FALSE(o.result && m) << where;
      }
      EXPECT_EQ(o.messages, m ? Strings{m} : Strings{}) << where;
    }
  }
  std::printf("store faults injected: %d\n", injected);
  EXPECT_GT(injected, 30);
}

}  // namespace
