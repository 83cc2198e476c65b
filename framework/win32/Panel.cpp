#include "framework/win32/Panel.h"

#include "framework/Registry.h"

namespace app {

struct PanelMember {
  const char *Key = nullptr;
  RECT32 WindowRect = {0, 0, 0, 0};
  bool Shown = true;
  // A show call made because the owner was minimised or restored is running.
  bool FollowingOwner = false;
};

namespace {

const RECT32 NoRect = {0, 0, 0, 0};

// SetWindowPos flags of the placement: no size, z-order or owner z-order change, no redraw, no
// activation; and no move either when there is no remembered position.
const UINT PlaceFlags =
    SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

// A remembered position is used only while it still lies on a screen: settings from a run with
// another monitor layout must not put the panel where nobody can reach it.
bool IsOnScreen(const RECT32 &rect) {
  RECT area = {rect.left, rect.top, rect.right, rect.bottom};
  if (area.bottom <= area.top) {
    area.bottom = area.top + 1;
  }
  return MonitorFromRect(&area, MONITOR_DEFAULTTONULL) != nullptr;
}

} // namespace

Panel::Panel(const char *key, int32_t templateId)
    : Dialog(templateId), Member(std::make_unique<PanelMember>()) {
  Member->Key = key;
}

Panel::~Panel() = default;

LRESULT Panel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_CLOSE:
    Hide();
    return TRUE;
  case WM_SHOWWINDOW:
    if (lParam == 0) {
      if (!Member->FollowingOwner) {
        Member->Shown = wParam != 0;
      }
      return TRUE;
    } else {
      // Hidden or shown along with the owner (minimised or restored). The default handling
      // does it with a show call of its own, which must not count as the user's choice.
      Member->FollowingOwner = true;
      LRESULT result = DefWindowProcA(GetHandle(), message, wParam, lParam);
      Member->FollowingOwner = false;
      (void)result;
      return TRUE;
    }
  default:
    return Dialog::WindowProc(message, wParam, lParam);
  }
}

void Panel::OnDestroy() {
  HWND owner = GetWindow(GetHandle(), GW_OWNER);
  RECT rect = {};
  if (GetWindowRect(rect)) {
    Member->WindowRect = {rect.left, rect.top, rect.right, rect.bottom};
  }
  Dialog::OnDestroy();
  if (owner != nullptr) {
    PostMessageA(owner, WM_APP_UPDATETOOLBAR, 0, 0);
  }
}

void Panel::LoadSettings(Registry &store) { ExchangeSettings(store); }

void Panel::SaveSettings(Registry &store) { ExchangeSettings(store); }

void Panel::OnShutdown() {}

void Panel::ExchangeSettings(Registry &store) {
  store.SelectSection(Member->Key);
  store.ExchangeRect("Window", Member->WindowRect, NoRect);
  store.ExchangeBool("Show", Member->Shown, true);
}

void Panel::Hide() {
  Show(SW_HIDE);
  if (HWND owner = GetWindow(GetHandle(), GW_OWNER)) {
    SendMessageA(owner, WM_APP_UPDATETOOLBAR, 0, 0);
  }
}

void Panel::CreatePanel(HWND owner) {
  CreateModeless(owner);
  const RECT32 &rect = Member->WindowRect;
  UINT flags = PlaceFlags;
  if (rect.left == rect.right || !IsOnScreen(rect)) {
    flags |= SWP_NOMOVE;
  }
  SetPosition(nullptr, rect.left, rect.top, 0, 0, flags);
  Show(Member->Shown ? SW_SHOW : SW_HIDE);
}

RECT Panel::GetPlacement() const {
  const RECT32 &rect = Member->WindowRect;
  return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

bool Panel::IsShown() const { return Member->Shown; }

const char *Panel::GetKey() const { return Member->Key; }

} // namespace app
