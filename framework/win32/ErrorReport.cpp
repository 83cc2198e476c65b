#include "framework/win32/ErrorReport.h"

#include "framework/ErrorMessage.h"
#include "framework/String.h"
#include "framework/win32/Modal.h"

#include <cstdarg>

namespace app {

namespace {

const uint32_t CaptionString = 60000; // "Brushmote"

void ShowMessageBox(HWND owner, const char *text, const char *caption, UINT style) {
  MessageBoxA(owner, text, caption, style);
}

ErrorMessageShower Shower = ShowMessageBox;

void Show(HWND owner, const String &text) {
  String caption;
  caption.Load(CaptionString);
  // The main frame and its panels stay disabled while the box is up.
  Modal modal;
  modal.DisableOwnerWindows();
  Shower(owner, text.GetText(), caption.GetText(), ErrorMessageStyle);
}

} // namespace

ErrorMessageShower SetErrorMessageShower(ErrorMessageShower shower) {
  ErrorMessageShower previous = Shower;
  Shower = shower != nullptr ? shower : ShowMessageBox;
  return previous;
}

void ReportException(HWND owner, const std::exception &caught) noexcept {
  try {
    String message;
    if (BuildExceptionMessage(caught, message))
      Show(owner, message);
  } catch (const std::exception &) {
    // Nothing more can be shown about a failure while showing a failure.
  }
}

void ShowErrorMessage(HWND owner, uint32_t id, ...) {
  String message;
  va_list arguments;
  va_start(arguments, id);
  try {
    message.FormatResourceV(id, arguments);
  } catch (...) {
    va_end(arguments);
    throw;
  }
  va_end(arguments);
  Show(owner, message);
}

} // namespace app
