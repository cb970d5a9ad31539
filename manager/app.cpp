// The instance handle and icon of the running address manager.
#include "manager/app.h"

HINSTANCE Instance = nullptr;
HICON ProgramIcon = nullptr;
