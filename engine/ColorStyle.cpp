#include "engine/ColorStyle.h"

#include "foundation/Random.h"

#include <cstring>

namespace app {

namespace {

uint32_t Channel(uint32_t color, int k) { return (color >> (8 * k)) & 0xFFu; }

// ((w - a) * c0 + a * c1) / w per channel, 0 <= a <= w, w > 0. 64-bit, since the weights come
// from settings without an upper bound (Life, CycleLength).
uint32_t Interpolate(uint32_t c0, uint32_t c1, int64_t a, int64_t w) {
  uint32_t result = 0;
  for (int k = 0; k < 4; ++k) {
    int64_t v = ((w - a) * Channel(c0, k) + a * Channel(c1, k)) / w;
    result |= static_cast<uint32_t>(v) << (8 * k);
  }
  return result;
}

} // namespace

COLORSTYLE DefaultColorStyle() {
  COLORSTYLE style;
  std::memset(&style, 0, sizeof style);
  style.Colors[0] = DefaultForeColor;
  style.Colors[1] = DefaultBackColor;
  style.useFore = true;
  style.Coloring = ColoringSingle;
  style.CycleLength = 6;
  return style;
}

void ValidateColorStyle(COLORSTYLE &style) {
  if (style.Coloring < ColoringSingle || style.Coloring > ColoringRandom)
    style.Coloring = ColoringSingle;
  if (style.CycleLength <= 0)
    style.CycleLength = 1;
}

uint32_t ParticleColor(const COLORSTYLE &color, int32_t life, int32_t age, int32_t mode,
                       uint32_t sample) {
  uint32_t c0 = color.Colors[0];
  uint32_t c1 = color.Colors[1];
  uint32_t result = c0;
  switch (color.Coloring) {
  case ColoringSingle:
    result = (mode != 0 || color.useFore) ? c0 : c1;
    break;
  case ColoringGradation:
    if (life <= 0)
      result = c0;
    else if (age >= life)
      result = c1;
    else
      result = Interpolate(c0, c1, age, life);
    break;
  case ColoringCycle: {
    int64_t n = color.CycleLength;
    int64_t h = n / 2;
    if (h <= 0)
      break; // no half period: the fore colour
    int64_t a = static_cast<int64_t>(age) % n;
    if (a < 0)
      a += n;
    if (a > h)
      a = n - a;
    result = Interpolate(c0, c1, a, h);
    break;
  }
  default: // random colouring carries each particle's own colour in Colors[0]
    break;
  }
  if (mode == 2) {
    uint32_t alpha = result >> 24;
    uint32_t picked = sample >> 24;
    uint32_t newAlpha = alpha > 0 ? (picked * (alpha + 1)) >> 8 : 0;
    result = (sample & 0x00FFFFFFu) | (newAlpha << 24);
  }
  return result;
}

uint32_t MixColors(uint32_t c0, uint32_t c1, int32_t t) {
  if (t < 0)
    t = 0;
  if (t > RandomMax)
    t = RandomMax;
  uint32_t result = 0;
  uint32_t u = static_cast<uint32_t>(t);
  for (int k = 0; k < 4; ++k) {
    uint32_t v = ((32767u - u) * Channel(c0, k) + u * Channel(c1, k)) / 32767u;
    result |= v << (8 * k);
  }
  return result;
}

uint32_t MixRandomColor(const COLORSTYLE &style) {
  return MixColors(style.Colors[0], style.Colors[1], Random());
}

} // namespace app
