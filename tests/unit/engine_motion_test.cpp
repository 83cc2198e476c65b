#include "engine/Core.h"
#include "foundation/Exception.h"
#include "foundation/Image.h"
#include "foundation/Random.h"

#include "tests/unit/engine_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

using app::Core;
using app::PARTICLE;
using app::SPRAYSTYLE;
using enginetest::MakeParticle;
using enginetest::QuietStyle;

class EngineMotion : public enginetest::EngineTest {
protected:
  void SetUp() override {
    EngineTest::SetUp();
    Engine.SetPictureSize(160, 160); // 13 x 13 cells, picture at pixel 24 of the grid
  }

  int32_t Register(const SPRAYSTYLE &style) { return Engine.RegisterSettings(style); }
  const PARTICLE &At(int32_t column, int32_t row, int32_t slot = 0) {
    return Engine.GetCell(column, row).Slots[slot];
  }

  Core Engine;
};

TEST_F(EngineMotion, SizesTheGridAroundThePicture) {
  struct Case {
    int32_t width, height, columns, rows, offsetX, offsetY;
  } cases[] = {
      {0, 0, 3, 3, 24, 24},       {1, 1, 4, 4, 31, 31},        {16, 17, 4, 5, 24, 31},
      {160, 160, 13, 13, 24, 24}, {1024, 768, 67, 51, 24, 24}, {1000, 33, 66, 6, 28, 31},
  };
  for (const Case &c : cases) {
    Core engine;
    engine.SetPictureSize(c.width, c.height);
    EXPECT_EQ(engine.GetColumns(), c.columns) << c.width;
    EXPECT_EQ(engine.GetRows(), c.rows) << c.height;
    EXPECT_EQ(engine.GetOffsetX(), c.offsetX) << c.width;
    EXPECT_EQ(engine.GetOffsetY(), c.offsetY) << c.height;
  }
}

TEST_F(EngineMotion, SizesOutOfRangeThrowAndChangeNothing) {
  struct Case {
    int32_t width, height, code;
  } cases[] = {
      {INT_MAX, 1, app::ErrorArithmetic},
      {30000, 30000, app::ErrorArithmetic}, // the cells alone would pass 2 GB
      {-1, 10, app::ErrorImageSize},
  };
  const int32_t index = Register(QuietStyle());
  ASSERT_TRUE(Engine.InsertParticle(3, 3, MakeParticle(index)));
  for (const Case &c : cases) {
    try {
      Engine.SetPictureSize(c.width, c.height);
      ADD_FAILURE() << c.width << " x " << c.height << " must throw";
    } catch (const app::Exception &e) {
      EXPECT_EQ(e.GetCode(), c.code);
    }
    EXPECT_EQ(Engine.GetColumns(), 13);
    EXPECT_EQ(Engine.GetParticleCount(), 1);
  }
}

// Two particles 0.5 cells apart on a row: the pair force is P's shape times both strengths,
// equal and opposite on the two.
TEST_F(EngineMotion, PairForcesFollowTheFirstParticlesRanges) {
  struct Case {
    double repulsion, gravity, expectedOnP;
  } cases[] = {
      {1, 0, -0.75}, // 1 - (0.5 / 1)^2 = 0.75, pushing P away (to the left)
      {0, 1, 0.5},   // 1 - 0.5 / 1, pulling P toward Q
      {1, 1, -0.25},
      {0, 0, 0},
  };
  for (const Case &c : cases) {
    SPRAYSTYLE style = QuietStyle();
    style.Repulsion = c.repulsion;
    style.Gravity = c.gravity;
    style.RepulsionArea = 1; // ranges of one cell (16 pixels) in engine units
    style.gravityArea = 1;
    Core engine;
    engine.SetPictureSize(160, 160);
    const int32_t index = engine.RegisterSettings(style);
    engine.InsertParticle(4, 4, MakeParticle(index, 24576)); // x = 4.75
    engine.InsertParticle(5, 4, MakeParticle(index, 8192));  // x = 5.25
    engine.ComputeForces();
    EXPECT_FLOAT_EQ(engine.GetCell(4, 4).Slots[0].VelocityX, c.expectedOnP);
    EXPECT_FLOAT_EQ(engine.GetCell(5, 4).Slots[0].VelocityX, -c.expectedOnP);
    EXPECT_EQ(engine.GetCell(4, 4).Slots[0].VelocityY, 0);
  }
}

