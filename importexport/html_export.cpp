// Export of the catalogue as one HTML document.
#include <string>
#include <string_view>

#include "addressdb/store.h"
#include "importexport/files.h"
#include "importexport/html_document.h"
#include "importexport/insert_entry.h"
#include "importexport/page_controls.h"
#include "importexport/conversions.h"
#include "manager/messages.h"

namespace {
const char kFilter[] = "HTML-Dokumente\0*.htm\0";
const char kTitle[] = "QX Internet 2.0 - Speichern als HTML-Dokument";

// The document's file, written in pieces of about 64 KB rather than a call
// per line; the outcome of the writes is not examined.
class HtmlFile {
 public:
  explicit HtmlFile(HANDLE file) : file_(file) {}
  // Writes the text, if any, and CR LF.
  void WriteLine(std::string_view text) {
    pending_ += text;
    pending_ += "\r\n";
    if (pending_.size() >= 64 * 1024) Flush();
  }
  void Flush() {
    DWORD written = 0;
    if (!pending_.empty())
      WriteFile(file_, pending_.data(), static_cast<DWORD>(pending_.size()), &written, nullptr);
    pending_.clear();
  }

 private:
  HANDLE file_;
  std::string pending_;
};

}  // namespace

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
  HtmlFile out(file);
  HtmlDocumentSteps steps;
  steps.writeLine = [&out](std::string_view line) { out.WriteLine(line); };
  const TypeFilter filter(page);
  steps.passes = [&filter](std::uint8_t type) { return filter.Passes(type); };
  steps.atRecord = [page](std::size_t i) { SetProgressPosition(page, static_cast<long>(i)); };
  steps.afterEntries = [] { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); };
  WriteHtmlDocument([](std::size_t i) -> const AddressRecord& { return RecordAt(static_cast<long>(i)); },
                    static_cast<std::size_t>(RecordCount()), steps);
  out.Flush();
  CloseHandle(file);
  return true;
}
