// A tiny program with the address manager's resources and its start-up check
// of the dialog templates. Its exit code is the check's result for its own
// module: 1 when the templates are unaltered, 0 when one is not. The tests run
// changed copies of it.
#include <windows.h>

#include "manager/resource_check.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return ResourcesUnaltered(instance) ? 1 : 0; }
