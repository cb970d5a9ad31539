// A page's list filled in the list box's own order and kept in step with the
// store: sort keys once per name instead of a search of the list, with its
// comparisons, per name; after a change, the items that differ.
#include "manager/list_fill.h"

#include <algorithm>
#include <cstdint>

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

namespace {

void Insert(HWND list, WPARAM at, const ShownList& shown, std::size_t entry) {
  const LRESULT put = SendMessageA(list, LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(shown.names[entry].c_str()));
  if (put >= 0) SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(put), shown.records[entry]);
}

// Where the record at a store position is after the move; -1 when deleted.
long Moved(long position, const StoreMove& move) {
  if (position == move.from) return move.to;
  long after = position;
  if (move.from >= 0 && position > move.from) --after;  // closes the gap it left
  if (move.to >= 0 && after >= move.to) ++after;        // opens the one it takes
  return after;
}

// Whether no two neighbours in the order have equal keys.
bool Distinct(const ShownList& shown) {
  for (std::size_t i = 1; i < shown.order.size(); ++i)
    if (shown.keys[shown.order[i - 1]] == shown.keys[shown.order[i]]) return false;
  return true;
}

}  // namespace

void FillSortedList(HWND list, ShownList& shown) {
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  shown.keys.clear();
  std::size_t text = 0;
  for (const std::string& name : shown.names) {
    shown.keys.push_back(ListKey(name));
    text += name.size() + 1;
  }
  shown.order = FilledListOrder(shown.keys);
  shown.distinct = Distinct(shown);
  SendMessageA(list, LB_INITSTORAGE, shown.names.size(), text);
  // At the end, in place of the search: LB_INSERTSTRING does not sort.
  for (std::size_t entry : shown.order) Insert(list, static_cast<WPARAM>(-1), shown, entry);
}

void FollowStoreMove(HWND list, ShownList& shown, const StoreMove& move, long changed, const Belongs& belongs) {
  // What each item stood for, and where that record is now (-1: gone or rewritten).
  std::vector<long> before, now;
  for (std::size_t entry : shown.order) {
    before.push_back(shown.records[entry]);
    const long moved = Moved(shown.records[entry], move);
    now.push_back(moved == changed ? -1 : moved);
  }
  ShownList next;
  std::vector<std::size_t> index(shown.records.size(), SIZE_MAX);  // of each entry in next
  for (std::size_t i = 0; i < shown.records.size(); ++i) {
    const long moved = Moved(shown.records[i], move);
    if (moved < 0 || moved == changed) continue;
    index[i] = next.records.size();
    next.records.push_back(moved);
    next.names.push_back(std::move(shown.names[i]));
    next.keys.push_back(std::move(shown.keys[i]));
  }
  std::string name;
  std::size_t at = SIZE_MAX;  // where the record written went in, if it did
  if (changed >= 0 && belongs(changed, name)) {
    at = std::lower_bound(next.records.begin(), next.records.end(), changed) - next.records.begin();
    next.records.insert(next.records.begin() + at, changed);
    next.keys.insert(next.keys.begin() + at, ListKey(name));
    next.names.insert(next.names.begin() + at, std::move(name));
  }
  // Among distinct names the order is the keys' alone: the items kept stay
  // in theirs and the one written goes where its key belongs, unless it meets
  // an equal one; equal names take their order from the whole list.
  if (shown.distinct) {
    for (std::size_t entry : shown.order)
      if (index[entry] != SIZE_MAX) next.order.push_back(index[entry] + (at != SIZE_MAX && index[entry] >= at));
    if (at != SIZE_MAX) {
      const std::string& key = next.keys[at];
      const auto place = std::lower_bound(next.order.begin(), next.order.end(), key,
                                          [&](std::size_t e, const std::string& k) { return next.keys[e] < k; });
      next.distinct = (place == next.order.end() || next.keys[*place] != key) &&
                      (place == next.order.begin() || next.keys[*(place - 1)] != key);
      next.order.insert(place, at);
    } else {
      next.distinct = true;
    }
  }
  if (!next.distinct) {
    next.order = FilledListOrder(next.keys);
    next.distinct = Distinct(next);
  }

  const std::size_t oldCount = now.size(), newCount = next.order.size();
  shown = std::move(next);
  auto record = [&](std::size_t item) { return shown.records[shown.order[item]]; };

  // Mostly the other items keep their order: the one gone is taken out, the
  // one written put in, and the items whose records moved get their data.
  std::vector<long> keptBefore, keptNow;
  for (long r : now)
    if (r >= 0) keptBefore.push_back(r);
  for (std::size_t i = 0; i < newCount; ++i)
    if (record(i) != changed) keptNow.push_back(record(i));
  if (keptBefore == keptNow) {
    for (std::size_t i = oldCount; i-- > 0;)
      if (now[i] < 0) SendMessageA(list, LB_DELETESTRING, i, 0);
    for (std::size_t i = 0, old = 0; i < newCount; ++i) {
      if (record(i) == changed) {
        Insert(list, i, shown, shown.order[i]);
        continue;
      }
      while (now[old] < 0) ++old;
      if (before[old++] != record(i)) SendMessageA(list, LB_SETITEMDATA, i, record(i));
    }
    return;
  }
  // Equal names may have changed places among themselves: the items that
  // agree from the start and from the end stay, the rest is replaced.
  std::size_t head = 0, tail = 0;
  while (head < oldCount && head < newCount && now[head] == record(head)) ++head;
  while (tail < oldCount - head && tail < newCount - head && now[oldCount - 1 - tail] == record(newCount - 1 - tail))
    ++tail;
  if (oldCount - head - tail > 1000 || newCount - head - tail > 1000) {
    // A wide change: a fill from the start costs less than as many moves in the middle.
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (std::size_t entry : shown.order) Insert(list, static_cast<WPARAM>(-1), shown, entry);
    return;
  }
  for (std::size_t i = head; i < oldCount - tail; ++i) SendMessageA(list, LB_DELETESTRING, head, 0);
  for (std::size_t i = head; i < newCount - tail; ++i) Insert(list, i, shown, shown.order[i]);
  for (std::size_t i = 0; i < newCount; ++i) {
    const bool kept = i < head || i >= newCount - tail;
    const std::size_t old = i < head ? i : i + oldCount - newCount;
    if (kept && before[old] != record(i)) SendMessageA(list, LB_SETITEMDATA, i, record(i));
  }
}
