// The child window of a frame that scrolls a content of a given pixel size and owns the
// document it shows.
#pragma once

#include "framework/win32/Window.h"

namespace app {

class Command;
class Document;
class Frame;

struct ViewMember;

class View : public Window {
public:
  enum : int32_t { LineStep = 16 };

  View();
  // Deletes the document, then destroys the view window.
  ~View() override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Called once, after the window exists and the document's OnCreateDocument has run.
  virtual void OnInitialUpdate() = 0;
  // One idle call; true asks for more.
  virtual bool OnIdle();
  virtual void OnUpdateCommand(int32_t id, Command &command);
  // Fits the scroll bars to the client and content extents.
  virtual void OnSize(int32_t type, int32_t width, int32_t height);
  // The frame is closing: tells the document.
  virtual void OnFrameClose();

  void SetFrame(Frame *frame);
  Frame *GetFrame() const;
  // Takes ownership; a different document held before is deleted.
  void SetDocument(Document *document);
  Document *GetDocument() const;
  // Creates the view window (child, visible, both scroll bars) with the system's default
  // placement, then the document's OnCreateDocument, then OnInitialUpdate.
  void CreateView(HWND parent);
  // The scrollable size in pixels; scrolls back to the origin.
  void SetContentSize(int32_t width, int32_t height);
  int32_t GetContentWidth() const;
  int32_t GetContentHeight() const;
  // 0 on an axis whose client extent holds the whole content, else the bar's position.
  POINT GetScrollPosition() const;
  // Moves the viewport origin so that drawing in content coordinates lands scrolled.
  void PrepareDC(HDC dc) const;

private:
  void Scroll(int bar, int code, int thumb);
  std::unique_ptr<ViewMember> Member;
};

} // namespace app
