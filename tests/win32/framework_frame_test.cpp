// The frame with its bars and scrolling view, menu prompts, command states and drawing seen in
// the pixels of real windows.
#include "framework_test_ids.h"
#include "framework_test_support.h"

#include "framework/win32/Command.h"
#include "framework/win32/DC.h"

#include <commctrl.h>

namespace {

using fwtest::CountingDocument;
using fwtest::FrameworkTest;
using fwtest::Pump;
using fwtest::TestFrame;
using fwtest::TestView;

class FrameworkFrameTest : public FrameworkTest {
protected:
  // A frame of 400 x 300 with a view and a document, owned by the main-frame slot.
  void Build(bool withToolBar) {
    frame = new TestFrame;
    view = new TestView;
    document = new CountingDocument;
    view->SetDocument(document);
    view->SetFrame(frame);
    frame->SetView(view);
    app::SetMainFrame(frame);
    frame->Build(RECT{40, 40, 440, 340}, withToolBar);
  }

  RECT ViewRect() const {
    RECT rect = {};
    view->GetWindowRect(rect);
    MapWindowPoints(nullptr, frame->GetHandle(), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
  }
  int BarHeight(int32_t id) const {
    RECT rect = {};
    GetWindowRect(frame->GetItem(id), &rect);
    return rect.bottom - rect.top;
  }
  std::string StatusText() const { return frame->GetItemText(app::Frame::StatusBarId).GetText(); }
  POINT Client() const {
    RECT rect = {};
    view->GetClientRect(rect);
    return POINT{rect.right, rect.bottom};
  }
  int Position(int bar) const {
    SCROLLINFO info = {sizeof info, SIF_POS};
    view->GetScrollInfo(bar, info);
    return info.nPos;
  }

  TestFrame *frame = nullptr;
  TestView *view = nullptr;
  CountingDocument *document = nullptr;
};

TEST_F(FrameworkFrameTest, ViewIsCreatedWithItsDocumentAndLaidOutBetweenTheBars) {
  Build(true);
  EXPECT_EQ(1, document->Created);
  EXPECT_EQ(1, view->InitialUpdates);
  EXPECT_EQ(app::Frame::ViewId, view->GetControlId());
  EXPECT_EQ(frame->GetHandle(), view->GetParent());

  RECT client = {};
  frame->GetClientRect(client);
  int status = BarHeight(app::Frame::StatusBarId);
  int tools = BarHeight(app::Frame::ToolBarId);
  ASSERT_GT(status, 0);
  ASSERT_GT(tools, 0);
  RECT rect = ViewRect();
  EXPECT_EQ(tools, rect.top);
  EXPECT_EQ(client.bottom - status, rect.bottom);
  EXPECT_EQ(client.right, rect.right);

  // Without the tool bar the view gets the whole height above the status bar.
  ShowWindow(frame->GetItem(app::Frame::ToolBarId), SW_HIDE);
  frame->RecalcLayout();
  rect = ViewRect();
  EXPECT_EQ(0, rect.top);
  EXPECT_EQ(client.bottom - status, rect.bottom);

  ShowWindow(frame->GetItem(app::Frame::StatusBarId), SW_HIDE);
  frame->RecalcLayout();
  EXPECT_EQ(client.bottom, ViewRect().bottom);
}

TEST_F(FrameworkFrameTest, ScrollRequestsAreClampedToTheContent) {
  Build(false);
  view->SetContentSize(1000, 800);
  // Both bars now show; the page of each is the client extent that is left.
  POINT client = Client();
  SCROLLINFO info = {sizeof info, SIF_ALL};
  view->GetScrollInfo(SB_VERT, info);
  EXPECT_EQ(800, info.nMax);
  EXPECT_EQ(static_cast<UINT>(client.y), info.nPage);
  const int lastY = 800 - client.y;

  struct Case {
    int Code;
    int Thumb;
    int Expected;
  } steps[] = {
      {SB_LINEDOWN, 0, 16},
      {SB_LINEUP, 0, 0},
      {SB_LINEUP, 0, 0},
      {SB_PAGEDOWN, 0, client.y},
      {SB_THUMBTRACK, 5000, lastY},
      {SB_LINEDOWN, 0, lastY},
      {SB_THUMBPOSITION, 100, 100},
      {SB_ENDSCROLL, 0, 100},
      {SB_TOP, 0, 0},
      {SB_BOTTOM, 0, lastY},
      {SB_PAGEUP, 0, lastY - client.y},
  };
  for (const Case &step : steps) {
    view->Send(WM_VSCROLL, MAKEWPARAM(step.Code, step.Thumb), 0);
    EXPECT_EQ(step.Expected, Position(SB_VERT)) << "code " << step.Code;
  }
  view->Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 123), 0);
  EXPECT_EQ(123, Position(SB_HORZ));
  POINT position = view->GetScrollPosition();
  EXPECT_EQ(123, position.x);
  EXPECT_EQ(lastY - client.y, position.y);

