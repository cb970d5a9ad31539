// The address store: the data file "qxinetvz.dat" in the current directory,
// opened exclusively and mapped whole, with the work record CurrentRecord.
#pragma once
#include <windows.h>

#include "addressdb/record.h"

// The work record through which every new, changed or imported entry passes.
extern AddressRecord CurrentRecord;

bool OpenStore();
void CloseStore();
bool AppendRecord();
bool DeleteRecord(long position);
void SortRecords();
long FindByLink();

// Records while the store has its view, else 0.
long RecordCount();
bool StoreHasView();
// The record at a position, read and written in place; valid for
// 0 <= position < RecordCount() until the next addition or deletion.
AddressRecord& RecordAt(long position);

// Sets CurrentRecord.type from CurrentRecord.link.
inline void ClassifyLink() { ClassifyLink(CurrentRecord); }

// The file calls the store makes when it changes the file, behind pointers so
// that tests can make a single step fail as a full disk or a locked file would.
struct StoreFileCalls {
  decltype(&::CreateFileA) createFile = ::CreateFileA;
  decltype(&::WriteFile) writeFile = ::WriteFile;
  decltype(&::MoveFileExA) moveFileEx = ::MoveFileExA;
};
extern StoreFileCalls StoreIo;
