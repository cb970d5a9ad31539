// The address store: opening, guarding, changing and ordering the data file.
//
// The data file is only ever changed in two ways: one record written in place
// through the view (a new description, an import's overwrite), or replaced
// whole by a rename of the work file, which holds the complete new content.
// The pages of a mapping reach the file whatever happens to the process, so
// records are never moved inside the mapped data file itself.
#include "addressdb/store.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "addressdb/import_image.h"
#include "addressdb/store_files.h"
#include "manager/messages.h"

AddressRecord CurrentRecord{};
StoreFileCalls StoreIo;

namespace storefiles {
const char kCannotWrite[] = "Eintrag konnte nicht in Datei geschrieben werden !";
const char kEmpty[] = "Adressdatei ist leer !";
const char kCannotMap[] = "Adressdatei kann nicht in Speicher geladen werden !";
}  // namespace storefiles

using namespace storefiles;

namespace {

const char kMappingName[] = "qxinetfilemap";
// The store's files by their full names in the folder that was current when
// the store was first opened. The current folder may move afterwards (on
// Windows a file dialog can leave it in the chosen file's folder); the data
// file must not. The hold file is held, without sharing, from the first
// opening to CloseStore: the sign that a copy works on this folder's data
// file, which stays in place while the data file itself is closed to be
// replaced, and while it is empty.
struct FileNames {
  std::string data, backup, work, hold;
} names;  // empty until the first opening

// Beyond MAX_PATH only the extended form reaches the file; a folder that
// cannot be told leaves the names relative, as they would be anyway.
void FixFolder() {
  char folder[MAX_PATH] = "";
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
  std::string base = length > 0 && length < MAX_PATH ? folder : "";
  if (!base.empty() && base.back() != '\\') base += '\\';
  if (base.size() + 13 >= MAX_PATH)
    base = base.compare(0, 2, "\\\\") == 0 ? "\\\\?\\UNC\\" + base.substr(2) : "\\\\?\\" + base;
  names = {base + "qxinetvz.dat", base + "qxinetvz.bak", base + "qxinetvz.tmp", base + "qxinetvz.lck"};
}

const char kOtherInstance[] =
    "Adressdatenbank ist bereits von einer anderen Instanz dieses Programms ge\xF6"
    "ffnet ! Programm wird beendet !";
const char kCannotOpen[] = "Adressdatei kann nicht ge\xF6" "ffnet werden !";
const char kWrongFormat[] = "Falsches Dateiformat !";
const char kCannotCreateWork[] =
    "Arbeitsdatei kann nicht angelegt werden, Eintrag nicht gel\xF6scht !";
const char kCannotDelete[] = "Eintrag konnte nicht aus Datei gel\xF6scht werden !";

HANDLE holdFile = INVALID_HANDLE_VALUE;
HANDLE dataFile = INVALID_HANDLE_VALUE;
HANDLE mapping = nullptr;
AddressRecord* view = nullptr;
long recordCount = 0;
// Whether the records are in name order, as every change but a rename
// keeps them; outOfPlace: the one record a rename may have put out of it.
// Known without a look at the records after this copy wrote them in order;
// else looked at once, when first needed (-1 until then).
int inOrder = -1;
long outOfPlace = -1;
StoreMove lastMove;
// The problem last told while the store stayed closed: a page that looks
// again at the same closed store keeps quiet about it.
const char* toldWhileClosed = nullptr;

bool InOrder() {
  if (inOrder < 0) {
    inOrder = 1;
    for (long i = 1; i < recordCount && inOrder == 1; ++i)
      if (CompareNames(view[i - 1], view[i]) > 0) inOrder = 0;
  }
  return inOrder == 1;
}

HANDLE OpenDataFile() {
  return Patient<&StoreFileCalls::createFile>(DataName(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              OPEN_ALWAYS, 0, nullptr);
}

bool AnotherInstanceHoldsTheFile() {
  HANDLE other = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kMappingName);
  if (other == nullptr) return false;
  CloseHandle(other);
  return true;
}

// Why the data file could not be opened. While this copy holds the folder,
// no other copy can hold the file: someone else has it.
const char* CannotOpenReason() {
  if (holdFile != INVALID_HANDLE_VALUE) return kCannotOpen;
  return AnotherInstanceHoldsTheFile() ? kOtherInstance : kCannotOpen;
}

// Nullptr when this copy holds the folder, else why it cannot work here. The
// file goes with its last handle, also when the process is ended. Only where
// no such file exists and none can be made (a folder that takes no new files)
// is the data file's own lock all there is. A hold file that is there but
// cannot be held (another copy's, one being deleted as that copy ends, a
// read-only one, a folder of that name) turns this copy away: two copies
// without a hold would share one work file.
const char* HoldFolder() {
  if (holdFile != INVALID_HANDLE_VALUE) return nullptr;
  holdFile = StoreIo.createFile(names.hold.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (holdFile != INVALID_HANDLE_VALUE) return nullptr;
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION) return kOtherInstance;
  if (GetFileAttributesA(names.hold.c_str()) == INVALID_FILE_ATTRIBUTES &&
      GetLastError() == ERROR_FILE_NOT_FOUND)
    return nullptr;
  return AnotherInstanceHoldsTheFile() ? kOtherInstance : kCannotOpen;
}

bool SameFile(HANDLE a, const char* name) {
  HANDLE b = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (b == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION x, y;
  bool same = GetFileInformationByHandle(a, &x) && GetFileInformationByHandle(b, &y) &&
              x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
              x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
  CloseHandle(b);
  return same;
}

// A copied file has its bytes on the disk before it counts as a backup: a
// power cut must not leave a backup of the right size full of zeros.
bool FlushFile(const char* name) {
  HANDLE file = Patient<&StoreFileCalls::createFile>(
      name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = StoreIo.flushFileBuffers(file);
  CloseHandle(file);
  return flushed;
}

// The backup is made a second name of the data file just before the data file
// is replaced. Should the process end in between, or the replacing fail, the
// two names share their bytes, and a change in place would reach the backup
// too: give the backup bytes of its own, through the work file and a rename so
// that it is never half written.
void SeparateBackup() {
  if (Patient<&StoreFileCalls::copyFile>(DataName(), WorkName(), FALSE))
    if (!FlushFile(WorkName()) || !PutInPlace(BackupName()))
      Patient<&StoreFileCalls::deleteFile>(WorkName());
}

bool BackupSharesTheDataFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(file, &info) && info.nNumberOfLinks > 1 &&
         SameFile(file, BackupName());
}

}  // namespace

const char* storefiles::DataName() { return names.data.c_str(); }
const char* storefiles::BackupName() { return names.backup.c_str(); }
const char* storefiles::WorkName() { return names.work.c_str(); }

const char* storefiles::OpenMapped() {
  CloseFiles();
  if (names.hold.empty()) FixFolder();
  if (const char* problem = HoldFolder()) return problem;

  dataFile = OpenDataFile();
  if (dataFile == INVALID_HANDLE_VALUE) return CannotOpenReason();

  if (BackupSharesTheDataFile(dataFile)) {
    // Left so by a change that was ended before it could replace the file.
    CloseFiles();
    SeparateBackup();
    dataFile = OpenDataFile();
    if (dataFile == INVALID_HANDLE_VALUE) return CannotOpenReason();
  }

  DWORD high = 0;
  DWORD size = GetFileSize(dataFile, &high);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    CloseFiles();
    return kCannotOpen;
  }
  if (high != 0 || size > 0x7FFFFFFFu) {
    // Far beyond any catalogue; no view of it could be had.
    CloseFiles();
    return kCannotMap;
  }
  if (size == 0) {
    CloseFiles();
    return kEmpty;
  }
  if (size % RecordSize != 0) {
    CloseFiles();
    return kWrongFormat;
  }

