// Control identifiers of the uninstaller's dialog (resources/qxuninst.rc).
// Included by the resource script and by the C++ code, so it holds nothing
// but #define lines. The dialog and the icon are named by strings
// ("DLG_MAIN", "ICON_1").
#ifndef QX_UNINSTALLER_RESOURCE_H
#define QX_UNINSTALLER_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDC_HEADING 101  // "Deinstallation von Programm : ..."
#define IDC_REMOVE 102   // "&Deinstallieren"
#define IDC_CANCEL 103   // "&Abbrechen"
#define IDC_STATUS 105   // the status line of the removal

#endif