  // The viewport follows the scroll position.
  HDC dc = GetDC(view->GetHandle());
  view->PrepareDC(dc);
  POINT origin = {};
  GetViewportOrgEx(dc, &origin);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  ReleaseDC(view->GetHandle(), dc);
  EXPECT_EQ(-123, origin.x);
  EXPECT_EQ(-(lastY - client.y), origin.y);

  // Growing the client beyond the content pulls the position back.
  view->SetContentSize(client.x + 50, client.y + 40);
  view->Send(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  EXPECT_EQ(40, Position(SB_VERT));
  frame->SetPosition(nullptr, 0, 0, 800, 700, SWP_NOZORDER | SWP_NOMOVE);
  Pump(5);
  EXPECT_EQ(0, Position(SB_VERT));
  EXPECT_EQ(0, view->GetScrollPosition().y);
}

TEST_F(FrameworkFrameTest, ContentSmallerThanTheClientStaysAtTheOrigin) {
  Build(false);
  view->SetContentSize(100, 50);
  for (int code : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM}) {
    view->Send(WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    view->Send(WM_HSCROLL, MAKEWPARAM(code, 0), 0);
  }
  view->Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), 0);
  EXPECT_EQ(0, Position(SB_VERT));
  EXPECT_EQ(0, Position(SB_HORZ));
  POINT position = view->GetScrollPosition();
  EXPECT_EQ(0, position.x);
  EXPECT_EQ(0, position.y);
}

TEST_F(FrameworkFrameTest, MenuSelectionShowsPromptsLoadedOnce) {
  Build(false);
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_FW_MENU));
  HMENU popup = GetSubMenu(menu, 0);

  frame->Send(WM_MENUSELECT, MAKEWPARAM(IDS_FW_ITEM, MF_STRING), reinterpret_cast<LPARAM>(popup));
  EXPECT_EQ("Item prompt", StatusText());

  // The same item again does not load the prompt again.
  SetWindowTextA(frame->GetItem(app::Frame::StatusBarId), "changed");
  frame->Send(WM_MENUSELECT, MAKEWPARAM(IDS_FW_ITEM, MF_STRING), reinterpret_cast<LPARAM>(popup));
  EXPECT_EQ("changed", StatusText());

  // A submenu, and the menu closing, show the idle prompt: nothing.
  frame->Send(WM_MENUSELECT, MAKEWPARAM(2, MF_POPUP), reinterpret_cast<LPARAM>(popup));
  EXPECT_EQ(app::Frame::IdlePrompt, frame->GetPromptId());
  EXPECT_EQ("", StatusText());
  frame->Send(WM_MENUSELECT, MAKEWPARAM(IDS_FW_BUTTON, MF_STRING), reinterpret_cast<LPARAM>(popup));
  EXPECT_EQ("Button prompt", StatusText());
  frame->Send(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ("", StatusText());

  // An id whose entry cannot be loaded leaves the bar as it is.
  frame->SetPrompt(IDS_FW_WHOLE);
  frame->SetPrompt(62900);
  EXPECT_EQ("Whole entry", StatusText());
  DestroyMenu(menu);
}

TEST_F(FrameworkFrameTest, MenuItemsTakeTheirStatesByPosition) {
  Build(false);
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_FW_MENU));
  HMENU popup = GetSubMenu(menu, 0);
  view->Serve = [](int32_t id, app::Command &command) {
    if (id == IDS_FW_ITEM) {
      command.SetCheck(true);
    } else if (id == IDS_FW_BUTTON) {
      command.Enable(false);
    } else if (id == IDS_FW_WHOLE) {
      command.SetCheck(true);
      command.Enable(false);
    }
  };
  frame->Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(0, FALSE));
  // Separator 0, submenu -1, by position.
  EXPECT_EQ((std::vector<int32_t>{IDS_FW_ITEM, 0, -1, IDS_FW_BUTTON}), view->UpdateIds);
  EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(popup, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_EQ(0u, GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_EQ(static_cast<UINT>(MF_GRAYED), GetMenuState(popup, 3, MF_BYPOSITION) & MF_GRAYED);

  // The submenu's own items are updated by their positions within it.
  HMENU sub = GetSubMenu(popup, 2);
  view->UpdateIds.clear();
  frame->Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(2, FALSE));
  EXPECT_EQ((std::vector<int32_t>{IDS_FW_WHOLE}), view->UpdateIds);
  UINT state = GetMenuState(sub, 0, MF_BYPOSITION);
  EXPECT_EQ(static_cast<UINT>(MF_CHECKED | MF_GRAYED), state & (MF_CHECKED | MF_GRAYED));

  // The window menu is left alone.
  view->UpdateIds.clear();
  frame->Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(0, TRUE));
  EXPECT_TRUE(view->UpdateIds.empty());
  DestroyMenu(menu);
}

