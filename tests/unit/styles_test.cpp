#include "engine/ColorStyle.h"
#include "engine/GeneralStyle.h"
#include "engine/SprayStyle.h"
#include "foundation/Random.h"
#include "tests/unit/saved_records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

using app::COLORSTYLE;
using app::SPRAYSTYLE;

uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return r | (g << 8) | (b << 16) | (a << 24);
}

COLORSTYLE TwoColors(int32_t coloring, int32_t cycle = 6) {
  COLORSTYLE c = app::DefaultColorStyle();
  c.Colors[0] = Rgba(200, 10, 0, 255);
  c.Colors[1] = Rgba(0, 111, 50, 1);
  c.Coloring = coloring;
  c.CycleLength = cycle;
  return c;
}

TEST(ColorStyle, DefaultsAndRepair) {
  COLORSTYLE c = app::DefaultColorStyle();
  EXPECT_EQ(Rgba(255, 0, 0, 255), c.Colors[0]);
  EXPECT_EQ(Rgba(0, 0, 0, 255), c.Colors[1]);
  EXPECT_TRUE(c.useFore);
  EXPECT_EQ(0, c.Coloring);
  EXPECT_EQ(6, c.CycleLength);

  struct Case {
    int32_t coloring, cycle, wantColoring, wantCycle;
  } cases[] = {{3, 1, 3, 1}, {4, 0, 0, 1}, {-1, -7, 0, 1}, {2, 9, 2, 9}};
  for (const Case &k : cases) {
    c.Coloring = k.coloring;
    c.CycleLength = k.cycle;
    app::ValidateColorStyle(c);
    EXPECT_EQ(k.wantColoring, c.Coloring) << k.coloring;
    EXPECT_EQ(k.wantCycle, c.CycleLength) << k.cycle;
  }
}

TEST(ColorStyle, SingleColorDependsOnModeAndFore) {
  COLORSTYLE c = TwoColors(app::ColoringSingle);
  EXPECT_EQ(c.Colors[0], app::ParticleColor(c, 20, 5, 0, 0));
  c.useFore = false;
  EXPECT_EQ(c.Colors[1], app::ParticleColor(c, 20, 5, 0, 0)); // Paint takes the back colour
  EXPECT_EQ(c.Colors[0], app::ParticleColor(c, 20, 5, 1, 0)); // Erase keeps the fore colour
}

TEST(ColorStyle, GradationAroundTheRampEnds) {
  COLORSTYLE c = TwoColors(app::ColoringGradation);
  EXPECT_EQ(c.Colors[0], app::ParticleColor(c, 20, 0, 0, 0));
  EXPECT_EQ(Rgba(100, 60, 25, 128), app::ParticleColor(c, 20, 10, 0, 0)); // 111/2, 256/2
  // One turn before the end: (1 * c0 + 19 * c1) / 20, truncated.
  EXPECT_EQ(Rgba(10, 105, 47, 13), app::ParticleColor(c, 20, 19, 0, 0));
  EXPECT_EQ(c.Colors[1], app::ParticleColor(c, 20, 20, 0, 0));
  EXPECT_EQ(c.Colors[1], app::ParticleColor(c, 20, 35, 0, 0));
  EXPECT_EQ(c.Colors[0], app::ParticleColor(c, 0, 3, 0, 0));
  EXPECT_EQ(c.Colors[0], app::ParticleColor(c, -4, 3, 0, 0));
  // A life so long that 32-bit weights would overflow still blends.
  EXPECT_EQ(Rgba(100, 60, 25, 128), app::ParticleColor(c, 2000000000, 1000000000, 0, 0));
}

