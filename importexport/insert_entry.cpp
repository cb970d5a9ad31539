// Storing one imported entry.
#include "importexport/insert_entry.h"

#include <cstring>

#include "addressdb/store.h"
#include "manager/category_page.h"
#include "manager/messages.h"
#include "manager/resource.h"

namespace {

int CheckBoxOf(std::uint8_t type) {
  switch (static_cast<LinkType>(type)) {
    case LinkType::Www: return IDC_TYPE_WEB;
    case LinkType::Ftp: return IDC_TYPE_FTP;
    case LinkType::Email: return IDC_TYPE_EMAIL;
    case LinkType::News: return IDC_TYPE_NEWS;
    case LinkType::Gopher: return IDC_TYPE_GOPHER;
    case LinkType::Archie: return IDC_TYPE_ARCHIE;
    case LinkType::Local: return IDC_TYPE_LOCAL;
    default: return 0;
  }
}

}  // namespace

bool PassesTypeFilter(HWND page, std::uint8_t type) {
  const int box = CheckBoxOf(type);
  return box == 0 || IsDlgButtonChecked(page, box) == BST_CHECKED;
}

bool ConfirmOverwrite(long index) {
  char text[1024];
  // The precisions keep a damaged field without its NUL inside its width.
  wsprintfA(text,
            "Der Link '%.255s' ist bereits unter dem Namen '%.128s' eingetragen ! \xDC"
            "berschreiben ?",
            CurrentRecord.link, RecordAt(index).name);
  return QuestionBox(text);
}

bool InsertImportedEntry(HWND page, int policy) {
  // Once the files could not be written, nothing more is stored or asked.
  if (!SaveImportIfDue()) return false;
  if (!PassesTypeFilter(page, CurrentRecord.type)) return false;
  const long index = FindByLink();
  if (index < 0) {
    AppendRecord();
    // The addition re-sorted the file: positions held by any page are void.
    SetRefillPendingAll();
  } else {
    // The files hold everything before the question: a user who leaves the
    // program at it loses no answer already given.
    const bool overwrite =
        policy == Overwrite || (policy == Ask && SaveImport() && ConfirmOverwrite(index));
    if (!overwrite) return false;
    OverwriteWithCurrent(index);
  }
  SetRefillPending(static_cast<LinkType>(CurrentRecord.type));
  return true;
}
