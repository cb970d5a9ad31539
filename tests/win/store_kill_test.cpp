// The store ended at random moments: this program, started again as a worker,
// changes the store in a seeded loop (additions, renames, deletions, small
// imports with a durable point inside) and is ended with TerminateProcess;
// after every kill the data file must be whole and hold the state after the
// last reported change or the next one (or the import's durable point), and
// the store must open it. Until the kill, this process opens the store again
// and again as a second copy would: it must be turned away every time.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "addressdb/store.h"
#include "tests/win/manager_run.h"

namespace {

using Strings = std::vector<std::string>;
const Strings kTurnedAway = {"Adressdatenbank ist bereits von einer anderen Instanz dieses Programms ge\xF6"
                             "ffnet ! Programm wird beendet !", "(ends)"};
constexpr int kImported = 5, kSavedAfter = 3;  // an import's entries, and its durable point between them

struct Change {
  enum Kind { Add, Rename, Delete, Import } kind;
  long position;  // Rename, Delete
  std::string name, link;
};

// The next change for a store of count records; keeps the store near 1,500.
Change NextChange(std::mt19937& rng, long count) {
  const auto pick = Change::Kind(rng() % 4);
  const long position = count > 0 ? static_cast<long>(rng() % static_cast<unsigned>(count)) : 0;
  const std::string name = "N" + std::to_string(rng() % 1000000);
  return {count < 1400 ? Change::Add : count > 1600 ? Change::Delete : pick, position, name,
          "http://" + std::to_string(rng()) + ".example/"};
}

// The import's i-th entry.
AddressRecord Imported(const Change& c, int i) { return MakeRecord(c.name + char('a' + i), c.link + char('a' + i)); }

// The same change made to records in memory (of an import, its first entries
// only), so that the test knows every state the data file may be found in.
void ApplyChange(const Change& c, std::vector<AddressRecord>& records, int entries = kImported) {
  if (c.kind == Change::Delete) return void(records.erase(records.begin() + c.position));
  if (c.kind == Change::Add) records.push_back(MakeRecord(c.name, c.link));
  if (c.kind == Change::Rename) SetFieldText(records[c.position].name, c.name);
  for (int i = 0; c.kind == Change::Import && i < entries; ++i) records.push_back(Imported(c, i));
  std::stable_sort(records.begin(), records.end(), [](auto& a, auto& b) { return CompareNames(a, b) < 0; });
}

// The worker: one byte into worker.out once the store is open ('r'), as each
// change begins ('s') and after it has reached the data file ('d'); a message
// of the store ends it, written to worker.txt.
int Worker(unsigned seed) {
  std::mt19937 rng(seed);
  FILE* out = std::fopen("worker.out", "wb");
  std::setvbuf(out, nullptr, _IONBF, 0);
  if (!OpenStore()) return 3;
  std::fputc('r', out);
  for (;;) {
    Change c = NextChange(rng, RecordCount());
    std::fputc('s', out);
    if (c.kind == Change::Add) {
      CurrentRecord = MakeRecord(c.name, c.link);
      AppendRecord();
    }
    if (c.kind == Change::Rename) {
      AddressRecord renamed = RecordAt(c.position);
      SetFieldText(renamed.name, c.name);
      WriteRecord(c.position, renamed);
      SortRecords();
    }
    if (c.kind == Change::Delete) DeleteRecord(c.position);
    if (c.kind == Change::Import) {
      BeginImport();
      for (int i = 0; i < kImported; ++i) {
        if (i == kSavedAfter) SaveImport();
        CurrentRecord = Imported(c, i);
        AppendRecord();
      }
      EndImport();
    }
    if (!RecordedMessages().empty()) {
      WriteBytes("worker.txt", RecordedMessages()[0]);
      return 4;
    }
    std::fputc('d', out);
  }
}

TEST(StoreKill, EveryKillLeavesTheDataFileOfOneCompleteState) {
  TestFolder folder;
  const char* given = std::getenv("QX_SEED");
  const unsigned seed = given ? unsigned(std::atol(given)) : std::random_device{}();
  std::printf("seed %u (QX_SEED=%u repeats this run)\n", seed, seed);
  std::mt19937 rng(seed);
  std::vector<AddressRecord> state;
  for (int i = 0; i < 1500; ++i) ApplyChange(NextChange(rng, 0), state);
  WriteBytes("qxinetvz.dat", Bytes(state));

  int round = 1, caught[4] = {}, changes = 0, partWay = 0, turnedAway = 0;  // caught: in neither, between,
  for (; round <= 200; ++round) {                                    // unsorted, at the import's point
    DeleteFileA("worker.out");
    Running worker(_pgmptr, "--worker " + std::to_string(seed + round), "");
    ASSERT_TRUE(WaitUntil([] { return !ReadBytes("worker.out").empty(); }, kWaitMs))
        << "round " << round << ": " << Seen(worker.process) << " " << ReadBytes("worker.txt");
    for (const DWORD until = GetTickCount() + rng() % 40; GetTickCount() < until; ++turnedAway) {
      RecordedMessages().clear();
      OpenStore();
      ASSERT_EQ(RecordedMessages(), kTurnedAway) << "round " << round << ": a second copy got in";
      CloseStore();
      Sleep(1);
    }
    DWORD code = 0;
    KillProgram(worker.process);
    GetExitCodeProcess(worker.process.handle, &code);
    const std::string out = ReadBytes("worker.out");
    const auto done = static_cast<DWORD>(std::count(out.begin(), out.end(), 'd'));  // the changes reported
    partWay += out.back() == 's';
    ASSERT_EQ(code, 255u) << "round " << round << ": the worker ended by itself (3: the store did not open) "
                          << ReadBytes("worker.txt");

    // The states the worker went through, from the same seed. A change of
    // name is written into the record in place before the file is sorted:
    // between the two the file is whole, with the new name not yet in order.
    std::mt19937 changesOf(seed + round);
    for (DWORD i = 0; i < done; ++i) ApplyChange(NextChange(changesOf, long(state.size())), state);
    changes += done;
    Change change = NextChange(changesOf, long(state.size()));
    std::vector<AddressRecord> renamedInPlace = state, next = state, saved = state;
    if (change.kind == Change::Rename) SetFieldText(renamedInPlace[change.position].name, change.name);
    ApplyChange(change, next);
    ApplyChange(change, saved, kSavedAfter);
    const std::string data = ReadBytes("qxinetvz.dat");
    const int found = data == Bytes(next) ? 1
                      : change.kind == Change::Rename && data == Bytes(renamedInPlace) ? 2
                      : change.kind == Change::Import && data == Bytes(saved) ? 3 : 0;
    ASSERT_TRUE(found || data == Bytes(state))
        << "round " << round << " after " << done << " changes: " << data.size() << " bytes of no state";
    state = std::vector<std::vector<AddressRecord>>{state, next, renamedInPlace, saved}[found];
    ++caught[found];
    RecordedMessages().clear();
    ASSERT_TRUE(OpenStore() && RecordedMessages().empty()) << "round " << round;
    CloseStore();
  }
  std::printf("kills: %d, changes: %d, kills during a change: %d (in place, unreported: %d; renamed, unsorted: "
              "%d; at an import's point: %d); a second copy turned away %d times\n", round - 1, changes, partWay,
              caught[1], caught[2], caught[3], turnedAway);
  EXPECT_GE(partWay, (round - 1) / 4) << "too few kills landed during a change to prove anything";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--worker") return Worker(unsigned(std::atol(argv[2])));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
