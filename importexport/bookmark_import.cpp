// Import of a Netscape bookmark file "bookmark.htm".
#include <string_view>

#include "addressdb/store.h"
#include "importexport/bookmark_scan.h"
#include "importexport/cp1252.h"
#include "importexport/files.h"
#include "importexport/insert_entry.h"
#include "importexport/page_controls.h"
#include "importexport/conversions.h"
#include "manager/messages.h"

namespace {
const char kFilter[] = "Netscape Bookmarks\0bookmark.htm\0";
const char kTitle[] = "QX Internet 2.0 - Netscape Bookmarkdatei laden";
}  // namespace

bool ImportBookmarks(HWND page, int policy) {
  char path[MAX_PATH], title[MAX_PATH];
  ReadRememberedPath(BookmarkFileValue, path);
  if (!ChooseFile(false, kFilter, kTitle,
                  OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST, path,
                  title))
    return false;
  if (!IsBookmarkFileTitle(title)) return false;
  RememberPath(BookmarkFileValue, path);

  WholeFile file;
  switch (file.Load(path, MinimumBookmarkFileSize)) {
    case WholeFile::Read: break;
    case WholeFile::CannotOpen:
      ErrorBox("Bookmarkdatei kann nicht ge\xF6" "ffnet werden !");
      return false;
    case WholeFile::TooShort:
      ErrorBox("Keine Eintr\xE4ge in Bookmarkdatei !");
      return false;
    case WholeFile::NoMemory:
      ErrorBox("Kein Speicher zum Einlesen der Bookmarkdatei !");
      return false;
    case WholeFile::ShortRead:
      ErrorBox("Fehler beim Einlesen der Bookmarkdatei !");
      return false;
  }

  std::string_view data(file.data(), file.size());
  // A current browser writes UTF-8 and declares it; the catalogue is Windows-1252.
  // The file may be as large as memory allows: it is converted where it lies.
  if (DeclaresUtf8(data)) data = data.substr(0, Utf8ToCp1252(file.data(), file.size()));
  SetProgressRange(page, static_cast<long>(CountBookmarkMarks(data)));
  ImportRun run(page, policy);
  ScanBookmarks(data, CurrentRecord, [&run, page](std::size_t handled) {
    InsertImportedEntry(run);
    SetProgressPosition(page, static_cast<long>(handled));
  });
  return true;
}
