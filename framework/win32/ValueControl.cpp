#include "framework/win32/ValueControl.h"

namespace app {

ValueControl *GetValueControl(HWND window) {
  if (window == nullptr) {
    return nullptr;
  }
  return dynamic_cast<ValueControl *>(GetWindowObject(window));
}

} // namespace app
