// Opening a stored link in the system's web browser.
#pragma once

// Hands the link of the record at position to the platform's URL opener
// through a temporary Internet Shortcut file. True when the opener started;
// otherwise the user has been told. Blocks at most a minute.
bool LaunchLink(long position);
