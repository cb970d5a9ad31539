// The address store on real files: opening, appending with backup, deleting
// through the work file, sorting and finding. Failing file calls are in
// store_fault_test.cpp.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "addressdb/store.h"
#include "tests/win/recording_messages.h"
#include "tests/win/test_folder.h"

namespace {

const std::string kData = "qxinetvz.dat";
const std::string kBackup = "qxinetvz.bak";
const std::string kWork = "qxinetvz.tmp";

const char kEmpty[] = "Adressdatei ist leer !";
const char kWrongFormat[] = "Falsches Dateiformat !";
const char kCannotDelete[] = "Eintrag konnte nicht aus Datei gel\xF6scht werden !";

std::string FileOf(const std::vector<AddressRecord>& records) {
  std::string bytes;
  for (const AddressRecord& r : records) bytes += Bytes(r);
  return bytes;
}

std::vector<std::string> StoredNames() {
  std::vector<std::string> names;
  for (long i = 0; i < RecordCount(); ++i) names.emplace_back(FieldText(RecordAt(i).name));
  return names;
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { RecordedMessages().clear(); }
  void TearDown() override {
    CloseStore();
    StoreIo = StoreFileCalls{};
  }

  // A data file with these records, opened.
  void OpenWith(const std::vector<AddressRecord>& records) {
    WriteBytes(kData, FileOf(records));
    ASSERT_TRUE(OpenStore());
    ASSERT_EQ(RecordCount(), static_cast<long>(records.size()));
    RecordedMessages().clear();
  }

  std::vector<AddressRecord> Abc() {
    return {MakeRecord("A", "http://a.example/", "erste"),
            MakeRecord("B", "ftp://b.example/", "zweite"),
            MakeRecord("C", "news:c.example", "dritte")};
  }

  TestFolder folder_;
};

using Strings = std::vector<std::string>;

TEST_F(StoreTest, MissingFileIsCreatedEmpty) {
  ASSERT_FALSE(FileExists(kData));
  EXPECT_TRUE(OpenStore());
  EXPECT_EQ(RecordedMessages(), Strings{kEmpty});
  EXPECT_TRUE(FileExists(kData));
  EXPECT_EQ(ReadBytes(kData).size(), 0u);
  EXPECT_EQ(RecordCount(), 0);
  EXPECT_FALSE(StoreHasView());
}

struct SizeCase {
  std::size_t size;
  bool opens;
  long count;
  const char* message;  // nullptr: none
};

class StoreSizeTest : public StoreTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(StoreSizeTest, OpensOnlyWholeRecords) {
  const SizeCase& c = GetParam();
  std::string bytes(c.size, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 26);
  WriteBytes(kData, bytes);
  EXPECT_EQ(OpenStore(), c.opens);
  EXPECT_EQ(RecordCount(), c.count);
  EXPECT_EQ(StoreHasView(), c.count > 0);
  if (c.message)
    EXPECT_EQ(RecordedMessages(), Strings{c.message});
  else
    EXPECT_TRUE(RecordedMessages().empty());
  CloseStore();
  EXPECT_EQ(ReadBytes(kData), bytes) << "opening must not change the file";
}

INSTANTIATE_TEST_SUITE_P(Sizes, StoreSizeTest,
                         ::testing::Values(SizeCase{0, true, 0, kEmpty},
                                           SizeCase{640, false, 0, kWrongFormat},
                                           SizeCase{641, true, 1, nullptr},
                                           SizeCase{642, false, 0, kWrongFormat},
                                           SizeCase{1282, true, 2, nullptr},
                                           SizeCase{641 * 3 - 1, false, 0, kWrongFormat}));

TEST_F(StoreTest, FirstAdditionBacksUpTheEmptyFile) {
  ASSERT_TRUE(OpenStore());
  CurrentRecord = MakeRecord("Erster", "http://erster.example/", "Beschreibung");
  EXPECT_TRUE(AppendRecord());
  EXPECT_EQ(RecordedMessages(), Strings{kEmpty});
  EXPECT_TRUE(FileExists(kBackup));
  EXPECT_EQ(ReadBytes(kBackup).size(), 0u);
  EXPECT_EQ(RecordCount(), 1);
  CloseStore();
  EXPECT_EQ(ReadBytes(kData), Bytes(CurrentRecord));
}

TEST_F(StoreTest, AdditionThatSortsFirstLandsAtPositionZero) {
  std::vector<AddressRecord> before = {MakeRecord("Mitte", "http://m/"),
                                       MakeRecord("Zuletzt", "http://z/")};
  OpenWith(before);
  CurrentRecord = MakeRecord("Anfang", "http://a/");
  ASSERT_TRUE(AppendRecord());
  EXPECT_EQ(StoredNames(), (Strings{"Anfang", "Mitte", "Zuletzt"}));
  EXPECT_EQ(std::memcmp(&RecordAt(0), &CurrentRecord, RecordSize), 0);
  EXPECT_EQ(ReadBytes(kBackup), FileOf(before));
  EXPECT_TRUE(RecordedMessages().empty());
}

TEST_F(StoreTest, DeletingAMiddleRecord) {
  std::vector<AddressRecord> before = Abc();
  OpenWith(before);
  EXPECT_TRUE(DeleteRecord(1));
  EXPECT_EQ(StoredNames(), (Strings{"A", "C"}));
  EXPECT_FALSE(FileExists(kWork));
  EXPECT_EQ(ReadBytes(kBackup), FileOf(before));
  EXPECT_TRUE(RecordedMessages().empty());
  CloseStore();
  EXPECT_EQ(ReadBytes(kData), FileOf({before[0], before[2]}));
}

TEST_F(StoreTest, DeletingTheOnlyRecordLeavesAnEmptyFile) {
  std::vector<AddressRecord> before = {MakeRecord("Einzig", "mailto:x@example.org")};
  OpenWith(before);
  EXPECT_TRUE(DeleteRecord(0));
  EXPECT_EQ(RecordedMessages(), Strings{kEmpty});
  EXPECT_EQ(RecordCount(), 0);
  EXPECT_FALSE(StoreHasView());
  EXPECT_EQ(ReadBytes(kData).size(), 0u);
  EXPECT_FALSE(FileExists(kWork));
  EXPECT_EQ(ReadBytes(kBackup), FileOf(before));
}

TEST_F(StoreTest, DeletingOutsideTheStoreIsRefused) {
  std::vector<AddressRecord> before = Abc();
  OpenWith(before);
  EXPECT_FALSE(DeleteRecord(3));
  EXPECT_FALSE(DeleteRecord(-1));
  EXPECT_EQ(RecordedMessages(), (Strings{kCannotDelete, kCannotDelete}));
  EXPECT_EQ(RecordCount(), 3);
  CloseStore();
  EXPECT_EQ(ReadBytes(kData), FileOf(before));
}

TEST_F(StoreTest, ChangesInPlaceReachTheFile) {
  OpenWith(Abc());
  SetFieldText(RecordAt(1).description, "ge\xE4ndert");
  CloseStore();
  std::string bytes = ReadBytes(kData);
  ASSERT_EQ(bytes.size(), 3 * RecordSize);
  EXPECT_EQ(bytes.substr(RecordSize + 385, 9), std::string("ge\xE4ndert\0", 9));
}

TEST_F(StoreTest, FindByLinkIgnoresOnlyAsciiCase) {
  OpenWith({MakeRecord("A", "http://Example.org/Pfad"), MakeRecord("B", "http://x.de/\xE4"),
            MakeRecord("C", "HTTP://EXAMPLE.ORG/PFAD")});
  struct {
    const char* link;
    long position;
  } cases[] = {{"http://example.org/pfad", 0},
               {"http://example.org/pfad/", -1},
               {"HTTP://X.DE/\xE4", 1},
               {"http://x.de/\xC4", -1},
               {"", -1}};
  for (const auto& c : cases) {
    std::memset(&CurrentRecord, 0, sizeof CurrentRecord);
    SetFieldText(CurrentRecord.link, c.link);
    EXPECT_EQ(FindByLink(), c.position) << c.link;
  }
}

TEST_F(StoreTest, DamagedFieldsWithoutTerminatorsAreReadWithinTheirWidth) {
  std::string bytes(2 * RecordSize, 'Q');
  WriteBytes(kData, bytes);
  ASSERT_TRUE(OpenStore());
  SortRecords();
  std::memset(&CurrentRecord, 'Q', sizeof CurrentRecord);
  EXPECT_EQ(FindByLink(), 0);
  EXPECT_EQ(FieldText(RecordAt(1).name).size(), 128u);
  CurrentRecord = MakeRecord("Neu", "http://neu/");
  EXPECT_TRUE(AppendRecord());
  EXPECT_EQ(RecordCount(), 3);
  EXPECT_EQ(FieldText(RecordAt(0).name), "Neu");
}

TEST_F(StoreTest, SortOnZeroOrOneRecordChangesNothing) {
  SortRecords();  // closed store
  SetFieldText(CurrentRecord.link, "http://a/");
  EXPECT_EQ(FindByLink(), -1);
  std::vector<AddressRecord> one = {MakeRecord("x", "http://x/")};
  OpenWith(one);
  SortRecords();
  CloseStore();
  EXPECT_EQ(ReadBytes(kData), FileOf(one));
}

}  // namespace
