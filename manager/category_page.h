// The seven category pages: one dialog procedure per LinkType.
#pragma once
#include <windows.h>

#include "addressdb/record.h"

// The page procedure bound to a category; nullptr for Unknown.
DLGPROC CategoryPage(LinkType type);