TEST(ColorStyle, CycleRunsThereAndBack) {
  COLORSTYLE c = TwoColors(app::ColoringCycle, 6);
  c.Colors[0] = Rgba(0, 0, 0, 0);
  c.Colors[1] = Rgba(30, 60, 90, 3);
  // Length 6, h = 3: ages 0..6 use a = 0 1 2 3 2 1 0; channel = a * c1 / 3.
  const int a[] = {0, 1, 2, 3, 2, 1, 0};
  for (int age = 0; age <= 6; ++age) {
    uint32_t want = Rgba(10 * a[age], 20 * a[age], 30 * a[age], a[age]);
    EXPECT_EQ(want, app::ParticleColor(c, 20, age, 0, 0)) << age;
  }
  c.CycleLength = 7; // h = 3; age 4 folds to 3, the back colour
  EXPECT_EQ(c.Colors[1], app::ParticleColor(c, 20, 4, 0, 0));
  EXPECT_EQ(c.Colors[1], app::ParticleColor(c, 20, 3, 0, 0));
  for (int length : {0, 1, -5}) { // no half period: the fore colour
    c.CycleLength = length;
    EXPECT_EQ(c.Colors[0], app::ParticleColor(c, 20, 4, 0, 0)) << length;
  }
}

TEST(ColorStyle, RandomAndUnknownColoringUseTheFirstColor) {
  for (int32_t coloring : {int32_t(app::ColoringRandom), 9, -2}) {
    COLORSTYLE c = TwoColors(coloring);
    EXPECT_EQ(c.Colors[0], app::ParticleColor(c, 20, 7, 0, 0)) << coloring;
  }
}

TEST(ColorStyle, BlurTakesThePickedUpColorScaledByAlpha) {
  COLORSTYLE c = TwoColors(app::ColoringSingle);
  const uint32_t sample = Rgba(1, 2, 3, 200);
  c.Colors[0] = Rgba(9, 9, 9, 255);
  EXPECT_EQ(sample, app::ParticleColor(c, 20, 0, 2, sample));
  c.Colors[0] = Rgba(9, 9, 9, 127); // (200 * 128) >> 8
  EXPECT_EQ(Rgba(1, 2, 3, 100), app::ParticleColor(c, 20, 0, 2, sample));
  c.Colors[0] = Rgba(9, 9, 9, 0);
  EXPECT_EQ(Rgba(1, 2, 3, 0), app::ParticleColor(c, 20, 0, 2, sample));
}

TEST(ColorStyle, RandomMixLiesOnTheLineBetweenTheColors) {
  const uint32_t c0 = Rgba(0, 255, 100, 255);
  const uint32_t c1 = Rgba(255, 0, 100, 0);
  EXPECT_EQ(c0, app::MixColors(c0, c1, 0));
  EXPECT_EQ(c1, app::MixColors(c0, c1, 32767));
  EXPECT_EQ(c1, app::MixColors(c0, c1, 99999)); // out-of-range weights are clamped
  EXPECT_EQ(c0, app::MixColors(c0, c1, -4));

  COLORSTYLE c = app::DefaultColorStyle();
  c.Colors[0] = c0;
  c.Colors[1] = c1;
  app::SeedRandom(7);
  for (int i = 0; i < 200; ++i) {
    uint32_t m = app::MixRandomColor(c);
    uint32_t r = m & 0xFF, g = (m >> 8) & 0xFF, b = (m >> 16) & 0xFF, a = m >> 24;
    // Red rises exactly as green and alpha fall (same t for every channel, truncation aside).
    EXPECT_LE(r + g, 255u) << i;
    EXPECT_GE(r + g, 254u) << i;
    EXPECT_EQ(g, a) << i;
    EXPECT_EQ(100u, b) << i;
  }
}

