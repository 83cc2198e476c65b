#include "foundation/Image.h"

#include "foundation/Exception.h"

#include <cstring>

namespace app {

struct ImageMember {
  IMAGE_HEADER Header{};
  UCharBuffer Bits;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BytesPerPixel = 0;
};

namespace {

struct Sizes {
  int32_t RowLength;
  int32_t RowPadding;
  int32_t Stride;
  int32_t ByteSize;
};

// All derived sizes, range-tested; throws code 11 when any leaves the int32 range.
Sizes ComputeSizes(int32_t width, int32_t height, int32_t bytesPerPixel) {
  bool ok = true;
  Sizes s{};
  s.RowLength = MultiplyInts(width, bytesPerPixel, &ok);
  if (ok) {
    s.RowPadding = -s.RowLength & 3;
    s.Stride = AddInts(s.RowLength, s.RowPadding, &ok);
  }
  if (ok)
    s.ByteSize = MultiplyInts(s.Stride, height, &ok);
  if (!ok)
    throw Exception(ErrorImageSize);
  return s;
}

} // namespace

Image::Image() : Member(std::make_unique<ImageMember>()) {
  Member->Header.Size = 40;
  Member->Header.Planes = 1;
}

Image::~Image() = default;

void Image::Create(int32_t width, int32_t height, int32_t bytesPerPixel) {
  if (width < 0 || height < 0 || bytesPerPixel < 0)
    throw Exception(ErrorImageSize);
  const Sizes s = ComputeSizes(width, height, bytesPerPixel);
  Member->Bits.Reserve(s.ByteSize);
  Member->Width = width;
  Member->Height = height;
  Member->BytesPerPixel = bytesPerPixel;
  if (bytesPerPixel == 3) {
    Member->Header.Width = width;
    Member->Header.Height = -height;
    Member->Header.BitCount = 24;
    Member->Header.Compression = 0;
  }
}

void Image::Reset(int32_t width, int32_t height, int32_t bytesPerPixel) {
  Release();
  Create(width, height, bytesPerPixel);
}

void Image::Release() { Member->Bits.Release(); }

void Image::CopyFrom(const Image &other) {
  if (&other == this)
    return;
  if (Member->Width != other.Member->Width || Member->Height != other.Member->Height ||
      Member->BytesPerPixel != other.Member->BytesPerPixel || Member->Bits.IsEmpty())
    Reset(other.Member->Width, other.Member->Height, other.Member->BytesPerPixel);
  const int32_t size = GetByteSize();
  if (size > 0)
    std::memcpy(GetWritableBits(), other.GetBits(), static_cast<size_t>(size));
}

void Image::Clear() {
  const int32_t size = GetByteSize();
  if (size > 0)
    std::memset(GetWritableBits(), 0, static_cast<size_t>(size));
}

int32_t Image::GetWidth() const { return Member->Width; }
int32_t Image::GetHeight() const { return Member->Height; }
int32_t Image::GetBytesPerPixel() const { return Member->BytesPerPixel; }
std::pair<int32_t, int32_t> Image::GetSize() const { return {Member->Width, Member->Height}; }

int32_t Image::GetRowLength() const {
  return ComputeSizes(Member->Width, Member->Height, Member->BytesPerPixel).RowLength;
}
int32_t Image::GetRowPadding() const {
  return ComputeSizes(Member->Width, Member->Height, Member->BytesPerPixel).RowPadding;
}
int32_t Image::GetStride() const {
  return ComputeSizes(Member->Width, Member->Height, Member->BytesPerPixel).Stride;
}
int32_t Image::GetByteSize() const {
  return ComputeSizes(Member->Width, Member->Height, Member->BytesPerPixel).ByteSize;
}

const unsigned char *Image::GetBits() const { return Member->Bits.GetData(); }
unsigned char *Image::GetWritableBits() { return Member->Bits.GetWritableData(); }

const unsigned char *Image::GetRow(int32_t y) const {
  return GetBits() + static_cast<ptrdiff_t>(y) * GetStride();
}
unsigned char *Image::GetWritableRow(int32_t y) {
  return GetWritableBits() + static_cast<ptrdiff_t>(y) * GetStride();
}
const unsigned char *Image::GetPixel(int32_t x, int32_t y) const {
  return GetRow(y) + static_cast<ptrdiff_t>(x) * Member->BytesPerPixel;
}

const IMAGE_HEADER &Image::GetHeader() const { return Member->Header; }

} // namespace app
