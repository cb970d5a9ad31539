// Who may change an existing target folder. setup runs elevated and copies the
// programs every user runs into it; a folder that others may write to (made
// in advance, or inheriting the rights of C:\) would let them replace a
// program or put a DLL beside it. Only Administrators, SYSTEM and
// TrustedInstaller may write there; CREATOR OWNER stands for whoever creates a
// file in the folder, which is setup itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry of a folder's access list, its trustee as a SID string.
struct AccessEntry {
  bool allows;          // an allowing entry; denying ones only take rights away
  std::string sid;      // empty where the entry's kind names no plain SID
  std::uint32_t rights; // the access mask
};

// Whether the entries give anyone but the trustees named above a right that
// changes the folder, its files or its access list.
bool OthersMayChange(const std::vector<AccessEntry>& entries);
