// The plug-in's picture container: rows top first, each padded to a multiple of 4 bytes.
//
// 4 bytes a pixel (the document's picture): red, green, blue, alpha; read as a little-endian
// uint32 that is red + green * 2^8 + blue * 2^16 + alpha * 2^24. 3 bytes a pixel (off-screen
// pictures for the window): blue, green, red, described by a ready-made bitmap header.
#pragma once

#include "foundation/Buffer.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace app {

// The system's device-independent bitmap information header, byte for byte (40 bytes),
// followed by 12 zero bytes (room for three colour masks).
struct IMAGE_HEADER {
  uint32_t Size;
  int32_t Width;
  int32_t Height; // negative: top-down rows
  uint16_t Planes;
  uint16_t BitCount;
  uint32_t Compression;
  uint32_t SizeImage;
  int32_t XPelsPerMeter;
  int32_t YPelsPerMeter;
  uint32_t ClrUsed;
  uint32_t ClrImportant;
  uint32_t Masks[3];
};
static_assert(sizeof(IMAGE_HEADER) == 52, "bitmap header plus 12 bytes");

struct ImageMember;

class Image {
public:
  Image();
  Image(const Image &) = delete;
  Image &operator=(const Image &) = delete;
  ~Image();

  // Throws code 11 for a negative or oversized picture, keeping the old sizes. Keeps an
  // existing block that is large enough, with its bytes.
  void Create(int32_t width, int32_t height, int32_t bytesPerPixel);
  void Reset(int32_t width, int32_t height, int32_t bytesPerPixel);
  void Release();
  void CopyFrom(const Image &other);
  void Clear();

  int32_t GetWidth() const;
  int32_t GetHeight() const;
  int32_t GetBytesPerPixel() const;
  std::pair<int32_t, int32_t> GetSize() const;
  int32_t GetRowLength() const;
  int32_t GetRowPadding() const;
  int32_t GetStride() const;
  int32_t GetByteSize() const;

  const unsigned char *GetBits() const;
  unsigned char *GetWritableBits();
  const unsigned char *GetRow(int32_t y) const;
  unsigned char *GetWritableRow(int32_t y);
  const unsigned char *GetPixel(int32_t x, int32_t y) const;
  const IMAGE_HEADER &GetHeader() const;

private:
  std::unique_ptr<ImageMember> Member;
};

} // namespace app
