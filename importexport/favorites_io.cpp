// Import and export of Internet Shortcut files in the favourites folder.
#include <cstring>
#include <string>

#include "addressdb/store.h"
#include "importexport/favorite_names.h"
#include "importexport/insert_entry.h"
#include "importexport/page_controls.h"
#include "importexport/roads.h"
#include "manager/app.h"
#include "manager/messages.h"

namespace {

const char kSection[] = "InternetShortcut";
const char kKey[] = "URL";

// The search over FavoritesFolder\*.url, ended with the object.
class ShortcutSearch {
 public:
  ShortcutSearch() {
    char pattern[PathBufferSize];
    if (FavoriteFilePath(FavoritesFolder, "*.url", pattern))
      find_ = FindFirstFileA(pattern, &data_);
  }
  ~ShortcutSearch() {
    if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
  }
  ShortcutSearch(const ShortcutSearch&) = delete;
  ShortcutSearch& operator=(const ShortcutSearch&) = delete;
  bool Found() const { return find_ != INVALID_HANDLE_VALUE; }
  const WIN32_FIND_DATAA& Current() const { return data_; }
  bool Next() { return FindNextFileA(find_, &data_) != FALSE; }

 private:
  HANDLE find_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA data_{};
};

void ShowCursor(LPCSTR cursor) { SetCursor(LoadCursorA(nullptr, cursor)); }

bool FileExists(const char* path) {
  HANDLE file = CreateFileA(path, 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace

int CountFavoriteFiles() {
  if (!FavoritesAvailable) return -1;
  ShortcutSearch search;
  if (!search.Found()) return 0;
  int count = 1;
  while (search.Next()) ++count;
  return count;
}

bool ImportFavorites(HWND page, int policy) {
  if (!FavoritesAvailable) return false;
  ShowCursor(IDC_WAIT);
  ShortcutSearch search;
  if (!search.Found()) {
    ShowCursor(IDC_ARROW);
    return false;
  }
  long handled = 0;
  ImportSession session;
  do {
    const char* fileName = search.Current().cFileName;
    std::memset(&CurrentRecord, 0, sizeof CurrentRecord);
    char path[PathBufferSize];
    // A path beyond the buffer cannot be read; such a file is passed over.
    if (FavoriteFilePath(FavoritesFolder, fileName, path)) {
      GetPrivateProfileStringA(kSection, kKey, "", CurrentRecord.link, sizeof CurrentRecord.link,
                               path);
      FavoriteNameFromFileName(fileName, CurrentRecord.name);
      ClassifyLink();
      InsertImportedEntry(page, policy);
    }
    SetProgressPosition(page, ++handled);
  } while (!ImportStopped() && search.Next());
  ShowCursor(IDC_ARROW);
  return true;
}

bool ExportFavorites(HWND page, int policy) {
  if (!FavoritesAvailable || RecordCount() == 0) return false;
  ShowCursor(IDC_WAIT);
  for (long i = 0; i < RecordCount(); ++i) {
    SetProgressPosition(page, i);
    const AddressRecord& record = RecordAt(i);
    if (!PassesTypeFilter(page, record.type)) continue;
    char path[PathBufferSize];
    // A name that would lead out of the folder, or a path too long for the
    // buffer, is passed over like a file that cannot be written.
    if (!FavoriteExportPath(FavoritesFolder, FieldText(record.name), path)) continue;
    if (FileExists(path)) {
      if (policy == Skip) continue;
      if (policy == Ask) {
        char question[512];
        wsprintfA(question, "Der Eintrag '%s' existiert bereits ! \xDC" "berschreiben ?", path);
        if (!QuestionBox(question)) continue;
      }
    }
    const std::string link(FieldText(record.link));
    WritePrivateProfileStringA(kSection, kKey, link.c_str(), path);
  }
  ShowCursor(IDC_ARROW);
  return true;
}
