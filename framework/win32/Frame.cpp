#include "framework/win32/Frame.h"

#include "framework/String.h"
#include "framework/win32/Command.h"
#include "framework/win32/ToolTip.h"
#include "framework/win32/View.h"

#include <commctrl.h>

namespace app {

struct FrameMember {
  std::unique_ptr<View> OwnedView;
  int32_t PromptId = 0;
};

Frame::Frame() : Member(std::make_unique<FrameMember>()) {}

Frame::~Frame() { Member->OwnedView.reset(); }

LRESULT Frame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  View *view = Member->OwnedView.get();
  switch (message) {
  case WM_SIZE:
    RecalcLayout();
    return 0;
  case WM_CLOSE:
    Close();
    return 0;
  case WM_ACTIVATEAPP:
    if (view != nullptr) {
      view->Send(WM_ACTIVATEAPP, wParam != 0 ? 1 : 0, lParam);
    }
    return 0;
  case WM_NOTIFY: {
    auto *header = reinterpret_cast<NMHDR *>(lParam);
    if (header != nullptr && header->code == TTN_GETDISPINFOA) {
      SupplyTipText(*reinterpret_cast<NMTTDISPINFOA *>(lParam));
    }
    return 0;
  }
  case WM_NCDESTROY:
    OnFinalDestroy();
    // The default handling frees what the system keeps for the window (its text).
    CallPreviousProc(message, wParam, lParam);
    return 0;
  case WM_KEYDOWN:
  case WM_KEYUP:
    if (view != nullptr) {
      view->Send(message, wParam, lParam);
    }
    return 0;
  case WM_INITMENUPOPUP:
    if (HIWORD(lParam) == 0) {
      UpdateMenu(reinterpret_cast<HMENU>(wParam));
    }
    return 0;
  case WM_MENUSELECT: {
    UINT flags = HIWORD(wParam);
    if ((flags & MF_POPUP) != 0 || (flags == 0xFFFF && lParam == 0)) {
      SetPrompt(IdlePrompt);
    } else {
      SetPrompt(LOWORD(wParam));
    }
    return 0;
  }
  case WM_APP_UPDATETOOLBAR:
    UpdateToolBar();
    return 0;
  default:
    return Window::WindowProc(message, wParam, lParam);
  }
}

void Frame::OnCommand(int32_t id, int32_t code, HWND control) {
  if (id == ExitCommand) {
    Close();
    return;
  }
  if (View *view = Member->OwnedView.get()) {
    view->Send(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
  }
}

void Frame::Create(const RECT &rect, HWND owner) {
  CreateAppWindow(nullptr, WS_OVERLAPPEDWINDOW, rect, owner);
  if (View *view = Member->OwnedView.get()) {
    view->CreateView(GetHandle());
    view->SetLong(GWLP_ID, ViewId);
  }
}

void Frame::OnFinalDestroy() { QuitLoop(); }

void Frame::OnUpdateCommand(int32_t id, Command &command) {
  if (View *view = Member->OwnedView.get()) {
    view->Send(WM_APP_UPDATECOMMAND, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&command));
  }
}

void Frame::Close() {
  if (!IsWindow()) {
    return;
  }
  if (View *view = Member->OwnedView.get()) {
    view->Send(WM_APP_FRAMECLOSE, 0, 0);
  }
  Destroy();
}

void Frame::RecalcLayout() {
  RECT rect = {};
  GetClientRect(rect);
  HWND statusBar = GetItem(StatusBarId);
  if (statusBar != nullptr && IsWindowVisible(statusBar)) {
    SendMessageA(statusBar, WM_SIZE, 0, 0);
    RECT bar = {};
    ::GetWindowRect(statusBar, &bar);
    rect.bottom -= bar.bottom - bar.top;
  }
  HWND toolBar = GetItem(ToolBarId);
  if (toolBar != nullptr && IsWindowVisible(toolBar)) {
    SendMessageA(toolBar, WM_SIZE, 0, 0);
    RECT bar = {};
    ::GetWindowRect(toolBar, &bar);
    rect.top += bar.bottom - bar.top;
  }
  if (View *view = Member->OwnedView.get()) {
    int height = rect.bottom > rect.top ? rect.bottom - rect.top : 0;
    view->SetPosition(nullptr, rect.left, rect.top, rect.right - rect.left, height,
                      SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Frame::SetView(View *view) {
  if (view != Member->OwnedView.get()) {
    Member->OwnedView.reset(view);
  }
}

View *Frame::GetView() const { return Member->OwnedView.get(); }

void Frame::SetPrompt(int32_t id) {
  if (id == Member->PromptId) {
    return;
  }
  Member->PromptId = id;
  String prompt;
  if (id != 0) {
    String entry;
    if (!entry.Load(static_cast<uint32_t>(id))) {
      return;
    }
    prompt.ExtractLine(entry, 0);
  }
  if (HWND statusBar = GetItem(StatusBarId)) {
    SetWindowTextA(statusBar, prompt.GetText());
  }
}

int32_t Frame::GetPromptId() const { return Member->PromptId; }

bool Frame::IdleStep() {
  SetPrompt(IdlePrompt);
  View *view = Member->OwnedView.get();
  return view != nullptr && view->OnIdle();
}

void Frame::UpdateMenu(HMENU popup) {
  int count = GetMenuItemCount(popup);
  for (int position = 0; position < count; ++position) {
    Command command;
    command.SetMenuItem(popup, position);
    OnUpdateCommand(static_cast<int32_t>(GetMenuItemID(popup, position)), command);
  }
}

void Frame::UpdateToolBar() {
  HWND toolBar = GetItem(ToolBarId);
  if (toolBar == nullptr) {
    return;
  }
  int count = static_cast<int>(SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    TBBUTTON button = {};
    if (SendMessageA(toolBar, TB_GETBUTTON, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&button)) == 0) {
      continue;
    }
    Command command;
    command.SetToolButton(toolBar, button.idCommand);
    OnUpdateCommand(button.idCommand, command);
  }
}

} // namespace app
