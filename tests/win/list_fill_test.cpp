// A page's list filled at once in the list box's own order, and one that
// follows the store's changes one by one, show what adding its names one by
// one shows: the same items in the same order, each with the same item data,
// also among names that the list box's comparison finds equal.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "manager/list_fill.h"
#include "tests/win/test_folder.h"

namespace {

HWND SortedList() {
  return CreateWindowA("LISTBOX", "", LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
}

// Where a list first differs from one filled name by name in an item's text or
// data ("": nowhere), as a failure tells it.
std::string Difference(HWND list, HWND byName) {
  const auto item = [](HWND of, LRESULT i) {
    char text[256] = "";
    if (SendMessageA(of, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)) == LB_ERR) return std::string("none");
    return "\"" + std::string(text) + "\" (record " + std::to_string(SendMessageA(of, LB_GETITEMDATA, i, 0)) + ")";
  };
  const LRESULT count = std::max(SendMessageA(list, LB_GETCOUNT, 0, 0), SendMessageA(byName, LB_GETCOUNT, 0, 0));
  for (LRESULT i = 0; i < count; ++i)
    if (item(list, i) != item(byName, i))
      return "item " + std::to_string(i) + " is " + item(list, i) + ", name by name " + item(byName, i);
  return "";
}

// A name of a few pieces that the comparison treats alike or apart: case,
// umlauts against their spellings, digits, punctuation, blanks, nothing; so
// many names are equal.
std::string MixedName(std::mt19937& random) {
  const char* const pieces[] = {"", "a", "A", "\xE4", "\xC4", "ae", "1", "10", "2", "-", "'", " ", "z", "\xDF", "ss", "Neu"};
  std::string name;
  for (int k = 1 + random() % 3; k > 0; --k) name += pieces[random() % std::size(pieces)];
  return name;
}

// The store's records of one type, as a page lists them.
Belongs Of(LinkType type) {
  return [type](long position, std::string& name) {
    if (RecordAt(position).type != static_cast<std::uint8_t>(type)) return false;
    name = std::string(FieldText(RecordAt(position).name));
    return true;
  };
}
// The page's list filled at once, or its names added one by one.
ShownList Filled(HWND list, LinkType type, bool atOnce) {
  ShownList shown;
  std::string name;
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (long i = 0; i < RecordCount(); ++i) {
    if (!Of(type)(i, name)) continue;
    if (!atOnce) SendMessageA(list, LB_SETITEMDATA, SendMessageA(list, LB_ADDSTRING, 0, LPARAM(name.c_str())), i);
    shown.records.push_back(i), shown.names.push_back(name);
  }
  if (atOnce) FillSortedList(list, shown);
  return shown;
}

// Two pages' lists filled at once from 300 records, then following thousands of
// additions, deletions and renames (some into the other page) with names that
// are often equal, then mostly distinct ones: after each, both show what adding
// the names one by one shows.
TEST(ListFill, FilledAtOnceAndFollowingEveryChangeAsNameByName) {
  TestFolder folder;
  const char* const kinds[] = {"an addition", "a deletion", "a rename"};
  std::mt19937 random(7);
  // In the second half, from an empty store on, names are new and now and then one the
  // store holds: lists of distinct names, meeting an equal one.
  int step = 0;
  auto anyName = [&] {
    if (step < 1300) return MixedName(random);
    if (RecordCount() && random() % 50 == 0) return std::string(FieldText(RecordAt(random() % RecordCount()).name));
    return "U" + std::to_string(random());
  };
  auto anyLink = [&](int n) { return (random() % 4 ? "http://" : "ftp://") + std::to_string(n) + "/"; };
  std::vector<AddressRecord> records;
  for (; step < 300; ++step) records.push_back(MakeRecord(MixedName(random), anyLink(step)));
  // In name order, as the store keeps them: a rename then moves one record, not all.
  std::stable_sort(records.begin(), records.end(), [](auto& a, auto& b) { return CompareNames(a, b) < 0; });
  WriteBytes("qxinetvz.dat", Bytes(records));
  ASSERT_TRUE(OpenStore());
  struct Page {
    LinkType type;
    HWND list, byName;
    ShownList shown;
  } pages[] = {{LinkType::Www, SortedList(), SortedList(), {}}, {LinkType::Ftp, SortedList(), SortedList(), {}}};
  for (Page& page : pages) page.shown = Filled(page.list, page.type, true);  // looked at after the first change
  for (; step < 2300; ++step) {
    const long count = RecordCount();
    // The store emptied from step 1300 on: the lists go empty, back and forth, then fill with new names.
    const bool emptying = step >= 1300 && step < 1450 && count > 0;
    const int kind = emptying ? 1 : count < 60 ? 0 : count > 140 ? 1 : static_cast<int>(random() % 3);
    long changed = -1;
    if (kind == 0) {
      CurrentRecord = MakeRecord(anyName(), anyLink(step));
      ASSERT_TRUE(AppendRecord()) << step;
      changed = LastMove().to;
    } else if (kind == 1) {
      ASSERT_TRUE(DeleteRecord(static_cast<long>(random() % count))) << step;
    } else {
      const long position = static_cast<long>(random() % count);
      AddressRecord renamed = RecordAt(position);
      SetFieldText(renamed.name, anyName());
      if (random() % 4 == 0) SetFieldText(renamed.link, anyLink(step)), ClassifyLink(renamed);
      WriteRecord(position, renamed);
      SortRecords();
      changed = LastMove().to >= 0 ? LastMove().to : position;
    }
    ASSERT_FALSE(LastMove().whole) << step;
    for (Page& page : pages) {
      FollowStoreMove(page.list, page.shown, LastMove(), changed, Of(page.type));
      Filled(page.byName, page.type, false);
      ASSERT_EQ(Difference(page.list, page.byName), "")
          << "step " << step << ", after " << kinds[kind] << ": the list of type " << int(page.type);
    }
  }
  CloseStore();
}

}  // namespace
