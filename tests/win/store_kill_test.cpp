// The store ended at random moments: this program, started again as a worker,
// changes the store in a seeded loop and is ended with TerminateProcess; after
// every kill the data file must be whole and hold the state after the last
// reported change or the next one, and the store must open it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "addressdb/store.h"
#include "tests/win/recording_messages.h"
#include "tests/win/test_folder.h"

namespace {

struct Change {
  enum Kind { Add, Rename, Delete } kind;
  long position;  // Rename, Delete
  std::string name, link;
};

// The next change for a store of count records; keeps the store near 1,500.
Change NextChange(std::mt19937& rng, long count) {
  const auto pick = Change::Kind(rng() % 3);
  const long position = count > 0 ? static_cast<long>(rng() % static_cast<unsigned>(count)) : 0;
  const std::string name = "N" + std::to_string(rng() % 1000000);
  return {count < 1400 ? Change::Add : count > 1600 ? Change::Delete : pick, position, name,
          "http://" + std::to_string(rng()) + ".example/"};
}

// The same change made to records in memory, so that the test knows every
// state the data file may be found in.
void ApplyChange(const Change& c, std::vector<AddressRecord>& records) {
  if (c.kind == Change::Delete) return void(records.erase(records.begin() + c.position));
  if (c.kind == Change::Add) records.push_back(MakeRecord(c.name, c.link));
  if (c.kind == Change::Rename) SetFieldText(records[c.position].name, c.name);
  std::stable_sort(records.begin(), records.end(), [](auto& a, auto& b) { return CompareNames(a, b) < 0; });
}

// The worker: one byte on standard output once the store is open ('r') and
// after each change has reached the data file ('d'); a message of the store
// ends it, written to worker.txt.
int Worker(unsigned seed) {
  std::mt19937 rng(seed);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (!OpenStore()) return 3;
  std::putchar('r');
  for (;;) {
    Change c = NextChange(rng, RecordCount());
    if (c.kind == Change::Add) CurrentRecord = MakeRecord(c.name, c.link), AppendRecord();
    if (c.kind == Change::Rename) SetFieldText(RecordAt(c.position).name, c.name), SortRecords();
    if (c.kind == Change::Delete) DeleteRecord(c.position);
    if (!RecordedMessages().empty()) return WriteBytes("worker.txt", RecordedMessages()[0]), 4;
    std::putchar('d');
  }
}

std::string FileOf(const std::vector<AddressRecord>& records) {
  std::string bytes;
  for (const AddressRecord& r : records) bytes += Bytes(r);
  return bytes;
}

// Starts the worker with its output on a pipe and returns the pipe's read end
// (nullptr: no worker). Under Wine a start can fail for a passing reason (a
// loaded machine that cannot fork or map the new process in time): it is tried
// again, each failure said with its code, and only a worker that never starts
// fails the test.
HANDLE StartWorker(int seed, PROCESS_INFORMATION& pi) {
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, nullptr, 0)) return nullptr;
  SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = writeEnd;
  std::string command = "store_tests --worker " + std::to_string(seed);
  for (int attempt = 1; attempt <= 5; ++attempt, Sleep(200)) {
    if (CreateProcessA(_pgmptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) break;
    std::printf("worker %d: CreateProcess failed, error %lu\n", seed, GetLastError());
  }
  CloseHandle(writeEnd);
  return pi.hProcess ? readEnd : nullptr;
}

TEST(StoreKill, EveryKillLeavesTheDataFileOfOneCompleteState) {
  TestFolder folder;
  std::mt19937 rng(20261207);
  std::vector<AddressRecord> state;
  for (int i = 0; i < 1500; ++i) ApplyChange(NextChange(rng, 0), state);
  WriteBytes("qxinetvz.dat", FileOf(state));

  int round = 1, caught[3] = {}, changes = 0;  // caught: in neither, between, unsorted
  for (; round <= 200; ++round) {
    PROCESS_INFORMATION pi{};
    const HANDLE output = StartWorker(round, pi);
    ASSERT_TRUE(output) << "round " << round << ": no worker started";
    char bytes[4096];
    DWORD got = 0, code = 0, done = 0;  // done: the changes reported
    ReadFile(output, bytes, 1, &got, nullptr);  // the 'r', or nothing from a worker that ended
    Sleep(rng() % 40);
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    while (ReadFile(output, bytes, sizeof bytes, &got, nullptr) && got > 0)
      done += static_cast<DWORD>(std::count(bytes, bytes + got, 'd'));
    CloseHandle(output);
    ASSERT_EQ(code, 99u) << "round " << round << ": the worker ended by itself (3: the store did not open) "
                         << ReadBytes("worker.txt");

    // The states the worker went through, from the same seed. A change of
    // name is written into the record in place before the file is sorted:
    // between the two the file is whole, with the new name not yet in order.
    std::mt19937 changesOf(static_cast<unsigned>(round));
    for (DWORD i = 0; i < done; ++i) ApplyChange(NextChange(changesOf, long(state.size())), state);
    changes += done;
    Change change = NextChange(changesOf, long(state.size()));
    std::vector<AddressRecord> renamedInPlace = state, next = state;
    if (change.kind == Change::Rename) SetFieldText(renamedInPlace[change.position].name, change.name);
    ApplyChange(change, next);
    const std::string data = ReadBytes("qxinetvz.dat");
    const bool between = data == FileOf(next);
    const bool unsorted = !between && change.kind == Change::Rename && data == FileOf(renamedInPlace);
    ASSERT_TRUE(between || unsorted || data == FileOf(state))
        << "round " << round << " after " << done << " changes: " << data.size() << " bytes of no state";
    state = between ? next : unsorted ? renamedInPlace : state;
    ++caught[between ? 1 : unsorted ? 2 : 0];
    ASSERT_TRUE(OpenStore() && RecordedMessages().empty()) << "round " << round;
    CloseStore();
  }
  std::printf("kills survived: %d (%d changes made; %d kills after a change was in place but "
              "not yet reported, %d after a new name was written but not yet sorted)\n",
              round - 1, changes, caught[1], caught[2]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--worker") return Worker(std::atoi(argv[2]));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
