// The seven category pages over the template DLG_LINK: the list of a
// category's entries, the selected entry's link and description, and new,
// change, delete and open in the browser.
#include "manager/category_page.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "addressdb/store.h"
#include "common/center.h"
#include "manager/app.h"
#include "manager/entry_dialog.h"
#include "manager/launch.h"
#include "manager/list_fill.h"
#include "manager/messages.h"
#include "manager/resource.h"

namespace {

const char kLinkExists[] = "Link ist bereits eingetragen !";
const char kConfirmDelete[] = "Den Eintrag '%s' wirklich l\xF6schen ?";

// One set per page, in tab order; kept for the whole run, not per page window.
struct PageState {
  int selectedPosition = -1;  // list position, -1 for none
  long selectedRecord = 0;    // record position that item stands for
  bool refillPending = false;
  ShownList shown;            // what the list shows
};
PageState pageStates[7];

int PageIndex(LinkType type) {
  for (std::size_t i = 0; i < kLinkCategories.size(); ++i)
    if (kLinkCategories[i].type == type) return static_cast<int>(i);
  return -1;
}

// A field read from a damaged file may lack its NUL: its width is the limit.
template <std::size_t N>
std::string Text(const char (&field)[N]) {
  return std::string(FieldText(field));
}

// Positions taken from the list hold only until the store changes; one at or
// beyond the end of the store names no record.
bool HasSelection(const PageState& state) {
  return state.selectedPosition != -1 && state.selectedRecord >= 0 &&
         state.selectedRecord < RecordCount();
}

// Taken over once the current message is done, as a click in the list would.
void PostSelectionChange(HWND page) {
  PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_LIST, LBN_SELCHANGE), 0);
}

void ClearShownEntry(HWND page) {
  SetDlgItemTextA(page, IDC_LINKTEXT, "");
  SetDlgItemTextA(page, IDC_DESCTEXT, "");
}

// The record at a position if it belongs on the page of type, with its name.
bool OnPage(LinkType type, long position, std::string& name) {
  const AddressRecord& record = RecordAt(position);
  if (record.type != static_cast<std::uint8_t>(type)) return false;
  name = Text(record.name);
  return true;
}

// The list changed without a repaint until it is complete (ten thousand
// insertions), then its first item selected.
void Relist(HWND page, const std::function<void(HWND)>& change) {
  HWND list = GetDlgItem(page, IDC_LIST);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  change(list);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
}

void FillList(LinkType type, HWND page) {
  ClearShownEntry(page);
  LookAgainAtStore();
  ShownList& shown = pageStates[PageIndex(type)].shown;
  shown = ShownList{};
  if (!StoreHasView()) return Relist(page, [&](HWND list) { FillSortedList(list, shown); });
  std::size_t onPage = 0;  // reserved once: growing the lists would take their memory again and again
  for (long i = 0; i < RecordCount(); ++i) onPage += RecordAt(i).type == static_cast<std::uint8_t>(type);
  shown.records.reserve(onPage);
  shown.names.reserve(onPage);
  std::string name;
  for (long i = 0; i < RecordCount(); ++i) {
    if (!OnPage(type, i, name)) continue;
    shown.records.push_back(i);
    shown.names.push_back(std::move(name));
  }
  Relist(page, [&](HWND list) { FillSortedList(list, shown); });
}

// After every change of the store: the records that other pages' lists stand
// for may have moved, so every page refills when next shown (SetRefillPendingAll);
// the page that made the change follows it at once: the items that differ are
// replaced, the moved ones given their new positions, or, where the store
// cannot say what moved, the list is filled anew. changed: the position of
// the record the change wrote (-1: none). Until the posted selection change
// arrives, no position of the old list may be acted on.
void Refill(LinkType type, HWND page, const StoreMove& move, long changed) {
  PageState& state = pageStates[PageIndex(type)];
  state.refillPending = false;
  state.selectedPosition = -1;
  if (move.whole || !StoreHasView()) {
    FillList(type, page);
  } else {
    ClearShownEntry(page);
    Relist(page, [&](HWND list) {
      FollowStoreMove(list, state.shown, move, changed,
                      [type](long position, std::string& name) { return OnPage(type, position, name); });
    });
  }
  PostSelectionChange(page);
}

// No record moved and none was written.
constexpr StoreMove kNoChange{-1, -1, false};

