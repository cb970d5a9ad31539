// A page's list filled at once in the list box's own order shows what adding
// its names one by one shows: the same items in the same order, each with the
// same item data, also among names that the list box's comparison finds equal.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "manager/list_fill.h"

namespace {

struct Shown {
  std::vector<std::string> texts;
  std::vector<LPARAM> data;
};

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
// case, umlauts against their spellings, digits, punctuation, blanks, nothing.
std::vector<std::string> Mixed(std::size_t count, unsigned seed) {
  const char* const pieces[] = {"", "a", "A", "\xE4", "\xC4", "ae", "1", "10", "2", "-", "'", " ", "z", "\xDF", "ss", "Neu"};
  std::mt19937 random(seed);
  std::vector<std::string> names(count);
  for (std::string& name : names)
    for (int k = random() % 4; k > 0; --k) name += pieces[random() % std::size(pieces)];
  return names;
}

TEST(ListFill, FilledAtOnceAsNameByName) {
  struct Case {
    const char* what;
    std::vector<std::string> names;  // in the order they are added
  };
  const Case cases[] = {
      {.what = "case, umlauts, digits, punctuation, empty",
       .names = {"b", "B", "\xC4pfel", "Apfel", "\xE4pfel", "apfel", "10", "9", "1", "a-b", "ab", "a'b", "a b", "",
                 "", "Zebra", "zebra", "ZEBRA", "Stra\xDF" "e", "Strasse"}},
      {.what = "one name many times, among others", .names = [] {
         std::vector<std::string> n(2000, "Neu");
         for (std::size_t i = 0; i < n.size(); i += 7) n[i] = "neu " + std::to_string(i);
         return n;
       }()},
      {.what = "3000 mixed names", .names = Mixed(3000, 1)},
      {.what = "3000 mixed names, another draw", .names = Mixed(3000, 2)},
  };
  for (const Case& c : cases) {
    HWND byName = CreateWindowA("LISTBOX", "", LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND atOnce = CreateWindowA("LISTBOX", "", LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    std::vector<ListEntry> entries;
    for (const std::string& name : c.names) {
      const LRESULT at = SendMessageA(byName, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
      SendMessageA(byName, LB_SETITEMDATA, at, static_cast<LPARAM>(entries.size()));
      entries.push_back({name, static_cast<LPARAM>(entries.size())});
    }
    FillSortedList(atOnce, entries);
    const Shown expected = Read(byName), got = Read(atOnce);
    ASSERT_EQ(got.texts.size(), c.names.size()) << c.what;
    for (std::size_t i = 0; i < got.texts.size(); ++i)
      ASSERT_TRUE(got.texts[i] == expected.texts[i] && got.data[i] == expected.data[i])
          << c.what << ": item " << i << " is \"" << got.texts[i] << "\" (name " << got.data[i]
          << "), name by name it is \"" << expected.texts[i] << "\" (name " << expected.data[i] << ")";
    DestroyWindow(byName);
    DestroyWindow(atOnce);
  }
}

}  // namespace