TEST_F(EngineMotion, NoForceBeyondOneCellEvenWithTheWidestRanges) {
  SPRAYSTYLE style = QuietStyle();
  style.Repulsion = 1;
  style.Gravity = 1;
  style.Viscosity = 1;
  style.RepulsionArea = 1; // 16 pixels, the widest setting
  style.gravityArea = 1;
  style.ViscosityArea = 1;
  const int32_t index = Register(style);
  // 17 pixels apart on a row, and 12 + 12 pixels apart diagonally (17 pixels).
  Engine.InsertParticle(4, 4, MakeParticle(index, 0, 0, 0.25f));
  Engine.InsertParticle(5, 4, MakeParticle(index, 2048));
  Engine.InsertParticle(8, 8, MakeParticle(index, 0, 0, 0.5f));
  Engine.InsertParticle(8, 8, MakeParticle(index, 24576, 24576));
  Engine.ComputeForces();
  EXPECT_EQ(At(4, 4).VelocityX, 0.25f);
  EXPECT_EQ(At(5, 4).VelocityX, 0);
  EXPECT_EQ(At(8, 8).VelocityX, 0.5f);
  EXPECT_EQ(At(8, 8, 1).VelocityX, 0);
  EXPECT_EQ(At(8, 8, 1).VelocityY, 0);
}

TEST_F(EngineMotion, ParticlesAtOnePositionPushApartOnlyWithAForce) {
  // Without attraction and repulsion they stay together and draw no random number.
  const int32_t quiet = Register(QuietStyle());
  Engine.InsertParticle(6, 6, MakeParticle(quiet, 100, 100));
  Engine.InsertParticle(6, 6, MakeParticle(quiet, 100, 100));
  app::SeedRandom(7);
  Engine.ComputeForces();
  const int32_t next = app::Random();
  app::SeedRandom(7);
  EXPECT_EQ(next, app::Random());
  EXPECT_EQ(At(6, 6, 0).VelocityX, 0);
  EXPECT_EQ(At(6, 6, 1).VelocityY, 0);

  // With repulsion: opposite random pushes (r1, r2) * 0.01 / 32767.
  SPRAYSTYLE pushing = QuietStyle();
  pushing.Repulsion = 0.5;
  const int32_t index = Register(pushing);
  Engine.InsertParticle(3, 8, MakeParticle(index, 500, 900));
  Engine.InsertParticle(3, 8, MakeParticle(index, 500, 900));
  app::SeedRandom(99);
  const int32_t r1 = app::Random();
  const int32_t r2 = app::Random();
  app::SeedRandom(99);
  Engine.ComputeForces();
  EXPECT_EQ(At(3, 8, 0).VelocityX, static_cast<float>(r1 * 0.01 / 32767));
  EXPECT_EQ(At(3, 8, 0).VelocityY, static_cast<float>(r2 * 0.01 / 32767));
  EXPECT_EQ(At(3, 8, 1).VelocityX, -At(3, 8, 0).VelocityX);
  EXPECT_EQ(At(3, 8, 1).VelocityY, -At(3, 8, 0).VelocityY);
  EXPECT_LE(At(3, 8, 0).VelocityX, 0.01f);
}

TEST_F(EngineMotion, ViscosityBlendsTowardTheNeighboursMeanVelocity) {
  SPRAYSTYLE style = QuietStyle();
  style.Viscosity = 1;
  style.ViscosityArea = 1;
  const int32_t index = Register(style);
  Engine.InsertParticle(4, 4, MakeParticle(index, 24576, 0, 0));   // x = 4.75, at rest
  Engine.InsertParticle(5, 4, MakeParticle(index, 8192, 0, 1.0f)); // x = 5.25, moving
  Engine.ComputeForces();
  // Weight 1 - 0.5 = 0.5 each way: each takes half of the other's velocity.
  EXPECT_FLOAT_EQ(At(4, 4).VelocityX, 0.5f);
  EXPECT_FLOAT_EQ(At(5, 4).VelocityX, 0.5f);
}

