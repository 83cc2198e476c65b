#include "plugin/win32/Library.h"

namespace app {

namespace {
HINSTANCE LibraryHandle = nullptr;
}

void SetLibraryHandle(HINSTANCE handle) { LibraryHandle = handle; }

HINSTANCE GetLibraryHandle() {
  return LibraryHandle != nullptr ? LibraryHandle : GetModuleHandleA(nullptr);
}

} // namespace app
