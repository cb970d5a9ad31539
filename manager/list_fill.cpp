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

// The list emptied and every entry put in, in its order, at the end: in
// place of the search, as LB_INSERTSTRING does not sort.
void AppendAll(HWND list, const ShownList& shown) {
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  std::size_t text = 0;
  for (const std::string& name : shown.names) text += name.size() + 1;
  SendMessageA(list, LB_INITSTORAGE, shown.names.size(), text);
  for (std::size_t entry : shown.order) Insert(list, static_cast<WPARAM>(-1), shown, entry);
}

}  // namespace

void FillSortedList(HWND list, ShownList& shown) {
  shown.keys.clear();
  shown.keys.reserve(shown.names.size());
  for (const std::string& name : shown.names) shown.keys.push_back(ListKey(name));
  shown.order = FilledListOrder(shown.keys);
  shown.distinct = Distinct(shown);
  AppendAll(list, shown);
}

void FollowStoreMove(HWND list, ShownList& shown, const StoreMove& move, long changed, const Belongs& belongs) {
  if (move.from < 0 && move.to < 0 && changed < 0) return;  // nothing moved, nothing written
  // Where each entry's record is now (-1: gone).
  std::vector<long> moved(shown.records.size());
  for (std::size_t i = 0; i < moved.size(); ++i) moved[i] = Moved(shown.records[i], move);
  // What each item stood for, and where that record is now (-1: gone or rewritten).
  std::vector<long> before, now;
  before.reserve(shown.order.size());
  now.reserve(shown.order.size());
  for (std::size_t entry : shown.order) {
    before.push_back(shown.records[entry]);
    now.push_back(moved[entry] == changed ? -1 : moved[entry]);
  }
  // The entries change in place: taking the memory of 90,000 names anew
  // costs more than the whole change.
  const std::vector<std::size_t> order = std::move(shown.order);
  std::vector<std::size_t> index(shown.records.size(), SIZE_MAX);  // of each entry after
  std::size_t kept = 0;
  for (std::size_t i = 0; i < shown.records.size(); ++i) {
    if (moved[i] < 0 || moved[i] == changed) continue;
    index[i] = kept;
    if (kept != i) {
      shown.names[kept] = std::move(shown.names[i]);
      shown.keys[kept] = std::move(shown.keys[i]);
    }
    shown.records[kept++] = moved[i];
  }
  shown.records.resize(kept);
  shown.names.resize(kept);
  shown.keys.resize(kept);
  std::string name;
  std::size_t at = SIZE_MAX;  // where the record written went in, if it did
  if (changed >= 0 && belongs(changed, name)) {
    at = std::lower_bound(shown.records.begin(), shown.records.end(), changed) - shown.records.begin();
    shown.records.insert(shown.records.begin() + at, changed);
    shown.keys.insert(shown.keys.begin() + at, ListKey(name));
    shown.names.insert(shown.names.begin() + at, std::move(name));
  }
  // Among distinct names the order is the keys' alone: the items kept stay
  // in theirs and the one written goes where its key belongs, unless it meets
  // an equal one; equal names take their order from the whole list.
  shown.order.clear();
  const bool keptInOrder = shown.distinct;  // the kept items keep their order by construction
  if (shown.distinct) {
    shown.order.reserve(order.size() + 1);
    for (std::size_t entry : order)
      if (index[entry] != SIZE_MAX) shown.order.push_back(index[entry] + (at != SIZE_MAX && index[entry] >= at));
    if (at != SIZE_MAX) {
      const std::string& key = shown.keys[at];
      const auto place = std::lower_bound(shown.order.begin(), shown.order.end(), key,
                                          [&](std::size_t e, const std::string& k) { return shown.keys[e] < k; });
      shown.distinct = place == shown.order.end() || shown.keys[*place] != key;  // all before it are less
      shown.order.insert(place, at);
    }
  }
  if (!shown.distinct) {
    shown.order = FilledListOrder(shown.keys);
    shown.distinct = Distinct(shown);
  }

  const std::size_t oldCount = now.size(), newCount = shown.order.size();
  auto record = [&](std::size_t item) { return shown.records[shown.order[item]]; };

  // Mostly the other items keep their order: the one gone is taken out, the
  // one written put in, and the items whose records moved get their data.
  bool sameOrder = keptInOrder;
  if (!sameOrder) {
    std::vector<long> keptBefore, keptNow;
    keptBefore.reserve(oldCount);
    keptNow.reserve(newCount);
    for (long r : now)
      if (r >= 0) keptBefore.push_back(r);
    for (std::size_t i = 0; i < newCount; ++i)
      if (record(i) != changed) keptNow.push_back(record(i));
    sameOrder = keptBefore == keptNow;
  }
  if (sameOrder) {
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
    AppendAll(list, shown);  // a wide change: a fill from the start costs less than as many moves
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
