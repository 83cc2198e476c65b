#include "framework/win32/Dialog.h"

#include "foundation/Exception.h"
#include "framework/win32/Command.h"
#include "framework/win32/DC.h"
#include "framework/win32/ErrorReport.h"
#include "framework/win32/Modal.h"
#include "framework/win32/ToolTip.h"
#include "framework/win32/UpdateControl.h"
#include "plugin/win32/Library.h"

#include <exception>

namespace app {

struct DialogMember {
  ToolTip Tip;
  int32_t TemplateId = 0;
  bool Modal = false;
  bool Initialised = false;
  bool Exchanging = false;
  // The initialisation failed and was reported; the dialog window is gone.
  bool InitialisationFailed = false;
};

namespace {

// Takes the dialog down when the initialisation is left by an exception.
class WindowDestroyer {
public:
  WindowDestroyer(HWND window, bool modal)
      : Window(window), Modal(modal), Uncaught(std::uncaught_exceptions()) {}
  WindowDestroyer(const WindowDestroyer &) = delete;
  WindowDestroyer &operator=(const WindowDestroyer &) = delete;
  ~WindowDestroyer() {
    if (std::uncaught_exceptions() <= Uncaught || !IsWindow(Window)) {
      return;
    }
    if (Modal) {
      // A modal dialog must be ended, so that its run returns.
      EndDialog(Window, IDCANCEL);
    }
    DestroyWindow(Window);
  }

private:
  HWND Window;
  bool Modal;
  int Uncaught;
};

// Clears the exchange flag also when the exchange is left by an exception, so that the dialog
// goes on exchanging afterwards.
class ExchangeFlag {
public:
  explicit ExchangeFlag(bool &flag) : Flag(flag) { Flag = true; }
  ExchangeFlag(const ExchangeFlag &) = delete;
  ExchangeFlag &operator=(const ExchangeFlag &) = delete;
  ~ExchangeFlag() { Flag = false; }

private:
  bool &Flag;
};

Dialog *DialogOf(HWND dialog) {
  return reinterpret_cast<Dialog *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

} // namespace

Dialog::Dialog(int32_t templateId) : Member(std::make_unique<DialogMember>()) {
  Member->TemplateId = templateId;
}

Dialog::~Dialog() {
  // Taken down here, while this object is still a dialog, so that the dialog's last messages
  // are routed as a dialog's.
  HWND window = GetHandle();
  if (window != nullptr && ::IsWindow(window)) {
    DestroyWindow(window);
  }
  if (window != nullptr && ::IsWindow(window) && DialogOf(window) == this) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
  }
}

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_DESTROY:
    // The tip window, owned by the dialog, is already gone or goes now.
    Member->Tip.Destroy();
    OnDestroy();
    return TRUE;
  case WM_CLOSE:
    Close();
    return TRUE;
  case WM_DRAWITEM:
    OnDrawItem(static_cast<int32_t>(wParam), reinterpret_cast<DRAWITEMSTRUCT *>(lParam));
    return TRUE;
  case WM_NOTIFY: {
    auto *header = reinterpret_cast<NMHDR *>(lParam);
    if (header != nullptr && header->code == TTN_GETDISPINFOA) {
      SupplyTipText(*reinterpret_cast<NMTTDISPINFOA *>(lParam));
    }
    return TRUE;
  }
  case WM_INITDIALOG: {
    WindowDestroyer destroyer(GetHandle(), Member->Modal);
    OnInitDialog();
    Member->Initialised = true;
    UpdateData(true);
    return TRUE;
  }
  case WM_COMMAND:
    if (Member->Initialised && !Member->Exchanging) {
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    }
    return TRUE;
  case WM_APP_UPDATECOMMAND:
    if (lParam != 0) {
      OnUpdateCommand(static_cast<int32_t>(wParam), *reinterpret_cast<Command *>(lParam));
    }
    return TRUE;
  case WM_APP_CONTROLNOTIFY:
    OnControlNotify(LOWORD(wParam), HIWORD(wParam), lParam);
    return TRUE;
  default:
    return FALSE;
  }
}

void Dialog::Destroy() {
  if (Member->Modal) {
    EndDialog(GetHandle(), IDCANCEL);
  } else {
    Window::Destroy();
  }
}

void Dialog::Close() {
  if (Member->Modal) {
    EndDialog(GetHandle(), IDCANCEL);
  } else {
    Window::Destroy();
  }
}