TEST_F(EngineMotion, BrakeZeroKeepsAndBrakeOneStopsEveryParticle) {
  SetGravity(0, 0.5, app::GravityParallel); // 1/32 cell a turn squared
  SPRAYSTYLE free = QuietStyle();           // Brake 0: engine factor 1
  SPRAYSTYLE stopped = QuietStyle();
  stopped.Brake = 0; // Brake 1: engine factor 0
  const int32_t a = Register(free);
  const int32_t b = Register(stopped);
  Engine.InsertParticle(3, 3, MakeParticle(a, 0, 0, 0.25f, -0.125f));
  Engine.InsertParticle(9, 3, MakeParticle(b, 1000, 2000, 0.5f, 0.5f));
  Engine.ComputeForces();
  EXPECT_EQ(At(3, 3).VelocityX, 0.25f);
  EXPECT_EQ(At(3, 3).VelocityY, -0.125f + 0.03125f);
  EXPECT_EQ(At(9, 3).VelocityX, 0);
  EXPECT_EQ(At(9, 3).VelocityY, 0);

  // A stopped particle never leaves the place where it was added.
  app::Image picture;
  picture.Create(160, 160, 4);
  picture.Clear();
  for (int turn = 0; turn < 5; ++turn)
    Engine.Turn(picture);
  ASSERT_EQ(Engine.GetCell(9, 3).Count, 1);
  EXPECT_EQ(At(9, 3).FractionX, 1000);
  EXPECT_EQ(At(9, 3).FractionY, 2000);
  EXPECT_EQ(At(9, 3).Age, 5);
}

TEST_F(EngineMotion, SpeedLimitCapsEveryDirectionAlike) {
  SPRAYSTYLE style = QuietStyle();
  style.UseLimitedSpeed = true;
  style.LimitedSpeed = 1; // 16 pixels a turn
  const int32_t index = Register(style);
  Engine.InsertParticle(3, 3, MakeParticle(index, 0, 0, -3, -4));
  Engine.InsertParticle(9, 9, MakeParticle(index, 0, 0, 3, 4));
  Engine.InsertParticle(6, 6, MakeParticle(index, 0, 0, 0.3f, -0.4f)); // below the limit
  Engine.ComputeForces();
  EXPECT_FLOAT_EQ(At(3, 3).VelocityX, -0.6f);
  EXPECT_FLOAT_EQ(At(3, 3).VelocityY, -0.8f);
  EXPECT_EQ(At(9, 9).VelocityX, -At(3, 3).VelocityX);
  EXPECT_EQ(At(9, 9).VelocityY, -At(3, 3).VelocityY);
  EXPECT_EQ(At(6, 6).VelocityX, 0.3f);
  EXPECT_EQ(At(6, 6).VelocityY, -0.4f);
}

TEST_F(EngineMotion, SpinTurnsTheVelocityEverySpinStepTurns) {
  SPRAYSTYLE style = QuietStyle();
  style.UseSpin = true;
  style.SpinStep = 2;
  style.SpinAngle = std::acos(-1.0) / 2; // a quarter turn counter-clockwise on the screen
  const int32_t index = Register(style);
  Engine.InsertParticle(3, 3, MakeParticle(index, 0, 0, 1, 0, 0));
  Engine.InsertParticle(5, 5, MakeParticle(index, 0, 0, 1, 0, 1));
  Engine.InsertParticle(7, 7, MakeParticle(index, 0, 0, 1, 0, 2));
  Engine.ComputeForces();
  EXPECT_EQ(At(3, 3).VelocityX, 1); // age 0: never
  EXPECT_EQ(At(5, 5).VelocityX, 1); // age 1: not due
  EXPECT_NEAR(At(7, 7).VelocityX, 0, 1e-7);
  EXPECT_FLOAT_EQ(At(7, 7).VelocityY, -1); // up the screen
}

TEST_F(EngineMotion, RadialGravityPullsTowardTheGridCentre) {
  SetGravity(1.6, 3.2, app::GravityRadial); // 0.1 and 0.2 cells a turn squared
  const int32_t index = Register(QuietStyle());
  // The centre of a 13 x 13 grid is (6, 6).
  Engine.InsertParticle(6, 6, MakeParticle(index));
  Engine.InsertParticle(8, 6, MakeParticle(index)); // two cells right of the centre
  Engine.InsertParticle(6, 3, MakeParticle(index)); // three cells above it
  Engine.ComputeForces();
  EXPECT_EQ(At(6, 6).VelocityX, 0);
  EXPECT_EQ(At(6, 6).VelocityY, 0);
  EXPECT_FLOAT_EQ(At(8, 6).VelocityX, -0.2f); // toward the centre
  EXPECT_FLOAT_EQ(At(8, 6).VelocityY, 0.1f);  // and turning clockwise
  EXPECT_FLOAT_EQ(At(6, 3).VelocityX, 0.1f);
  EXPECT_FLOAT_EQ(At(6, 3).VelocityY, 0.2f);
}

