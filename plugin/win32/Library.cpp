#include "plugin/win32/Library.h"

#include "framework/String.h"
#include "plugin/HostPicture.h"
#include "plugin/Paths.h"

namespace app {

namespace {

HINSTANCE LibraryHandle = nullptr;

std::string LibraryFileName() {
  char name[MAX_PATH + 1] = {};
  GetModuleFileNameA(GetLibraryHandle(), name, MAX_PATH);
  return name;
}

} // namespace

void SetLibraryHandle(HINSTANCE handle) { LibraryHandle = handle; }

HINSTANCE GetLibraryHandle() {
  return LibraryHandle != nullptr ? LibraryHandle : GetModuleHandleA(nullptr);
}

String GetPresetDirectory() {
  return String(MakePresetDirectory(LibraryFileName().c_str()).c_str());
}

String GetSettingsFileName(const char *extension) {
  return String(
      MakeSettingsFileName(LibraryFileName().c_str(), GetSettingsPath(), extension).c_str());
}

} // namespace app
