// The address store on real files. Every file call of every store operation
// is made to fail in turn, as a full disk or a locked file would: the data file
// stays the one from before or becomes the one from after, the backup stays
// apart from it, no work file is left, the operation's own message is shown,
// and the store goes on working; and nothing counts as written before it has
// reached the disk. A call refused for a moment only, as while a virus
// scanner has the file open, is waited for. Throughout, the current folder
// is elsewhere, as a file dialog may leave it on Windows. An import is swept
// as one operation, and two faults that meet it between its durable points
// are tried on their own. The store ended
// at random moments by another process is store_kill_test.cpp.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>

#include "addressdb/store.h"
#include "tests/win/test_folder.h"

namespace {

using Strings = std::vector<std::string>;
using S = StoreFileCalls;
const char kCannotOpen[] = "Adressdatei kann nicht ge\xF6" "ffnet werden !";
const char kCannotWrite[] = "Eintrag konnte nicht in Datei geschrieben werden !";
const char kCannotDelete[] = "Eintrag konnte nicht aus Datei gel\xF6scht werden !";
const char kCannotMap[] = "Adressdatei kann nicht in Speicher geladen werden !";
const std::string kOldBackup = "an older backup";

std::string FileOf(const Strings& names) {
  std::string bytes;
  for (const std::string& n : names) bytes += Bytes({MakeRecord(n, "http://" + n + "/")});
  return bytes;
}

// The calls made, as "C dat" (CreateFileA), "W tmp" (WriteFile), "F tmp"
// (FlushFileBuffers), "V" (FlushViewOfFile), "M tmp>dat!" (MoveFileExA, "!"
// when written through) or the bare name, each ended by "|".
struct Injection {
  int calls = 0, failAt = 0;
  bool brief = false;                            // the failing call is refused as a file in use, once
  std::string failed;                            // the call that was made to fail, as logged
  bool replaced = false, replacedFirst = false;  // the data file was replaced (before the failing call)
  std::string log;
  std::function<void(bool)> aroundReplace;       // runs before (false) and after (true) the data file is replaced
} fault;

std::string Short(const std::string& name) { return name.substr(name.rfind('.') + 1); }
std::string Short(HANDLE file) {
  char path[MAX_PATH] = "";
  GetFinalPathNameByHandleA(file, path, MAX_PATH, 0);
  return Short(std::string(path));
}

bool Fails(const std::string& call) {
  fault.log += call + "|";
  if (++fault.calls != fault.failAt) return false;
  fault.failed = call;
  fault.replacedFirst = fault.replaced;
  return true;
}

DWORD Refusal(DWORD error) { return fault.brief ? ERROR_SHARING_VIOLATION : error; }

// Call number failAt fails with the error given and makes nothing; every other goes through.
template <auto Call, const char* Name, DWORD Error, typename R, typename... A>
R WINAPI Try(A... a) {
  if (!Fails(Name)) return (StoreFileCalls{}.*Call)(a...);
  SetLastError(Refusal(Error));
  return R();
}
constexpr char kCopy[] = "CopyFileA", kLink[] = "CreateHardLinkA", kDelete[] = "DeleteFileA";
constexpr char kMapping[] = "CreateFileMappingA", kView[] = "MapViewOfFile", kFlushView[] = "V";

HANDLE WINAPI TryCreateFile(LPCSTR n, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD f, HANDLE t) {
  // A hold file refused as a read-only one, or one being deleted as another copy ends,
  // is on Windows; any other file as if write-protected (a moment's hold is waited for).
  const DWORD error = Short(n) == "lck" ? ERROR_ACCESS_DENIED : Refusal(ERROR_WRITE_PROTECT);
  if (Fails("C " + Short(n))) return SetLastError(error), INVALID_HANDLE_VALUE;
  return CreateFileA(n, a, s, sa, d, f, t);
}
BOOL WINAPI TryWriteFile(HANDLE h, LPCVOID data, DWORD n, LPDWORD written, LPOVERLAPPED o) {
  if (!Fails("W " + Short(h))) return WriteFile(h, data, n, written, o);
  WriteFile(h, data, n / 2, written, o);  // the disk fills up half-way
  return SetLastError(ERROR_DISK_FULL), FALSE;
}
BOOL WINAPI TryFlush(HANDLE h) {
  return Fails("F " + Short(h)) ? (SetLastError(ERROR_DISK_FULL), FALSE) : FlushFileBuffers(h);
}
BOOL WINAPI TryMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
  const std::string call = "M " + Short(from) + ">" + Short(to) + (flags & MOVEFILE_WRITE_THROUGH ? "!" : "");
  if (Fails(call)) return SetLastError(Refusal(ERROR_WRITE_PROTECT)), FALSE;
  const bool data = Short(to) == "dat";
  if (data && fault.aroundReplace) fault.aroundReplace(false);
  const BOOL ok = MoveFileExA(from, to, flags);
  if (ok && data && (fault.replaced = true) && fault.aroundReplace) fault.aroundReplace(true);
  return ok;
}

