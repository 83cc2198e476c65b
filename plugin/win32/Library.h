// The module whose resources and file name the plug-in uses.
#pragma once

#include <windows.h>

namespace app {

class String;

// Called by the library entry routine on every notification.
void SetLibraryHandle(HINSTANCE handle);
// The plug-in library's module handle. In a test program that links the code directly (and so
// has no library entry routine) it is the program's own module, which carries the resources.
HINSTANCE GetLibraryHandle();

// The folder "preset\" beside the library, ending with a backslash.
String GetPresetDirectory();
// The library's file name with the given extension (".ini", ".spr"), in the settings directory:
// the folder of the host's settings path when the host gave one (an empty path gives the bare
// file name), otherwise the library's own folder.
String GetSettingsFileName(const char *extension);

} // namespace app
