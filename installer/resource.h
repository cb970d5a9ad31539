// Control identifiers of the installer's wizard pages (resources/setup.rc).
// Included by the resource script and by the C++ code, so it holds nothing
// but #define lines. The templates, the icon and the picture are named by
// strings ("DLG_START", "DLG_STEP2", "DLG_INSTALL", "ICON_1", "BITMAP_1").
#ifndef QX_INSTALLER_RESOURCE_H
#define QX_INSTALLER_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Every page: the frame that the picture is drawn into.
#define IDC_PICTURE 100

// DLG_START: the program's name, in the name font.
#define IDC_PROGRAM_NAME 101
// DLG_STEP2: the target directory.
#define IDC_TARGET_DIRECTORY 101
// DLG_INSTALL: the message area and the status line.
#define IDC_MESSAGE 101
#define IDC_STATUS 102

#endif
