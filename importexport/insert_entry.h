// The policy for existing entries, the link-type filter of the Import and
// Export pages, and the one step by which every import stores an entry.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>

#include "addressdb/store.h"

enum ExistingEntryPolicy { Skip = 0, Ask = 1, Overwrite = 2 };

// The link types checked on a page, read once for a whole run: the page takes
// no input while an import or export runs.
class TypeFilter {
 public:
  explicit TypeFilter(HWND page);
  // False only when type is one of the seven categories and its box was unchecked.
  bool Passes(std::uint8_t type) const { return passes_[type]; }

 private:
  std::array<bool, 256> passes_;
};

// One import's storing of its entries, from its first to its last: the store
// takes them as one change, and the category pages that got entries are
// marked for refilling once, at its end (no page can be shown before).
class ImportRun {
 public:
  ImportRun(HWND page, int policy) : filter_(page), policy_(policy) {}
  ~ImportRun();
  ImportRun(const ImportRun&) = delete;
  ImportRun& operator=(const ImportRun&) = delete;

 private:
  friend bool InsertImportedEntry(ImportRun& run);
  ImportSession session_;
  TypeFilter filter_;
  int policy_;
  bool added_ = false;
  std::array<bool, 256> stored_{};  // by LinkType
};

// Stores CurrentRecord under the run's policy: appended when its link is new,
// else type, name and link written over the first stored record with that
// link. True when something was stored.
bool InsertImportedEntry(ImportRun& run);

// Asks whether the stored record at index is to be overwritten.
bool ConfirmOverwrite(long index);
