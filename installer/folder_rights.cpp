// The rights that change a folder and the trustees allowed to hold them.
#include "installer/folder_rights.h"

#include <array>
#include <string_view>

namespace {

// Writing data, adding files or folders, extended attributes, deleting
// children, attributes, DELETE, WRITE_DAC, WRITE_OWNER, MAXIMUM_ALLOWED,
// GENERIC_ALL and GENERIC_WRITE.
constexpr std::uint32_t kChangingRights = 0x2 | 0x4 | 0x10 | 0x40 | 0x100 | 0x10000 | 0x40000 | 0x80000 |
                                          0x2000000 | 0x10000000 | 0x40000000;

constexpr std::array<std::string_view, 4> kTrusted = {
    "S-1-5-32-544",  // Administrators
    "S-1-5-18",      // SYSTEM
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
    "S-1-3-0",       // CREATOR OWNER
};

bool Trusted(const std::string& sid) {
  for (std::string_view t : kTrusted)
    if (sid == t) return true;
  return false;
}

}  // namespace

bool OthersMayChange(const std::vector<AccessEntry>& entries) {
  for (const AccessEntry& e : entries)
    if (e.allows && (e.rights & kChangingRights) != 0 && !Trusted(e.sid)) return true;
  return false;
}
