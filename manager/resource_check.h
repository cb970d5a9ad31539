// The start-up check of the address manager's own dialog templates: DLG_INFO,
// DLG_LINK and DLG_INPUT must be exactly the templates the program was built
// with, else the program ends before it shows anything.
#pragma once
#include <windows.h>

#include <cstdint>

// One dialog template as the build compiled it: its name, the size of its
// data in bytes and the Checksum32 of those bytes.
struct ExpectedDialog {
  const char* name;
  std::uint32_t size;
  std::uint32_t checksum;
};

// The templates that are checked, with the values that the build tool
// tools/ressum computed from the compiled resources; defined in the generated
// file resource_sums.cpp.
constexpr int kExpectedDialogCount = 3;
extern const ExpectedDialog kExpectedDialogs[kExpectedDialogCount];

// True when every template of kExpectedDialogs is among the resources of the
// module `instance` (type RT_DIALOG) with the expected size and checksum; false
// when one is missing or differs.
bool ResourcesUnaltered(HINSTANCE instance);