  SetLastError(NO_ERROR);
  mapping = StoreIo.createFileMapping(dataFile, nullptr, PAGE_READWRITE, 0, size, kMappingName);
  if (mapping != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    // The name belongs to another instance working on a data file elsewhere;
    // its object maps that file, not ours. Map ours without the name: the
    // other instance's mapping still signals that its own file is in use.
    CloseHandle(mapping);
    mapping = StoreIo.createFileMapping(dataFile, nullptr, PAGE_READWRITE, 0, size, nullptr);
  }
  if (mapping == nullptr) {
    CloseFiles();
    return kCannotMap;
  }
  view = static_cast<AddressRecord*>(StoreIo.mapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  if (view == nullptr) {
    CloseFiles();
    return kCannotMap;
  }
  recordCount = static_cast<long>(size / RecordSize);
  toldWhileClosed = nullptr;
  outOfPlace = -1;
  inOrder = -1;
  return nullptr;
}

namespace {

// The records of the open store in file order; empty when it has no view.
std::vector<const AddressRecord*> StoredRecords() {
  std::vector<const AddressRecord*> records;
  records.reserve(static_cast<std::size_t>(recordCount) + 1);
  for (long i = 0; i < recordCount; ++i) records.push_back(&view[i]);
  return records;
}

}  // namespace

// Records that lie back to back in memory go out in one write; scattered ones
// are gathered first, so a wide disorder does not cost one call per record.
WorkFile storefiles::WriteWorkFile(const std::vector<const AddressRecord*>& records) {
  // Reserved whole: memory grown step by step is touched several times over.
  std::vector<Records> runs;
  runs.reserve(records.size());
  for (std::size_t i = 0; i < records.size();) {
    std::size_t run = 1;
    while (i + run < records.size() && records[i + run] == records[i] + run) ++run;
    runs.push_back({records[i], run});
    i += run;
  }
  return WriteWorkFile(runs);
}

// The file is flushed before it is closed: once it is renamed over the data
// file, a power cut must not leave a name without its bytes.
WorkFile storefiles::WriteWorkFile(const std::vector<Records>& runs) {
  HANDLE work = Patient<&StoreFileCalls::createFile>(WorkName(), GENERIC_READ | GENERIC_WRITE, 0,
                                                     nullptr, CREATE_ALWAYS, 0, nullptr);
  if (work == INVALID_HANDLE_VALUE) return WorkFile::NotCreated;

  // Some network redirectors refuse single writes of tens of megabytes.
  constexpr std::size_t kMostPerWrite = 4u << 20;
  bool complete = true;
  auto put = [&](const void* data, std::size_t size) {
    for (auto bytes = static_cast<const char*>(data); complete && size > 0;) {
      const std::size_t piece = size < kMostPerWrite ? size : kMostPerWrite;
      DWORD written = 0;
      BOOL ok = StoreIo.writeFile(work, bytes, static_cast<DWORD>(piece), &written, nullptr);
      if (!ok || written != piece) complete = false;
      bytes += piece;
      size -= piece;
    }
  };
  const std::size_t kGather = 1024;  // records held back before one write
  std::vector<AddressRecord> gathered;
  gathered.reserve(kGather + 16);
  auto flushGathered = [&] {
    put(gathered.data(), gathered.size() * RecordSize);
    gathered.clear();
  };
  std::size_t total = 0;
  for (const Records& run : runs) {
    total += run.count;
    if (run.count >= 16) {
      flushGathered();
      put(run.first, run.count * RecordSize);
    } else {
      gathered.insert(gathered.end(), run.first, run.first + run.count);
      if (gathered.size() >= kGather) flushGathered();
    }
  }
  flushGathered();
  if (complete && !StoreIo.flushFileBuffers(work)) complete = false;

  DWORD size = GetFileSize(work, nullptr);
  CloseHandle(work);
  if (!complete || size != total * RecordSize) {
    Patient<&StoreFileCalls::deleteFile>(WorkName());
    return WorkFile::NotWritten;
  }
  return WorkFile::Written;
}

bool storefiles::PutInPlace(const char* target) {
  return Patient<&StoreFileCalls::moveFileEx>(WorkName(), target,
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

namespace {

// The backup as the data file is now: a second name of it, which keeps the
// old bytes once the work file has taken the data file's name.
void MakeBackup() {
  Patient<&StoreFileCalls::deleteFile>(BackupName());
  if (!Patient<&StoreFileCalls::createHardLink>(BackupName(), DataName(), nullptr))
    if (Patient<&StoreFileCalls::copyFile>(DataName(), BackupName(), FALSE)) FlushFile(BackupName());
}

}  // namespace

void storefiles::Tell(const char* problem) {
  toldWhileClosed = problem;
  ErrorBox(problem);
  // The message says that the program ends: it does, once the current
  // message is handled (at start, before any window, it ends anyway).
  if (problem == kOtherInstance) EndProgram();
}

bool storefiles::OpenIfClosed() {
  // Closed: the file was empty when it was opened, or could not be used.
  // Look again rather than take an empty store for granted.
  const char* problem = view == nullptr ? OpenMapped() : nullptr;
  if (problem == nullptr || problem == kEmpty) return true;
  Tell(problem);
  return false;
}

void LookAgainAtStore() {
  if (view != nullptr || RunningImport() != nullptr) return;
  const char* problem = OpenMapped();
  if (problem == nullptr || problem == kEmpty) toldWhileClosed = nullptr;
  else if (problem != toldWhileClosed) Tell(problem);
}

bool storefiles::Reopen() {
  const char* problem = OpenMapped();
  if (problem == nullptr || problem == kEmpty) return true;
  Tell(problem);
  return false;
}

namespace {

// Puts the complete work file in place of the data file and opens the store
// on the result. On failure the data file is as it was, the work file is
// gone, the failure is told (unless it is nullptr) and the store is open on
// the old file.
bool ReplaceDataFile(bool withBackup, const char* failure) {
  CloseFiles();
  if (withBackup) MakeBackup();
  if (PutInPlace(DataName())) {
    OpenStore();
    return true;
  }
  Patient<&StoreFileCalls::deleteFile>(WorkName());
  if (withBackup) {
    HANDLE file = CreateFileA(DataName(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      bool shared = BackupSharesTheDataFile(file);
      CloseHandle(file);
      if (shared) SeparateBackup();
    }
  }
  if (failure != nullptr) ErrorBox(failure);
  Reopen();
  return false;
}

}  // namespace

long RecordCount() {
  if (ImportImage* image = RunningImport()) return static_cast<long>(image->Count());
  return recordCount;
}
bool StoreHasView() { return view != nullptr; }
const AddressRecord& RecordAt(long position) {
  // Within an import a record is only read; its changes go through the image.
  if (ImportImage* image = RunningImport()) return image->At(static_cast<std::size_t>(position));
  return view[position];
}

// The view's pages reach the file at the latest when the view goes; a power
// cut before that would lose the change while the program went on as if it
// were made. So the page goes now, and the file's own buffers after it.
bool storefiles::WriteInPlace(const std::vector<Placed>& records) {
  for (const Placed& p : records) {
    if (view == nullptr || p.position < 0 || p.position >= recordCount) return false;
    if (CompareNames(view[p.position], *p.record) != 0) {
      // One record out of place is put right by the next sort in a few steps;
      // a second one needs a sort of the whole file.
      if (InOrder() && outOfPlace == -1) outOfPlace = p.position;
      else if (outOfPlace != p.position) inOrder = 0;
    }
    view[p.position] = *p.record;
    if (!StoreIo.flushViewOfFile(&view[p.position], RecordSize)) return false;
  }
  return StoreIo.flushFileBuffers(dataFile);
}

bool WriteRecord(long position, const AddressRecord& record) {
  if (view == nullptr || position < 0 || position >= recordCount) return false;
  if (WriteInPlace({{position, &record}})) return true;
  ErrorBox(kCannotWrite);
  return false;
}

void CloseStore() {
  CloseFiles();
  if (holdFile != INVALID_HANDLE_VALUE) CloseHandle(holdFile);
  holdFile = INVALID_HANDLE_VALUE;
  names = {};
  toldWhileClosed = nullptr;
}

void storefiles::CloseFiles() {
  if (view != nullptr) UnmapViewOfFile(view);
  view = nullptr;
  if (mapping != nullptr) CloseHandle(mapping);
  mapping = nullptr;
  if (dataFile != INVALID_HANDLE_VALUE) CloseHandle(dataFile);
  dataFile = INVALID_HANDLE_VALUE;
  recordCount = 0;
}

bool OpenStore() {
  const char* problem = OpenMapped();
  if (problem == nullptr) return true;
  Tell(problem);
  return problem == kEmpty;
}

namespace {

bool NameLess(const AddressRecord& a, const AddressRecord& b) { return CompareNames(a, b) < 0; }

// The first position whose record's name is greater than record's: where
// the stable sort puts a record appended to records in order.
long After(const AddressRecord& record, long from, long to) {
  return static_cast<long>(std::upper_bound(view + from, view + to, record, NameLess) - view);
}
// The first position from which no record's name is less than record's.
long NotBefore(const AddressRecord& record, long from, long to) {
  return static_cast<long>(std::lower_bound(view + from, view + to, record, NameLess) - view);
}

// Puts the work file in place; on success the move is the one made.
bool Replace(bool withBackup, const char* failure, bool sorted, StoreMove move) {
  if (!ReplaceDataFile(withBackup, failure)) return false;
  if (sorted && view != nullptr) inOrder = 1;  // this copy wrote it in order: no look needed
  lastMove = move;
  return true;
}

}  // namespace

StoreMove LastMove() { return lastMove; }

bool AppendRecord() {
  if (ImportImage* image = RunningImport()) {
    if (image->Count() >= kMostRecords) return RefuseImportAddition();
    return AddToImport();
  }
  lastMove = StoreMove{};
  if (!OpenIfClosed()) return false;
  // A larger file could not be mapped again at the next start.
  if (recordCount >= kMostRecords) {
    ErrorBox(kCannotWrite);
    return false;
  }
  // In order, the record goes in behind every record whose name is not
  // greater, and the file is written as it lies, in three runs.
  const long at = view == nullptr ? 0 : InOrder() && outOfPlace == -1 ? After(CurrentRecord, 0, recordCount) : -1;
  WorkFile written;
  if (at >= 0) {
    written = WriteWorkFile(std::vector<Records>{{view, std::size_t(at)}, {&CurrentRecord, 1},
                                                 {view + at, std::size_t(recordCount - at)}});
  } else {
    std::vector<const AddressRecord*> records = StoredRecords();
    records.push_back(&CurrentRecord);
    SortByName(records);
    written = WriteWorkFile(records);
  }
  if (written != WorkFile::Written) {
    ErrorBox(kCannotWrite);
    return false;
  }
  return Replace(true, kCannotWrite, true, at >= 0 ? StoreMove{-1, at, false} : StoreMove{});
}

bool DeleteRecord(long position) {
  lastMove = StoreMove{};
  if (view == nullptr || position < 0 || position >= recordCount) {
    ErrorBox(kCannotDelete);
    return false;
  }
  const std::vector<Records> rest{{view, std::size_t(position)},
                                  {view + position + 1, std::size_t(recordCount - position - 1)}};
  switch (WriteWorkFile(rest)) {
    case WorkFile::NotCreated:
      ErrorBox(kCannotCreateWork);
      return false;
    case WorkFile::NotWritten:
      ErrorBox(kCannotDelete);
      return false;
    case WorkFile::Written:
      break;
  }
  // The remaining records keep their order: no sort follows.
  const bool sorted = InOrder() && (outOfPlace == -1 || outOfPlace == position);
  return Replace(true, kCannotDelete, sorted, StoreMove{position, -1, false});
}

void SortRecords() {
  lastMove = StoreMove{-1, -1, false};  // nothing moved
  if (view == nullptr || recordCount < 2 || (InOrder() && outOfPlace == -1)) return;
  lastMove = StoreMove{};
  std::vector<Records> runs;
  if (InOrder()) {
    // As the stable sort moves the one record out of place: one that sorts
    // earlier behind every earlier record not greater than it, one that
    // sorts later in front of the first later record not less than it.
    const long from = outOfPlace, n = recordCount;
    const AddressRecord* odd = view + from;
    long to = from;
    if (from > 0 && CompareNames(*odd, view[from - 1]) < 0) to = After(*odd, 0, from);
    else if (from + 1 < n && CompareNames(*odd, view[from + 1]) > 0) to = NotBefore(*odd, from + 1, n) - 1;
    if (to == from) {
      outOfPlace = -1;
      lastMove = StoreMove{-1, -1, false};
      return;
    }
    if (to < from)
      runs = {{view, std::size_t(to)}, {odd, 1}, {view + to, std::size_t(from - to)}, {odd + 1, std::size_t(n - from - 1)}};
    else
      runs = {{view, std::size_t(from)}, {odd + 1, std::size_t(to - from)}, {odd, 1}, {view + to + 1, std::size_t(n - to - 1)}};
    // Should the sorted file not be written, the data file stays whole in its
    // old order; the pages order their lists themselves, and the next sort
    // puts the file right.
    if (WriteWorkFile(runs) == WorkFile::Written) Replace(false, nullptr, true, StoreMove{from, to, false});
    return;
  }
  std::vector<const AddressRecord*> records = StoredRecords();
  if (!SortByName(records)) {
    inOrder = 1;
    lastMove = StoreMove{-1, -1, false};
    return;
  }
  if (WriteWorkFile(records) == WorkFile::Written) Replace(false, nullptr, true, StoreMove{});
}

long FindByLink() {
  if (ImportImage* image = RunningImport()) return image->Find(FieldText(CurrentRecord.link));
  // A closed store may have been closed by a failure, not by an empty file:
  // look again, lest a stored link be added a second time.
  if (view == nullptr && !OpenIfClosed()) return kStoreUnusable;
  if (view == nullptr) return -1;
  return FindLinkIn(view, static_cast<std::size_t>(recordCount), FieldText(CurrentRecord.link));
}
