#include "plugin/HostPicture.h"

#include "foundation/Buffer.h"
#include "foundation/Exception.h"
#include "foundation/Image.h"

namespace app {

namespace {

// Kept for the length of one run; written by each accepted call, never cleared.
const HostPictureInfo *Info = nullptr;
const HostRowChannel *Source = nullptr;
const HostRowChannel *Destination = nullptr;
const char *SettingsPath = nullptr;

bool ChannelUsable(const HostRowChannel *channel) {
  return channel != nullptr && channel->colorRow != nullptr && channel->alphaRow != nullptr;
}

// The two row buffers of the exchange, with 4 bytes to spare each.
struct RowBuffers {
  UCharBuffer Color, Alpha;
  explicit RowBuffers(int32_t width) {
    Color.Allocate(AddInts(MultiplyInts(width, 3), 4));
    Alpha.Allocate(AddInts(width, 4));
  }
};

} // namespace

bool AcceptHostRecords(const HostPictureInfo *info, const HostRowChannel *destination,
                       const HostRowChannel *source, const char *settingsPath) {
  if (info == nullptr || info->bitDepth != 24 || !ChannelUsable(destination) ||
      !ChannelUsable(source))
    return false;
  SettingsPath = settingsPath;
  Info = info;
  Source = source;
  Destination = destination;
  return true;
}

std::pair<int32_t, int32_t> GetHostPictureSize() {
  return Info != nullptr ? std::make_pair(Info->width, Info->height) : std::make_pair(0, 0);
}

const char *GetSettingsPath() { return SettingsPath; }

void LoadHostPicture(Image &image) {
  const auto [width, height] = GetHostPictureSize();
  image.Reset(width, height, 4);
  if (Source == nullptr)
    return;
  RowBuffers rows(width);
  unsigned char *color = rows.Color.GetWritableData();
  unsigned char *alpha = rows.Alpha.GetWritableData();
  // At 4 bytes a pixel an image row has no padding: the pixels run on from row to row.
  unsigned char *pixel = image.GetWritableBits();
  for (int32_t y = 0; y < height; ++y) {
    Source->colorRow(y, 0, width, color, -1);
    Source->alphaRow(y, 0, width, alpha, -1, 1);
    for (int32_t x = 0; x < width; ++x, pixel += 4) {
      pixel[0] = color[3 * x + 2];
      pixel[1] = color[3 * x + 1];
      pixel[2] = color[3 * x];
      pixel[3] = alpha[x];
    }
  }
}

void StoreHostPicture(const Image &image) {
  if (Destination == nullptr)
    return;
  const auto [width, height] = GetHostPictureSize();
  // Only a picture of the host's own size and layout can go back row by row.
  if (image.GetWidth() != width || image.GetHeight() != height || image.GetBytesPerPixel() != 4)
    throw Exception(ErrorImageSize);
  RowBuffers rows(width);
  unsigned char *color = rows.Color.GetWritableData();
  unsigned char *alpha = rows.Alpha.GetWritableData();
  const unsigned char *pixel = image.GetBits();
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x, pixel += 4) {
      color[3 * x + 2] = pixel[0];
      color[3 * x + 1] = pixel[1];
      color[3 * x] = pixel[2];
      alpha[x] = pixel[3];
    }
    Destination->colorRow(y, 0, width, color, -1);
    Destination->alphaRow(y, 0, width, alpha, -1, 1);
  }
}

} // namespace app
