#include "tools/picture/PictureFile.h"

#include <cstring>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_FAILURE_USERMSG
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace app {

bool ReadPictureFile(const std::string &path, Image &image, std::string &error) {
  int width = 0, height = 0, channels = 0;
  stbi_uc *pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
  if (pixels == nullptr) {
    const char *reason = stbi_failure_reason();
    error = path + ": cannot read the picture (" + (reason != nullptr ? reason : "unknown") + ")";
    return false;
  }
  try {
    image.Reset(width, height, 4);
    if (image.GetByteSize() > 0)
      std::memcpy(image.GetWritableBits(), pixels, static_cast<size_t>(image.GetByteSize()));
  } catch (...) {
    stbi_image_free(pixels);
    error = path + ": the picture is too large";
    return false;
  }
  stbi_image_free(pixels);
  return true;
}

bool WritePngFile(const std::string &path, const Image &image, std::string &error) {
  if (image.GetBytesPerPixel() != 4 || image.GetWidth() < 1 || image.GetHeight() < 1) {
    error = path + ": a PNG needs a picture of at least one pixel";
    return false;
  }
  if (stbi_write_png(path.c_str(), image.GetWidth(), image.GetHeight(), 4, image.GetBits(),
                     image.GetStride()) == 0) {
    error = path + ": cannot write the file";
    return false;
  }
  return true;
}

} // namespace app
