// The start-up check of the dialog templates DLG_INFO, DLG_LINK and DLG_INPUT:
// it passes for the program as built, and fails for a copy of the program in
// which one of the three templates was changed or is missing. Changes to other
// resources do not concern it.
//
// The copies are made of resource_check_probe.exe, which links the same
// resources and expected values as this test and returns the check's result
// as its exit code (1 unaltered, 0 altered).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "manager/checksum.h"
#include "manager/resource_check.h"

namespace {

constexpr DWORD kUnaltered = 1;
constexpr DWORD kAltered = 0;

std::string ProgramDirectory() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n);
  return p.substr(0, p.find_last_of("\\/"));
}

bool ReadWholeFile(const std::string& path, std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr);
  bytes.assign(size, 0);
  DWORD read = 0;
  bool ok = size == 0 || (ReadFile(file, bytes.data(), size, &read, nullptr) && read == size);
  CloseHandle(file);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  return ok;
}

// The UTF-16LE bytes of a Windows-1252 text, as the texts of a compiled
// dialog template are stored. Built at run time, so that the test program
// itself does not hold these bytes.
std::vector<BYTE> Utf16Bytes(const char* text) {
  int n = MultiByteToWideChar(1252, 0, text, -1, nullptr, 0);
  std::vector<wchar_t> wide(n > 0 ? n : 1, L'\0');
  MultiByteToWideChar(1252, 0, text, -1, wide.data(), n);
  std::vector<BYTE> out;
  for (int i = 0; i + 1 < n; ++i) {
    out.push_back(static_cast<BYTE>(wide[i] & 0xFF));
    out.push_back(static_cast<BYTE>(wide[i] >> 8));
  }
  return out;
}

std::vector<size_t> FindAll(const std::vector<BYTE>& haystack, const std::vector<BYTE>& needle) {
  std::vector<size_t> at;
  if (needle.empty() || haystack.size() < needle.size()) return at;
  for (size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
    if (std::memcmp(&haystack[i], needle.data(), needle.size()) == 0) at.push_back(i);
  }
  return at;
}

// The languages under which the test program, and so the probe, holds a
// dialog template.
BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
  return TRUE;
}

WORD LanguageOfDialog(const char* name) {
  std::vector<WORD> languages;
  EnumResourceLanguagesA(GetModuleHandleA(nullptr), RT_DIALOG, name, CollectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  return languages.size() == 1 ? languages[0] : 0xFFFF;
}

// The data of a dialog template of the test program.
std::vector<BYTE> OwnDialog(const char* name) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(self, name, RT_DIALOG);
  if (found == nullptr) return {};
  const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(self, found)));
  if (bytes == nullptr) return {};
  return std::vector<BYTE>(bytes, bytes + SizeofResource(self, found));
}

class ProbeCopies : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    folder_ = std::string(temp) + "qxrescheck-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount());
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    probe_ = ProgramDirectory() + "\\resource_check_probe.exe";
    ASSERT_NE(GetFileAttributesA(probe_.c_str()), INVALID_FILE_ATTRIBUTES) << probe_;
  }

  void TearDown() override {
    for (const std::string& file : copies_) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  // A fresh copy of the probe under the given file name.
  std::string Copy(const std::string& name) {
    std::string path = folder_ + "\\" + name;
    EXPECT_TRUE(CopyFileA(probe_.c_str(), path.c_str(), FALSE)) << path;
    copies_.push_back(path);
    return path;
  }

  // Changes the character at `index` of the one occurrence of `text` (a text
  // of a dialog template) in the file to `replacement`.
  static void PatchText(const std::string& path, const char* text, size_t index, char replacement) {
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes)) << path;
    std::vector<size_t> at = FindAll(bytes, Utf16Bytes(text));
    ASSERT_EQ(at.size(), 1u) << "\"" << text << "\" must occur exactly once in " << path;
    ASSERT_LT(index, std::strlen(text));
    ASSERT_NE(text[index], replacement);
    bytes[at[0] + 2 * index] = static_cast<BYTE>(replacement);
    ASSERT_TRUE(WriteWholeFile(path, bytes)) << path;
  }

  // Replaces a dialog template of the file.
  static void UpdateDialog(const std::string& path, const char* name, const std::vector<BYTE>& data) {
    WORD language = LanguageOfDialog(name);
    ASSERT_NE(language, 0xFFFF) << name;
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    ASSERT_NE(update, nullptr) << path << ": error " << GetLastError();
    BOOL ok = UpdateResourceA(update, RT_DIALOG, name, language, const_cast<BYTE*>(data.data()),
                              static_cast<DWORD>(data.size()));
    EXPECT_TRUE(ok) << name << ": error " << GetLastError();
    ASSERT_TRUE(EndUpdateResourceA(update, !ok)) << path << ": error " << GetLastError();
  }

  // Runs a program and returns its exit code, or a code > 1 that tells why
  // it has none.
  static DWORD Run(const std::string& path) {
    std::string command = "\"" + path + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      return 0x10000 + GetLastError();
    }
    DWORD code = 0x20000;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 0x30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
  }

  std::string folder_;
  std::string probe_;
  std::vector<std::string> copies_;
};

