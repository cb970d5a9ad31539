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

TypeFilter::TypeFilter(HWND page) {
  for (int type = 0; type < 256; ++type) {
    const int box = CheckBoxOf(static_cast<std::uint8_t>(type));
    passes_[type] = box == 0 || IsDlgButtonChecked(page, box) == BST_CHECKED;
  }
}

ImportRun::~ImportRun() {
  // An addition re-sorted the file: positions held by any page are void.
  if (added_) {
    SetRefillPendingAll();
    return;
  }
  for (int type = 0; type < 256; ++type)
    if (stored_[type]) SetRefillPending(static_cast<LinkType>(type));
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

bool InsertImportedEntry(ImportRun& run) {
  // Once the files could not be written, nothing more is stored or asked.
  if (!SaveImportIfDue()) return false;
  if (!run.filter_.Passes(CurrentRecord.type)) return false;
  const long index = FindByLink();
  if (index == kStoreUnusable) return false;
  if (index < 0) {
    AppendRecord();
    run.added_ = true;
  } else {
    // The files hold everything before the question: a user who leaves the
    // program at it loses no answer already given.
    const bool overwrite = run.policy_ == Overwrite ||
                           (run.policy_ == Ask && SaveImport() && ConfirmOverwrite(index));
    if (!overwrite) return false;
    OverwriteWithCurrent(index);
  }
  run.stored_[CurrentRecord.type] = true;
  return true;
}
