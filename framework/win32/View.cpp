#include "framework/win32/View.h"

#include "framework/Document.h"
#include "framework/win32/Command.h"
#include "framework/win32/Frame.h"

#include <initializer_list>

namespace app {

struct ViewMember {
  Frame *Owner = nullptr;
  std::unique_ptr<Document> OwnedDocument;
  int32_t ContentWidth = 0;
  int32_t ContentHeight = 0;
};

namespace {

int ClientExtent(const RECT &client, int bar) {
  return bar == SB_HORZ ? client.right - client.left : client.bottom - client.top;
}

} // namespace

View::View() : Member(std::make_unique<ViewMember>()) {}

View::~View() { Member->OwnedDocument.reset(); }

LRESULT View::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_SIZE:
    OnSize(static_cast<int32_t>(wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
  case WM_HSCROLL:
  case WM_VSCROLL:
    Scroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam),
           static_cast<short>(HIWORD(wParam)));
    return 0;
  case WM_APP_UPDATECOMMAND:
    if (lParam != 0) {
      OnUpdateCommand(static_cast<int32_t>(wParam), *reinterpret_cast<Command *>(lParam));
    }
    return 0;
  case WM_APP_FRAMECLOSE:
    OnFrameClose();
    return 0;
  default:
    return Window::WindowProc(message, wParam, lParam);
  }
}

bool View::OnIdle() { return false; }

void View::OnUpdateCommand(int32_t, Command &) {}

void View::OnSize(int32_t, int32_t, int32_t) {
  for (int bar : {SB_HORZ, SB_VERT}) {
    // Read again for each axis: showing or hiding the first bar changes the other extent.
    RECT client = {};
    GetClientRect(client);
    int extent = ClientExtent(client, bar);
    int content = bar == SB_HORZ ? Member->ContentWidth : Member->ContentHeight;
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    GetScrollInfo(bar, info);
    int position = info.nPos;
    if (position + extent > content) {
      position = content - extent;
    }
    if (position < 0) {
      position = 0;
    }
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = content;
    info.nPage = static_cast<UINT>(extent > 0 ? extent : 0);
    info.nPos = position;
    SetScrollInfo(bar, info, true);
  }
}

void View::OnFrameClose() {
  if (Document *document = Member->OwnedDocument.get()) {
    document->OnCloseDocument();
  }
}

void View::SetFrame(Frame *frame) { Member->Owner = frame; }

Frame *View::GetFrame() const { return Member->Owner; }

void View::SetDocument(Document *document) {
  if (document != Member->OwnedDocument.get()) {
    Member->OwnedDocument.reset(document);
  }
}

Document *View::GetDocument() const { return Member->OwnedDocument.get(); }

void View::CreateView(HWND parent) {
  const int unset = static_cast<int>(CW_USEDEFAULT);
  RECT rect = {unset, unset, unset, unset};
  CreateAppWindow(nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, rect, parent);
  if (Document *document = Member->OwnedDocument.get()) {
    document->OnCreateDocument();
  }
  OnInitialUpdate();
}

void View::SetContentSize(int32_t width, int32_t height) {
  Member->ContentWidth = width;
  Member->ContentHeight = height;
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nPage = 64;
  SetScrollInfo(SB_HORZ, info, false);
  SetScrollInfo(SB_VERT, info, false);
  OnSize(0, 0, 0);
}

int32_t View::GetContentWidth() const { return Member->ContentWidth; }

int32_t View::GetContentHeight() const { return Member->ContentHeight; }

POINT View::GetScrollPosition() const {
  RECT client = {};
  GetClientRect(client);
  POINT position = {0, 0};
  for (int bar : {SB_HORZ, SB_VERT}) {
    int content = bar == SB_HORZ ? Member->ContentWidth : Member->ContentHeight;
    if (ClientExtent(client, bar) >= content) {
      continue;
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    GetScrollInfo(bar, info);
    (bar == SB_HORZ ? position.x : position.y) = info.nPos;
  }
  return position;
}

void View::PrepareDC(HDC dc) const {
  POINT position = GetScrollPosition();
  SetViewportOrgEx(dc, -position.x, -position.y, nullptr);
}

void View::Scroll(int bar, int code, int thumb) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  GetScrollInfo(bar, info);
  const int position = info.nPos;
  int next = position;
  switch (code) {
  case SB_LINEUP:
    next = position - LineStep;
    break;
  case SB_LINEDOWN:
    next = position + LineStep;
    break;
  case SB_PAGEUP:
    next = position - static_cast<int>(info.nPage);
    break;
  case SB_PAGEDOWN:
    next = position + static_cast<int>(info.nPage);
    break;
  case SB_THUMBPOSITION:
  case SB_THUMBTRACK:
    // The message carries only 16 bits of position; beyond them the bar's own track position
    // is the true one.
    next = info.nMax > 0x7FFF ? info.nTrackPos : thumb;
    break;
  case SB_TOP:
    next = 0;
    break;
  case SB_BOTTOM:
    next = info.nMax;
    break;
  default:
    return;
  }
  RECT client = {};
  GetClientRect(client);
  int last = info.nMax - ClientExtent(client, bar);
  if (next < 0) {
    next = 0;
  } else if (next > last) {
    next = last > 0 ? last : 0;
  }
  int delta = position - next;
  ScrollContents(bar == SB_HORZ ? delta : 0, bar == SB_VERT ? delta : 0, nullptr, nullptr, nullptr,
                 nullptr, SW_INVALIDATE | SW_ERASE);
  info.fMask = SIF_POS;
  info.nPos = next;
  SetScrollInfo(bar, info, true);
  Update();
}

} // namespace app
