// The address store: the data file "qxinetvz.dat" in the current directory,
// opened exclusively and mapped whole, with the work record CurrentRecord.
// Changes that move records build the new file beside the old one and put it
// in place with one rename, so a process ended at any moment leaves a whole
// data file behind.
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
// 0 <= position < RecordCount() until the next addition, sort or deletion.
AddressRecord& RecordAt(long position);

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
};
extern StoreFileCalls StoreIo;
