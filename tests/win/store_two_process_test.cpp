// Two processes on one data file: the second is turned away while the first
// holds a non-empty file, and works normally otherwise.
#include <gtest/gtest.h>

#include <string>

#include "addressdb/store.h"
#include "tests/win/recording_messages.h"
#include "tests/win/test_folder.h"

namespace {

const char kOtherInstance[] =
    "Adressdatenbank ist bereits von einer anderen Instanz dieses Programms ge\xF6"
    "ffnet ! Programm wird beendet !";

// Runs the probe with the given current directory and returns its report.
std::string RunProbe(const std::string& directory) {
  std::string report = directory + "\\probe.txt";
  std::string command =
      "\"" + ProgramDirectory() + "\\store_probe.exe\" \"" + report + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                      directory.c_str(), &si, &pi))
    return "probe did not start";
  if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::string text = ReadBytes(report);
  DeleteFileA(report.c_str());
  return text;
}

class TwoProcessTest : public ::testing::Test {
 protected:
  void SetUp() override { RecordedMessages().clear(); }
  void TearDown() override { CloseStore(); }
  TestFolder folder_;
};

TEST_F(TwoProcessTest, SecondInstanceIsTurnedAwayFromANonEmptyFile) {
  WriteBytes("qxinetvz.dat", Bytes(MakeRecord("Eins", "http://1/")));
  ASSERT_TRUE(OpenStore());
  EXPECT_EQ(RunProbe(folder_.path()),
            std::string("result=0\ncount=0\nmessage=") + kOtherInstance + "\n");
  // The first is unharmed.
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(FieldText(RecordAt(0).name), "Eins");
}

TEST_F(TwoProcessTest, SecondInstanceOpensWhileTheFileIsEmpty) {
  ASSERT_TRUE(OpenStore());
  EXPECT_EQ(RunProbe(folder_.path()), "result=1\ncount=0\nmessage=Adressdatei ist leer !\n");
}

TEST_F(TwoProcessTest, SecondInstanceOpensAfterTheFirstClosed) {
  WriteBytes("qxinetvz.dat", Bytes(MakeRecord("Eins", "http://1/")));
  ASSERT_TRUE(OpenStore());
  CloseStore();
  EXPECT_EQ(RunProbe(folder_.path()), "result=1\ncount=1\nfirst=Eins\n");
}

TEST_F(TwoProcessTest, InstancesInTwoFoldersEachSeeTheirOwnFile) {
  WriteBytes("qxinetvz.dat", Bytes(MakeRecord("Hier", "http://hier/")));
  ASSERT_TRUE(OpenStore());
  std::string other = folder_.path() + "\\anderswo";
  ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
  WriteBytes(other + "\\qxinetvz.dat",
             Bytes(MakeRecord("Dort", "http://dort/")) + Bytes(MakeRecord("Zwei", "http://2/")));
  EXPECT_EQ(RunProbe(other), "result=1\ncount=2\nfirst=Dort\n");
  EXPECT_EQ(FieldText(RecordAt(0).name), "Hier");
}

}  // namespace