TEST(SprayStyle, RecordLayoutAndKey) {
  SPRAYSTYLE s = app::DefaultSprayStyle();
  s.Color = app::DefaultColorStyle();
  s.Life = 0x01020304;
  s.UseSplit = true;
  unsigned char key[app::SprayStyleKeySize];
  std::memset(key, 0xAB, sizeof key);
  app::MakeSprayStyleKey(s, key);
  // Padding after useFore, before Repulsion and after UseSplit is zero.
  for (int i : {9, 10, 11, 20, 21, 22, 23, 163, 164, 165, 166, 167})
    EXPECT_EQ(0, key[i]) << i;
  EXPECT_EQ(4, key[136]); // Life, little-endian
  EXPECT_EQ(1, key[162]); // UseSplit
  // The key reads back as the leading part of the record.
  SPRAYSTYLE back = app::DefaultSprayStyle();
  std::memcpy(&back, key, sizeof key);
  EXPECT_EQ(s.Repulsion, back.Repulsion);
  EXPECT_EQ(s.SplitRate, back.SplitRate);
  EXPECT_EQ(s.Life, back.Life);
  EXPECT_EQ(s.Color.Colors[0], back.Color.Colors[0]);
  EXPECT_TRUE(back.UseSplit);
}

TEST(SprayStyle, DefaultsValidateToThemselvesExceptSplitRate) {
  SPRAYSTYLE s = app::DefaultSprayStyle();
  SPRAYSTYLE v = s;
  app::Validate(v);
  EXPECT_EQ(0.0, s.SplitRate);
  EXPECT_EQ(0.0001, v.SplitRate);
  v.SplitRate = 0;
  EXPECT_EQ(0, std::memcmp(&s, &v, sizeof s));
}

TEST(SprayStyle, ValidationClampsEachGroup) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double SPRAYSTYLE::*field;
    double in, out;
  } doubles[] = {
      {&SPRAYSTYLE::RepulsionArea, 0, 0.0001},
      {&SPRAYSTYLE::RepulsionArea, 40, 16},
      {&SPRAYSTYLE::gravityArea, nan, 0.0001},
      {&SPRAYSTYLE::ViscosityArea, 16, 16},
      {&SPRAYSTYLE::Brake, 1.5, 1},
      {&SPRAYSTYLE::Brake, -0.1, 0},
      {&SPRAYSTYLE::Viscosity, nan, 0},
      {&SPRAYSTYLE::VelocityWiggle, 2, 1},
      {&SPRAYSTYLE::SplitRate, 0, 0.0001},
      {&SPRAYSTYLE::SplitRate, 3, 1},
      {&SPRAYSTYLE::VelocityWidth, 361, 360},
      {&SPRAYSTYLE::VelocityRotationSpeed, -1, 0},
      {&SPRAYSTYLE::SpinAngleWiggle, 720, 360},
      {&SPRAYSTYLE::SplitAngleWiggle, nan, 0},
      {&SPRAYSTYLE::Repulsion, -2, 0},
      {&SPRAYSTYLE::Repulsion, 1e9, 1e9},
      {&SPRAYSTYLE::Gravity, inf, 0},
      {&SPRAYSTYLE::LimitedSpeed, nan, 0},
      {&SPRAYSTYLE::Throwing, -inf, 0},
      {&SPRAYSTYLE::SpinAngle, -7, -7},
      {&SPRAYSTYLE::SpinAngle, nan, 0.2},
      {&SPRAYSTYLE::SplitAngle2, inf, -1},
  };
  for (const Case &k : doubles) {
    SPRAYSTYLE s = app::DefaultSprayStyle();
    s.*k.field = k.in;
    app::Validate(s);
    EXPECT_EQ(k.out, s.*k.field) << k.in;
  }
  struct IntCase {
    int32_t SPRAYSTYLE::*field;
    int32_t in, out;
  } ints[] = {
      {&SPRAYSTYLE::VelocityMode, 7, 4},
      {&SPRAYSTYLE::VelocityMode, -2, 0},
      {&SPRAYSTYLE::SplitMode, 3, 2},
      {&SPRAYSTYLE::SpinStep, 0, 1},
      {&SPRAYSTYLE::Life, -5, 0},
      {&SPRAYSTYLE::Count, -1, 0},
      {&SPRAYSTYLE::Size, 5000, 5000},
      {&SPRAYSTYLE::SplitLag, -3, 0},
      {&SPRAYSTYLE::SplitStep1, -9, 1},
      {&SPRAYSTYLE::SplitStep2, 0, 1},
      {&SPRAYSTYLE::SplitGenerations, 0, 1},
  };
  for (const IntCase &k : ints) {
    SPRAYSTYLE s = app::DefaultSprayStyle();
    s.*k.field = k.in;
    app::Validate(s);
    EXPECT_EQ(k.out, s.*k.field) << k.in;
  }
  SPRAYSTYLE s = app::DefaultSprayStyle();
  s.Velocity = {nan, -30};
  app::Validate(s);
  EXPECT_EQ(0.0, s.Velocity.x);
  EXPECT_EQ(-30.0, s.Velocity.y);
}