TEST_F(FrameworkFrameTest, ToolBarButtonsTakeTheirStatesById) {
  Build(true);
  HWND bar = frame->GetItem(app::Frame::ToolBarId);
  SendMessageA(bar, TB_SETSTATE, TestFrame::PlainButton,
               MAKELPARAM(TBSTATE_ENABLED | TBSTATE_CHECKED, 0));
  view->Serve = [](int32_t id, app::Command &command) {
    if (id == TestFrame::CheckButton) {
      command.SetCheck(true);
    } else if (id == TestFrame::PlainButton) {
      command.Enable(false);
    }
  };
  frame->Send(app::WM_APP_UPDATETOOLBAR, 0, 0);
  EXPECT_EQ((std::vector<int32_t>{TestFrame::CheckButton, TestFrame::PlainButton, 0}),
            view->UpdateIds);
  // Checking keeps the enabled state; disabling keeps the checked state.
  EXPECT_EQ(TBSTATE_ENABLED | TBSTATE_CHECKED,
            SendMessageA(bar, TB_GETSTATE, TestFrame::CheckButton, 0) & 0xFF);
  EXPECT_EQ(TBSTATE_CHECKED, SendMessageA(bar, TB_GETSTATE, TestFrame::PlainButton, 0) & 0xFF);

  view->Serve = [](int32_t id, app::Command &command) {
    if (id == TestFrame::CheckButton) {
      command.Enable(false);
    } else if (id == TestFrame::PlainButton) {
      command.SetCheck(false);
      command.Enable(true);
    }
  };
  frame->Send(app::WM_APP_UPDATETOOLBAR, 0, 0);
  EXPECT_EQ(TBSTATE_CHECKED, SendMessageA(bar, TB_GETSTATE, TestFrame::CheckButton, 0) & 0xFF);
  EXPECT_EQ(TBSTATE_ENABLED, SendMessageA(bar, TB_GETSTATE, TestFrame::PlainButton, 0) & 0xFF);

  // A command of no kind does nothing.
  app::Command none;
  none.SetCheck(true);
  none.Enable(false);
  EXPECT_EQ(app::Command::None, none.GetKind());
}

TEST_F(FrameworkFrameTest, CommandsAndKeysGoToTheViewAndEveryCloseTellsTheDocumentOnce) {
  Build(false);
  frame->Send(WM_COMMAND, MAKEWPARAM(IDS_FW_ITEM, 0), 0);
  frame->Send(WM_KEYDOWN, VK_LEFT, 0);
  frame->Send(WM_ACTIVATEAPP, 5, 0);
  EXPECT_EQ((std::vector<int32_t>{IDS_FW_ITEM}), view->Commands);
  EXPECT_EQ(1, view->Counts[WM_KEYDOWN]);
  EXPECT_EQ(1, view->Counts[WM_ACTIVATEAPP]);

  // Exit from the menu.
  frame->Send(WM_COMMAND, MAKEWPARAM(app::Frame::ExitCommand, 0), 0);
  EXPECT_EQ(1, document->Closed);
  EXPECT_FALSE(frame->IsWindow());
  EXPECT_EQ(1, frame->FinalDestroys);
  EXPECT_EQ(nullptr, view->GetHandle());

  // The close box (and Alt+F4, which arrives as the same close request).
  Build(false);
  frame->Send(WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump(5);
  EXPECT_EQ(1, document->Closed);
  EXPECT_FALSE(frame->IsWindow());
}

// Paints a red square at content (10, 10)-(60, 60) through the wrappers, scrolled.
void PaintSquare(TestView &view) {
  app::PaintDC dc(view.GetHandle());
  view.PrepareDC(dc.GetHdc());
  app::GdiObject brush(CreateSolidBrush(RGB(255, 0, 0)));
  app::GdiObject pen(GetStockObject(NULL_PEN));
  dc.Select(brush);
  dc.Select(pen);
  Rectangle(dc.GetHdc(), 10, 10, 61, 61);
}

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return color;
}

TEST_F(FrameworkFrameTest, PaintedPixelsShowTheSquareWhereTheScrollPutsIt) {
  Build(false);
  view->Paint = [this](HDC) { PaintSquare(*view); };
  view->SetContentSize(1000, 1000);
  view->Invalidate(nullptr, true);
  view->Update();

  // A null pen leaves the right and bottom edges out: the square covers content 10 to 59.
  const COLORREF red = RGB(255, 0, 0);
  const COLORREF background = GetSysColor(COLOR_APPWORKSPACE);
  EXPECT_EQ(red, PixelAt(view->GetHandle(), 30, 30));
  EXPECT_EQ(red, PixelAt(view->GetHandle(), 10, 59));
  EXPECT_EQ(background, PixelAt(view->GetHandle(), 60, 30));
  EXPECT_EQ(background, PixelAt(view->GetHandle(), 100, 100));

  // One line down: the square moves up by 16 pixels, the uncovered part is repainted.
  view->Send(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(red, PixelAt(view->GetHandle(), 30, 43));
  EXPECT_EQ(background, PixelAt(view->GetHandle(), 30, 44));
  view->Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
  EXPECT_EQ(red, PixelAt(view->GetHandle(), 0, 0));
  EXPECT_EQ(red, PixelAt(view->GetHandle(), 19, 43));
  EXPECT_EQ(background, PixelAt(view->GetHandle(), 20, 20));
}

} // namespace
