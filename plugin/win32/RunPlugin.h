// One run of the plug-in on the host's picture, inside FilterProc.
#pragma once

#include <windows.h>

namespace app {

// Runs the plug-in with the host's window as owner (may be null) and returns when it is over.
// Failures are reported to the user inside; nothing escapes.
void RunPlugin(HWND ownerWindow);

} // namespace app