void Inject(int failAt, bool brief = false) {
  fault = Injection{};
  fault.failAt = failAt;
  fault.brief = brief;
  StoreIo = {TryCreateFile, TryWriteFile, Try<&S::copyFile, kCopy, ERROR_DISK_FULL>,
             Try<&S::createHardLink, kLink, ERROR_NOT_SUPPORTED>, TryMoveFileEx,
             Try<&S::deleteFile, kDelete, ERROR_WRITE_PROTECT>,
             Try<&S::createFileMapping, kMapping, ERROR_NOT_ENOUGH_MEMORY>,
             Try<&S::mapViewOfFile, kView, ERROR_NOT_ENOUGH_MEMORY>, TryFlush,
             Try<&S::flushViewOfFile, kFlushView, ERROR_LOCK_VIOLATION>};
}

bool AppendB() {
  CurrentRecord = MakeRecord("B", "http://B/");
  return AppendRecord();
}

// A call made to fail, as logged, and the message the user sees then (none:
// nullptr): only a failure while opening speaks, a failed change speaks for
// itself, a change in place that may not have reached the disk as a failed
// write, and what fails after the data file was replaced as the opening.
struct Call {
  std::string call;
  const char* message;
};
using Calls = std::vector<Call>;
const Calls kReopen = {{"C dat", kCannotOpen}, {kMapping, kCannotMap}, {kView, kCannotMap}};
Calls Then(Calls calls, const Calls& more) {
  calls.insert(calls.end(), more.begin(), more.end());
  return calls;
}

struct Operation {
  const char* name;
  Strings before;
  bool backsUp, opens, shared;  // opens: is the opening itself; shared: the backup is the data file
  std::function<bool()> run;    // on the open store, unless it opens it
  Calls calls;                  // every call it makes, in order
};

const Operation kOperations[] = {
    {"OpenStore", {"A", "C"}, false, true, false, OpenStore, Then({{"C lck", kCannotOpen}}, kReopen)},
    {"OpenStore with a backup that shares the data file", {"A", "C"}, false, true, true, OpenStore,
     Then({{"C lck", kCannotOpen}, {"C dat", kCannotOpen}, {kCopy, nullptr}, {"C tmp", nullptr}, {"F tmp", nullptr},
           {"M tmp>bak!", nullptr}},
          kReopen)},
    {"AppendRecord", {"A", "C", "E"}, true, false, false, AppendB,
     Then({{"C tmp", kCannotWrite}, {"W tmp", kCannotWrite}, {"F tmp", kCannotWrite}, {kDelete, nullptr},
           {kLink, nullptr}, {"M tmp>dat!", kCannotWrite}},
          kReopen)},
    {"AppendRecord to an empty file", {}, true, false, false, AppendB,
     Then({{"C dat", kCannotOpen}, {"C tmp", kCannotWrite}, {"W tmp", kCannotWrite}, {"F tmp", kCannotWrite},
           {kDelete, nullptr}, {kLink, nullptr}, {"M tmp>dat!", kCannotWrite}},
          kReopen)},
    {"DeleteRecord", {"A", "C", "E"}, true, false, false, [] { return DeleteRecord(1); },
     Then({{"C tmp", "Arbeitsdatei kann nicht angelegt werden, Eintrag nicht gel\xF6scht !"},
           {"W tmp", kCannotDelete}, {"F tmp", kCannotDelete}, {kDelete, nullptr}, {kLink, nullptr},
           {"M tmp>dat!", kCannotDelete}},
          kReopen)},
    // The order is only the list's: a failed rewrite keeps the old one unseen.
    {"SortRecords after a rename", {"Z", "C", "E"}, false, false, false, [] { return SortRecords(), true; },
     Then({{"C tmp", nullptr}, {"W tmp", nullptr}, {"F tmp", nullptr}, {"M tmp>dat!", nullptr}}, kReopen)},
    {"WriteRecord", {"A", "C"}, false, false, false, [] { return WriteRecord(1, MakeRecord("C", "http://C/", "x")); },
     {{kFlushView, kCannotWrite}, {"F dat", kCannotWrite}}},
    // An addition, then an overwrite the backup must not show, in one durable
    // point; once the data file is replaced, the backup is written and the
    // file reopened, and what fails there is tried again unseen at the end.
    {"an import", {"A", "C", "E"}, true, false, false,
     [] {
       BeginImport();
       AppendB();
       CurrentRecord = MakeRecord("Z", "HTTP://A/");
       OverwriteWithCurrent(FindByLink());
       EndImport();
       return !ImportStopped();
     },
     {{"C tmp", kCannotWrite}, {"W tmp", kCannotWrite}, {"F tmp", kCannotWrite}, {"M tmp>dat!", kCannotWrite},
      {"C tmp", nullptr}, {"W tmp", nullptr}, {"F tmp", nullptr}, {"M tmp>bak!", nullptr}, {"C dat", nullptr},
      {kMapping, nullptr}, {kView, nullptr}}},
};

