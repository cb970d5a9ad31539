// An import as one change to the store: the records in memory (ImportImage),
// written out at durable points. At each the data file becomes the image and,
// when an addition came since the backup was last written, the backup becomes
// the image as it stood before the latest addition; both through the work
// file and one rename. The data file goes first: a process ended between the
// two leaves a backup older than the data file, as entry-by-entry additions
// would have. The folder stays held throughout (OpenStore), so no other copy
// of the program gets the data file while it is closed to be replaced.
// Where only overwrites came since the records were last written, nothing has
// moved, and those few records go over their old bytes in the mapped file,
// as one overwrite of the entry-by-entry import would write them: a process
// ended part-way leaves a file of the right size, each record in it the old
// one, the new one or (the one being copied) a mix of the two that the store
// still reads; the backup is not touched.
#include <memory>
#include <new>

#include "addressdb/import_image.h"
#include "addressdb/store.h"
#include "addressdb/store_files.h"
#include "manager/messages.h"

using namespace storefiles;

namespace {

// A durable point follows the last one after five times what that one took,
// at least 20 ms and at most 5 s: writing the files costs at most a sixth of
// an import's time at any size of the store, and a program ended part-way
// loses at most the last few seconds of its import.
constexpr DWORD kLeastGapMs = 20, kMostGapMs = 5000;

std::unique_ptr<ImportImage> image;
bool stopped = false;
DWORD lastDurable = 0, gap = kLeastGapMs;

bool Write(const std::vector<const AddressRecord*>& records, const char* target) {
  if (WriteWorkFile(records) != WorkFile::Written) return false;
  if (PutInPlace(target)) return true;
  Patient<&StoreFileCalls::deleteFile>(WorkName());
  return false;
}

// The import is over: nothing more is written, asked or shown.
bool Stop(const char* message) {
  stopped = true;
  if (message != nullptr) ErrorBox(message);
  return false;
}

// A backup that cannot be written is tried once more at once and again at
// every later durable point; the data file is safe meanwhile, and an addition
// of a single entry does not check its backup either.
void SaveBackup() {
  if (!image->BackupChanged()) return;
  const std::vector<const AddressRecord*> before = image->BeforeLastAddition();
  if (Write(before, BackupName()) || Write(before, BackupName())) image->BackupWritten();
}

// The data file becomes the image, then the backup follows. The view must go
// for the rename; the folder stays held meanwhile. Where the store cannot be
// opened again, the import goes on from its image. A failed rename is told
// once and stops the import: as the store's own problem where another program
// holds the file (the store stays closed), else as a failed write.
bool SaveRecords() {
  if (WriteWorkFile(image->Records()) != WorkFile::Written) return Stop(kCannotWrite);
  CloseFiles();
  if (!PutInPlace(DataName())) {
    Patient<&StoreFileCalls::deleteFile>(WorkName());
    const char* problem = OpenMapped();
    if (problem == nullptr || problem == kEmpty) return Stop(kCannotWrite);
    Tell(problem);
    return Stop(nullptr);
  }
  image->RecordsWritten();
  SaveBackup();
  // The image holds the whole import: a file that cannot be opened again now
  // (another program has it) is tried again at the next point, and told at
  // the end if it stays so; the folder is held meanwhile.
  OpenMapped();
  return true;
}

// Many records go faster as one whole file: in place at most 16 of them, or
// one in 64.
bool SaveInPlace() {
  if (image->AddedSinceWritten() || !StoreHasView()) return false;
  const std::size_t count = image->OverwrittenSinceWritten();
  if (count > 16 && count > image->Count() / 64) return false;
  // Where that fails, the whole file is written instead, as it would have been.
  if (!WriteInPlace(image->Unwritten())) return false;
  image->RecordsWritten();
  return true;
}

}  // namespace

ImportImage* RunningImport() { return image.get(); }

bool storefiles::AddToImport() {
  try {
    image->Add(CurrentRecord);
    return true;
  } catch (const std::bad_alloc&) {
    return Stop(kCannotMap);
  }
}

bool storefiles::RefuseImportAddition() {
  return SaveImport() && Stop(kCannotWrite);
}

void BeginImport() {
  EndImport();
  stopped = false;
  if (!OpenIfClosed()) {
    stopped = true;
    return;
  }
  const long count = RecordCount();
  try {
    image = std::make_unique<ImportImage>(count > 0 ? &RecordAt(0) : nullptr,
                                          static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    image.reset();
    Stop(kCannotMap);
    return;
  }
  lastDurable = GetTickCount();
  gap = kLeastGapMs;
}

bool ImportStopped() { return stopped; }

bool SaveImport() {
  if (stopped || image == nullptr) return false;
  const DWORD begun = GetTickCount();
  const bool changed = image->RecordsChanged(), inPlace = changed && SaveInPlace();
  if (!changed || inPlace) SaveBackup();
  else if (!SaveRecords()) return false;
  lastDurable = GetTickCount();
  // The gap follows what writing the whole file takes; records written in
  // place may lengthen it, so that many of them cost no more, but a cheap
  // point does not bring the next whole write sooner.
  if (changed) {
    const DWORD took = lastDurable - begun;
    const DWORD next = took * 5 < kLeastGapMs ? kLeastGapMs : took * 5 > kMostGapMs ? kMostGapMs : took * 5;
    gap = inPlace && next < gap ? gap : next;
  }
  return true;
}

bool SaveImportIfDue() {
  if (stopped) return false;
  if (image == nullptr || GetTickCount() - lastDurable < gap) return true;
  return SaveImport();
}

void EndImport() {
  if (image == nullptr) return;
  SaveImport();
  image.reset();
  // The store works on the file again, as it now is. An import that stopped
  // has told why; the next change tries the file again.
  if (!stopped && !StoreHasView()) Reopen();
}

void OverwriteWithCurrent(long position) {
  if (image == nullptr || stopped) return;
  try {
    image->Overwrite(static_cast<std::size_t>(position), CurrentRecord);
  } catch (const std::bad_alloc&) {
    Stop(kCannotMap);
  }
}
