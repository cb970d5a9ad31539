// Control identifiers of the address manager's dialog templates
// (resources/qxinet.rc). Included by the resource script and by the C++ code,
// so it holds nothing but #define lines. The templates and the icon are named
// by strings ("DLG_LINK", "DLG_INPUT", "DLG_IMPORT", "DLG_EXPORT", "DLG_INFO",
// "ICON_1"); those names must stay undefined here, or the resource compiler
// would turn them into numbers.
#ifndef QX_MANAGER_RESOURCE_H
#define QX_MANAGER_RESOURCE_H

// Controls without an identifier of their own (labels, frames).
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// DLG_LINK: one category page.
#define IDC_LIST 101      // list box with the names of the page's entries
#define IDC_LINKTEXT 102  // link of the selected entry (bordered static text)
#define IDC_DESCTEXT 103  // description of the selected entry (bordered static text)
#define IDC_CHANGE 104    // change the selected entry
#define IDC_DELETE 105    // delete the selected entry
#define IDC_NEW 106       // new entry
#define IDC_LAUNCH 107    // open the link in the browser

// DLG_INPUT: the entry dialog.
#define IDC_NAME 101         // edit field: name
#define IDC_LINK 102         // edit field: link
#define IDC_DESCRIPTION 103  // edit field: description
#define IDC_SAVE 104         // save
#define IDC_CANCEL 105       // cancel

// DLG_IMPORT and DLG_EXPORT: the first frame, source or target.
#define IDC_SOURCE_FAVORITES 101  // import: Internet Explorer favourites
#define IDC_SOURCE_BOOKMARKS 102  // import: Netscape bookmark file
#define IDC_SOURCE_HOTLIST 103    // import: Mosaic hotlists
#define IDC_TARGET_FAVORITES 101  // export: Internet Explorer favourites
#define IDC_TARGET_HTML 102       // export: one HTML document

// DLG_IMPORT and DLG_EXPORT: what happens to existing entries. The
// identifier minus IDC_POLICY_SKIP is the policy (skip 0, ask 1, overwrite 2).
#define IDC_POLICY_SKIP 104       // skip
#define IDC_POLICY_ASK 105        // ask
#define IDC_POLICY_OVERWRITE 106  // overwrite

// DLG_IMPORT and DLG_EXPORT: status line, progress bar and the run button.
#define IDC_STATUS 107
#define IDC_PROGRESS 108
#define IDC_RUN 130  // runs the import or the export

// DLG_IMPORT and DLG_EXPORT: one check box per link type.
#define IDC_TYPE_WEB 110
#define IDC_TYPE_FTP 111
#define IDC_TYPE_EMAIL 112
#define IDC_TYPE_NEWS 113
#define IDC_TYPE_GOPHER 114
#define IDC_TYPE_ARCHIE 115
#define IDC_TYPE_LOCAL 116

#endif