struct Outcome {
  bool result, workLeft, strayed;  // strayed: a file was made in the current folder
  std::string data, backup;
  Strings messages;
};

Outcome RunOnce(const Operation& op, int failAt, bool brief = false) {
  TestFolder folder;
  WriteBytes("qxinetvz.dat", FileOf(op.before));
  WriteBytes("qxinetvz.lck", "");  // a hold file may be there already
  if (op.shared) CreateHardLinkA("qxinetvz.bak", "qxinetvz.dat", nullptr);
  else WriteBytes("qxinetvz.bak", kOldBackup);
  const std::string elsewhere = folder.path() + "\\elsewhere";
  CreateDirectoryA(elsewhere.c_str(), nullptr);
  if (!op.opens) {
    OpenStore();
    SetCurrentDirectoryA(elsewhere.c_str());
  }
  RecordedMessages().clear();
  Inject(failAt, brief);
  const bool result = op.run();
  StoreIo = StoreFileCalls{};
  SetCurrentDirectoryA(folder.path().c_str());
  Outcome o{result, FileExists("qxinetvz.tmp"), !std::filesystem::is_empty(elsewhere), "", "", RecordedMessages()};
  CloseStore();
  o.data = ReadBytes("qxinetvz.dat"), o.backup = ReadBytes("qxinetvz.bak");

  // A change in place must not reach the backup, and the store goes on.
  OpenStore();
  if (StoreHasView()) {
    AddressRecord changed = RecordAt(0);
    SetFieldText(changed.description, "ge\xE4ndert");
    WriteRecord(0, changed);
  }
  CloseStore();
  EXPECT_EQ(ReadBytes("qxinetvz.bak"), o.backup) << op.name << ", call " << failAt;
  OpenStore();
  EXPECT_TRUE(AppendB() && RecordCount() == long(o.data.size() / RecordSize) + 1) << op.name << ", call " << failAt;
  CloseStore();
  return o;
}

TEST(Store, EveryFailingFileCallLeavesAWholeStore) {
  for (const Operation& op : kOperations) {
    const std::string before = FileOf(op.before);
    const Outcome clean = RunOnce(op, 0);
    ASSERT_TRUE(clean.messages.empty() && clean.result && !clean.strayed) << op.name;
    std::string calls;
    for (const Call& c : op.calls) calls += c.call + "|";
    ASSERT_EQ(fault.log, calls) << op.name;
    EXPECT_TRUE(!op.backsUp || clean.backup == before) << op.name;
    // Nothing counts as written before it reached the disk: the work file takes the data
    // file's name only after a flush that follows its last write, and any name only written
    // through; a copied backup is flushed at once; a change in place flushes its page, then
    // the data file. Checked also where hard links fail and the backup is copied.
    auto durable = [&](const std::string& run) {
      for (const char* wrong : {R"(W tmp\|((?!F tmp\|)[^|]*\|)*M tmp>dat)", R"(M tmp>[a-z]+\|)",
                                R"(V\|(?!F dat\|))", R"(CopyFileA\|(?!C [a-z]+\|F ))"})
        EXPECT_FALSE(std::regex_search(fault.log, std::regex(wrong))) << run << ": " << fault.log;
    };
    durable(op.name);

    for (int k = 1; k <= int(op.calls.size()); ++k) {
      const Outcome o = RunOnce(op, k);
      const std::string where = op.name + (", failing call " + std::to_string(k)) + ": " + fault.failed;
      if (fault.failed == kLink) durable(where);
      EXPECT_TRUE(!o.workLeft && !o.strayed && (o.data == before || o.data == clean.data)) << where;
      // A work file that may not have reached the disk never replaces the data file.
      EXPECT_TRUE(fault.failed != "F tmp" || fault.replacedFirst || o.data == before) << where;
      const bool replaced = o.data == clean.data && clean.data != before;
      EXPECT_TRUE(replaced ? !op.backsUp || o.backup == before : o.backup == kOldBackup || o.backup == before)
          << where;

      const char* m = op.calls[k - 1].message;
      EXPECT_EQ(o.messages, m ? Strings{m} : Strings{}) << where;
      // Without the hold two copies could share one work file; an opening or
      // a change that failed says so.
      EXPECT_FALSE(o.result && m && (op.opens || o.data == before)) << where;
      // Refused for a moment only: as though nothing had been in the way.
      if (std::regex_search(fault.failed, std::regex("^(C (?!lck)|M |CopyFileA|CreateHardLinkA|DeleteFileA)"))) {
        const Outcome brief = RunOnce(op, k, true);
        EXPECT_TRUE(brief.messages.empty() && brief.data == clean.data && brief.backup == clean.backup)
            << where << ", refused once as a file in use";
      }
    }
  }
}

