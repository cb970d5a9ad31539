// An import as one change to the store: the records in memory (ImportImage),
// written out at durable points. At each the data file becomes the image and,
// when an addition came since the last one, the backup becomes the image as
// it stood before that addition; both through the work file and one rename.
// The data file goes first: a process ended between the two leaves a backup
// older than the data file, as entry-by-entry additions would have.
#include <cstring>
#include <memory>

#include "addressdb/import_image.h"
#include "addressdb/store.h"
#include "addressdb/store_files.h"
#include "manager/messages.h"

using namespace storefiles;

namespace {

// A durable point follows the last one after five times the time it took,
// at least 0.1 s and at most 1 s: a program ended part-way loses little of
// its import, and writing the files costs at most a fifth of its time.
constexpr DWORD kLeastGapMs = 100, kMostGapMs = 1000;

std::unique_ptr<ImportImage> image;
bool stopped = false;
DWORD lastDurable = 0, gap = kLeastGapMs;

bool Write(const std::vector<const AddressRecord*>& records, const char* target) {
  if (WriteWorkFile(records) != WorkFile::Written) return false;
  if (PutInPlace(target)) return true;
  StoreIo.deleteFile(kWorkFile);
  return false;
}

}  // namespace

ImportImage* RunningImport() { return image.get(); }

void BeginImport() {
  EndImport();
  stopped = false;
  if (!OpenIfClosed()) {
    stopped = true;
    return;
  }
  const long count = RecordCount();
  image = std::make_unique<ImportImage>(count > 0 ? &RecordAt(0) : nullptr,
                                        static_cast<std::size_t>(count));
  lastDurable = GetTickCount();
  gap = kLeastGapMs;
}

bool ImportStopped() { return stopped; }

bool SaveImport() {
  if (stopped || image == nullptr) return false;
  const DWORD begun = GetTickCount();
  lastDurable = begun;
  if (!image->RecordsChanged()) return true;
  // The view must go before the data file can be replaced; the file is held
  // again at once, so that no second copy of the program takes it meanwhile.
  const std::vector<const AddressRecord*> records = image->Records();
  if (WriteWorkFile(records) != WorkFile::Written) {
    stopped = true;
    ErrorBox(kCannotWrite);
    return false;
  }
  CloseStore();
  const bool ok = PutInPlace(kDataFile);
  if (ok) {
    image->RecordsWritten();
    // A backup that cannot be written is tried once more at once and again at
    // the next durable point; the data file is safe meanwhile, and an
    // addition of a single entry does not check its backup either.
    if (image->BackupChanged() && (Write(image->BeforeLastAddition(), kBackupFile) ||
                                   Write(image->BeforeLastAddition(), kBackupFile)))
      image->BackupWritten();
  } else {
    StoreIo.deleteFile(kWorkFile);
    stopped = true;
    ErrorBox(kCannotWrite);
  }
  Reopen();
  lastDurable = GetTickCount();
  const DWORD took = lastDurable - begun;
  gap = took * 5 < kLeastGapMs ? kLeastGapMs : took * 5 > kMostGapMs ? kMostGapMs : took * 5;
  return ok;
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
  // The store works on the file again, as it now is.
  if (!StoreHasView()) Reopen();
}

void OverwriteWithCurrent(long position) {
  constexpr std::size_t kOverwrittenBytes = 1 + 128 + 256;  // type, name and link
  if (image != nullptr) {
    image->Overwrite(static_cast<std::size_t>(position), CurrentRecord);
    return;
  }
  if (position < 0 || position >= RecordCount()) return;
  AddressRecord record = RecordAt(position);
  std::memcpy(&record, &CurrentRecord, kOverwrittenBytes);
  WriteRecord(position, record);
}
