// One object per system window: the object is bound to its window for the window's life and
// receives the window's messages through one virtual routine. Also the program-wide slots of
// the user interface (main frame, four panels, host window) and the operations that reach the
// windows through them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace app {

class String;
class Frame;
class Panel;

struct WindowMember;

class Window {
public:
  Window();
  Window(const Window &) = delete;
  Window &operator=(const Window &) = delete;
  // Destroys the bound window if it still exists.
  virtual ~Window();

  // WM_DESTROY: OnDestroy. WM_COMMAND: OnCommand. Anything else: the previous procedure.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Destroys the bound window.
  virtual void Destroy();
  // Forgets the window handle (the window is going away).
  virtual void OnDestroy();
  // A command from a menu (code 0), an accelerator (code 1) or a control (its notification).
  virtual void OnCommand(int32_t id, int32_t code, HWND control);

  // Registers the "AppWindow" class when needed and creates a window of it, then binds it.
  // A coordinate pair whose first value is CW_USEDEFAULT passes its second value unchanged, so
  // that the system chooses. Throws app::Exception code 5 when the window cannot be created.
  void CreateAppWindow(const char *title, DWORD style, const RECT &rect, HWND parent);
  // Binds the window: keeps its procedure, stores this object in its user data and replaces
  // the procedure by the shared one.
  void Attach(HWND window);
  // Binds the dialog's item with that control id.
  void AttachDlgItem(HWND dialog, int32_t id);
  // Unbinds: clears the user data, puts the previous procedure back and forgets the handle.
  void Detach();

  HWND GetHandle() const;
  // The object's window, or null for a null object.
  static HWND HandleOf(const Window *window);

  // Thin operations on the bound window; they return the system's results.
  bool Show(int command);
  bool GetClientRect(RECT &rect) const;
  bool GetWindowRect(RECT &rect) const;
  bool SetPosition(HWND insertAfter, int x, int y, int width, int height, UINT flags);
  LONG_PTR SetLong(int index, LONG_PTR value);
  LONG_PTR GetLong(int index) const;
  int SetScrollInfo(int bar, const SCROLLINFO &info, bool redraw);
  bool GetScrollInfo(int bar, SCROLLINFO &info) const;
  int ScrollContents(int dx, int dy, const RECT *scroll, const RECT *clip, HRGN update,
                     RECT *updateRect, UINT flags);
  bool Update();
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;
  bool Invalidate(const RECT *rect, bool erase);
  bool ScreenToClient(POINT &point) const;
  HWND SetCapture();
  bool SetText(const char *text);
  // The window text, sized to the reported length + 1 and then trimmed.
  String GetText() const;
  bool IsWindow() const;
  bool IsEnabled() const;
  bool IsVisible() const;

  HWND GetItem(int32_t id) const;
  // Sets the item's text only when it differs from the text it shows.
  bool SetItemText(int32_t id, const char *text);
  String GetItemText(int32_t id) const;
  // Sets the item's signed integer only when the item does not already read as that integer.
  bool SetItemInt(int32_t id, int32_t value);
  int32_t GetItemInt(int32_t id, bool *ok) const;
  bool CheckButton(int32_t id, UINT state);
  UINT IsButtonChecked(int32_t id) const;
  LRESULT SendItemMessage(int32_t id, UINT message, WPARAM wParam, LPARAM lParam) const;
  int32_t GetControlId() const;
  // The parent window, or the owner of a top-level window.
  HWND GetParent() const;

protected:
  // Hands the message to the procedure the window had before it was bound.
  LRESULT CallPreviousProc(UINT message, WPARAM wParam, LPARAM lParam);
  // For bindings that keep the window's own procedure (tip windows) or install another one
  // (dialogs): the handle only.
  void SetHandle(HWND window);

private:
  friend LRESULT CALLBACK SharedWindowProc(HWND, UINT, WPARAM, LPARAM);
  std::unique_ptr<WindowMember> Member;
};

// The procedure of every bound window: calls the object's WindowProc, reports an escaping
// exception (the message then returns 0).
LRESULT CALLBACK SharedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The object bound to a window (its user data), or null.
Window *GetWindowObject(HWND window);

// Private messages.
enum : UINT {
  WM_APP_TOOLCHANGED = WM_APP + 1,   // the current tool changed; wParam = tool index
  WM_APP_UPDATETOOLBAR = WM_APP + 2, // refresh the tool-bar buttons' state
  WM_APP_UPDATECOMMAND = WM_APP + 3, // set one command's state: wParam id, lParam app::Command*
  WM_APP_OPTIONSCHANGED = WM_APP + 4,
  WM_APP_SPRAYREPLACED = WM_APP + 5,
  WM_APP_DRAWITEM = WM_APP + 6,      // owner-draw record reflected to the control (wParam)
  WM_APP_CONTROLNOTIFY = WM_APP + 7, // from a control to its dialog: wParam id | code << 16
  WM_APP_FRAMECLOSE = WM_APP + 9,    // the frame is closing, before any window is destroyed
};

// Program-wide slots: one set per loaded library, filled for one run of the plug-in.
enum : int32_t { PanelCount = 4 };
Frame *GetMainFrame();
// Takes ownership; a different frame held before is deleted.
void SetMainFrame(Frame *frame);
Panel *GetPanel(int32_t index);
// Takes ownership; a different panel held before at that index is deleted.
void SetPanel(int32_t index, Panel *panel);
HWND GetHostWindow();
void SetHostWindow(HWND window);

// Sends the message to the main frame, its view, then each panel whose window exists.
void Broadcast(UINT message, WPARAM wParam, LPARAM lParam);
// Sends the message to the panel when its window exists.
void SendToPanel(int32_t index, UINT message, WPARAM wParam, LPARAM lParam);
// The main frame's window while it exists, otherwise null.
HWND GetMainWindow();
void TogglePanel(int32_t index);
bool IsPanelVisible(int32_t index);
// The main frame's idle step; false without a main frame.
bool IdleStep();
// Posts the quit message (exit code 0).
void QuitLoop();

} // namespace app
