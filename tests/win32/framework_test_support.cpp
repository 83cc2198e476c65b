#include "framework_test_support.h"

#include <commctrl.h>

namespace fwtest {

void TestFrame::Build(const RECT &rect, bool withToolBar) {
  static const bool controlsReady = [] {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  (void)controlsReady;
  Create(rect, nullptr);
  HWND frame = GetHandle();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(StatusBarId)), instance, nullptr);
  if (withToolBar) {
    HWND bar = CreateWindowExA(
        0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 0, 0, 0, 0, frame,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ToolBarId)), instance, nullptr);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[3] = {};
    buttons[0].idCommand = CheckButton;
    buttons[0].fsState = TBSTATE_ENABLED;
    buttons[0].fsStyle = BTNS_CHECK;
    buttons[1].idCommand = PlainButton;
    buttons[1].fsState = TBSTATE_ENABLED;
    buttons[1].fsStyle = BTNS_BUTTON;
    buttons[2].fsStyle = BTNS_SEP;
    SendMessageA(bar, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(buttons));
  }
  Show(SW_SHOWNOACTIVATE);
  RecalcLayout();
  Pump(5);
}

} // namespace fwtest