// Between an import's durable points: another program takes the data file the
// moment a point has put it in place (the import goes on from its image and
// tells it once, when its next point cannot replace the file), or just before
// (the import tells it once, stops and writes nothing more; a page shown
// while the file is taken does not tell it again); or the backup fails at both tries of
// the last addition's point and only skipped entries follow (the end writes it).
TEST(Store, AnImportBetweenItsPoints) {
  for (int takenAt : {1, 0, -1}) {  // after the rename, before it, never
    const bool taken = takenAt >= 0;
    TestFolder folder;
    WriteBytes("qxinetvz.dat", FileOf({"A", "C"}));
    ASSERT_TRUE(OpenStore());
    RecordedMessages().clear();
    Inject(0);
    HANDLE held = INVALID_HANDLE_VALUE;
    fault.aroundReplace = [&](bool after) {
      if (after == takenAt && held == INVALID_HANDLE_VALUE)
        held = CreateFileA("qxinetvz.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    if (!taken) StoreIo.moveFileEx = [](LPCSTR from, LPCSTR to, DWORD flags) -> BOOL {
      return Short(to) != "bak" && TryMoveFileEx(from, to, flags);
    };
    BeginImport();
    AppendB();
    EXPECT_EQ(SaveImport(), takenAt != 0);  // a file taken after the rename is tried at the next point
    const std::size_t firstPoint = fault.log.size();
    if (!taken) StoreIo.moveFileEx = TryMoveFileEx;
    EXPECT_EQ(FileExists("qxinetvz.bak"), takenAt == 1);
    CurrentRecord = MakeRecord(taken ? "D" : "X", taken ? "http://D/" : "HTTP://A/");  // new, or known and skipped
    if (FindByLink() < 0) AppendRecord();
    EXPECT_EQ(SaveImport(), !taken);
    EndImport();
    LookAgainAtStore();  // a page shown meanwhile: the store stays closed, told once
    EXPECT_EQ(StoreHasView(), !taken) << takenAt;
    StoreIo = StoreFileCalls{};
    CloseHandle(held);
    // A store the failure left closed is looked at again before a page shows it
    // (tried where the file was taken after the rename) and before a link counts as new.
    if (takenAt == 1) LookAgainAtStore();
    EXPECT_TRUE(takenAt != 1 || StoreHasView());
    CurrentRecord = MakeRecord("Z", "HTTP://A/");
    EXPECT_EQ(FindByLink(), 0) << takenAt;
    EXPECT_EQ(RecordedMessages(), taken ? Strings{kCannotOpen} : Strings{}) << takenAt;
    EXPECT_TRUE(takenAt != 0 || fault.log.find("M tmp>dat", firstPoint) == std::string::npos) << fault.log;
    CloseStore();
    EXPECT_EQ(ReadBytes("qxinetvz.dat"), FileOf(takenAt == 0 ? Strings{"A", "C"} : Strings{"A", "B", "C"})) << takenAt;
    EXPECT_EQ(ReadBytes("qxinetvz.bak"), takenAt == 0 ? "" : FileOf({"A", "C"})) << takenAt;
  }
}

// A store at its largest (a sparse file just below 2 GB) takes no addition: a
// larger file could not be mapped at the next start. Nothing is written.
TEST(Store, AFullStoreRefusesAnAddition) {
  TestFolder folder;
  const LONGLONG full = LONGLONG{(0x80000000LL - RecordSize) / RecordSize} * RecordSize;
  HANDLE file = CreateFileA("qxinetvz.dat", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = full;
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  ASSERT_TRUE(OpenStore());
  RecordedMessages().clear();
  EXPECT_FALSE(AppendB());
  CloseStore();
  EXPECT_EQ(RecordedMessages(), Strings{kCannotWrite});
  EXPECT_EQ(std::filesystem::file_size("qxinetvz.dat"), std::uintmax_t(full));
  EXPECT_FALSE(FileExists("qxinetvz.tmp") || FileExists("qxinetvz.bak"));
}

}  // namespace
