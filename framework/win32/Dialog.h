// An object bound to a dialog made from a dialog template of the library's resources, modal or
// modeless. Routes initialisation, commands (OK, Cancel, Apply), owner-draw reflection and
// control notifications to virtual operations, and runs the data exchange between the
// dialog's fields and its controls.
#pragma once

#include "framework/win32/Window.h"

namespace app {

class Command;
class GdiObject;
class UpdateControl;

// One button picture: the button's control id and the bitmap resource it shows.
struct BUTTON_BITMAP {
  int32_t Id;
  int32_t BitmapId;
};

struct DialogMember;

class Dialog : public Window {
public:
  enum : int32_t { ApplyId = 1000 };

  explicit Dialog(int32_t templateId);
  // Destroys the tip window, then the dialog window if it still exists.
  ~Dialog() override;

  // True (as a result) when the message was handled, false to leave it to the system's dialog
  // processing.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A modal dialog is ended and a modeless one destroyed (ending is the only way to take down
  // a modal dialog).
  void Destroy() override;
  // The close box: a modal dialog ends with 2, a modeless one is destroyed.
  virtual void Close();
  // OK (1): OnOK; Cancel (2): a modal dialog ends with 2; Apply (1000): OnApply.
  void OnCommand(int32_t id, int32_t code, HWND control) override;
  virtual void OnInitDialog();
  virtual void OnUpdateCommand(int32_t id, Command &command);
  // A notification of one of the program's own controls.
  virtual void OnControlNotify(int32_t id, int32_t code, LPARAM lParam);
  // Exchange out of the controls; a modal dialog then ends with 1 when Validate agrees.
  virtual void OnOK();
  // Lists each control once with the field it shows.
  virtual void DoDataExchange(UpdateControl &exchange);
  // Reflects the owner-draw request to the control (WM_APP + 6, the record in wParam).
  virtual void OnDrawItem(int32_t id, DRAWITEMSTRUCT *item);
  // Exchange out of the controls; a modal dialog then validates (and stays open).
  virtual void OnApply();
  // Tests the fields after the exchange out of the controls; false keeps a modal dialog open.
  virtual bool Validate();

  // Creates the dialog without running it, with its tip window. Throws app::Exception code 5.
  void CreateModeless(HWND owner);
  // Runs the dialog modally with the frame and panels disabled; returns 1 (OK) or 2 (Cancel,
  // close box, Escape). Throws app::Exception code 5 when the dialog cannot be run.
  int32_t DoModal(HWND parent);
  // Fields into the controls (true) or out of them (false); ignored while an exchange runs.
  void UpdateData(bool toControls);
  void EnableItem(int32_t id, bool enable);
  // Loads each bitmap into the object of the same index (which owns it from then on) and shows
  // it on the button.
  void SetButtonBitmaps(GdiObject *bitmaps, const BUTTON_BITMAP *table, int32_t count);
  bool IsInitialised() const;
  bool IsModal() const;
  int32_t GetTemplateId() const;

private:
  friend INT_PTR CALLBACK InitialDialogProc(HWND, UINT, WPARAM, LPARAM);
  std::unique_ptr<DialogMember> Member;
};

// The procedure every dialog starts with: binds the object on WM_INITDIALOG (lParam) and
// hands the dialog over to the shared dialog procedure.
INT_PTR CALLBACK InitialDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the bound object's WindowProc; reports an escaping exception (then false).
INT_PTR CALLBACK SharedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace app
