#include "framework/win32/Window.h"

#include "foundation/Exception.h"
#include "framework/String.h"
#include "framework/win32/ErrorReport.h"
#include "framework/win32/Frame.h"
#include "framework/win32/Panel.h"
#include "framework/win32/View.h"
#include "plugin/win32/Library.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <initializer_list>

namespace app {

struct WindowMember {
  HWND Handle = nullptr;
  WNDPROC PreviousProc = nullptr;
  // The window whose procedure was replaced. It stays set after WM_DESTROY has cleared Handle,
  // so that the last messages of a dying window (WM_NCDESTROY) still reach the previous
  // procedure with the right window, and is cleared when the binding ends.
  HWND Bound = nullptr;
};

namespace {

const char AppWindowClass[] = "AppWindow";
bool ClassRegistered = false;

void RegisterAppWindowClass() {
  if (ClassRegistered) {
    return;
  }
  HINSTANCE instance = GetLibraryHandle();
  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(128));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground =
      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_APPWORKSPACE + 1));
  windowClass.lpszMenuName = MAKEINTRESOURCEA(128);
  windowClass.lpszClassName = AppWindowClass;
  if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw Exception(ErrorCreateWindow);
  }
  ClassRegistered = true;
}

std::unique_ptr<Frame> MainFrame;
std::unique_ptr<Panel> Panels[PanelCount];
HWND HostWindow = nullptr;

Panel *PanelAt(int32_t index) {
  return index >= 0 && index < PanelCount ? Panels[index].get() : nullptr;
}

bool PanelWindowExists(const Panel *panel) {
  HWND window = Window::HandleOf(panel);
  return window != nullptr && ::IsWindow(window);
}

} // namespace

Window::Window() : Member(std::make_unique<WindowMember>()) {}

Window::~Window() {
  HWND window = Member->Handle;
  if (window != nullptr && ::IsWindow(window)) {
    DestroyWindow(window);
  }
  // A window that outlived the attempt must not keep a pointer to this object.
  if (Member->Bound != nullptr && ::IsWindow(Member->Bound) &&
      GetWindowObject(Member->Bound) == this) {
    Detach();
  }
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_DESTROY:
    OnDestroy();
    return 0;
  case WM_COMMAND:
    OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    return 0;
  default:
    return CallPreviousProc(message, wParam, lParam);
  }
}

void Window::Destroy() { DestroyWindow(Member->Handle); }

void Window::OnDestroy() { Member->Handle = nullptr; }

void Window::OnCommand(int32_t, int32_t, HWND) {}

void Window::CreateAppWindow(const char *title, DWORD style, const RECT &rect, HWND parent) {
  RegisterAppWindowClass();
  const int unset = static_cast<int>(CW_USEDEFAULT);
  int width = rect.left == unset ? rect.right : rect.right - rect.left;
  int height = rect.top == unset ? rect.bottom : rect.bottom - rect.top;
  HWND window = CreateWindowExA(0, AppWindowClass, title, style, rect.left, rect.top, width, height,
                                parent, nullptr, GetLibraryHandle(), nullptr);
  if (window == nullptr) {
    throw Exception(ErrorCreateWindow);
  }
  Attach(window);
}

void Window::Attach(HWND window) {
  Member->Handle = window;
  Member->Bound = window;
  Member->PreviousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SharedWindowProc));
}

void Window::AttachDlgItem(HWND dialog, int32_t id) { Attach(GetDlgItem(dialog, id)); }

void Window::Detach() {
  HWND window = Member->Bound != nullptr ? Member->Bound : Member->Handle;
  if (window != nullptr) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (Member->PreviousProc != nullptr) {
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Member->PreviousProc));
    }
  }
  Member->Handle = nullptr;
  Member->Bound = nullptr;
}

HWND Window::GetHandle() const { return Member->Handle; }

HWND Window::HandleOf(const Window *window) {
  return window != nullptr ? window->Member->Handle : nullptr;
}

