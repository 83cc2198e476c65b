#include "engine/Core.h"
#include "foundation/Image.h"

#include "tests/unit/engine_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using app::Core;
using app::SPRAYSTYLE;
using enginetest::MakeParticle;
using enginetest::QuietStyle;

const uint32_t Red = 0xFF0000FFu;
const uint32_t Blue = 0xFFFF0000u;

class EngineDraw : public enginetest::EngineTest {
protected:
  // A picture of the given size filled with one colour, and an engine sized for it.
  void Start(int32_t width, int32_t height, uint32_t fill = 0) {
    Picture.Create(width, height, 4);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x)
        Set(x, y, fill);
    Engine.SetPictureSize(width, height);
  }
  void Set(int32_t x, int32_t y, uint32_t color) {
    unsigned char *p = Picture.GetWritableRow(y) + x * 4;
    for (int32_t k = 0; k < 4; ++k)
      p[k] = static_cast<unsigned char>(color >> (8 * k));
  }
  uint32_t Get(int32_t x, int32_t y) const {
    const unsigned char *p = Picture.GetPixel(x, y);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  }
  int32_t Style(uint32_t color) {
    SPRAYSTYLE style = QuietStyle();
    style.Color.Colors[0] = color;
    return Engine.RegisterSettings(style);
  }
  // n particles stacked at picture pixel (ix, iy) with quarter-pixel phase 0: a grid position
  // of 16 * cell + fraction / 2048 - offset pixels.
  void Stack(int32_t n, int32_t index, int32_t ix, int32_t iy) {
    const int32_t gx = ix + Engine.GetOffsetX();
    const int32_t gy = iy + Engine.GetOffsetY();
    for (int32_t i = 0; i < n; ++i)
      ASSERT_TRUE(Engine.InsertParticle(gx / 16, gy / 16,
                                        MakeParticle(index, static_cast<uint16_t>(gx % 16 * 2048),
                                                     static_cast<uint16_t>(gy % 16 * 2048))));
  }
  std::vector<unsigned char> Bytes() const {
    return std::vector<unsigned char>(Picture.GetBits(), Picture.GetBits() + Picture.GetByteSize());
  }

  app::Image Picture;
  Core Engine;
};

// The blending strength (0 .. 65536) of particles of opacity `alpha` whose coverage adds up to
// `coverage`: nothing up to 180, full strength from 436.
uint32_t Strength(uint32_t coverage, uint32_t alpha) {
  if (coverage <= 180 || alpha == 0)
    return 0;
  const uint32_t w = coverage - 180 > 256 ? 256 : coverage - 180;
  return w * (alpha + 1);
}

// The alpha that painting leaves on a transparent pixel.
uint32_t AlphaFromCoverage(uint32_t coverage, uint32_t alpha) {
  return (Strength(coverage, alpha) * 255) >> 16;
}

TEST_F(EngineDraw, BrushTablesAreTheBlobAtSixteenQuarterPixelPhases) {
  Start(16, 16);
  const unsigned char phase00[64] = {21,  65,  92,  83, 42,  6,   0,   0,   65,  149, 194, 179, 108,
                                     29,  0,   0,   92, 194, 248, 230, 145, 46,  1,   0,   83,  179,
                                     230, 214, 133, 40, 1,   0,   42,  108, 145, 133, 75,  16,  0,
                                     0,   6,   29,  46, 40,  16,  1,   0,   0,   0,   0,   1,   1,
                                     0,   0,   0,   0,  0,   0,   0,   0,   0,   0,   0,   0};
  const unsigned char phase33[64] = {
      0,  5,  20,  29,  20,  5,  0,  0, 5,  44,  98,  120, 98,  44,  5,  0,
      20, 98, 184, 216, 184, 98, 20, 0, 29, 120, 216, 252, 216, 120, 29, 0,
      20, 98, 184, 216, 184, 98, 20, 0, 5,  44,  98,  120, 98,  44,  5,  0,
      0,  5,  20,  29,  20,  5,  0,  0, 0,  0,   0,   0,   0,   0,   0,  0};
  EXPECT_EQ(0, std::memcmp(Engine.GetBrush(0, 0), phase00, 64));
  EXPECT_EQ(0, std::memcmp(Engine.GetBrush(3, 3), phase33, 64));
  // The total weight of each phase (index 4 * fy + fx).
  const int32_t sums[16] = {3528, 3560, 3563, 3573, 3560, 3576, 3596, 3592,
                            3563, 3596, 3598, 3606, 3573, 3592, 3606, 3608};
  for (int32_t fy = 0; fy < 4; ++fy) {
    for (int32_t fx = 0; fx < 4; ++fx) {
      int32_t sum = 0;
      for (int32_t i = 0; i < 64; ++i)
        sum += Engine.GetBrush(fx, fy)[i];
      EXPECT_EQ(sum, sums[4 * fy + fx]) << fx << ", " << fy;
      // Swapping the axes mirrors the blob over its diagonal.
      for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x)
          EXPECT_EQ(Engine.GetBrush(fx, fy)[y * 8 + x], Engine.GetBrush(fy, fx)[x * 8 + y]);
    }
  }
}