TEST(ResourceCheck, TheBuiltProgramPasses) { EXPECT_TRUE(ResourcesUnaltered(GetModuleHandleA(nullptr))); }

TEST(ResourceCheck, ExpectedValuesAreThoseOfTheThreeTemplates) {
  const char* const names[] = {"DLG_INFO", "DLG_LINK", "DLG_INPUT"};
  ASSERT_EQ(kExpectedDialogCount, 3);
  for (int i = 0; i < kExpectedDialogCount; ++i) {
    const ExpectedDialog& expected = kExpectedDialogs[i];
    ASSERT_NE(expected.name, nullptr);
    EXPECT_STREQ(expected.name, names[i]);
    std::vector<BYTE> data = OwnDialog(expected.name);
    ASSERT_FALSE(data.empty()) << expected.name;
    EXPECT_EQ(expected.size, data.size()) << expected.name;
    EXPECT_EQ(expected.checksum, Checksum32(data.data(), data.size())) << expected.name;
  }
}

TEST(ResourceCheck, AModuleWithoutTheTemplatesFails) {
  EXPECT_FALSE(ResourcesUnaltered(GetModuleHandleA("kernel32.dll")));
}

TEST(Checksum, KnownValues) {
  EXPECT_EQ(Checksum32(nullptr, 0), 0x811C9DC5u);
  EXPECT_EQ(Checksum32("a", 1), 0xE40C292Cu);
  EXPECT_EQ(Checksum32("foobar", 6), 0xBF9CF968u);
}

TEST_F(ProbeCopies, AnUnchangedCopyPasses) { EXPECT_EQ(Run(Copy("unchanged.exe")), kUnaltered); }

struct TextChange {
  const char* copy;
  const char* text;  // a text of one template, as the resource holds it
  int at;
  char replacement;
  DWORD expected;
};

class ProbeTextChanges : public ProbeCopies, public ::testing::WithParamInterface<TextChange> {};

TEST_P(ProbeTextChanges, OnlyTheCheckedTemplatesCount) {
  const TextChange& c = GetParam();
  std::string path = Copy(c.copy);
  PatchText(path, c.text, c.at, c.replacement);
  EXPECT_EQ(Run(path), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProbeTextChanges,
    ::testing::Values(
        TextChange{"info.exe", "Sicherungskopie: qxinetvz.bak", 0, 'Z', kAltered},
        TextChange{"info-first.exe",
                   "QX Internet f\xFCr Microsoft Windows 95 - Internetadressen verwalten", 1, 'Y',
                   kAltered},
        TextChange{"link.exe", "MS-I&Explorer starten...", 5, 'e', kAltered},
        TextChange{"input.exe", "&Speichern", 1, 's', kAltered},
        TextChange{"import.exe", "&Importieren", 1, 'i', kUnaltered}));

TEST_F(ProbeCopies, RewrittenWithTheSameTemplatePasses) {
  std::string path = Copy("same.exe");
  std::vector<BYTE> data = OwnDialog("DLG_INPUT");
  ASSERT_FALSE(data.empty());
  UpdateDialog(path, "DLG_INPUT", data);
  EXPECT_EQ(Run(path), kUnaltered);
}

TEST_F(ProbeCopies, InputDialogWithSystemMenuFails) {
  std::string path = Copy("sysmenu.exe");
  std::vector<BYTE> data = OwnDialog("DLG_INPUT");
  ASSERT_GE(data.size(), 4u);
  DWORD style = 0;
  std::memcpy(&style, data.data(), 4);
  style |= WS_SYSMENU;
  std::memcpy(data.data(), &style, 4);
  UpdateDialog(path, "DLG_INPUT", data);
  EXPECT_EQ(Run(path), kAltered);
}

TEST_F(ProbeCopies, LongerInfoPageFails) {
  std::string path = Copy("longer.exe");
  std::vector<BYTE> data = OwnDialog("DLG_INFO");
  ASSERT_FALSE(data.empty());
  data.insert(data.end(), 4, 0);
  UpdateDialog(path, "DLG_INFO", data);
  EXPECT_EQ(Run(path), kAltered);
}

// The resource directory names the template "DLG_LINK" (a counted UTF-16
// string); renamed to "DLG_LINX", which keeps the directory's order, the
// template is missing.
TEST_F(ProbeCopies, MissingLinkPageFails) {
  std::string path = Copy("nolink.exe");
  PatchText(path, "DLG_LINK", 7, 'X');
  EXPECT_EQ(Run(path), kAltered);
}

}  // namespace
