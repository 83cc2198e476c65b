#include "plugin/win32/RunPlugin.h"

#include "foundation/Image.h"
#include "plugin/HostPicture.h"

#include <exception>

namespace app {

// The run takes the host's picture into the document's image form and hands it back. The
// windows, the painting and the settings join this run as they are built.
void RunPlugin(HWND) {
  try {
    Image picture;
    LoadHostPicture(picture);
    StoreHostPicture(picture);
  } catch (const std::exception &) {
    // Start-up failures end the run with the host's picture untouched.
  }
}

} // namespace app
