// Temporary folders, file helpers and user registry values for tests that work
// on real files and settings.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "addressdb/record.h"

// Creates a fresh folder under the temporary directory and makes it the
// current directory; goes back and removes it again on destruction.
class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  const std::string& path() const { return path_; }

 private:
  std::string path_, previous_;
};

// A text value of the registry, if there is one; and one set (nullptr: removed), the key made if needed.
std::optional<std::string> RegistryText(HKEY root, const std::string& key, const char* name);
void SetRegistryText(HKEY root, const std::string& key, const char* name, const char* text);

// A value under HKEY_CURRENT_USER set for one test (nullptr: removed) and put back as it
// was however the test ends.
class UserValue {
 public:
  UserValue(const char* key, const char* name, const char* value);
  ~UserValue();

 private:
  const char *key_, *name_;
  std::optional<std::string> saved_;
};

std::string ReadBytes(const std::string& file);
void WriteBytes(const std::string& file, const std::string& bytes);
bool FileExists(const std::string& file);
std::string Bytes(const std::vector<AddressRecord>& records);  // the file of these records
AddressRecord MakeRecord(const std::string& name, const std::string& link, const std::string& description = "");

// The key of the user's special folders, the favourites among them.
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The store's messages in tests that link it without the window (recording_messages.cpp):
// recorded instead of shown.
std::vector<std::string>& RecordedMessages();
