// Temporary folders, file helpers and user registry values for tests that work
// on real files and settings.
#include "tests/win/test_folder.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

// The first name tried is the empty one, which cannot be made; then serial
// numbers until one is free.
TestFolder::TestFolder() : previous_(std::filesystem::current_path().string()) {
  const std::filesystem::path temp = std::filesystem::temp_directory_path();
  for (unsigned serial = 1; !CreateDirectoryA(path_.c_str(), nullptr); ++serial)
    path_ = (temp / ("qxtest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(serial))).string();
  SetCurrentDirectoryA(path_.c_str());
}

// Files a test left read-only are removed too.
TestFolder::~TestFolder() {
  SetCurrentDirectoryA(previous_.c_str());
  std::error_code e;
  for (const auto& f : std::filesystem::recursive_directory_iterator(path_, e))
    SetFileAttributesW(f.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(path_, e);
}

// The stream lives to the end of the statement, the reading included.
std::string ReadBytes(const std::string& file) {
  return std::string(std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {});
}

void WriteBytes(const std::string& file, const std::string& data) { std::ofstream(file, std::ios::binary) << data; }

bool FileExists(const std::string& file) { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Bytes(const std::vector<AddressRecord>& records) {
  return std::string(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(AddressRecord));
}

AddressRecord MakeRecord(const std::string& name, const std::string& link, const std::string& description) {
  AddressRecord r{};
  SetFieldText(r.name, name);
  SetFieldText(r.link, link);
  SetFieldText(r.description, description);
  ClassifyLink(r);
  return r;
}

std::optional<std::string> RegistryText(HKEY root, const std::string& key, const char* name) {
  char text[1024];
  DWORD size = sizeof text;
  if (RegGetValueA(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return std::nullopt;
  return text;
}

void SetRegistryText(HKEY root, const std::string& key, const char* name, const char* text) {
  if (!text) RegDeleteKeyValueA(root, key.c_str(), name);
  else RegSetKeyValueA(root, key.c_str(), name, REG_SZ, text, DWORD(std::strlen(text) + 1));
}

UserValue::UserValue(const char* key, const char* name, const char* value)
    : key_(key), name_(name), saved_(RegistryText(HKEY_CURRENT_USER, key, name)) {
  SetRegistryText(HKEY_CURRENT_USER, key, name, value);
}

UserValue::~UserValue() { SetRegistryText(HKEY_CURRENT_USER, key_, name_, saved_ ? saved_->c_str() : nullptr); }