LRESULT Window::CallPreviousProc(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = Member->Handle != nullptr ? Member->Handle : Member->Bound;
  if (Member->PreviousProc == nullptr) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return CallWindowProcA(Member->PreviousProc, window, message, wParam, lParam);
}

void Window::SetHandle(HWND window) {
  Member->Handle = window;
  Member->Bound = nullptr;
  Member->PreviousProc = nullptr;
}

bool Window::Show(int command) { return ShowWindow(Member->Handle, command) != FALSE; }

bool Window::GetClientRect(RECT &rect) const {
  return ::GetClientRect(Member->Handle, &rect) != FALSE;
}

bool Window::GetWindowRect(RECT &rect) const {
  return ::GetWindowRect(Member->Handle, &rect) != FALSE;
}

bool Window::SetPosition(HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  return SetWindowPos(Member->Handle, insertAfter, x, y, width, height, flags) != FALSE;
}

LONG_PTR Window::SetLong(int index, LONG_PTR value) {
  return SetWindowLongPtrA(Member->Handle, index, value);
}

LONG_PTR Window::GetLong(int index) const { return GetWindowLongPtrA(Member->Handle, index); }

int Window::SetScrollInfo(int bar, const SCROLLINFO &info, bool redraw) {
  return ::SetScrollInfo(Member->Handle, bar, &info, redraw ? TRUE : FALSE);
}

bool Window::GetScrollInfo(int bar, SCROLLINFO &info) const {
  return ::GetScrollInfo(Member->Handle, bar, &info) != FALSE;
}

int Window::ScrollContents(int dx, int dy, const RECT *scroll, const RECT *clip, HRGN update,
                           RECT *updateRect, UINT flags) {
  return ScrollWindowEx(Member->Handle, dx, dy, scroll, clip, update, updateRect, flags);
}

bool Window::Update() { return UpdateWindow(Member->Handle) != FALSE; }

LRESULT Window::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessageA(Member->Handle, message, wParam, lParam);
}

bool Window::Invalidate(const RECT *rect, bool erase) {
  return InvalidateRect(Member->Handle, rect, erase ? TRUE : FALSE) != FALSE;
}

bool Window::ScreenToClient(POINT &point) const {
  return ::ScreenToClient(Member->Handle, &point) != FALSE;
}

HWND Window::SetCapture() { return ::SetCapture(Member->Handle); }

bool Window::SetText(const char *text) { return SetWindowTextA(Member->Handle, text) != FALSE; }

namespace {
String TextOf(HWND window) {
  String text;
  int length = GetWindowTextLengthA(window);
  text.SetSize(length + 1);
  GetWindowTextA(window, text.GetBuffer(), length + 1);
  text.Fit();
  return text;
}
} // namespace

String Window::GetText() const { return TextOf(Member->Handle); }

bool Window::IsWindow() const { return ::IsWindow(Member->Handle) != FALSE; }

bool Window::IsEnabled() const { return IsWindowEnabled(Member->Handle) != FALSE; }

bool Window::IsVisible() const { return IsWindowVisible(Member->Handle) != FALSE; }

HWND Window::GetItem(int32_t id) const { return GetDlgItem(Member->Handle, id); }

bool Window::SetItemText(int32_t id, const char *text) {
  if (GetItemText(id).Compare(text) == 0) {
    return true;
  }
  return SetDlgItemTextA(Member->Handle, id, text) != FALSE;
}

String Window::GetItemText(int32_t id) const { return TextOf(GetItem(id)); }

bool Window::SetItemInt(int32_t id, int32_t value) {
  bool ok = false;
  if (GetItemInt(id, &ok) == value && ok) {
    return true;
  }
  return SetDlgItemInt(Member->Handle, id, static_cast<UINT>(value), TRUE) != FALSE;
}

