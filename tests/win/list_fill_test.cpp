// A page's list filled at once in the list box's own order shows what adding
// its names one by one shows: the same items in the same order, each with the
// same item data, also among names that the list box's comparison finds equal;
// and a list that follows the store's changes one by one shows what a fresh
// fill shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "manager/list_fill.h"
#include "tests/win/test_folder.h"

namespace {

struct Shown {
  std::vector<std::string> texts;
  std::vector<LPARAM> data;
};

HWND SortedList() {
  return CreateWindowA("LISTBOX", "", LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
}

Shown Read(HWND list) {
  Shown shown;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[256] = "";
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    shown.texts.push_back(text);
    shown.data.push_back(SendMessageA(list, LB_GETITEMDATA, i, 0));
  }
  return shown;
}

// Names of a few pieces each that the comparison treats alike or apart:
// case, umlauts against their spellings, digits, punctuation, blanks, nothing,
// and so many equal names.
std::vector<std::string> Mixed(std::size_t count, unsigned seed) {
  const char* const pieces[] = {"", "a", "A", "\xE4", "\xC4", "ae", "1", "10", "2", "-", "'", " ", "z", "\xDF", "ss", "Neu"};
  std::mt19937 random(seed);
  std::vector<std::string> names(count);
  for (std::string& name : names)
    for (int k = random() % 4; k > 0; --k) name += pieces[random() % std::size(pieces)];
  return names;
}

// 3000 names added one by one against the same names filled at once.
TEST(ListFill, FilledAtOnceAsNameByName) {
  const std::vector<std::string> names = Mixed(3000, 1);
  HWND byName = SortedList(), atOnce = SortedList();
  ShownList shown;
  for (const std::string& name : names) {
    const LRESULT at = SendMessageA(byName, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(byName, LB_SETITEMDATA, at, static_cast<LPARAM>(shown.records.size()));
    shown.records.push_back(static_cast<long>(shown.records.size()));
    shown.names.push_back(name);
  }
  FillSortedList(atOnce, shown);
  const Shown expected = Read(byName), got = Read(atOnce);
  ASSERT_EQ(got.texts.size(), names.size());
  for (std::size_t i = 0; i < got.texts.size(); ++i)
    ASSERT_TRUE(got.texts[i] == expected.texts[i] && got.data[i] == expected.data[i])
        << "item " << i << " is \"" << got.texts[i] << "\" (name " << got.data[i] << "), name by name it is \""
        << expected.texts[i] << "\" (name " << expected.data[i] << ")";
  DestroyWindow(byName);
  DestroyWindow(atOnce);
}

// The store's records of one type, as a page lists them.
Belongs Of(LinkType type) {
  return [type](long position, std::string& name) {
    if (RecordAt(position).type != static_cast<std::uint8_t>(type)) return false;
    name = std::string(FieldText(RecordAt(position).name));
    return true;
  };
}
ShownList Fresh(HWND list, LinkType type) {
  ShownList shown;
  std::string name;
  for (long i = 0; i < RecordCount(); ++i)
    if (Of(type)(i, name)) shown.records.push_back(i), shown.names.push_back(name);
  FillSortedList(list, shown);
  return shown;
}

// Thousands of additions, deletions and renames (some into the other page)
// with names that are equal or differ in case only, then mostly distinct ones:
// after each, both pages' lists, following the change, show what a fresh fill
// shows.
TEST(ListFill, ListsFollowEveryChangeAsAFreshFillShowsThem) {
  TestFolder folder;
  const char* const names[] = {"Neu", "neu", "NEU", "Apfel", "\xC4pfel", "apfel", "", "a-b", "ab", "Zebra"};
  const char* const kinds[] = {"an addition", "a deletion", "a rename"};
  std::mt19937 random(7);
  // In the second half most names are new: lists of distinct names, now and then meeting an equal one.
  int step = 0;
  auto anyName = [&] {
    if (step >= 1000 && random() % 8) return "U" + std::to_string(random());
    return std::string(names[random() % std::size(names)]) + (random() % 3 ? "" : "1");
  };
  auto anyLink = [&](int step) { return (random() % 4 ? "http://" : "ftp://") + std::to_string(step) + "/"; };
  WriteBytes("qxinetvz.dat", Bytes({MakeRecord("Start", "http://start/")}));
  ASSERT_TRUE(OpenStore());
  struct Page {
    LinkType type;
    HWND list, fresh;
    ShownList shown;
  } pages[] = {{LinkType::Www, SortedList(), SortedList(), {}}, {LinkType::Ftp, SortedList(), SortedList(), {}}};
  for (Page& page : pages) page.shown = Fresh(page.list, page.type);
  for (; step < 2000; ++step) {
    const long count = RecordCount();
    const int kind = count < 60 ? 0 : count > 140 ? 1 : static_cast<int>(random() % 3);
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
      Fresh(page.fresh, page.type);
      const Shown followed = Read(page.list), fresh = Read(page.fresh);
      ASSERT_TRUE(followed.texts == fresh.texts && followed.data == fresh.data)
          << "step " << step << ", after " << kinds[kind] << ": the list of type " << int(page.type) << " holds "
          << followed.texts.size() << " items, a fresh fill " << fresh.texts.size();
    }
  }
  CloseStore();
}

}  // namespace
