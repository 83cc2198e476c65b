#include "engine/SprayStyle.h"

#include <cmath>
#include <cstring>

namespace app {

namespace {

// Below lower (or not a number): lower; above upper: upper.
void Clamp(double &value, double lower, double upper) {
  if (!(value >= lower))
    value = lower;
  else if (value > upper)
    value = upper;
}

// Without an upper bound; infinity is treated like a value that is not a number, since the
// engine cannot compute with it.
void ClampLower(double &value, double lower) {
  if (!(value >= lower) || std::isinf(value))
    value = lower;
}

void Clamp(int32_t &value, int32_t lower, int32_t upper) {
  if (value < lower)
    value = lower;
  else if (value > upper)
    value = upper;
}

void ClampLower(int32_t &value, int32_t lower) {
  if (value < lower)
    value = lower;
}

// Fields that are never clamped still must be numbers: one that is not takes its default.
void Finite(double &value, double fallback) {
  if (!std::isfinite(value))
    value = fallback;
}

template <typename T> void Put(unsigned char *key, std::size_t offset, const T &value) {
  std::memcpy(key + offset, &value, sizeof value);
}

} // namespace

void MakeSprayStyleKey(const SPRAYSTYLE &s, unsigned char (&key)[SprayStyleKeySize]) {
  std::memset(key, 0, sizeof key);
  Put(key, offsetof(SPRAYSTYLE, Color) + offsetof(COLORSTYLE, Colors), s.Color.Colors);
  Put(key, offsetof(SPRAYSTYLE, Color) + offsetof(COLORSTYLE, useFore), s.Color.useFore);
  Put(key, offsetof(SPRAYSTYLE, Color) + offsetof(COLORSTYLE, Coloring), s.Color.Coloring);
  Put(key, offsetof(SPRAYSTYLE, Color) + offsetof(COLORSTYLE, CycleLength), s.Color.CycleLength);
#define BRUSHMOTE_KEY_FIELD(f) Put(key, offsetof(SPRAYSTYLE, f), s.f)
  BRUSHMOTE_KEY_FIELD(Repulsion);
  BRUSHMOTE_KEY_FIELD(RepulsionArea);
  BRUSHMOTE_KEY_FIELD(Gravity);
  BRUSHMOTE_KEY_FIELD(gravityArea);
  BRUSHMOTE_KEY_FIELD(Brake);
  BRUSHMOTE_KEY_FIELD(Viscosity);
  BRUSHMOTE_KEY_FIELD(ViscosityArea);
  BRUSHMOTE_KEY_FIELD(LimitedSpeed);
  BRUSHMOTE_KEY_FIELD(SpinAngle);
  BRUSHMOTE_KEY_FIELD(SpinAngleWiggle);
  BRUSHMOTE_KEY_FIELD(SplitAngle1);
  BRUSHMOTE_KEY_FIELD(SplitAngle2);
  BRUSHMOTE_KEY_FIELD(SplitAngleWiggle);
  BRUSHMOTE_KEY_FIELD(SplitRate);
  BRUSHMOTE_KEY_FIELD(Life);
  BRUSHMOTE_KEY_FIELD(SpinStep);
  BRUSHMOTE_KEY_FIELD(SplitMode);
  BRUSHMOTE_KEY_FIELD(SplitStep1);
  BRUSHMOTE_KEY_FIELD(SplitStep2);
  BRUSHMOTE_KEY_FIELD(SplitLag);
  BRUSHMOTE_KEY_FIELD(UseLimitedSpeed);
  BRUSHMOTE_KEY_FIELD(UseSpin);
  BRUSHMOTE_KEY_FIELD(UseSplit);
#undef BRUSHMOTE_KEY_FIELD
}

void SetDefaults(SPRAYSTYLE &s) {
  s.Repulsion = 2.5;
  s.RepulsionArea = 6.4;
  s.Gravity = 2.0;
  s.gravityArea = 16.0;
  s.Brake = 0.05;
  s.Viscosity = 0.65;
  s.ViscosityArea = 7.0;
  s.LimitedSpeed = 1.0;
  s.SpinAngle = 0.2;
  s.SpinAngleWiggle = 0.0;
  s.SplitAngle1 = 1.0;
  s.SplitAngle2 = -1.0;
  s.SplitAngleWiggle = 0.0;
  s.SplitRate = 0.0;
  s.Life = 20;
  s.SpinStep = 10;
  s.SplitMode = 0;
  s.SplitStep1 = 10;
  s.SplitStep2 = 10;
  s.SplitLag = 0;
  s.UseLimitedSpeed = false;
  s.UseSpin = false;
  s.UseSplit = false;
  s.Velocity.x = 0.0;
  s.Velocity.y = 0.0;
  s.VelocityWiggle = 0.0;
  s.VelocityWidth = 1.0;
  s.VelocityRotationSpeed = 10.0;
  s.Throwing = 0.01;
  s.VelocityMode = VelocityRandom;
  s.Count = 20;
  s.Size = 10;
  s.SplitGenerations = 3;
}

SPRAYSTYLE DefaultSprayStyle() {
  SPRAYSTYLE s;
  std::memset(&s, 0, sizeof s);
  SetDefaults(s);
  return s;
}

void Validate(SPRAYSTYLE &s) {
  ClampLower(s.Repulsion, 0);
  ClampLower(s.Gravity, 0);
  ClampLower(s.LimitedSpeed, 0);
  ClampLower(s.Throwing, 0);
  Clamp(s.RepulsionArea, 0.0001, 16);
  Clamp(s.gravityArea, 0.0001, 16);
  Clamp(s.ViscosityArea, 0.0001, 16);
  Clamp(s.Brake, 0, 1);
  Clamp(s.Viscosity, 0, 1);
  Clamp(s.VelocityWiggle, 0, 1);
  Clamp(s.SplitRate, 0.0001, 1);
  Clamp(s.VelocityWidth, 0, 360);
  Clamp(s.VelocityRotationSpeed, 0, 360);
  Clamp(s.SpinAngleWiggle, 0, 360);
  Clamp(s.SplitAngleWiggle, 0, 360);
  ClampLower(s.Life, 0);
  ClampLower(s.Count, 0);
  ClampLower(s.Size, 0);
  ClampLower(s.SplitLag, 0);
  ClampLower(s.SpinStep, 1);
  ClampLower(s.SplitStep1, 1);
  ClampLower(s.SplitStep2, 1);
  ClampLower(s.SplitGenerations, 1);
  Clamp(s.VelocityMode, 0, 4);
  Clamp(s.SplitMode, 0, 2);
  Finite(s.SpinAngle, 0.2);
  Finite(s.SplitAngle1, 1.0);
  Finite(s.SplitAngle2, -1.0);
  Finite(s.Velocity.x, 0.0);
  Finite(s.Velocity.y, 0.0);
}

void ToEngineUnits(SPRAYSTYLE &s) {
  s.Repulsion *= 0.0625;
  s.Gravity *= 0.0625;
  s.LimitedSpeed *= 0.0625;
  s.Throwing *= 0.0625;
  s.Velocity.x *= 0.0625;
  s.Velocity.y *= 0.0625;
  s.RepulsionArea = 256 / (s.RepulsionArea * s.RepulsionArea);
  s.gravityArea = 16 / s.gravityArea;
  s.ViscosityArea = 16 / s.ViscosityArea;
  s.Brake = 1 - s.Brake;
  s.SpinAngleWiggle *= 0.017453292519943295;
  s.SplitAngleWiggle *= 0.017453292519943295;
}

const SPRAY_RANGE SprayRangeTable[SprayValueCount] = {
    {0, 0},   // Repulsion
    {0, 16},  // RepulsionArea
    {0, 0},   // Gravity
    {0, 16},  // gravityArea
    {0, 1},   // Brake
    {0, 1},   // Viscosity
    {0, 16},  // ViscosityArea
    {0, 0},   // Life
    {0, 0},   // LimitedSpeed
    {0, 1},   // UseLimitedSpeed
    {0, 0},   // Velocity
    {0, 1},   // VelocityWiggle
    {0, 360}, // VelocityWidth
    {0, 360}, // VelocityRotationSpeed
    {0, 4},   // VelocityMode
    {0, 0},   // Count
    {0, 0},   // Size
    {0, 0},   // Throwing
    {0, 1},   // UseSpin
    {1, 0},   // SpinStep
    {0, 0},   // SpinAngle
    {0, 360}, // SpinAngleWiggle
    {0, 1},   // UseSplit
    {0, 2},   // SplitMode
    {1, 0},   // SplitStep1
    {1, 0},   // SplitStep2
    {0, 0},   // SplitAngle1
    {0, 0},   // SplitAngle2
    {0, 360}, // SplitAngleWiggle
    {0, 0},   // SplitLag
    {1, 0},   // SplitGenerations
    {0, 1},   // SplitRate
};

} // namespace app
