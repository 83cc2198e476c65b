// The tip window of one panel, and the routine that answers every tip-text request (panels and
// the tool bar alike) from the string table: the text of an id is the line after the first line
// feed of its entry, or the whole entry when it has none, at most 79 bytes.
#pragma once

#include "framework/win32/Window.h"

#include <commctrl.h>

namespace app {

class ToolTip : public Window {
public:
  ToolTip();
  // Destroys the tip window.
  ~ToolTip() override;

  // Destroys the tip window if it still exists and forgets its handle (the tip window sends
  // the object no messages, so nothing else would tell it that the window is gone).
  void Destroy() override;

  // Creates the "tooltips_class32" window owned by the dialog. The tip window keeps its own
  // procedure: the object receives none of its messages. Throws app::Exception code 5.
  void CreateTipWindow(HWND owner);
  // Adds every child window of the dialog as a tool whose text is asked for on demand.
  void AddTools(HWND dialog);
};

enum : int32_t { TipTextLimit = 79 };

// Answers a tip-text request (TTN_GETDISPINFO): the id is idFrom, or the control id of the
// window given there when the flags say so. Ids without a string-table entry get no text.
void SupplyTipText(NMTTDISPINFOA &request);

} // namespace app
