// Prints what the store's changes cost under Wine: opening, one addition at
// 1,000 and at 10,000 records, one re-sort after a change of name and one
// deletion at 10,000; each without and with the flushes that make a change
// reach the disk. Run it as the README says.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "addressdb/store.h"
#include "tests/win/test_folder.h"

namespace {

double Millis(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return 1000.0 * double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

template <class F>
double Time(F&& f) {
  LARGE_INTEGER a, b;
  QueryPerformanceCounter(&a);
  f();
  QueryPerformanceCounter(&b);
  return Millis(a, b);
}

// A sorted data file of count records with names spread over the alphabet.
void WriteStore(std::size_t count, std::mt19937& rng) {
  std::vector<AddressRecord> records;
  records.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    records.push_back(MakeRecord("Eintrag " + std::to_string(100000 + rng() % 800000),
                                 "http://www.example.org/" + std::to_string(i),
                                 "Beschreibung " + std::to_string(i)));
  std::stable_sort(records.begin(), records.end(), [](const AddressRecord& a,
                                                      const AddressRecord& b) {
    return CompareNames(a, b) < 0;
  });
  WriteBytes("qxinetvz.dat", Bytes(records));
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

const int kRounds = 15;

BOOL WINAPI NoFlush(HANDLE) { return TRUE; }

void Measure() {
  std::mt19937 rng(42);
  for (std::size_t count : {1000u, 10000u}) {
    TestFolder folder;
    WriteStore(count, rng);
    double open = Time([] { OpenStore(); });
    std::vector<double> append;
    for (int i = 0; i < kRounds; ++i) {
      // Names anywhere in the order, half of them sorting first.
      std::string name = (i % 2 ? "Eintrag " : "A ") + std::to_string(100000 + rng() % 800000);
      CurrentRecord = MakeRecord(name, "http://neu.example/" + std::to_string(i));
      append.push_back(Time([] { AppendRecord(); }));
    }
    std::printf("%6zu records: OpenStore %7.2f ms, AppendRecord %7.2f ms (median of %d)\n",
                count, open, Median(append), kRounds);
    if (count == 10000) {
      std::vector<double> resort, removal;
      for (int i = 0; i < kRounds; ++i) {
        // A change of name that moves a record from the end to the front.
        long last = RecordCount() - 1;
        AddressRecord renamed = RecordAt(last);
        SetFieldText(renamed.name, "0 umbenannt " + std::to_string(i));
        WriteRecord(last, renamed);
        resort.push_back(Time([] { SortRecords(); }));
        long middle = RecordCount() / 2;
        removal.push_back(Time([middle] { DeleteRecord(middle); }));
      }
      std::printf("%6zu records: SortRecords after a change of name %7.2f ms, "
                  "DeleteRecord %7.2f ms (median of %d)\n",
                  count, Median(resort), Median(removal), kRounds);
    }
    CloseStore();
  }
}

}  // namespace

int main() {
  std::printf("without flushing the work file:\n");
  StoreIo.flushFileBuffers = NoFlush;
  Measure();
  std::printf("with FlushFileBuffers before the rename, written through:\n");
  StoreIo.flushFileBuffers = ::FlushFileBuffers;
  Measure();
  std::printf("messages shown: %zu\n", RecordedMessages().size());
  return 0;
}
