// Prints how long the real program takes, through its Import and Export
// pages, to import generated bookmark files of 1,000 and 5,000 links into an
// empty store and into one of 5,000 records, and to export 5,000 records as
// an HTML document. Run under Wine with a display; see the README.
#include <windows.h>

#include <cstdio>

#include "tests/win/manager_run.h"
#include "tests/win/test_folder.h"

namespace {

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