// One particle leaves a mark only where its weight passes 180; two stacked ones reach full
// strength where their summed weight reaches 436.
TEST_F(EngineDraw, CoverageThresholdsDecideWhatIsPainted) {
  for (int32_t n : {1, 2}) {
    Start(64, 64);
    Stack(n, Style(Red), 24, 24);
    Engine.Draw(Picture);
    const unsigned char *brush = Engine.GetBrush(0, 0);
    int32_t marked = 0;
    int32_t full = 0;
    for (int32_t y = 0; y < 64; ++y) {
      for (int32_t x = 0; x < 64; ++x) {
        const bool inStamp = x >= 20 && x < 28 && y >= 20 && y < 28;
        const uint32_t b = inStamp ? brush[(y - 20) * 8 + (x - 20)] : 0;
        const uint32_t alpha = AlphaFromCoverage(n * b, 255);
        EXPECT_EQ(Get(x, y), alpha > 0 ? (Red & 0xFFFFFFu) | alpha << 24 : 0u) << x << ", " << y;
        marked += alpha > 0;
        full += alpha == 255;
      }
    }
    EXPECT_EQ(marked, n == 1 ? 6 : 17);
    EXPECT_EQ(full, n == 1 ? 0 : 3);
    EXPECT_EQ(Get(22, 22), n == 1 ? 0x430000FFu : Red); // weight 248: (68 * 256 * 255) >> 16
    Engine.EraseAllParticles();
  }
}

TEST_F(EngineDraw, StampsAreClippedAtThePictureEdges) {
  // The reference: 8 stacked particles in the middle of the picture.
  Start(64, 64);
  Stack(8, Style(Red), 31, 31);
  Engine.Draw(Picture);
  const std::vector<unsigned char> reference = Bytes();
  auto referenceAt = [&](int32_t x, int32_t y) {
    const unsigned char *p = reference.data() + (y * 64 + x) * 4;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  };
  struct Case {
    int32_t ix, iy;
  } cases[] = {
      {-1, 30}, // the blob's peak lies 3 pixels left of the picture
      {62, -1},
      {65, 65},
      {0, 0},
  };
  for (const Case &c : cases) {
    Start(64, 64);
    Stack(8, Style(Red), c.ix, c.iy);
    Engine.Draw(Picture);
    int32_t marked = 0;
    for (int32_t y = 0; y < 64; ++y) {
      for (int32_t x = 0; x < 64; ++x) {
        const int32_t rx = x - c.ix + 31;
        const int32_t ry = y - c.iy + 31;
        const bool inStamp = rx >= 27 && rx < 35 && ry >= 27 && ry < 35;
        EXPECT_EQ(Get(x, y), inStamp ? referenceAt(rx, ry) : 0u)
            << "stamp at " << c.ix << ", " << c.iy << ": pixel " << x << ", " << y;
        marked += Get(x, y) != 0;
      }
    }
    EXPECT_GT(marked, 0) << "stamp at " << c.ix << ", " << c.iy;
    Engine.EraseAllParticles();
  }
  // A stamp wholly outside changes nothing.
  Start(64, 64);
  Stack(8, Style(Red), -8, 20);
  Engine.Draw(Picture);
  EXPECT_EQ(Bytes(), std::vector<unsigned char>(64 * 64 * 4, 0));
}

TEST_F(EngineDraw, EraseLowersOnlyTheOpacity) {
  const uint32_t grey = 0xFF646464u;
  Start(64, 64, grey);
  Engine.SetMode(app::ModeErase);
  Stack(2, Style(Red), 24, 24);
  Engine.Draw(Picture);
  const unsigned char *brush = Engine.GetBrush(0, 0);
  for (int32_t y = 20; y < 28; ++y) {
    for (int32_t x = 20; x < 28; ++x) {
      const uint32_t t = Strength(2 * brush[(y - 20) * 8 + (x - 20)], 255);
      EXPECT_EQ(Get(x, y), (grey & 0xFFFFFFu) | (((65536 - t) * 255) >> 16) << 24)
          << x << ", " << y;
    }
  }
  EXPECT_EQ(Get(22, 22), grey & 0xFFFFFFu); // t = 65536: alpha 0
}

