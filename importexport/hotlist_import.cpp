// Import of a Mosaic hotlist file.
#include <string_view>

#include "addressdb/store.h"
#include "importexport/files.h"
#include "importexport/hotlist_scan.h"
#include "importexport/insert_entry.h"
#include "importexport/page_controls.h"
#include "importexport/conversions.h"
#include "manager/messages.h"

namespace {
const char kFilter[] = "Mosaic Hotlists\0*.hot\0";
const char kTitle[] = "QX Internet 2.0 - Mosaic Hotlist laden";
}  // namespace

bool ImportHotlist(HWND page, int policy) {
  char path[MAX_PATH], title[MAX_PATH];
  ReadRememberedPath(HotlistFileValue, path);
  if (!ChooseFile(false, kFilter, kTitle, OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST,
                  path, title))
    return false;
  if (!IsHotlistFileTitle(title)) return false;
  RememberPath(HotlistFileValue, path);

  WholeFile file;
  switch (file.Load(path, 0)) {
    case WholeFile::Read: break;
    case WholeFile::CannotOpen:
      ErrorBox("Hotlistdatei kann nicht ge\xF6" "ffnet werden !");
      return false;
    case WholeFile::TooShort:
    case WholeFile::NoMemory:
      ErrorBox("Kein Speicher zum Einlesen der Hotlistdatei !");
      return false;
    case WholeFile::ShortRead:
      ErrorBox("Fehler beim Einlesen der Hotlistdatei !");
      return false;
  }

  const std::string_view data(file.data(), file.size());
  if (!IsHotlist(data)) {
    ErrorBox("Keine Hotlistdatei !");
    return false;
  }
  SetProgressRange(page, static_cast<long>(CountHotlistMarks(data)));
  ImportRun run(page, policy);
  ScanHotlist(data, CurrentRecord, [&run, page](std::size_t handled) {
    InsertImportedEntry(run);
    SetProgressPosition(page, static_cast<long>(handled));
  });
  return true;
}
