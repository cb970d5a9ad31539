// Inside the store: its files and the steps that write them, shared by the
// single changes (store.cpp) and the import (store_import.cpp).
#pragma once
#include <vector>

#include "addressdb/record.h"
#include "addressdb/store.h"

class ImportImage;

namespace storefiles {

// The full names of the data, backup and work files, fixed at the store's
// first opening until CloseStore.
const char* DataName();
const char* BackupName();
const char* WorkName();
extern const char kCannotWrite[], kEmpty[], kCannotMap[];

// The most records a data file may hold: it stays below 2 GB, which the
// program can always map.
constexpr long kMostRecords = static_cast<long>((0x80000000u - RecordSize) / RecordSize);

// During an import: CurrentRecord added to its image, or, where memory runs
// out, the import stopped with one message (the files stay as at the last
// durable point). False then.
bool AddToImport();
// During an import: an addition past kMostRecords refused. What came before
// is written out, then the import stops with one message. False.
bool RefuseImportAddition();

// Opens and maps the data file. Returns nullptr when the store is open with
// its view, kEmpty when the file is empty (the store stays closed), or the
// message that tells why the file cannot be used.
const char* OpenMapped();

// Releases the view, the mapping and the data file, but keeps the folder
// held, so that no other copy takes the file meanwhile.
void CloseFiles();

// Shows why the store cannot be used, and ends the program where that
// message says so.
void Tell(const char* problem);

// Opens a closed store, quietly if its file is empty; false, with the
// message shown, when the file cannot be used.
bool OpenIfClosed();

// Opens the store again on a file the user has seen or expects (an empty
// one needs no word); false, with the message shown, when it cannot.
bool Reopen();

// A file call of the store, tried again for about a second with growing
// pauses while it is refused because another program has the file open for
// a moment (virus scanners, indexers, backup and sync tools do so).
inline bool Worked(HANDLE file) { return file != INVALID_HANDLE_VALUE; }
inline bool Worked(BOOL result) { return result != FALSE; }
template <auto Call, typename... Args>
auto Patient(Args... args) {
  for (DWORD pause = 1;; pause *= 2) {
    const auto result = (StoreIo.*Call)(args...);
    const DWORD error = GetLastError();
    if (Worked(result) || pause > 512 ||
        (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
         error != ERROR_ACCESS_DENIED))
      return result;
    Sleep(pause);
  }
}

// Writes the records, in this order, into a new work file and checks that
// every byte arrived and reached the disk.
enum class WorkFile { Written, NotCreated, NotWritten };
WorkFile WriteWorkFile(const std::vector<const AddressRecord*>& records);
// The same for runs of records that lie back to back.
struct Records {
  const AddressRecord* first;
  std::size_t count;
};
WorkFile WriteWorkFile(const std::vector<Records>& runs);

// Renames the work file over target in one step, written through.
bool PutInPlace(const char* target);

// The records written over those at their positions in the mapped data file,
// through to the disk; false when the store has no view over a position or
// a record may not have reached the disk.
bool WriteInPlace(const std::vector<Placed>& records);

}  // namespace storefiles

// The image of the import that is running, or nullptr.
ImportImage* RunningImport();
