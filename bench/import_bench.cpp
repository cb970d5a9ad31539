// Prints how long the real program takes, through its Import and Export
// pages, to import generated bookmark files of 1,000 and 5,000 links into an
// empty store and into one of 5,000 records, and to export 5,000 records as
// an HTML document. Run under Wine with a display; see the README.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "tests/win/manager_run.h"
#include "tests/win/test_folder.h"

namespace {

// A bookmark file of count distinct web links, their names in shuffled order.
std::string GeneratedBookmarks(int count, unsigned seed) {
  std::vector<int> order(count);
  for (int i = 0; i < count; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(seed));
  std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n";
  for (int i = 0; i < count; ++i)
    file += "<DT><A HREF=\"http://www.example.org/seite/" + std::to_string(i) +
            ".htm\" ADD_DATE=\"1\">Seite " + std::to_string(order[i]) + "</A>\n";
  return file + "</DL><p>\n";
}

double Seconds(DWORD from) { return (GetTickCount() - from) / 1000.0; }

// Records of the store before the import: 5,000 links the file does not hold.
std::string StoreOf(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i)
    bytes += Bytes(MakeRecord("Eintrag " + std::to_string((i * 7919) % count),
                              "http://www.example.com/" + std::to_string(i)));
  return bytes;
}

void Import(int links, int stored) {
  TestFolder folder;
  WriteBytes("bookmark.htm", GeneratedBookmarks(links, 1));
  WriteBytes("qxinetvz.dat", StoreOf(stored));
  ManagerRun run(folder.path(), 7);
  run.waitMs = 600000;
  const std::string path = folder.path() + "\\bookmark.htm";
  const DWORD start = GetTickCount();
  const bool ok = run.Run({102}, "QX Internet 2.0 - Netscape Bookmarkdatei laden", path.c_str());
  std::printf("import of %5d links into a store of %5d records: %6.1f s%s\n", links, stored,
              Seconds(start), ok ? "" : " (failed)");
}

void ExportHtml(int stored) {
  TestFolder folder;
  WriteBytes("qxinetvz.dat", StoreOf(stored));
  ManagerRun run(folder.path(), 8);
  run.waitMs = 600000;
  const std::string path = folder.path() + "\\links.htm";
  const DWORD start = GetTickCount();
  const bool ok = run.Run({102}, "QX Internet 2.0 - Speichern als HTML-Dokument", path.c_str());
  std::printf("HTML export of %5d records:                     %6.1f s%s\n", stored, Seconds(start),
              ok ? "" : " (failed)");
}

}  // namespace

int main() {
  Import(1000, 0);
  Import(5000, 0);
  Import(1000, 5000);
  Import(5000, 5000);
  ExportHtml(5000);
  return 0;
}