TEST_F(EngineDraw, PaintBlendsByThePicturesOpacity) {
  // On a transparent pixel the brush colour arrives exactly, whatever its strength.
  const uint32_t colour = 0x801EC80Au; // 10, 200, 30 at opacity 128
  Start(64, 64);
  Stack(1, Style(colour), 24, 24);
  Engine.Draw(Picture);
  EXPECT_EQ(Get(22, 22), 0x001EC80Au | AlphaFromCoverage(248, 128) << 24);
  EXPECT_EQ(Get(21, 22), 0x001EC80Au | AlphaFromCoverage(194, 128) << 24);

  // On an opaque blue pixel, full-strength red meets the blue halfway:
  // (255 * 65536) / (65280 + 65536) = 127 and (255 * 65280) / 130816 = 127.
  Start(64, 64, Blue);
  Stack(2, Style(Red), 24, 24);
  Engine.Draw(Picture);
  EXPECT_EQ(Get(22, 22), 0xFF7F007Fu);
}

TEST_F(EngineDraw, OverlappingStampsMixTheirColours) {
  Start(64, 64);
  // Equal weights and opacities: the mean of red and blue.
  Stack(1, Style(Red), 24, 24);
  Stack(1, Style(Blue), 24, 24);
  // A transparent stamp adds coverage but halves the mean opacity.
  Stack(1, Style(Red), 44, 44);
  Stack(1, Style(0x00FF0000u), 44, 44);
  Engine.Draw(Picture);
  EXPECT_EQ(Get(22, 22), 0xFF7F007Fu);
  EXPECT_EQ(Get(42, 42), 0x000000FFu | AlphaFromCoverage(2 * 248, 127) << 24);
}

// Blur deposits what a particle picked up one turn earlier.
TEST_F(EngineDraw, BlurPaintsWithTheColourPickedUpInThePreviousTurn) {
  // Red from column 45 on, blue to its left; particles move 16 pixels left each turn.
  Start(64, 32, Blue);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 45; x < 64; ++x)
      Set(x, y, Red);
  Engine.SetMode(app::ModeBlur);
  const int32_t index = Style(0xFFFFFFFFu); // opacity 255: the picked-up alpha stays
  for (int32_t i = 0; i < 6; ++i) {
    app::EMIT_REQUEST request = {{-1, 0}, {45, 15}, &Picture, index, 0};
    Engine.AddParticle(request);
  }
  ASSERT_EQ(Engine.GetParticleCount(), 6);
  EXPECT_EQ(Engine.GetCell(4, 2).Slots[0].Sample, Red);

  // Turn 1 at column 45: red (picked up when added) lands on the blue left of the edge.
  Engine.Turn(Picture);
  EXPECT_NE(Get(43, 15), Blue);
  EXPECT_GT(Get(43, 15) & 0xFF, 0u);
  // Turn 2 at column 29, on blue: still red, picked up in turn 1.
  Engine.Turn(Picture);
  EXPECT_GT(Get(27, 15) & 0xFF, 0u);
  // Turn 3 at column 13: blue, picked up in turn 2, on blue changes nothing.
  std::vector<unsigned char> before = Bytes();
  Engine.Turn(Picture);
  EXPECT_EQ(Bytes(), before);
}

TEST_F(EngineDraw, APictureOneRowHighIsFlushedOncePerTurn) {
  Start(64, 1);
  Stack(1, Style(Red), 24, 0);
  Engine.Draw(Picture);
  // Row 0 takes the brush's row 4: 42, 108, 145, 133, 75 ... none above 180. Two more rows
  // down the brush's row 2 has 194, 248 and 230.
  EXPECT_EQ(Bytes(), std::vector<unsigned char>(64 * 4, 0));
  Engine.EraseAllParticles();
  Stack(1, Style(Red), 24, 2);
  Engine.Draw(Picture);
  for (int32_t x = 0; x < 64; ++x) {
    const uint32_t b = x >= 20 && x < 28 ? Engine.GetBrush(0, 0)[2 * 8 + x - 20] : 0;
    const uint32_t alpha = AlphaFromCoverage(b, 255);
    EXPECT_EQ(Get(x, 0), alpha > 0 ? 0xFFu | alpha << 24 : 0u) << x;
  }
  // Nothing of the turn stays behind in the accumulator.
  const std::vector<unsigned char> before = Bytes();
  Engine.EraseAllParticles();
  Engine.Draw(Picture);
  EXPECT_EQ(Bytes(), before);
}

TEST_F(EngineDraw, AnEmptyPictureDrawsNothing) {
  Start(0, 0);
  const int32_t index = Style(Red);
  ASSERT_TRUE(Engine.InsertParticle(1, 1, MakeParticle(index)));
  Engine.Turn(Picture);
  EXPECT_EQ(Engine.GetParticleCount(), 1);
}

} // namespace
