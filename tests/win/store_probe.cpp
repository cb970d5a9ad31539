// A second process for the store tests: opens the store in its current
// directory and writes what happened into the file named on its command line.
#include <windows.h>

#include <cstdio>
#include <string>

#include "addressdb/store.h"
#include "tests/win/recording_messages.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  bool opened = OpenStore();
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 3;
  std::fprintf(out, "result=%d\ncount=%ld\n", opened ? 1 : 0, RecordCount());
  if (RecordCount() > 0)
    std::fprintf(out, "first=%s\n", std::string(FieldText(RecordAt(0).name)).c_str());
  for (const std::string& m : RecordedMessages()) std::fprintf(out, "message=%s\n", m.c_str());
  std::fclose(out);
  CloseStore();
  return 0;
}
