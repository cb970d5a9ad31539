// Export of the catalogue as one HTML document.
#include <string>

#include "addressdb/store.h"
#include "importexport/files.h"
#include "importexport/html_document.h"
#include "importexport/insert_entry.h"
#include "importexport/page_controls.h"
#include "importexport/roads.h"
#include "manager/messages.h"

namespace {
const char kFilter[] = "HTML-Dokumente\0*.htm\0";
const char kTitle[] = "QX Internet 2.0 - Speichern als HTML-Dokument";

void WriteBytes(HANDLE file, const char* bytes, DWORD length) {
  DWORD written = 0;
  WriteFile(file, bytes, length, &written, nullptr);
}
}  // namespace

void WriteHtmlLine(HANDLE file, const char* text) {
  const std::size_t length = std::char_traits<char>::length(text);
  if (length > 0) WriteBytes(file, text, static_cast<DWORD>(length));
  WriteBytes(file, "\r\n", 2);
}

bool ExportHtml(HWND page) {
  if (RecordCount() == 0) return false;
  char path[MAX_PATH], title[MAX_PATH];
  ReadRememberedPath(HtmlDocumentValue, path);
  if (!ChooseFile(true, kFilter, kTitle, OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST,
                  path, title))
    return false;
  RememberPath(HtmlDocumentValue, path);

  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ErrorBox("HTML-Dokument kann nicht angelegt werden !");
    return false;
  }
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  HtmlDocumentSteps steps;
  steps.writeLine = [file](std::string_view line) { WriteHtmlLine(file, std::string(line).c_str()); };
  steps.passes = [page](std::uint8_t type) { return PassesTypeFilter(page, type); };
  steps.atRecord = [page](std::size_t i) { SetProgressPosition(page, static_cast<long>(i)); };
  steps.afterEntries = [] { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); };
  WriteHtmlDocument([](std::size_t i) -> const AddressRecord& { return RecordAt(static_cast<long>(i)); },
                    static_cast<std::size_t>(RecordCount()), steps);
  CloseHandle(file);
  return true;
}
