// The library's exported entry points and its entry routine.
#include "framework/String.h"
#include "plugin/HostPicture.h"
#include "plugin/win32/Library.h"
#include "plugin/win32/RunPlugin.h"

#include <windows.h>

#include <cstring>

extern "C" {

// Reports the menu title under which the host lists the plug-in: string-table entry 60000,
// copied with its terminating zero into the host's buffer.
int32_t FilterGetTitle(int32_t, char *title, int32_t *outA, int32_t *outB) {
  if (title != nullptr) {
    try {
      app::String text;
      text.Load(60000);
      std::memcpy(title, text.GetText(), size_t(text.GetLength()) + 1);
    } catch (...) {
      title[0] = '\0'; // nothing may escape into the host
    }
  }
  if (outA != nullptr)
    *outA = 0;
  if (outB != nullptr)
    *outB = 10;
  return 1;
}

// Runs the plug-in once on the host's picture. Refuses (0) records it cannot use; otherwise
// returns 1 when the run is over, whatever happened inside it.
int32_t FilterProc(HWND ownerWindow, const app::HostPictureInfo *info,
                   const app::HostRowChannel *destination, const app::HostRowChannel *source,
                   const char *settingsPath) {
  if (!app::AcceptHostRecords(info, destination, source, settingsPath))
    return 0;
  app::RunPlugin(ownerWindow);
  return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  app::SetLibraryHandle(instance);
  return TRUE;
}

} // extern "C"