TEST_F(EngineMotion, MovingFillsACellWithThe32FirstArrivalsInOrder) {
  const int32_t index = Register(QuietStyle());
  // 20 particles arrive from the left and then 13 from the right into cell (5, 5).
  for (int32_t i = 0; i < 20; ++i)
    Engine.InsertParticle(4, 5, MakeParticle(index, 100, 100, 1, 0, 0, i));
  for (int32_t i = 20; i < 33; ++i)
    Engine.InsertParticle(6, 5, MakeParticle(index, 100, 100, -1, 0, 0, i));
  Engine.Move();
  const app::CELL &cell = Engine.GetCell(5, 5);
  ASSERT_EQ(cell.Count, 32);
  for (int32_t i = 0; i < 32; ++i) {
    EXPECT_EQ(cell.Slots[i].Generations, i);
    EXPECT_EQ(cell.Slots[i].Age, 1);
    EXPECT_EQ(cell.Slots[i].FractionX, 100);
  }
  EXPECT_EQ(Engine.GetParticleCount(), 32);
  EXPECT_EQ(Engine.GetParticleInfos().GetItem(index).References, 33); // the test's own + 32
  EXPECT_EQ(Engine.GetCell(4, 5).Count, 0);
}

TEST_F(EngineMotion, ParticlesLeavingTheInteriorAreLost) {
  const int32_t index = Register(QuietStyle());
  Engine.InsertParticle(1, 6, MakeParticle(index, 0, 0, -0.001f, 0)); // into column 0
  Engine.InsertParticle(11, 6, MakeParticle(index, 32767, 0, 0.01f)); // into column 12
  Engine.InsertParticle(6, 6, MakeParticle(index, 0, 0, NAN, 0));
  Engine.InsertParticle(6, 7, MakeParticle(index, 0, 0, 1e30f, -1e30f));
  Engine.Move();
  EXPECT_EQ(Engine.GetParticleCount(), 0);
  Engine.ReleaseSettings(index);
  EXPECT_FALSE(Engine.HasParticles());
}

TEST_F(EngineMotion, LifeCountsTheTurnsAParticleIsDrawn) {
  app::Image picture;
  picture.Create(160, 160, 4);
  picture.Clear();
  for (int32_t life : {0, 3}) {
    SPRAYSTYLE style = QuietStyle();
    style.Life = life;
    const int32_t index = Register(style);
    Engine.InsertParticle(6, 6, MakeParticle(index));
    Engine.ReleaseSettings(index);
    int32_t turns = 0;
    while (Engine.HasParticles() && turns < 10) {
      Engine.Turn(picture);
      ++turns;
    }
    EXPECT_EQ(turns, life + 1) << "life " << life;
    EXPECT_EQ(Engine.GetParticleCount(), 0);
  }
}

struct SplitCase {
  int32_t mode, step1, step2, lag, generations;
  std::vector<int32_t> countAfterMove; // particles after the move at ages 0, 1, 2, ...
};

TEST_F(EngineMotion, SplitModesFollowTheirSchedules) {
  SetLively(0); // everything stays in its cell
  const SplitCase cases[] = {
      // Mode 1 replaces the parent by two children every step1 turns while generations last.
      {1, 5, 10, 0, 2, {1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 4}},
      // Mode 0 adds one child every step1 turns; the parent goes on.
      {0, 3, 10, 0, 1, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4}},
      // Mode 2: first schedule at ages 4 and 8, the second at ages 2 and 6 (lag 2).
      {2, 4, 4, 2, 1, {1, 1, 2, 2, 3, 3, 4, 4, 5}},
      // A lag beyond the age still fires at every age congruent to it (here 1, 4, 7).
      {2, 100, 3, 7, 1, {1, 2, 2, 2, 3, 3, 3, 4}},
  };
  for (const SplitCase &c : cases) {
    SPRAYSTYLE style = QuietStyle();
    style.UseSplit = true;
    style.SplitRate = 1;
    style.SplitMode = c.mode;
    style.SplitStep1 = c.step1;
    style.SplitStep2 = c.step2;
    style.SplitLag = c.lag;
    Core engine;
    engine.SetPictureSize(160, 160);
    const int32_t index = engine.RegisterSettings(style);
    engine.InsertParticle(6, 6, MakeParticle(index, 0, 0, 0, 0, 0, c.generations));
    for (size_t age = 0; age < c.countAfterMove.size(); ++age) {
      engine.Move();
      EXPECT_EQ(engine.GetParticleCount(), c.countAfterMove[age])
          << "mode " << c.mode << ", after the move at age " << age;
    }
    EXPECT_EQ(engine.GetParticleInfos().GetItem(index).References, engine.GetParticleCount() + 1);
  }
}

