// The address store: opening, guarding, changing and ordering the data file.
#include "addressdb/store.h"

#include "manager/messages.h"

AddressRecord CurrentRecord{};
StoreFileCalls StoreIo;

namespace {

const char kDataFile[] = "qxinetvz.dat";
const char kBackupFile[] = "qxinetvz.bak";
const char kWorkFile[] = "qxinetvz.tmp";
const char kMappingName[] = "qxinetfilemap";

const char kOtherInstance[] =
    "Adressdatenbank ist bereits von einer anderen Instanz dieses Programms ge\xF6"
    "ffnet ! Programm wird beendet !";
const char kCannotOpen[] = "Adressdatei kann nicht ge\xF6" "ffnet werden !";
const char kEmpty[] = "Adressdatei ist leer !";
const char kWrongFormat[] = "Falsches Dateiformat !";
const char kCannotMap[] = "Adressdatei kann nicht in Speicher geladen werden !";
const char kCannotWrite[] = "Eintrag konnte nicht in Datei geschrieben werden !";
const char kCannotCreateWork[] =
    "Arbeitsdatei kann nicht angelegt werden, Eintrag nicht gel\xF6scht !";
const char kCannotDelete[] = "Eintrag konnte nicht aus Datei gel\xF6scht werden !";

HANDLE dataFile = INVALID_HANDLE_VALUE;
HANDLE mapping = nullptr;
AddressRecord* view = nullptr;
long recordCount = 0;
DWORD fileSize = 0;  // size at the last successful open

HANDLE OpenDataFile() {
  return StoreIo.createFile(kDataFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0,
                            nullptr);
}

bool AnotherInstanceHoldsTheFile() {
  HANDLE other = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kMappingName);
  if (other == nullptr) return false;
  CloseHandle(other);
  return true;
}

}  // namespace

long RecordCount() { return recordCount; }
bool StoreHasView() { return view != nullptr; }
AddressRecord& RecordAt(long position) { return view[position]; }

void CloseStore() {
  if (view != nullptr) UnmapViewOfFile(view);
  view = nullptr;
  if (mapping != nullptr) CloseHandle(mapping);
  mapping = nullptr;
  if (dataFile != INVALID_HANDLE_VALUE) CloseHandle(dataFile);
  dataFile = INVALID_HANDLE_VALUE;
  recordCount = 0;
}

bool OpenStore() {
  CloseStore();

  dataFile = OpenDataFile();
  if (dataFile == INVALID_HANDLE_VALUE) {
    ErrorBox(AnotherInstanceHoldsTheFile() ? kOtherInstance : kCannotOpen);
    return false;
  }

  DWORD high = 0;
  DWORD size = GetFileSize(dataFile, &high);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    CloseStore();
    ErrorBox(kCannotOpen);
    return false;
  }
  if (high != 0 || size > 0x7FFFFFFFu) {
    // Far beyond any catalogue; no view of it could be had.
    CloseStore();
    ErrorBox(kCannotMap);
    return false;
  }
  fileSize = size;

  if (size == 0) {
    CloseStore();
    ErrorBox(kEmpty);
    return true;
  }
  if (size % RecordSize != 0) {
    CloseStore();
    ErrorBox(kWrongFormat);
    return false;
  }

  SetLastError(NO_ERROR);
  mapping = CreateFileMappingA(dataFile, nullptr, PAGE_READWRITE, 0, size, kMappingName);
  if (mapping != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    // The name belongs to another instance working on a data file elsewhere;
    // its object maps that file, not ours. Map ours without the name: the
    // other instance's mapping still signals that its own file is in use.
    CloseHandle(mapping);
    mapping = CreateFileMappingA(dataFile, nullptr, PAGE_READWRITE, 0, size, nullptr);
  }
  if (mapping == nullptr) {
    CloseStore();
    ErrorBox(kCannotMap);
    return false;
  }
  view = static_cast<AddressRecord*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  if (view == nullptr) {
    CloseStore();
    ErrorBox(kCannotMap);
    return false;
  }
  recordCount = static_cast<long>(size / RecordSize);
  return true;
}

bool AppendRecord() {
  CloseStore();
  CopyFileA(kDataFile, kBackupFile, FALSE);

  HANDLE file = OpenDataFile();
  if (file == INVALID_HANDLE_VALUE) {
    ErrorBox(kCannotOpen);
    OpenStore();
    return false;
  }
  DWORD previousSize = GetFileSize(file, nullptr);
  SetFilePointer(file, 0, nullptr, FILE_END);
  DWORD written = 0;
  BOOL ok = StoreIo.writeFile(file, &CurrentRecord, RecordSize, &written, nullptr);
  const bool complete = ok && written == RecordSize;
  if (!complete) {
    // A part of a record would make the file unreadable from now on.
    SetFilePointer(file, static_cast<LONG>(previousSize), nullptr, FILE_BEGIN);
    SetEndOfFile(file);
  }
  CloseHandle(file);

  OpenStore();
  if (!complete) {
    ErrorBox(kCannotWrite);
    return false;
  }
  SortRecords();
  return true;
}

bool DeleteRecord(long position) {
  if (view == nullptr || position < 0 || position >= recordCount) {
    ErrorBox(kCannotDelete);
    return false;
  }

  HANDLE work = StoreIo.createFile(kWorkFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
  if (work == INVALID_HANDLE_VALUE) {
    ErrorBox(kCannotCreateWork);
    return false;
  }
  bool writesComplete = true;
  for (long i = 0; i < recordCount; ++i) {
    if (i == position) continue;
    DWORD written = 0;
    BOOL ok = StoreIo.writeFile(work, &view[i], RecordSize, &written, nullptr);
    if (!ok || written != RecordSize) writesComplete = false;
  }
  DWORD workSize = GetFileSize(work, nullptr);
  CloseHandle(work);

  if (!writesComplete || workSize != fileSize - RecordSize) {
    DeleteFileA(kWorkFile);
    ErrorBox(kCannotDelete);
    return false;
  }

  CloseStore();
  CopyFileA(kDataFile, kBackupFile, FALSE);
  // One step: either the work file has become the data file, or the data
  // file is untouched.
  if (!StoreIo.moveFileEx(kWorkFile, kDataFile, MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(kWorkFile);
    ErrorBox(kCannotDelete);
    OpenStore();
    return false;
  }
  OpenStore();
  return true;
}

void SortRecords() {
  if (view == nullptr || recordCount < 2) return;
  SortRecordsInPlace(view, static_cast<std::size_t>(recordCount));
}

long FindByLink() {
  if (view == nullptr) return -1;
  return FindLinkIn(view, static_cast<std::size_t>(recordCount), FieldText(CurrentRecord.link));
}
