// Import of the files of other browsers: a Netscape bookmark file
// "bookmark.htm" and a Mosaic hotlist. Both take the same steps, from the
// file dialog to the scan; a format is one row of what differs.
#include <functional>
#include <string>
#include <string_view>

#include "addressdb/store.h"
#include "importexport/bookmark_scan.h"
#include "importexport/conversions.h"
#include "importexport/cp1252.h"
#include "importexport/files.h"
#include "importexport/hotlist_scan.h"
#include "importexport/insert_entry.h"
#include "importexport/page_controls.h"
#include "manager/messages.h"

namespace {

struct ImportFormat {
  const char* pathValue;  // the remembered path of the file dialog
  const char* filter;
  const char* dialogTitle;
  DWORD dialogFlags;
  bool (*isFileTitle)(std::string_view title);
  const char* fileNoun;  // the file as the messages name it
  DWORD minimumSize;
  const char* tooShort;  // nullptr: the message of no memory
  // Makes the data what the scan reads, where it lies (size updated); false
  // when it is not of the format, told by notOfFormat.
  bool (*prepare)(char* data, std::size_t& size);
  const char* notOfFormat;
  std::size_t (*countMarks)(std::string_view data);
  void (*scan)(std::string_view data, AddressRecord& entry,
               const std::function<void(std::size_t handled)>& store);
};

const ImportFormat kBookmarks = {
    .pathValue = BookmarkFileValue,
    .filter = "Netscape Bookmarks\0bookmark.htm\0",
    .dialogTitle = "QX Internet 2.0 - Netscape Bookmarkdatei laden",
    .dialogFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
    .isFileTitle = IsBookmarkFileTitle,
    .fileNoun = "Bookmarkdatei",
    .minimumSize = MinimumBookmarkFileSize,
    .tooShort = "Keine Eintr\xE4ge in Bookmarkdatei !",
    // A current browser writes UTF-8 and declares it; the catalogue is
    // Windows-1252. The file may be as large as memory allows: it is
    // converted where it lies.
    .prepare =
        [](char* data, std::size_t& size) {
          if (DeclaresUtf8(std::string_view(data, size))) size = Utf8ToCp1252(data, size);
          return true;
        },
    .notOfFormat = nullptr,
    .countMarks = CountBookmarkMarks,
    .scan = ScanBookmarks,
};

const ImportFormat kHotlist = {
    .pathValue = HotlistFileValue,
    .filter = "Mosaic Hotlists\0*.hot\0",
    .dialogTitle = "QX Internet 2.0 - Mosaic Hotlist laden",
    .dialogFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST,
    .isFileTitle = IsHotlistFileTitle,
    .fileNoun = "Hotlistdatei",
    .minimumSize = 0,
    .tooShort = nullptr,
    .prepare = [](char* data, std::size_t& size) { return IsHotlist(std::string_view(data, size)); },
    .notOfFormat = "Keine Hotlistdatei !",
    .countMarks = CountHotlistMarks,
    .scan = ScanHotlist,
};

bool ImportFile(HWND page, int policy, const ImportFormat& format) {
  char path[MAX_PATH], title[MAX_PATH];
  ReadRememberedPath(format.pathValue, path);
  if (!ChooseFile(false, format.filter, format.dialogTitle, format.dialogFlags, path, title))
    return false;
  if (!format.isFileTitle(title)) return false;
  RememberPath(format.pathValue, path);

  WholeFile file;
  const std::string noun = format.fileNoun;
  const std::string noMemory = "Kein Speicher zum Einlesen der " + noun + " !";
  switch (file.Load(path, format.minimumSize)) {
    case WholeFile::Read: break;
    case WholeFile::CannotOpen:
      ErrorBox((noun + " kann nicht ge\xF6" "ffnet werden !").c_str());
      return false;
    case WholeFile::TooShort:
      ErrorBox(format.tooShort != nullptr ? format.tooShort : noMemory.c_str());
      return false;
    case WholeFile::NoMemory:
      ErrorBox(noMemory.c_str());
      return false;
    case WholeFile::ShortRead:
      ErrorBox(("Fehler beim Einlesen der " + noun + " !").c_str());
      return false;
  }

  std::size_t size = file.size();
  if (!format.prepare(file.data(), size)) {
    ErrorBox(format.notOfFormat);
    return false;
  }
  const std::string_view data(file.data(), size);
  SetProgressRange(page, static_cast<long>(format.countMarks(data)));
  ImportRun run(page, policy);
  format.scan(data, CurrentRecord, [&run, page](std::size_t handled) {
    InsertImportedEntry(run);
    SetProgressPosition(page, static_cast<long>(handled));
  });
  return true;
}

}  // namespace

bool ImportBookmarks(HWND page, int policy) { return ImportFile(page, policy, kBookmarks); }
bool ImportHotlist(HWND page, int policy) { return ImportFile(page, policy, kHotlist); }
