// The file steps the importers and the HTML export share: the remembered path
// of each file dialog, the dialog itself, and reading a file whole.
#pragma once
#include <windows.h>

// Value names under HKEY_CURRENT_USER "Software\QXApps\QX Internet".
constexpr const char* BookmarkFileValue = "BookmarkFile";
constexpr const char* HotlistFileValue = "HotlistFile";
constexpr const char* HtmlDocumentValue = "HTML-Dokument";

// Clears path and reads the value into it; left empty when key or value is missing.
void ReadRememberedPath(const char* value, char (&path)[MAX_PATH]);
// Failures are of no consequence to the caller and are not reported.
void RememberPath(const char* value, const char* path);

// The open or save dialog owned by the sheet, path pre-filled; false when cancelled.
bool ChooseFile(bool save, const char* filter, const char* dialogTitle, DWORD flags,
                char (&path)[MAX_PATH], char (&fileTitle)[MAX_PATH]);

// A file read whole into a buffer of exactly its size, freed with the object.
class WholeFile {
 public:
  enum Result { Read, CannotOpen, TooShort, NoMemory, ShortRead };
  WholeFile() = default;
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;
  ~WholeFile();
  // A file below minimumSize bytes is TooShort; one of 0 bytes gets no buffer (NoMemory).
  Result Load(const char* path, DWORD minimumSize);
  const char* data() const { return data_; }
  char* data() { return data_; }
  DWORD size() const { return size_; }

 private:
  char* data_ = nullptr;
  DWORD size_ = 0;
};