TEST(SprayStyle, EngineUnits) {
  SPRAYSTYLE s = app::DefaultSprayStyle();
  s.Velocity = {32, -8};
  s.SpinAngleWiggle = 180;
  s.SplitAngleWiggle = 90;
  SPRAYSTYLE e = s;
  app::ToEngineUnits(e);
  EXPECT_DOUBLE_EQ(2.5 / 16, e.Repulsion);
  EXPECT_NEAR(6.25, e.RepulsionArea, 1e-12);
  EXPECT_DOUBLE_EQ(0.125, e.Gravity);
  EXPECT_DOUBLE_EQ(1.0, e.gravityArea);
  EXPECT_DOUBLE_EQ(0.95, e.Brake);
  EXPECT_DOUBLE_EQ(16.0 / 7, e.ViscosityArea);
  EXPECT_DOUBLE_EQ(0.0625, e.LimitedSpeed);
  EXPECT_DOUBLE_EQ(0.000625, e.Throwing);
  EXPECT_DOUBLE_EQ(2.0, e.Velocity.x);
  EXPECT_DOUBLE_EQ(-0.5, e.Velocity.y);
  EXPECT_DOUBLE_EQ(3.141592653589793, e.SpinAngleWiggle);
  EXPECT_DOUBLE_EQ(3.141592653589793 / 2, e.SplitAngleWiggle);
  // Radians, degrees of the sweep, shares and integers stay.
  EXPECT_EQ(s.SpinAngle, e.SpinAngle);
  EXPECT_EQ(s.SplitAngle2, e.SplitAngle2);
  EXPECT_EQ(s.VelocityWidth, e.VelocityWidth);
  EXPECT_EQ(s.VelocityRotationSpeed, e.VelocityRotationSpeed);
  EXPECT_EQ(s.Viscosity, e.Viscosity);
  EXPECT_EQ(s.Life, e.Life);
  EXPECT_EQ(s.Count, e.Count);
  // The smallest admitted area gives a finite reciprocal.
  s.RepulsionArea = s.gravityArea = 0.0001;
  app::ToEngineUnits(s);
  EXPECT_DOUBLE_EQ(256e8, s.RepulsionArea);
  EXPECT_DOUBLE_EQ(16e4, s.gravityArea);
}

TEST(SprayStyle, RangeTableLimits) {
  const app::SPRAY_RANGE *t = app::SprayRangeTable;
  int nonZero = 0;
  for (int i = 0; i < app::SprayValueCount; ++i)
    nonZero += (t[i].Lower != 0 || t[i].Upper != 0);
  EXPECT_EQ(20, nonZero);
  EXPECT_EQ(16, t[app::SprayRepulsionArea].Upper);
  EXPECT_EQ(4, t[app::SprayVelocityMode].Upper);
  EXPECT_EQ(360, t[app::SprayVelocityRotationSpeed].Upper);
  EXPECT_EQ(2, t[app::SpraySplitMode].Upper);
  for (int i : {app::SpraySpinStep, app::SpraySplitStep1, app::SpraySplitStep2,
                app::SpraySplitGenerations}) {
    EXPECT_EQ(1, t[i].Lower) << i;
    EXPECT_EQ(0, t[i].Upper) << i;
  }
  EXPECT_EQ(1, t[app::SpraySplitRate].Upper);
  EXPECT_EQ(31, app::SpraySplitRate);
}

