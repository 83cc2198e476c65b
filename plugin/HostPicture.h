// The host's picture records and the exchange of rows between the host and an app::Image.
//
// The host hands over a 24-bit picture as rows of blue, green, red bytes plus a separate alpha
// row, through two channels of plain functions: one that fills rows (the source) and one that
// takes them (the destination). The document's image keeps red, green, blue, alpha in memory
// order. Nothing here needs the window system.
#pragma once

#include <cstdint>
#include <utility>

namespace app {

class Image;

// Owned by the host, read only; only these three leading fields are read.
struct HostPictureInfo {
  int32_t width;
  int32_t height;
  int32_t bitDepth; // must be 24
};

// Transfers one row of colour pixels, 3 bytes a pixel, blue, green, red. The plug-in passes the
// row, first column 0, the picture width, the buffer and -1; the result is ignored.
typedef int32_t (*HostColorRowFunction)(int32_t row, int32_t column, int32_t count,
                                        unsigned char *buffer, int32_t mode);
// Transfers one row of alpha values, 1 byte a pixel. The plug-in passes the row, 0, the width,
// the buffer, -1 and 1; the result is ignored.
typedef int32_t (*HostAlphaRowFunction)(int32_t row, int32_t column, int32_t count,
                                        unsigned char *buffer, int32_t mode, int32_t plane);

// One direction of the exchange: on the source the functions fill the buffer, on the
// destination they take it.
struct HostRowChannel {
  HostColorRowFunction colorRow;
  HostAlphaRowFunction alphaRow;
};

// Checks the host's records and, when they are usable, keeps them (and the settings path) for
// the run. Refuses a null record, a bit depth other than 24, and a channel without both of its
// functions; a refused call changes nothing.
bool AcceptHostRecords(const HostPictureInfo *info, const HostRowChannel *destination,
                       const HostRowChannel *source, const char *settingsPath);

// Width and height of the host's picture.
std::pair<int32_t, int32_t> GetHostPictureSize();
// Recreates `image` at the host's size with 4 bytes a pixel and fills it from the source.
// Throws code 11 for a size the image cannot hold.
void LoadHostPicture(Image &image);
// Writes a 4-bytes-a-pixel `image` of the host's size to the destination, row by row.
void StoreHostPicture(const Image &image);
// The settings path the host passed (may be null).
const char *GetSettingsPath();

} // namespace app