TEST_F(EngineMotion, SplitChildrenTurnByTheirAnglesAndLoseAGeneration) {
  SPRAYSTYLE style = QuietStyle();
  style.UseSplit = true;
  style.SplitRate = 1;
  style.SplitMode = 1;
  style.SplitStep1 = 5;
  style.SplitAngle1 = std::acos(-1.0) / 2;
  style.SplitAngle2 = -std::acos(-1.0) / 2;
  const int32_t index = Register(style);
  Engine.InsertParticle(6, 6, MakeParticle(index, 16384, 16384, 0.25f, 0, 5, 1));
  Engine.Move();
  const app::CELL &cell = Engine.GetCell(6, 6);
  ASSERT_EQ(cell.Count, 2); // the parent did not go on
  // The first child turns counter-clockwise (up the screen), the second clockwise.
  EXPECT_FLOAT_EQ(cell.Slots[0].VelocityY, -0.25f);
  EXPECT_FLOAT_EQ(cell.Slots[1].VelocityY, 0.25f);
  EXPECT_EQ(cell.Slots[0].FractionY, 16384 - 8192);
  EXPECT_EQ(cell.Slots[1].FractionY, 16384 + 8192);
  for (int32_t i = 0; i < 2; ++i) {
    EXPECT_EQ(cell.Slots[i].Generations, 0);
    EXPECT_EQ(cell.Slots[i].Age, 6);
  }
}

TEST_F(EngineMotion, AddParticleShiftsByUpToAPixelAndDropsWhatDoesNotFit) {
  const int32_t index = Register(QuietStyle());
  app::SeedRandom(3);
  const int32_t r1 = app::Random();
  const int32_t r2 = app::Random();
  app::SeedRandom(3);
  app::EMIT_REQUEST request = {{0.5, -0.25}, {10, 20}, nullptr, index, 2};
  Engine.AddParticle(request);
  // Grid position ((24 + 10 + r1 / 32767) / 16, (24 + 20 + r2 / 32767) / 16).
  const double x = (24 + 10 + r1 / 32767.0) * 0.0625;
  const double y = (24 + 20 + r2 / 32767.0) * 0.0625;
  const app::PARTICLE &p = At(2, 2);
  ASSERT_EQ(Engine.GetCell(2, 2).Count, 1);
  EXPECT_EQ(p.FractionX, static_cast<uint16_t>((x - 2) * 32768));
  EXPECT_EQ(p.FractionY, static_cast<uint16_t>((y - 2) * 32768));
  EXPECT_EQ(p.VelocityX, 0.5f);
  EXPECT_EQ(p.VelocityY, -0.25f);
  EXPECT_EQ(p.Age, 0);
  EXPECT_EQ(p.Generations, 2);
  EXPECT_EQ(Engine.GetParticleInfos().GetItem(index).References, 2);

  // Outside the interior (grid pixels 16 to 191, picture pixels -8 to 167), or with a
  // position that is no number.
  const double dropped[][2] = {{-10, 50}, {50, -10}, {168, 50}, {50, 170}, {NAN, 50}, {1e300, 0}};
  for (const auto &position : dropped) {
    request.StartPosition = {position[0], position[1]};
    Engine.AddParticle(request);
  }
  EXPECT_EQ(Engine.GetParticleCount(), 1);

  // A full cell drops the 33rd.
  request.StartPosition = {100, 100};
  for (int32_t i = 0; i < 33; ++i)
    Engine.AddParticle(request);
  EXPECT_EQ(Engine.GetParticleCount(), 33);

  request.SettingsIndex = index + 5;
  EXPECT_THROW(Engine.AddParticle(request), std::out_of_range);
}

