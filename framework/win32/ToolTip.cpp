#include "framework/win32/ToolTip.h"

#include "foundation/Exception.h"
#include "framework/String.h"
#include "plugin/win32/Library.h"

#include <cstring>

namespace app {

ToolTip::ToolTip() = default;

ToolTip::~ToolTip() { Destroy(); }

void ToolTip::Destroy() {
  if (IsWindow()) {
    Window::Destroy();
  }
  SetHandle(nullptr);
}

void ToolTip::CreateTipWindow(HWND owner) {
  HWND window = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | 0x80,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                nullptr, GetLibraryHandle(), nullptr);
  if (window == nullptr) {
    throw Exception(ErrorCreateWindow);
  }
  SetHandle(window);
}

void ToolTip::AddTools(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    TTTOOLINFOA tool = {};
    // The record without the reserved field of later system versions (44 bytes on 32-bit).
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void SupplyTipText(NMTTDISPINFOA &request) {
  UINT_PTR id = request.hdr.idFrom;
  if ((request.uFlags & TTF_IDISHWND) != 0) {
    id = static_cast<UINT_PTR>(GetDlgCtrlID(reinterpret_cast<HWND>(id)));
  }
  if (id == 0 || id > 0xFFFF) {
    return;
  }
  String entry;
  if (!entry.Load(static_cast<uint32_t>(id))) {
    return;
  }
  String tip;
  if (!tip.ExtractLine(entry, 1)) {
    tip.Assign(entry);
  }
  size_t length = std::strlen(tip.GetText());
  if (length > TipTextLimit) {
    length = TipTextLimit;
  }
  std::memcpy(request.szText, tip.GetText(), length);
  request.szText[length] = '\0';
}

} // namespace app
