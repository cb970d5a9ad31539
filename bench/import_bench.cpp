// Prints how long the real program takes, through its Import and Export
// pages, to import generated bookmark files of 1, 1,000, 5,000, 20,000 and
// 100,000 links into an empty store and 5,000 into one of 5,000 records; to
// import under Overwrite, into a store of 20,000, a file that brings every
// stored link back (in capitals), each followed by a new link, once with the
// stored titles and once with new ones; to export 20,000 records as an HTML
// document; and to import two hostile files of 2 MB.
// Times run from the file dialog's OK to the end of the run. Run under Wine
// with a display; see the README. QX_QXINET names another qxinet.exe to time
// (an older build, say).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "importexport/bookmark_scan.h"
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

// Every link of StoreOf(count) again, in capitals, under its stored title or
// a new one, each followed by a new link.
std::string ReturningBookmarks(int count, bool renamed) {
  std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
  for (int i = 0; i < count; ++i) {
    const std::string title = renamed ? "Umbenannt " + std::to_string((i * 104729) % count)
                                      : "Eintrag " + std::to_string((i * 7919) % count);
    file += "<DT><A HREF=\"HTTP://WWW.EXAMPLE.COM/" + std::to_string(i) + "\">" + title + "</A>\n";
    file += "<DT><A HREF=\"http://www.example.org/neu/" + std::to_string(i) + "\">Neu " +
            std::to_string(i) + "</A>\n";
  }
  return file + "</DL><p>\n";
}

// About 2 MB of one piece repeated.
std::string Repeated(const std::string& piece) {
  std::string file;
  while (file.size() < 2 * 1024 * 1024) file += piece;
  return file;
}

double Seconds(DWORD from) { return (GetTickCount() - from) / 1000.0; }

// Records of the store before the import: links the file does not hold.
std::string StoreOf(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i)
    bytes += Bytes({MakeRecord("Eintrag " + std::to_string((i * 7919) % count),
                              "http://www.example.com/" + std::to_string(i))});
  return bytes;
}

// The time from the dialog's OK: Begin returns once the dialog has gone.
// The records are counted once the program has ended and let go of its file.
void Import(const char* what, const std::string& file, int stored, int links, int policy = 104) {
  TestFolder folder;
  WriteBytes("bookmark.htm", file);
  WriteBytes("qxinetvz.dat", StoreOf(stored));
  double s = 0;
  bool ok = false;
  {
    ManagerRun run(folder.path(), 7);
    const std::string path = folder.path() + "\\bookmark.htm";
    if (run.Begin({102, policy}, "QX Internet 2.0 - Netscape Bookmarkdatei laden", path.c_str())) {
      const DWORD start = GetTickCount();
      ok = run.Finish({}, 900000);
      s = Seconds(start);
    }
  }
  std::printf("%-40s %7.2f s", what, s);
  if (links > 0) std::printf("  %6.1f us per link", 1e6 * s / links);
  std::printf("  %6zu records%s\n", ReadBytes("qxinetvz.dat").size() / RecordSize,
              ok ? "" : " (failed)");
  std::fflush(stdout);
}

// The scan alone, in this process: every mark made into an entry.
void Scan(const char* what, const std::string& file) {
  AddressRecord entry;
  std::size_t entries = 0;
  const DWORD start = GetTickCount();
  ScanBookmarks(file, entry, [&entries](std::size_t) { ++entries; });
  std::printf("%-40s %7.2f s  %zu entries\n", what, Seconds(start), entries);
}

void ExportHtml(int stored) {
  TestFolder folder;
  WriteBytes("qxinetvz.dat", StoreOf(stored));
  ManagerRun run(folder.path(), 8);
  const std::string path = folder.path() + "\\links.htm";
  const DWORD start = GetTickCount();
  const bool ok = run.Begin({102}, "QX Internet 2.0 - Speichern als HTML-Dokument", path.c_str()) &&
                  run.Finish({}, 600000);
  std::printf("%-40s %7.2f s%s\n", ("HTML export of " + std::to_string(stored) + " records").c_str(),
              Seconds(start), ok ? "" : " (failed)");
  std::fflush(stdout);
}

}  // namespace

// "links": the generated files and the export only (an older build would
// take hours over the hostile files).
int main(int argc, char** argv) {
  for (int links : {1, 1000, 5000, 20000, 100000})
    Import(("import of " + std::to_string(links) + " links").c_str(), GeneratedBookmarks(links, 1),
           0, links);
  Import("import of 5000 links into 5000", GeneratedBookmarks(5000, 1), 5000, 5000);
  for (bool renamed : {false, true})
    Import(renamed ? "20000 returning renamed + 20000 new" : "20000 returning + 20000 new",
           ReturningBookmarks(20000, renamed), 20000, 40000, 106);
  ExportHtml(20000);
  if (argc > 1 && std::string(argv[1]) == "links") return 0;
  for (const char* piece : {"HREF=\"", "HREF=x"}) {
    const std::string what = std::string("2 MB of ") + piece + " marks";
    Scan(("scan of " + what).c_str(), Repeated(piece));
    Import(("import of " + what).c_str(), Repeated(piece), 0, 0);
  }
  return 0;
}