TEST_F(EngineMotion, BlurParticlesPickUpTheColourWhereTheyAreAdded) {
  app::Image picture;
  picture.Create(160, 160, 4);
  picture.Clear();
  unsigned char *pixel = picture.GetWritableBits() + (20 * 160 + 159) * 4;
  const unsigned char colour[4] = {1, 2, 3, 4};
  std::memcpy(pixel, colour, 4);
  Engine.SetMode(app::ModeBlur);
  const int32_t index = Register(QuietStyle());
  // Beyond the right edge: the sample is taken at the nearest picture column.
  app::EMIT_REQUEST request = {{0, 0}, {165, 20}, &picture, index, 0};
  Engine.AddParticle(request);
  ASSERT_EQ(Engine.GetParticleCount(), 1);
  EXPECT_EQ(At(11, 2).Sample, 0x04030201u);
}

TEST_F(EngineMotion, ErasingReleasesEveryReference) {
  const int32_t index = Register(QuietStyle());
  for (int32_t i = 0; i < 40; ++i)
    Engine.InsertParticle(1 + i % 11, 1 + i / 11, MakeParticle(index));
  EXPECT_EQ(Engine.GetParticleInfos().GetItem(index).References, 41);
  Engine.SetMode(app::ModeErase); // switching the tool erases all particles
  EXPECT_EQ(Engine.GetMode(), app::ModeErase);
  EXPECT_EQ(Engine.GetParticleCount(), 0);
  EXPECT_EQ(Engine.GetCell(1, 1).Count, 0);
  EXPECT_TRUE(Engine.HasParticles()); // the stroke's own reference
  Engine.ReleaseSettings(index);
  EXPECT_FALSE(Engine.HasParticles());
  EXPECT_THROW(Engine.SetMode(3), std::out_of_range);
  EXPECT_EQ(Engine.GetMode(), app::ModeErase);
}

TEST_F(EngineMotion, TurnsRefuseAPictureOfAnotherSize) {
  app::Image picture;
  picture.Create(100, 160, 4);
  picture.Clear();
  try {
    Engine.Turn(picture);
    ADD_FAILURE() << "a picture of another size must be refused";
  } catch (const app::Exception &e) {
    EXPECT_EQ(e.GetCode(), app::ErrorImageSize);
  }
}

// A stroke replays identically from the same seed: same particles, same picture.
TEST_F(EngineMotion, AStrokeReplaysIdentically) {
  SetGravity(0.3, 0.5, app::GravityParallel);
  SetLively(0.5);
  auto run = [](std::vector<unsigned char> &bytes, std::vector<PARTICLE> &particles) {
    SPRAYSTYLE style = enginetest::EngineStyle();
    style.UseSplit = true;
    style.SplitRate = 0.5;
    style.SplitMode = 2;
    style.SplitAngleWiggle = 0.3;
    style.UseSpin = true;
    style.SpinAngleWiggle = 0.5;
    style.Life = 30;
    app::SeedRandom(2024);
    app::Image picture;
    picture.Create(200, 120, 4);
    picture.Clear();
    Core engine;
    engine.SetPictureSize(200, 120);
    const int32_t index = engine.RegisterSettings(style);
    for (int32_t turn = 0; turn < 25; ++turn) {
      for (int32_t i = 0; i < 20; ++i) {
        app::EMIT_REQUEST request = {
            {0.05 * (i % 5), -0.03 * (i % 3)}, {40.0 + 4 * turn, 60.0 + i}, &picture, index, 3};
        engine.AddParticle(request);
      }
      engine.Turn(picture);
    }
    bytes.assign(picture.GetBits(), picture.GetBits() + picture.GetByteSize());
    for (int32_t r = 0; r < engine.GetRows(); ++r)
      for (int32_t c = 0; c < engine.GetColumns(); ++c)
        for (int32_t k = 0; k < engine.GetCell(c, r).Count; ++k)
          particles.push_back(engine.GetCell(c, r).Slots[k]);
  };
  std::vector<unsigned char> bytes1, bytes2;
  std::vector<PARTICLE> particles1, particles2;
  run(bytes1, particles1);
  run(bytes2, particles2);
  EXPECT_GT(particles1.size(), 50u);
  ASSERT_EQ(particles1.size(), particles2.size());
  EXPECT_EQ(
      0, std::memcmp(particles1.data(), particles2.data(), particles1.size() * sizeof(PARTICLE)));
  EXPECT_EQ(bytes1, bytes2);
  EXPECT_NE(bytes1, std::vector<unsigned char>(bytes1.size(), 0));
}

} // namespace
