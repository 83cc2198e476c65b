#include "framework/win32/Modal.h"

#include "framework/win32/Window.h"

namespace app {

namespace {

int32_t ModalCount = 0;

struct OwnedWindows {
  HWND Owner;
  BOOL Enable;
};

BOOL CALLBACK EnableOwned(HWND window, LPARAM parameter) {
  auto *owned = reinterpret_cast<OwnedWindows *>(parameter);
  if (GetWindow(window, GW_OWNER) == owned->Owner) {
    EnableWindow(window, owned->Enable);
  }
  return TRUE;
}

void EnableOwnerWindows(bool enable) {
  HWND main = GetMainWindow();
  if (main == nullptr) {
    return;
  }
  EnableWindow(main, enable ? TRUE : FALSE);
  OwnedWindows owned = {main, enable ? TRUE : FALSE};
  EnumThreadWindows(GetCurrentThreadId(), &EnableOwned, reinterpret_cast<LPARAM>(&owned));
}

} // namespace

Modal::Modal() { ++ModalCount; }

Modal::~Modal() {
  if (--ModalCount == 0) {
    EnableOwnerWindows(true);
  }
}

void Modal::DisableOwnerWindows() {
  if (ModalCount == 1) {
    EnableOwnerWindows(false);
  }
}

int32_t Modal::GetCount() { return ModalCount; }

} // namespace app
