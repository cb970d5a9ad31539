// Prints how long the store takes to open, to add one record and to sort, on
// stores of 1,000 and 10,000 records. Run under Wine; see the README.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "addressdb/store.h"
#include "tests/win/recording_messages.h"
#include "tests/win/test_folder.h"

namespace {

double Millis(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return 1000.0 * double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

std::vector<AddressRecord> MakeRecords(std::size_t count, std::mt19937& rng) {
  std::vector<AddressRecord> records;
  records.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string name = "Eintrag " + std::to_string(rng() % 100000);
    records.push_back(MakeRecord(name, "http://www.example.org/" + std::to_string(i),
                                 "Beschreibung " + std::to_string(i)));
  }
  return records;
}

std::string FileOf(const std::vector<AddressRecord>& records) {
  std::string bytes;
  bytes.reserve(records.size() * RecordSize);
  for (const AddressRecord& r : records) bytes += Bytes(r);
  return bytes;
}

template <class F>
double Time(F&& f) {
  LARGE_INTEGER a, b;
  QueryPerformanceCounter(&a);
  f();
  QueryPerformanceCounter(&b);
  return Millis(a, b);
}

}  // namespace

int main() {
  std::mt19937 rng(42);
  for (std::size_t count : {1000u, 10000u}) {
    TestFolder folder;
    std::vector<AddressRecord> records = MakeRecords(count, rng);
    std::sort(records.begin(), records.end(),
              [](const AddressRecord& a, const AddressRecord& b) { return CompareNames(a, b) < 0; });
    WriteBytes("qxinetvz.dat", FileOf(records));
    double open = Time([] { OpenStore(); });
    double append = 0;
    const int rounds = 10;
    for (int i = 0; i < rounds; ++i) {
      CurrentRecord = MakeRecord("Neu " + std::to_string(rng() % 100000),
                                 "http://neu.example/" + std::to_string(i));
      append += Time([] { AppendRecord(); });
    }
    std::printf("%6zu records: OpenStore %8.2f ms, AppendRecord %8.2f ms (mean of %d)\n", count,
                open, append / rounds, rounds);
    CloseStore();
  }
  {
    TestFolder folder;
    std::vector<AddressRecord> records = MakeRecords(10000, rng);
    std::shuffle(records.begin(), records.end(), rng);
    WriteBytes("qxinetvz.dat", FileOf(records));
    OpenStore();
    double sort = Time([] { SortRecords(); });
    std::printf(" 10000 shuffled records: SortRecords %8.2f ms\n", sort);
    CloseStore();
  }
  std::printf("messages shown: %zu\n", RecordedMessages().size());
  return 0;
}
