// The guard of a modal state (a modal dialog, a message box, a file dialog): while any guard is
// alive the main frame and the windows it owns (the panels) are disabled. Nested guards disable
// once and enable once.
#pragma once

#include <cstdint>

namespace app {

class Modal {
public:
  Modal();
  Modal(const Modal &) = delete;
  Modal &operator=(const Modal &) = delete;
  // When the last guard goes, enables the main frame and every top-level window it owns.
  ~Modal();

  // The outermost guard disables the main frame and every top-level window it owns; inner
  // guards do nothing. Called right after construction.
  void DisableOwnerWindows();

  // The number of guards alive.
  static int32_t GetCount();
};

} // namespace app
