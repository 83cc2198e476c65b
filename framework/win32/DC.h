// Owning wrappers for drawing: a device-context wrapper puts back every pen, brush, bitmap and
// background mode it changed, and a drawing object deselects itself before it is deleted, so
// that no selected object is ever deleted and the order of destruction does not matter.
//
// The pattern: make the context wrapper first, then the objects; Select them, draw through
// GetHdc, and let the objects and then the wrapper go out of scope.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace app {

class GdiObject;

struct DCMember;

class DC {
public:
  // Wraps the context; nothing selected, nothing remembered.
  explicit DC(HDC dc);
  DC(const DC &) = delete;
  DC &operator=(const DC &) = delete;
  // RestoreAll.
  virtual ~DC();

  HDC GetHdc() const;
  // Selects the object; a pen, brush or bitmap replaces (and first deselects) the one of its
  // type selected through this wrapper.
  void Select(GdiObject &object);
  // Puts back what was there before the remembered object of that type (OBJ_PEN, OBJ_BRUSH or
  // OBJ_BITMAP) and forgets it.
  void Deselect(int32_t type);
  // Sets the background mode; the mode it replaced the first time is put back at the end.
  void SetBackgroundMode(int mode);
  // Deselects pen, brush and bitmap and puts the background mode back.
  void RestoreAll();

protected:
  void SetHdc(HDC dc);

private:
  std::unique_ptr<DCMember> Member;
};

struct PaintDCMember;
struct ClientDCMember;

// The context of a window's paint (WM_PAINT).
class PaintDC : public DC {
public:
  explicit PaintDC(HWND window);
  ~PaintDC() override;
  const PAINTSTRUCT &GetPaintStruct() const;

private:
  std::unique_ptr<PaintDCMember> Member;
};

// The client-area context of a window, for drawing outside a paint.
class ClientDC : public DC {
public:
  explicit ClientDC(HWND window);
  ~ClientDC() override;

private:
  std::unique_ptr<ClientDCMember> Member;
};

// The context the system hands to an owner-drawn control; not released by the wrapper.
class DrawItemDC : public DC {
public:
  explicit DrawItemDC(HDC dc);
  ~DrawItemDC() override;
};

struct GdiObjectMember;

class GdiObject {
public:
  GdiObject();
  // Owns the handle.
  explicit GdiObject(HGDIOBJ handle);
  // Holds the stock object of that index (deleting it later is harmless).
  explicit GdiObject(int stockIndex);
  GdiObject(const GdiObject &) = delete;
  GdiObject &operator=(const GdiObject &) = delete;
  // Release.
  ~GdiObject();

  void Attach(HGDIOBJ handle);
  void FromStock(int stockIndex);
  HGDIOBJ GetHandle() const;
  // OBJ_PEN (1), OBJ_BRUSH (2), OBJ_BITMAP (7), ...; 0 when empty.
  int32_t GetType() const;
  // Deselects the object from the wrapper it is selected through, then deletes it.
  void Release();

private:
  friend class DC;
  std::unique_ptr<GdiObjectMember> Member;
};

} // namespace app
