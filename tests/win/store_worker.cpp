// The kill test's worker: opens the store in its current directory and makes
// the seeded changes of store_churn.h until it is ended, writing one byte to
// its standard output after each change has reached the data file.
#include <windows.h>

#include <cstdlib>
#include <random>

#include "addressdb/store.h"
#include "tests/win/recording_messages.h"
#include "tests/win/store_churn.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::mt19937 rng(static_cast<unsigned>(std::atoi(argv[1])));
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written;
  if (!OpenStore()) return 3;
  WriteFile(out, "r", 1, &written, nullptr);
  for (;;) {
    Change c = NextChange(rng, RecordCount());
    switch (c.kind) {
      case Change::Add:
        CurrentRecord = MakeRecord(c.name, c.link);
        AppendRecord();
        break;
      case Change::Rename:
        SetFieldText(RecordAt(c.position).name, c.name);
        SortRecords();
        break;
      case Change::Delete:
        DeleteRecord(c.position);
        break;
    }
    if (!RecordedMessages().empty()) return 4;
    WriteFile(out, "d", 1, &written, nullptr);
  }
}
