// Filling a sorted list box in its own order: sort keys once per name instead
// of a search of the list, with its comparisons, per name.
#include "manager/list_fill.h"

#include "manager/list_order.h"

std::string ListKey(std::string_view name) {
  // A name holds at most 127 characters; a damaged field at most 128.
  wchar_t wide[256];
  const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide, 255);
  wide[length > 0 ? length : 0] = L'\0';
  char key[4096];
  const int size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, wide, -1,
                                reinterpret_cast<LPWSTR>(key), sizeof key);
  return std::string(key, size > 0 ? static_cast<std::size_t>(size) : 0);
}

void FillSortedList(HWND list, const std::vector<ListEntry>& entries) {
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  std::vector<std::string> keys;
  keys.reserve(entries.size());
  std::size_t text = 0;
  for (const ListEntry& e : entries) {
    keys.push_back(ListKey(e.name));
    text += e.name.size() + 1;
  }
  SendMessageA(list, LB_INITSTORAGE, entries.size(), text);
  for (std::size_t i : FilledListOrder(keys)) {
    // At the end, in place of the search: LB_INSERTSTRING does not sort.
    const LRESULT at = SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(entries[i].name.c_str()));
    if (at >= 0) SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), entries[i].data);
  }
}
