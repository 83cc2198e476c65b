#include "framework/win32/DC.h"

namespace app {

struct DCMember {
  HDC Hdc = nullptr;
  GdiObject *Selected[3] = {}; // pen, brush, bitmap
  HGDIOBJ Previous[3] = {};
  int PreviousBackgroundMode = 0;
};

struct GdiObjectMember {
  DC *Dc = nullptr;
  HGDIOBJ Handle = nullptr;
  int32_t Type = 0;
};

struct PaintDCMember {
  HWND Window = nullptr;
  PAINTSTRUCT Paint = {};
};

struct ClientDCMember {
  HWND Window = nullptr;
};

namespace {

// The slot of a type in the remembered selections, or -1 for the types not remembered.
int SlotOf(int32_t type) {
  switch (type) {
  case OBJ_PEN:
    return 0;
  case OBJ_BRUSH:
    return 1;
  case OBJ_BITMAP:
    return 2;
  default:
    return -1;
  }
}

} // namespace

DC::DC(HDC dc) : Member(std::make_unique<DCMember>()) { Member->Hdc = dc; }

DC::~DC() { RestoreAll(); }

HDC DC::GetHdc() const { return Member->Hdc; }

void DC::SetHdc(HDC dc) { Member->Hdc = dc; }

void DC::Select(GdiObject &object) {
  int32_t type = object.Member->Type;
  int slot = SlotOf(type);
  if (slot >= 0 && Member->Selected[slot] == &object) {
    return; // already selected here: keep what it replaced
  }
  Deselect(type);
  if (object.Member->Dc != nullptr && object.Member->Dc != this) {
    object.Member->Dc->Deselect(type);
  }
  HGDIOBJ previous = SelectObject(Member->Hdc, object.Member->Handle);
  if (slot >= 0) {
    Member->Selected[slot] = &object;
    Member->Previous[slot] = previous;
    object.Member->Dc = this;
  }
}

void DC::Deselect(int32_t type) {
  int slot = SlotOf(type);
  if (slot < 0 || Member->Selected[slot] == nullptr) {
    return;
  }
  Member->Selected[slot]->Member->Dc = nullptr;
  SelectObject(Member->Hdc, Member->Previous[slot]);
  Member->Selected[slot] = nullptr;
  Member->Previous[slot] = nullptr;
}

void DC::SetBackgroundMode(int mode) {
  int previous = SetBkMode(Member->Hdc, mode);
  if (Member->PreviousBackgroundMode == 0) {
    Member->PreviousBackgroundMode = previous;
  }
}

void DC::RestoreAll() {
  if (Member->Hdc == nullptr) {
    return;
  }
  Deselect(OBJ_PEN);
  Deselect(OBJ_BRUSH);
  Deselect(OBJ_BITMAP);
  if (Member->PreviousBackgroundMode != 0) {
    SetBkMode(Member->Hdc, Member->PreviousBackgroundMode);
    Member->PreviousBackgroundMode = 0;
  }
}

PaintDC::PaintDC(HWND window) : DC(nullptr), Member(std::make_unique<PaintDCMember>()) {
  Member->Window = window;
  SetHdc(BeginPaint(window, &Member->Paint));
}

PaintDC::~PaintDC() {
  RestoreAll();
  EndPaint(Member->Window, &Member->Paint);
}

const PAINTSTRUCT &PaintDC::GetPaintStruct() const { return Member->Paint; }

ClientDC::ClientDC(HWND window) : DC(GetDC(window)), Member(std::make_unique<ClientDCMember>()) {
  Member->Window = window;
}

ClientDC::~ClientDC() {
  RestoreAll();
  if (GetHdc() != nullptr) {
    ReleaseDC(Member->Window, GetHdc());
  }
}

DrawItemDC::DrawItemDC(HDC dc) : DC(dc) {}

DrawItemDC::~DrawItemDC() = default;

GdiObject::GdiObject() : Member(std::make_unique<GdiObjectMember>()) {}

GdiObject::GdiObject(HGDIOBJ handle) : GdiObject() { Attach(handle); }

GdiObject::GdiObject(int stockIndex) : GdiObject() { FromStock(stockIndex); }

GdiObject::~GdiObject() { Release(); }

void GdiObject::Attach(HGDIOBJ handle) {
  Release();
  Member->Handle = handle;
  Member->Type = handle != nullptr ? static_cast<int32_t>(GetObjectType(handle)) : 0;
}

void GdiObject::FromStock(int stockIndex) { Attach(GetStockObject(stockIndex)); }

HGDIOBJ GdiObject::GetHandle() const { return Member->Handle; }

int32_t GdiObject::GetType() const { return Member->Type; }

void GdiObject::Release() {
  if (Member->Handle == nullptr) {
    return;
  }
  if (Member->Dc != nullptr) {
    Member->Dc->Deselect(Member->Type);
  }
  DeleteObject(Member->Handle);
  Member->Handle = nullptr;
  Member->Type = 0;
}

} // namespace app