int32_t Window::GetItemInt(int32_t id, bool *ok) const {
  // Read here rather than by the system, whose versions differ on text after the digits: the
  // whole text must be one signed decimal integer within range (blanks around it allowed).
  String text = GetItemText(id);
  const char *start = text.GetText();
  char *end = nullptr;
  errno = 0;
  long long value = std::strtoll(start, &end, 10);
  bool valid = end != start && errno == 0 && value >= INT32_MIN && value <= INT32_MAX;
  while (valid && (*end == ' ' || *end == '\t')) {
    ++end;
  }
  valid = valid && *end == '\0';
  if (ok != nullptr) {
    *ok = valid;
  }
  return valid ? static_cast<int32_t>(value) : 0;
}

bool Window::CheckButton(int32_t id, UINT state) {
  return CheckDlgButton(Member->Handle, id, state) != FALSE;
}

UINT Window::IsButtonChecked(int32_t id) const { return IsDlgButtonChecked(Member->Handle, id); }

LRESULT Window::SendItemMessage(int32_t id, UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendDlgItemMessageA(Member->Handle, id, message, wParam, lParam);
}

int32_t Window::GetControlId() const { return GetDlgCtrlID(Member->Handle); }

HWND Window::GetParent() const { return ::GetParent(Member->Handle); }

Window *GetWindowObject(HWND window) {
  return reinterpret_cast<Window *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK SharedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *object = GetWindowObject(window);
  if (object == nullptr) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  LRESULT result = 0;
  try {
    result = object->WindowProc(message, wParam, lParam);
  } catch (const std::exception &exception) {
    ReportException(nullptr, exception);
    result = 0;
  }
  if (message == WM_NCDESTROY && GetWindowObject(window) == object) {
    // The window is gone: end the binding so that nothing can reach the object through it.
    object->Member->Bound = nullptr;
    object->Member->Handle = nullptr;
  }
  return result;
}

Frame *GetMainFrame() { return MainFrame.get(); }

void SetMainFrame(Frame *frame) {
  if (frame != MainFrame.get()) {
    MainFrame.reset(frame);
  }
}

Panel *GetPanel(int32_t index) { return PanelAt(index); }

void SetPanel(int32_t index, Panel *panel) {
  if (index >= 0 && index < PanelCount && panel != Panels[index].get()) {
    Panels[index].reset(panel);
  }
}

HWND GetHostWindow() { return HostWindow; }

void SetHostWindow(HWND window) { HostWindow = window; }

void Broadcast(UINT message, WPARAM wParam, LPARAM lParam) {
  if (Frame *frame = MainFrame.get()) {
    for (HWND window : {frame->GetHandle(), Window::HandleOf(frame->GetView())}) {
      if (window != nullptr && ::IsWindow(window)) {
        SendMessageA(window, message, wParam, lParam);
      }
    }
  }
  for (int32_t index = 0; index < PanelCount; ++index) {
    SendToPanel(index, message, wParam, lParam);
  }
}

void SendToPanel(int32_t index, UINT message, WPARAM wParam, LPARAM lParam) {
  Panel *panel = PanelAt(index);
  if (PanelWindowExists(panel)) {
    SendMessageA(panel->GetHandle(), message, wParam, lParam);
  }
}

HWND GetMainWindow() {
  HWND window = Window::HandleOf(MainFrame.get());
  return window != nullptr && ::IsWindow(window) ? window : nullptr;
}

void TogglePanel(int32_t index) {
  Panel *panel = PanelAt(index);
  if (PanelWindowExists(panel)) {
    panel->Show(panel->IsVisible() ? SW_HIDE : SW_SHOW);
  }
}

bool IsPanelVisible(int32_t index) {
  Panel *panel = PanelAt(index);
  return PanelWindowExists(panel) && panel->IsVisible();
}

bool IdleStep() {
  Frame *frame = MainFrame.get();
  return frame != nullptr && frame->IdleStep();
}

void QuitLoop() { PostQuitMessage(0); }

} // namespace app
