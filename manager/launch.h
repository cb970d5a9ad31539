// Opening a stored link in the system's web browser.
#pragma once

// Hands the link of the record at position to the platform's URL opener
// through a temporary Internet Shortcut file. True when the opener started.
// False after a message when the link holds a line break, the shortcut file
// could not be made or the opener not started; false without a word for a
// position outside the store, which names no record. Returns once the opener
// is started; the shortcut file is removed away from the window once its
// readers are done (at most a minute).
bool LaunchLink(long position);

// At the program's end, or the session's: ends every wait still pending and
// removes its shortcut.
void EndLaunches();
