// Temporary folders, file helpers and user registry values for tests that work
// on real files and settings.
#include "tests/win/test_folder.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
    const std::string name = data.cFileName, full = dir + "\\" + name;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
    SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(full.c_str());
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  RemoveDirectoryA(dir.c_str());
}

}  // namespace

TestFolder::TestFolder() {
  char temp[MAX_PATH], current[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetCurrentDirectoryA(MAX_PATH, current);
  previous_ = current;
  static unsigned serial = 0;
  do {
    path_ = temp + ("qxtest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial));
  } while (!CreateDirectoryA(path_.c_str(), nullptr));
  SetCurrentDirectoryA(path_.c_str());
}

TestFolder::~TestFolder() {
  SetCurrentDirectoryA(previous_.c_str());
  RemoveTree(path_);
}

std::string ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& file) {
  return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Bytes(const AddressRecord& r) {
  return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

AddressRecord MakeRecord(const std::string& name, const std::string& link,
                         const std::string& description) {
  AddressRecord r;
  std::memset(&r, 0, sizeof r);
  SetFieldText(r.name, name);
  SetFieldText(r.link, link);
  SetFieldText(r.description, description);
  ClassifyLink(r);
  return r;
}

std::string ProgramDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n);
  return p.substr(0, p.find_last_of("\\/"));
}

UserValue::UserValue(const char* key, const char* name, const char* value)
    : key_(key), name_(name) {
  DWORD size = sizeof saved_;
  had_ = RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, saved_, &size) ==
         ERROR_SUCCESS;
  Set(value);
}

UserValue::~UserValue() { Set(had_ ? saved_ : nullptr); }

void UserValue::Set(const char* value) {
  if (value)
    RegSetKeyValueA(HKEY_CURRENT_USER, key_, name_, REG_SZ, value,
                    static_cast<DWORD>(std::strlen(value) + 1));
  else
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key_, name_);
}
