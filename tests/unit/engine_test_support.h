// Shared set-up of the particle engine tests.
#pragma once

#include "engine/ColorStyle.h"
#include "engine/Core.h"
#include "engine/GeneralStyle.h"
#include "engine/SprayStyle.h"
#include "foundation/Random.h"

#include <gtest/gtest.h>

namespace enginetest {

// The default spray with the default colours, in engine units.
inline app::SPRAYSTYLE EngineStyle() {
  app::SPRAYSTYLE style = app::DefaultSprayStyle();
  style.Color = app::DefaultColorStyle();
  app::ToEngineUnits(style);
  return style;
}

// An engine-unit spray without any pair force, viscosity or brake, living long: particles keep
// their velocity unless a test turns something on.
inline app::SPRAYSTYLE QuietStyle() {
  app::SPRAYSTYLE style = EngineStyle();
  style.Repulsion = 0;
  style.Gravity = 0;
  style.Viscosity = 0;
  style.Brake = 1; // the engine factor: no braking
  style.Life = 1000;
  return style;
}

inline app::PARTICLE MakeParticle(int32_t index, uint16_t fx = 0, uint16_t fy = 0, float vx = 0,
                                  float vy = 0, int32_t age = 0, int32_t generations = 0) {
  app::PARTICLE p = {};
  p.FractionX = fx;
  p.FractionY = fy;
  p.VelocityX = vx;
  p.VelocityY = vy;
  p.Age = age;
  p.SettingsIndex = index;
  p.Generations = generations;
  return p;
}

// Keeps the program-wide general style of a test apart from the others': starts every test
// without global gravity and with Lively 1, and restores the style afterwards.
class EngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    Saved = app::GetGeneralStyle();
    app::GENERALSTYLE g = app::DefaultGeneralStyle();
    g.GravityX = 0;
    g.GravityY = 0;
    g.Lively = 1;
    app::SetGeneralStyle(g);
    app::SeedRandom(1);
  }
  void TearDown() override { app::SetGeneralStyle(Saved); }

  void SetGravity(double x, double y, int32_t type) {
    app::GENERALSTYLE g = app::GetGeneralStyle();
    g.GravityX = x;
    g.GravityY = y;
    g.GravityType = type;
    app::SetGeneralStyle(g);
  }
  void SetLively(double lively) {
    app::GENERALSTYLE g = app::GetGeneralStyle();
    g.Lively = lively;
    app::SetGeneralStyle(g);
  }

  app::GENERALSTYLE Saved;
};

} // namespace enginetest