// Restores the stored per-tool records when a test ends.
class ToolStyles : public ::testing::Test {
protected:
  testing_support::SavedRecords Saved;
};

TEST_F(ToolStyles, SetStoresPerToolAndRepairs) {
  SPRAYSTYLE s = app::DefaultSprayStyle();
  s.Brake = 1.5;
  s.Count = 77;
  app::SetSprayStyle(s, 1);
  EXPECT_EQ(1.0, app::GetSprayStyle(1).Brake);
  EXPECT_EQ(77, app::CopySprayStyle(1).Count);
  EXPECT_NE(77, app::GetSprayStyle(2).Count);

  COLORSTYLE c = app::DefaultColorStyle();
  c.Coloring = 5;
  c.CycleLength = 0;
  c.Colors[1] = 0x12345678;
  app::SetColorStyle(c, 2);
  EXPECT_EQ(0, app::GetColorStyle(2).Coloring);
  EXPECT_EQ(1, app::GetColorStyle(2).CycleLength);
  EXPECT_EQ(0x12345678u, app::CopyColorStyle(2).Colors[1]);
}

TEST_F(ToolStyles, ToolIndexMinusOneIsTheCurrentTool) {
  const int32_t current = app::GetCurrentTool();
  EXPECT_EQ(&app::GetSprayStyle(current), &app::GetSprayStyle(-1));
  EXPECT_EQ(&app::GetColorStyle(current), &app::GetColorStyle(-1));
  SPRAYSTYLE s = app::DefaultSprayStyle();
  s.Size = 123;
  app::SetSprayStyle(s, -1);
  EXPECT_EQ(123, app::GetSprayStyle(current).Size);
  for (int32_t bad : {3, -2, 1000}) {
    EXPECT_THROW(app::GetSprayStyle(bad), std::out_of_range) << bad;
    EXPECT_THROW(app::SetColorStyle(app::DefaultColorStyle(), bad), std::out_of_range) << bad;
  }
}

TEST(GeneralStyle, ParallelAndRadialGravity) {
  app::GENERALSTYLE g = app::DefaultGeneralStyle();
  EXPECT_EQ(app::GravityParallel, g.GravityType);
  EXPECT_DOUBLE_EQ(0.5 / 16, g.EngineGravityY);
  double ax, ay;
  app::GravityAt(g, 3.5, 9.25, 40, 30, ax, ay);
  EXPECT_EQ(0.0, ax);
  EXPECT_DOUBLE_EQ(0.03125, ay);

  g.GravityType = app::GravityRadial;
  g.EngineGravityX = 0;
  g.EngineGravityY = 1; // pull toward the centre of a 41 x 31 grid: (20, 15)
  app::GravityAt(g, 20, 15, 41, 31, ax, ay);
  EXPECT_EQ(0.0, ax);
  EXPECT_EQ(0.0, ay);
  app::GravityAt(g, 23, 19, 41, 31, ax, ay); // 3-4-5 triangle below and right
  EXPECT_DOUBLE_EQ(-0.6, ax);
  EXPECT_DOUBLE_EQ(-0.8, ay);
  g.EngineGravityY = -1; // outward
  app::GravityAt(g, 20, 10, 41, 31, ax, ay);
  EXPECT_DOUBLE_EQ(0.0, ax);
  EXPECT_DOUBLE_EQ(-1.0, ay);
  g.EngineGravityX = 1; // tangential: above the centre it pushes right (clockwise)
  g.EngineGravityY = 0;
  app::GravityAt(g, 20, 10, 41, 31, ax, ay);
  EXPECT_DOUBLE_EQ(1.0, ax);
  EXPECT_DOUBLE_EQ(0.0, ay);
}

} // namespace
