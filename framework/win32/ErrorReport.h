// Showing failures: one message box, caption "Brushmote", error icon and OK button.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>

namespace app {

// Shows one error message. The default shows the system's message box; tests replace it to
// capture the text instead of blocking on a box.
using ErrorMessageShower = void (*)(HWND owner, const char *text, const char *caption, UINT style);
// Installs a shower (null restores the message box) and returns the previous one.
ErrorMessageShower SetErrorMessageShower(ErrorMessageShower shower);

// The message box style of every error message: the error icon and a single OK button.
const UINT ErrorMessageStyle = MB_ICONERROR | MB_OK;

// Builds the message for any caught exception of the standard family and shows it, owned by
// the window (callers outside any window pass null). A failure while reporting is dropped:
// nothing is shown.
void ReportException(HWND owner, const std::exception &caught) noexcept;

// Shows the string-table entry formatted with the arguments (printf conventions; up to four
// 32-bit values or two doubles).
void ShowErrorMessage(HWND owner, uint32_t id, ...);

} // namespace app
