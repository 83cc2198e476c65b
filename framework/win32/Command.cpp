#include "framework/win32/Command.h"

#include <commctrl.h>

namespace app {

struct CommandMember {
  Command::Kind Kind = Command::None;
  HANDLE Owner = nullptr;
  int32_t Item = 0;
};

namespace {

void SetButtonState(HWND toolBar, int32_t id, BYTE bit, bool on) {
  LRESULT state = SendMessageA(toolBar, TB_GETSTATE, static_cast<WPARAM>(id), 0);
  if (state == -1) {
    return; // no such button
  }
  BYTE next = static_cast<BYTE>(on ? (state | bit) : (state & ~bit));
  SendMessageA(toolBar, TB_SETSTATE, static_cast<WPARAM>(id), MAKELPARAM(next, 0));
}

} // namespace

Command::Command() : Member(std::make_unique<CommandMember>()) {}

Command::~Command() = default;

void Command::SetMenuItem(HMENU menu, int32_t position) {
  Member->Kind = MenuItem;
  Member->Owner = menu;
  Member->Item = position;
}

void Command::SetToolButton(HWND toolBar, int32_t id) {
  Member->Kind = ToolButton;
  Member->Owner = toolBar;
  Member->Item = id;
}

Command::Kind Command::GetKind() const { return Member->Kind; }

void Command::SetCheck(bool check) {
  switch (Member->Kind) {
  case MenuItem:
    CheckMenuItem(static_cast<HMENU>(Member->Owner), static_cast<UINT>(Member->Item),
                  MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
    break;
  case ToolButton:
    SetButtonState(static_cast<HWND>(Member->Owner), Member->Item, TBSTATE_CHECKED, check);
    break;
  case None:
    break;
  }
}

void Command::Enable(bool enable) {
  switch (Member->Kind) {
  case MenuItem:
    EnableMenuItem(static_cast<HMENU>(Member->Owner), static_cast<UINT>(Member->Item),
                   MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED));
    break;
  case ToolButton:
    SetButtonState(static_cast<HWND>(Member->Owner), Member->Item, TBSTATE_ENABLED, enable);
    break;
  case None:
    break;
  }
}

} // namespace app
