// A custom control that shows one real value (the value slider, the angle dial). The data
// exchange reaches it through the object bound to the control window.
#pragma once

#include "framework/win32/Window.h"

namespace app {

class ValueControl : public Window {
public:
  virtual void SetValue(double value) = 0;
  virtual double GetValue() const = 0;
};

// The value control bound to the window, or null when the window has none.
ValueControl *GetValueControl(HWND window);

} // namespace app
