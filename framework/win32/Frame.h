// The top-level window of a run: menu, optional tool bar and status bar, and one view that gets
// the rest of the client area. It turns menu selection into status-bar prompts, asks for the
// states of menu items and tool-bar buttons just before they are seen, and routes commands and
// keys to the view.
#pragma once

#include "framework/win32/Window.h"

namespace app {

class Command;
class View;

struct FrameMember;

class Frame : public Window {
public:
  // Child windows of a frame, by control id.
  enum : int32_t { ToolBarId = 1000, StatusBarId = 1001, ViewId = 1003 };
  enum : int32_t { ExitCommand = 33020, IdlePrompt = 60002 };

  Frame();
  // Deletes the view (and with it its window), then destroys the frame window.
  ~Frame() override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Exit closes the frame; every other command goes on to the view.
  void OnCommand(int32_t id, int32_t code, HWND control) override;
  // Creates the frame window (no title, WS_OVERLAPPEDWINDOW) and the view's window as its
  // child with control id 1003.
  virtual void Create(const RECT &rect, HWND owner);
  // The frame window's last message: ends the run loop.
  virtual void OnFinalDestroy();
  // Ids the frame does not serve itself go on to the view.
  virtual void OnUpdateCommand(int32_t id, Command &command);
  // Tells the view (and through it the document) while every window still exists, then
  // destroys the frame window.
  virtual void Close();
  // Status bar along the bottom, tool bar along the top, the view in between.
  virtual void RecalcLayout();

  // Takes ownership; a different view held before is deleted.
  void SetView(View *view);
  View *GetView() const;
  // Shows line 0 of the string-table entry in the status bar (0: the empty text). The same id
  // twice in a row is not loaded again; an entry that cannot be loaded leaves the bar alone.
  void SetPrompt(int32_t id);
  int32_t GetPromptId() const;
  // One idle call of the run loop: the idle prompt, then the view's idle step.
  bool IdleStep();
  // Asks for the state of each item of the popup by position.
  void UpdateMenu(HMENU popup);
  // Asks for the state of each tool-bar button by command id.
  void UpdateToolBar();

private:
  std::unique_ptr<FrameMember> Member;
};

} // namespace app
