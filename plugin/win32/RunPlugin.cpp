#include "plugin/win32/RunPlugin.h"

#include "foundation/Image.h"
#include "framework/win32/ErrorReport.h"
#include "plugin/HostPicture.h"

#include <exception>

namespace app {

// The run takes the host's picture into the document's image form and hands it back. The
// windows, the painting and the settings join this run as they are built.
void RunPlugin(HWND ownerWindow) {
  try {
    Image picture;
    LoadHostPicture(picture);
    StoreHostPicture(picture);
  } catch (const std::exception &caught) {
    // A picture that cannot be taken in ends the run with the host's picture untouched.
    ReportException(ownerWindow, caught);
  }
}

} // namespace app