void ShowSelection(PageState& state, HWND page, int code) {
  LRESULT selected = SendDlgItemMessageA(page, IDC_LIST, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) {
    state.selectedPosition = -1;
    return;
  }
  state.selectedPosition = static_cast<int>(selected);
  state.selectedRecord = static_cast<long>(
      SendDlgItemMessageA(page, IDC_LIST, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
  if (!HasSelection(state)) {
    state.selectedPosition = -1;
    return;
  }
  if (code == LBN_SELCHANGE && StoreHasView()) {
    const AddressRecord& record = RecordAt(state.selectedRecord);
    SetDlgItemTextA(page, IDC_LINKTEXT, Text(record.link).c_str());
    SetDlgItemTextA(page, IDC_DESCTEXT, Text(record.description).c_str());
  }
  if (code == LBN_DBLCLK && StoreHasView() && FavoritesAvailable)
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_LAUNCH, 0), 0);
}

void NewEntry(LinkType type, HWND page) {
  std::memset(&CurrentRecord, 0, sizeof CurrentRecord);
  SetFieldText(CurrentRecord.link, kLinkCategories[PageIndex(type)].preset);
  if (RunEntryDialog(page) == 1) {
    const long found = FindByLink();
    if (found == -1) {
      AppendRecord();
      SetRefillPendingAll();
      return Refill(type, page, LastMove(), LastMove().to);
    }
    if (found >= 0) ErrorBox(kLinkExists);
  }
  Refill(type, page, kNoChange, -1);
}

void ChangeEntry(LinkType type, PageState& state, HWND page) {
  if (!HasSelection(state)) return;
  const long position = state.selectedRecord;
  CurrentRecord = RecordAt(position);
  const std::string keptName = Text(CurrentRecord.name);
  long written = -1;
  if (RunEntryDialog(page) == 1 && position < RecordCount()) {
    WriteRecord(position, CurrentRecord);
    written = position;
  }
  // The dialog reads its fields before it checks them, so even a cancelled
  // change may leave another name here; the store is sorted then as well.
  StoreMove move = kNoChange;
  if (FieldText(CurrentRecord.name) != keptName) {
    SortRecords();
    move = LastMove();
    if (move.to >= 0) written = move.to;
  }
  if (written >= 0 || move.whole) SetRefillPendingAll();
  Refill(type, page, move, written);
}

void DeleteEntry(LinkType type, PageState& state, HWND page) {
  if (!HasSelection(state)) return;
  char question[512];
  std::snprintf(question, sizeof question, kConfirmDelete,
                Text(RecordAt(state.selectedRecord).name).c_str());
  if (!QuestionBox(question)) return;
  DeleteRecord(state.selectedRecord);
  SetRefillPendingAll();
  Refill(type, page, LastMove(), -1);
}

INT_PTR PageMessage(LinkType type, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  PageState& state = pageStates[PageIndex(type)];
  switch (message) {
    case WM_INITDIALOG:
      // The first page is created as the sheet opens: it centres the sheet.
      if (type == LinkType::Www) CenterWindow(GetDesktopWindow(), SheetWindow);
      if (!FavoritesAvailable) EnableWindow(GetDlgItem(page, IDC_LAUNCH), FALSE);
      state.refillPending = false;
      FillList(type, page);
      return 0;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(PSN_SETACTIVE)) {
        if (state.refillPending) {
          state.refillPending = false;
          state.selectedPosition = -1;
          FillList(type, page);
        }
        PostSelectionChange(page);
      }
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_LIST: ShowSelection(state, page, HIWORD(wParam)); break;
        case IDC_CHANGE: ChangeEntry(type, state, page); break;
        case IDC_DELETE: DeleteEntry(type, state, page); break;
        case IDC_NEW: NewEntry(type, page); break;
        case IDC_LAUNCH:
          if (HasSelection(state) && LaunchLink(state.selectedRecord))
            ShowWindow(SheetWindow, SW_MINIMIZE);
          break;
      }
      return 0;
    case WM_CTLCOLORSTATIC: {
      // The two display fields stand out in the menu colour (COLOR_MENU + 1).
      int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      return (id == IDC_LINKTEXT || id == IDC_DESCTEXT) ? COLOR_MENU + 1 : 0;
    }
    default:
      return 0;
  }
}

template <LinkType T>
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return PageMessage(T, page, message, wParam, lParam);
}

}  // namespace

DLGPROC CategoryPage(LinkType type) {
  switch (type) {
    case LinkType::Www: return PageProc<LinkType::Www>;
    case LinkType::Ftp: return PageProc<LinkType::Ftp>;
    case LinkType::Email: return PageProc<LinkType::Email>;
    case LinkType::News: return PageProc<LinkType::News>;
    case LinkType::Gopher: return PageProc<LinkType::Gopher>;
    case LinkType::Archie: return PageProc<LinkType::Archie>;
    case LinkType::Local: return PageProc<LinkType::Local>;
    default: return nullptr;
  }
}

void SetRefillPending(LinkType type) {
  int index = PageIndex(type);
  if (index >= 0) pageStates[index].refillPending = true;
}

void SetRefillPendingAll() {
  for (PageState& state : pageStates) state.refillPending = true;
}
