// Import and export of Internet Shortcut files in the favourites folder.
#include <cstring>
#include <string>

#include "addressdb/store.h"
#include "importexport/cp1252.h"
#include "importexport/favorite_names.h"
#include "importexport/insert_entry.h"
#include "importexport/page_controls.h"
#include "importexport/conversions.h"
#include "manager/app.h"
#include "manager/messages.h"

namespace {

const wchar_t kSection[] = L"InternetShortcut";
const wchar_t kKey[] = L"URL";

// The search over FavoritesFolder\*.url, by the wide functions: the ANSI
// ones hand a character the code page lacks over as a look-alike, and a
// full-width backslash so turned would name a file outside the folder. Folders
// are passed over, whatever their names end in. Ended with the object.
class ShortcutSearch {
 public:
  ShortcutSearch() {
    const int n = MultiByteToWideChar(CP_ACP, 0, FavoritesFolder, -1, folder_, PathBufferSize);
    if (n == 0 || n + 6 > static_cast<int>(PathBufferSize)) return;
    std::wstring pattern = std::wstring(folder_) + L"\\*.url";
    find_ = FindFirstFileW(pattern.c_str(), &data_);
    if (Found() && IsFolder()) Next();
  }
  ~ShortcutSearch() {
    if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
  }
  ShortcutSearch(const ShortcutSearch&) = delete;
  ShortcutSearch& operator=(const ShortcutSearch&) = delete;
  bool Found() const { return find_ != INVALID_HANDLE_VALUE && !done_; }
  const wchar_t* FileName() const { return data_.cFileName; }
  // The file's path, or false when it would not fit the path buffer.
  bool Path(std::wstring& path) const {
    path = std::wstring(folder_) + L"\\" + data_.cFileName;
    return path.size() < PathBufferSize;
  }
  bool Next() {
    do {
      if (!FindNextFileW(find_, &data_)) {
        done_ = true;
        return false;
      }
    } while (IsFolder());
    return true;
  }

 private:
  bool IsFolder() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  wchar_t folder_[PathBufferSize] = L"";
  HANDLE find_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data_{};
  bool done_ = false;
};

std::string Cp1252(const wchar_t* text) {
  return Utf16ToCp1252(reinterpret_cast<const char16_t*>(text));
}

// A name as the file system will see it: its bytes read in the ANSI code page
// in force. False when they cannot be read so.
bool FileSystemName(std::string_view name, std::u16string& wide) {
  std::wstring text(name.size(), L'\0');  // never more characters than bytes
  const int n = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()),
                                    &text[0], static_cast<int>(text.size()));
  wide.assign(text.begin(), text.begin() + n);
  return n > 0 || name.empty();
}

void ShowCursor(LPCSTR cursor) { SetCursor(LoadCursorA(nullptr, cursor)); }

// By the attributes: opening the file would fail for one another program
// holds open, and such a file would count as absent and be overwritten.
bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

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
  ImportRun run(page, policy);
  do {
    std::memset(&CurrentRecord, 0, sizeof CurrentRecord);
    std::wstring path;
    // A path beyond the buffer cannot be read; such a file is passed over.
    if (search.Path(path)) {
      wchar_t link[sizeof CurrentRecord.link];
      GetPrivateProfileStringW(kSection, kKey, L"", link, sizeof CurrentRecord.link, path.c_str());
      SetFieldText(CurrentRecord.link, Cp1252(link));
      FavoriteNameFromFileName(Cp1252(search.FileName()), CurrentRecord.name);
      ClassifyLink();
      InsertImportedEntry(run);
    }
    SetProgressPosition(page, ++handled);
  } while (!ImportStopped() && search.Next());
  ShowCursor(IDC_ARROW);
  return true;
}

bool ExportFavorites(HWND page, int policy) {
  if (!FavoritesAvailable || RecordCount() == 0) return false;
  ShowCursor(IDC_WAIT);
  const TypeFilter filter(page);
  for (long i = 0; i < RecordCount(); ++i) {
    SetProgressPosition(page, i);
    const AddressRecord& record = RecordAt(i);
    if (!filter.Passes(record.type)) continue;
    char path[PathBufferSize];
    const std::string_view name = FieldText(record.name);
    std::u16string wideName;
    // A name that would lead out of the folder, to a device or to a stream, a
    // link that would add lines of its own, or a path too long for the
    // buffer: passed over like a file that cannot be written.
    if (!FileSystemName(name, wideName) ||
        !FavoriteExportPath(FavoritesFolder, name, wideName, path) ||
        !FavoriteLinkWritable(FieldText(record.link)))
      continue;
    if (FileExists(path)) {
      if (policy == Skip) continue;
      if (policy == Ask) {
        char question[512];
        wsprintfA(question, "Der Eintrag '%s' existiert bereits ! \xDC" "berschreiben ?", path);
        if (!QuestionBox(question)) continue;
      }
    }
    const std::string link(FieldText(record.link));
    WritePrivateProfileStringA("InternetShortcut", "URL", link.c_str(), path);
  }
  ShowCursor(IDC_ARROW);
  return true;
}
