// The address store: the data file "qxinetvz.dat" in the folder that was
// current when the store was first opened,
// opened exclusively and mapped whole, with the work record CurrentRecord.
// Changes that move records build the new file beside the old one and put it
// in place with one rename, so a process ended at any moment leaves a whole
// data file behind.
#pragma once
#include <windows.h>

#include "addressdb/record.h"

// The work record through which every new, changed or imported entry passes.
extern AddressRecord CurrentRecord;

// OpenStore also holds the folder for this copy: from then until CloseStore
// every other copy is turned away, even while the data file is empty or being
// replaced.
bool OpenStore();
void CloseStore();
bool AppendRecord();
bool DeleteRecord(long position);
void SortRecords();
// The position of the record with CurrentRecord's link, -1 when none has
// it, or kStoreUnusable once the message why the store cannot be opened has
// been shown (then nothing may be added).
constexpr long kStoreUnusable = -2;
long FindByLink();

// Before a page shows the store: one left closed by a failure is opened
// again rather than shown as empty. A problem already told since the store
// closed is not told a second time.
void LookAgainAtStore();

// How the last AppendRecord, DeleteRecord or SortRecords moved the records,
// for the lists that show them: the record at 'from' went to 'to' (added: from
// is -1; deleted: to is -1), and those in between moved on by one toward the
// gap; both -1: nothing moved. whole: any record may have moved, or the change
// failed and the store was opened again.
struct StoreMove {
  long from = -1, to = -1;
  bool whole = true;
};
StoreMove LastMove();

// Records while the store has its view, else 0.
long RecordCount();
bool StoreHasView();
// The record at a position; valid for 0 <= position < RecordCount() until
// the next addition, sort or deletion. Changed only through WriteRecord,
// which has the change reach the disk and keeps the order known.
const AddressRecord& RecordAt(long position);
// Writes record over the one at position, in place, through to the disk;
// false, once "Eintrag konnte nicht in Datei geschrieben werden !" is shown,
// when it may not have reached the disk (the record is changed all the same).
bool WriteRecord(long position, const AddressRecord& record);

// An import is one change to the store: between BeginImport and EndImport
// the records live in memory, and RecordCount, RecordAt, FindByLink and
// AppendRecord work there. The data file (and its backup) are written only
// at durable points: SaveImport, SaveImportIfDue (now and then, more rarely
// the larger the store) and EndImport. Each leaves the two files exactly as
// entry-by-entry additions and overwrites would have left them after the
// last entry handled.
void BeginImport();
// A durable point now. False, once its message has been shown, when the
// files could not be written or the store not opened again: the import is
// over then, and nothing more is written.
bool SaveImport();
bool SaveImportIfDue();
bool ImportStopped();
void EndImport();
// During an import: type, name and link of CurrentRecord over the record at
// position; its description stays and nothing is re-sorted.
void OverwriteWithCurrent(long position);

// BeginImport and EndImport around one import.
struct ImportSession {
  ImportSession() { BeginImport(); }
  ~ImportSession() { EndImport(); }
  ImportSession(const ImportSession&) = delete;
  ImportSession& operator=(const ImportSession&) = delete;
};

// Sets CurrentRecord.type from CurrentRecord.link.
inline void ClassifyLink() { ClassifyLink(CurrentRecord); }

// Every file call the store makes, behind pointers so that tests can make any
// single one fail as a full disk or a locked file would.
struct StoreFileCalls {
  decltype(&::CreateFileA) createFile = ::CreateFileA;
  decltype(&::WriteFile) writeFile = ::WriteFile;
  decltype(&::CopyFileA) copyFile = ::CopyFileA;
  decltype(&::CreateHardLinkA) createHardLink = ::CreateHardLinkA;
  decltype(&::MoveFileExA) moveFileEx = ::MoveFileExA;
  decltype(&::DeleteFileA) deleteFile = ::DeleteFileA;
  decltype(&::CreateFileMappingA) createFileMapping = ::CreateFileMappingA;
  decltype(&::MapViewOfFile) mapViewOfFile = ::MapViewOfFile;
  decltype(&::FlushFileBuffers) flushFileBuffers = ::FlushFileBuffers;
  decltype(&::FlushViewOfFile) flushViewOfFile = ::FlushViewOfFile;
};
extern StoreFileCalls StoreIo;
