#include "tools/picture/PictureFile.h"

#include <cmath>

namespace app {

void MakeDefaultPicture(Image &image) {
  const int width = 320, height = 240;
  image.Reset(width, height, 4);
  unsigned char *bits = image.GetWritableBits();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char *p = bits + (y * width + x) * 4;
      // Sky: deep blue at the top to pale near the horizon.
      double t = y / double(height);
      double r = 40 + 170 * t, g = 90 + 130 * t, b = 200 + 40 * t;
      // Sun.
      double dx = x - 240.0, dy = y - 60.0;
      if (dx * dx + dy * dy < 28.0 * 28.0) {
        r = 255;
        g = 214;
        b = 90;
      }
      // Two rolling hills.
      double hill1 = 165 + 22 * std::sin(x / 40.0);
      double hill2 = 185 + 14 * std::sin(x / 23.0 + 1.3);
      if (y > hill1) {
        r = 70;
        g = 140 - (y - hill1) * 0.4;
        b = 60;
      }
      if (y > hill2) {
        r = 40;
        g = 110 - (y - hill2) * 0.3;
        b = 45;
      }
      p[0] = static_cast<unsigned char>(r);
      p[1] = static_cast<unsigned char>(g);
      p[2] = static_cast<unsigned char>(b);
      // A band along the bottom fades to fully transparent, keeping its colour.
      p[3] = y < 216 ? 255 : static_cast<unsigned char>(255 - (y - 216) * 255 / 23);
    }
  }
}

} // namespace app
