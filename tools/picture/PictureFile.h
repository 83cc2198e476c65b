// Picture files for the programs around the plug-in (host program, stroke renderer, tests):
// any PNG or BMP that stb_image reads, with or without alpha, and PNG output.
#pragma once

#include "foundation/Image.h"

#include <string>

namespace app {

// Loads the file into `image` as 4 bytes a pixel (red, green, blue, alpha; opaque when the
// file has no alpha). On failure returns false, leaves `image` alone and says why in `error`.
bool ReadPictureFile(const std::string &path, Image &image, std::string &error);

// Writes a 4-bytes-a-pixel image as a PNG with alpha; false with a reason on failure.
bool WritePngFile(const std::string &path, const Image &image, std::string &error);

// The picture used when none is given: 320 × 240, a sky, a sun, hills and a fading
// transparent band at the bottom, so that painting, erasing and blurring all show.
void MakeDefaultPicture(Image &image);

} // namespace app