void Dialog::OnCommand(int32_t id, int32_t, HWND) {
  switch (id) {
  case IDOK:
    OnOK();
    break;
  case IDCANCEL:
    if (Member->Modal) {
      EndDialog(GetHandle(), IDCANCEL);
    }
    break;
  case ApplyId:
    OnApply();
    break;
  default:
    break;
  }
}

void Dialog::OnInitDialog() {}

void Dialog::OnUpdateCommand(int32_t, Command &) {}

void Dialog::OnControlNotify(int32_t, int32_t, LPARAM) {}

void Dialog::OnOK() {
  UpdateData(false);
  if (Member->Modal && Validate()) {
    EndDialog(GetHandle(), IDOK);
  }
}

void Dialog::DoDataExchange(UpdateControl &) {}

void Dialog::OnDrawItem(int32_t id, DRAWITEMSTRUCT *item) {
  SendItemMessage(id, WM_APP_DRAWITEM, reinterpret_cast<WPARAM>(item), 0);
}

void Dialog::OnApply() {
  UpdateData(false);
  if (Member->Modal) {
    Validate();
  }
}

bool Dialog::Validate() { return true; }

void Dialog::CreateModeless(HWND owner) {
  Member->Modal = false;
  Member->Initialised = false;
  Member->InitialisationFailed = false;
  HWND window = CreateDialogParamA(GetLibraryHandle(), MAKEINTRESOURCEA(Member->TemplateId), owner,
                                   &InitialDialogProc, reinterpret_cast<LPARAM>(this));
  if (window == nullptr || !::IsWindow(window)) {
    throw Exception(ErrorCreateWindow);
  }
  Member->Tip.CreateTipWindow(window);
  Member->Tip.AddTools(window);
}

int32_t Dialog::DoModal(HWND parent) {
  Member->Modal = true;
  Member->Initialised = false;
  Member->InitialisationFailed = false;
  Modal guard;
  guard.DisableOwnerWindows();
  INT_PTR result = DialogBoxParamA(GetLibraryHandle(), MAKEINTRESOURCEA(Member->TemplateId), parent,
                                   &InitialDialogProc, reinterpret_cast<LPARAM>(this));
  if (Member->InitialisationFailed) {
    return IDCANCEL; // already reported
  }
  if (result == -1) {
    throw Exception(ErrorCreateWindow);
  }
  return static_cast<int32_t>(result);
}

void Dialog::UpdateData(bool toControls) {
  if (Member->Exchanging) {
    return;
  }
  ExchangeFlag flag(Member->Exchanging);
  UpdateControl exchange(*this, toControls);
  DoDataExchange(exchange);
}

void Dialog::EnableItem(int32_t id, bool enable) {
  EnableWindow(GetItem(id), enable ? TRUE : FALSE);
}

void Dialog::SetButtonBitmaps(GdiObject *bitmaps, const BUTTON_BITMAP *table, int32_t count) {
  for (int32_t index = 0; index < count; ++index) {
    HBITMAP bitmap = LoadBitmapA(GetLibraryHandle(), MAKEINTRESOURCEA(table[index].BitmapId));
    bitmaps[index].Attach(bitmap);
    SendItemMessage(table[index].Id, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  }
}

bool Dialog::IsInitialised() const { return Member->Initialised; }

bool Dialog::IsModal() const { return Member->Modal; }

int32_t Dialog::GetTemplateId() const { return Member->TemplateId; }

INT_PTR CALLBACK InitialDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) {
    return FALSE;
  }
  auto *object = reinterpret_cast<Dialog *>(lParam);
  if (object == nullptr) {
    return FALSE;
  }
  object->SetHandle(dialog);
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(object));
  SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&SharedDialogProc));
  try {
    object->WindowProc(WM_INITDIALOG, wParam, lParam);
  } catch (const std::exception &exception) {
    object->Member->InitialisationFailed = true;
    ReportException(nullptr, exception);
  }
  return TRUE;
}

INT_PTR CALLBACK SharedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog *object = DialogOf(dialog);
  if (object == nullptr) {
    return FALSE;
  }
  INT_PTR result = FALSE;
  try {
    result = object->WindowProc(message, wParam, lParam);
  } catch (const std::exception &exception) {
    ReportException(nullptr, exception);
    result = FALSE;
  }
  if (message == WM_NCDESTROY && DialogOf(dialog) == object) {
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
  }
  return result;
}

} // namespace app
